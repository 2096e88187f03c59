// Lists the menu tests build: an owned list freed at the end of a test, and
// the Settings window's language list.
#pragma once

#include "ui/toolkit/MenuItemList.h"

namespace shadowpane::testing {

struct ScopedMenuList {
  MenuItemList list;
  ScopedMenuList() = default;
  ScopedMenuList(const ScopedMenuList&) = delete;
  ScopedMenuList& operator=(const ScopedMenuList&) = delete;
  ~ScopedMenuList() { ClearMenuItemList(&list); }
};

// "English", a separator, "Deutsche", "Español", "Italiano"; commands 4864 on.
inline void AddLanguageItems(MenuItemList* list) {
  AddMenuItem(MIT_ITEM, u"English", list, 4864);
  AddMenuItem(MIT_SEPARATOR, u"", list, 0);
  AddMenuItem(MIT_ITEM, u"Deutsche", list, 4865);
  AddMenuItem(MIT_ITEM, u"Español", list, 4866);
  AddMenuItem(MIT_ITEM, u"Italiano", list, 4867);
}

}  // namespace shadowpane::testing
