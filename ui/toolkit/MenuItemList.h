// The item list of the toolkit's list popup. The owner builds and keeps a
// MenuItemList; opening the popup hands it a private copy of the chain.
// Portable: no platform headers.
#pragma once

#include <memory>

#include "core/Text.h"

namespace shadowpane {

// Item types. Any type outside 0..2 is stored as a separator, so an unknown
// type never becomes selectable.
constexpr int MIT_ITEM = 0;       // selectable, 22 pixels high
constexpr int MIT_LABEL = 1;      // grey text, not selectable, 22 pixels
constexpr int MIT_SEPARATOR = 2;  // a line, 11 pixels

// An item's text: at most 250 characters and a terminator.
constexpr int kMenuItemTextChars = 250;
constexpr int kMenuItemTextUnits = kMenuItemTextChars + 1;

// AddMenuItem's answer when there is no list or no memory for the item.
constexpr int kMenuItemNotAdded = -1;

struct MenuItem {
  int index = 0;          // position in the list, 0 for the first
  int commandValue = 0;   // low word of the owner's WM_COMMAND on a choice
  WideChar text[kMenuItemTextUnits] = {};
  int type = MIT_ITEM;
  int mark = 0;           // 1: the current choice (drawn on selectable items)
  MenuItem* next = nullptr;
};

// The owner's list: the count and the owned chain of items.
struct MenuItemList {
  int count = 0;
  MenuItem* first = nullptr;
};

// Appends an item (text cut to 250 characters, a null text is empty, mark 0)
// and renumbers the items 0, 1, 2, ... in list order. Answers the new item's
// index, or kMenuItemNotAdded for a null list or when memory runs out.
int AddMenuItem(int type, const WideChar* text, MenuItemList* list, int commandValue);

// Copies the text of the item at index, with its terminator, into a buffer
// of at least kMenuItemTextUnits units and answers 1; for an index outside
// 0..count-1, a null list or a null buffer answers 0 and leaves the buffer.
int GetMenuItemText(const MenuItemList* list, WideChar* buffer, int index);

// Marks the first item whose whole text equals text (case-sensitive) and
// clears every other mark; answers 1. No such item (or a null argument):
// answers 0 and changes nothing.
int MarkMenuItemByText(MenuItemList* list, const WideChar* text);

// For 0 <= index < count marks the item at that position and clears every
// other mark; otherwise changes nothing.
void MarkMenuItemByIndex(MenuItemList* list, int index);

// Frees every item of the list and leaves it empty (count 0, no item).
void ClearMenuItemList(MenuItemList* list);

// A new chain with the same fields and links of its own. Answers null for an
// empty chain, and also when memory runs out (nothing is leaked then).
MenuItem* CopyMenuItemChain(const MenuItem* first);

// Frees a chain made by CopyMenuItemChain (or a list's chain).
void FreeMenuItemChain(MenuItem* first);

// Frees a chain when its holder goes (a popup's own copy of the items).
struct MenuChainDeleter {
  void operator()(MenuItem* first) const { FreeMenuItemChain(first); }
};
using OwnedMenuChain = std::unique_ptr<MenuItem, MenuChainDeleter>;

// The item whose index field equals index, or null.
const MenuItem* FindMenuItemByIndex(const MenuItem* first, int index);

}  // namespace shadowpane
