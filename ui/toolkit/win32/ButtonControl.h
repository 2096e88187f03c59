// KButtonEx_0000: the toolkit's skinned button. Paints a framed or
// state-strip face in four states, up to two state-aware icons and a
// one-line caption; reports clicks with WM_COMMAND and hovering with
// WM_NOTIFY (BXN_HOVER, BXN_LEAVE). Its kinds, property messages and
// behaviour rules are in ui/toolkit/ButtonLogic.h.
#pragma once

#include <windows.h>

#include "ui/toolkit/ButtonLogic.h"

namespace shadowpane {

LRESULT CALLBACK ButtonExWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
