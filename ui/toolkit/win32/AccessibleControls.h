// What the toolkit itself tells screen readers about each kind of control
// (the describers its accessible objects start from) and the controls'
// shared keyboard answers. A window completes the descriptions through
// WM_ACCESSIBLE_DESCRIBE; it only names what a control does not show.
#pragma once

#include <windows.h>

#include "ui/toolkit/AccessibleLogic.h"

namespace shadowpane {

// The window text with its access-key marks taken out as the name, and its
// access key as the shortcut.
void DescribeByText(HWND window, AccessibleDescription& description);

void DescribeButton(HWND window, AccessibleDescription& description);
void DescribeChoice(HWND window, AccessibleDescription& description);
void DescribeLabel(HWND window, AccessibleDescription& description);
void DescribeEdit(HWND window, AccessibleDescription& description);
void DescribeShortcutField(HWND window, AccessibleDescription& description);
// A top-level window of the program (dialog role); its window procedure
// names it and may add elements of its own.
void DescribeToolkitWindow(HWND window, AccessibleDescription& description);

// WM_GETOBJECT of a child control with the describer of its kind.
LRESULT AnswerControlObject(HWND window, WPARAM wParam, LPARAM lParam,
                            void (*describer)(HWND, AccessibleDescription&));
// WM_GETOBJECT of a top-level window of the program.
LRESULT AnswerWindowObject(HWND window, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
