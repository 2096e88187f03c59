// KEditEx_0000: the toolkit's text field. A flat light-grey box that holds a
// standard EDIT field (id 1026) and paints a grey cue text while the field
// is empty and unfocused: the field is hidden then, so the cue underneath
// shows. The field's notifications reach the control's parent as if they
// came from the control.
//
// Creation parameter: extra style bits for the inner field (0 for none).
// Messages: WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH, EM_SETSEL,
// EM_LIMITTEXT, EM_SETPASSWORDCHAR, EM_GETPASSWORDCHAR and EM_GETLIMITTEXT
// go to the inner field; EXM_EDITSTYLE and EXM_CUETEXT (ui/toolkit/EditLogic.h)
// are the control's own.
#pragma once

#include <windows.h>

namespace shadowpane {

// Window procedure of the "KEditEx_0000" class; registration is shared
// with the other toolkit classes.
LRESULT CALLBACK EditExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
