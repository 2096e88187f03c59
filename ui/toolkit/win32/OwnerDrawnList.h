// The keyboard and the screen reader side of a list box whose entries the
// owner draws (the main window's device lists, the "Recent use" list): a caret of its own that
// Up, Down, Home, End, Page Up and Page Down move, Space and Enter that
// click the caret's entry through the same path as the mouse (the owner
// gets LBN_SELCHANGE with the entry selected), a focus mark for the owner
// to draw, and an accessible object whose children are the entries. The
// list box's own keyboard handling is kept out, since its selection would
// click an entry at every key.
#pragma once

#include <windows.h>

#include "core/Text.h"

namespace shadowpane {

// What the entries are for: clicked (the device lists) or only read (the
// "Recent use" list: Space and Enter click nothing, Enter stays the
// window's OK, the entries offer no default action).
enum class ListUse { Clickable, ReadOnly };

// Subclasses the list box; the record goes with the window. 1 or 0.
int AttachOwnerDrawnList(HWND list, ListUse use = ListUse::Clickable);

// The entry whose text equals the name, compared with case: display names
// are unique only with case, and the list box's own exact search ignores
// it. LB_ERR when none does.
LRESULT FindListEntry(HWND list, const WideString& name);

// The entry the keyboard acts on (clamped to the entries), -1 when the list
// is empty.
int ListCaret(HWND list);

// Draws the focus mark around an entry the owner draws, when it is the
// caret's entry and the list shows its focus.
void DrawListFocusMark(HWND list, int index, HDC dc, RECT entry);

}  // namespace shadowpane
