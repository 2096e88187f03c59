#include "ui/toolkit/MenuItemList.h"

#include <new>

namespace shadowpane {
namespace {

int NormalizedType(int type) {
  return (type == MIT_ITEM || type == MIT_LABEL) ? type : MIT_SEPARATOR;
}

bool TextsEqual(const WideChar (&itemText)[kMenuItemTextUnits], const WideChar* text) {
  // An item holds at most 250 characters, so a longer text can never match;
  // comparing one unit past the item's terminator settles that.
  for (int i = 0; i < kMenuItemTextUnits; ++i) {
    if (itemText[i] != text[i]) return false;
    if (text[i] == 0) return true;
  }
  return false;
}

void SetOnlyMark(MenuItemList* list, const MenuItem* chosen) {
  for (MenuItem* item = list->first; item != nullptr; item = item->next) {
    item->mark = item == chosen ? 1 : 0;
  }
}

MenuItem* ItemAt(const MenuItemList* list, int position) {
  if (position < 0 || position >= list->count) return nullptr;
  MenuItem* item = list->first;
  for (int i = 0; i < position && item != nullptr; ++i) item = item->next;
  return item;
}

}  // namespace

int AddMenuItem(int type, const WideChar* text, MenuItemList* list, int commandValue) {
  if (list == nullptr) return kMenuItemNotAdded;
  MenuItem* item = new (std::nothrow) MenuItem;
  if (item == nullptr) return kMenuItemNotAdded;
  item->index = list->count;
  item->commandValue = commandValue;
  CopyBounded(item->text, kMenuItemTextChars, text);
  item->type = NormalizedType(type);
  item->mark = 0;
  item->next = nullptr;

  MenuItem** link = &list->first;
  while (*link != nullptr) link = &(*link)->next;
  *link = item;
  ++list->count;

  int index = 0;
  for (MenuItem* each = list->first; each != nullptr; each = each->next) each->index = index++;
  return item->index;
}

int GetMenuItemText(const MenuItemList* list, WideChar* buffer, int index) {
  if (list == nullptr || buffer == nullptr) return 0;
  const MenuItem* item = ItemAt(list, index);
  if (item == nullptr) return 0;
  CopyBounded(buffer, kMenuItemTextChars, item->text);
  return 1;
}

int MarkMenuItemByText(MenuItemList* list, const WideChar* text) {
  if (list == nullptr || text == nullptr) return 0;
  for (MenuItem* item = list->first; item != nullptr; item = item->next) {
    if (TextsEqual(item->text, text)) {
      SetOnlyMark(list, item);
      return 1;
    }
  }
  return 0;
}

void MarkMenuItemByIndex(MenuItemList* list, int index) {
  if (list == nullptr) return;
  const MenuItem* item = ItemAt(list, index);
  if (item != nullptr) SetOnlyMark(list, item);
}

void ClearMenuItemList(MenuItemList* list) {
  if (list == nullptr) return;
  FreeMenuItemChain(list->first);
  list->first = nullptr;
  list->count = 0;
}

MenuItem* CopyMenuItemChain(const MenuItem* first) {
  MenuItem* head = nullptr;
  MenuItem** link = &head;
  for (const MenuItem* item = first; item != nullptr; item = item->next) {
    MenuItem* copy = new (std::nothrow) MenuItem(*item);
    if (copy == nullptr) {
      FreeMenuItemChain(head);
      return nullptr;
    }
    copy->next = nullptr;
    *link = copy;
    link = &copy->next;
  }
  return head;
}

void FreeMenuItemChain(MenuItem* first) {
  while (first != nullptr) {
    MenuItem* next = first->next;
    delete first;
    first = next;
  }
}

const MenuItem* FindMenuItemByIndex(const MenuItem* first, int index) {
  for (const MenuItem* item = first; item != nullptr; item = item->next) {
    if (item->index == index) return item;
  }
  return nullptr;
}

}  // namespace shadowpane
