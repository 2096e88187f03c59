// KEditEx_0000: the toolkit's text field. A flat light-grey box that holds a
// standard EDIT field and paints a grey cue text while the field is empty
// and unfocused (the field is hidden then, so the cue underneath shows).
#pragma once

#include <windows.h>

namespace shadowpane {

// Window procedure of the "KEditEx_0000" class; registration is shared
// with the other toolkit classes.
LRESULT CALLBACK EditExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
