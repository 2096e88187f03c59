#include "ui/toolkit/MenuItemList.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/ui/toolkit/MenuTestLists.h"

namespace shadowpane {
namespace {

using testing::AddLanguageItems;
using testing::ScopedMenuList;

std::u16string TextAt(const MenuItemList& list, int index) {
  WideChar buffer[kMenuItemTextUnits];
  if (GetMenuItemText(&list, buffer, index) != 1) return u"<none>";
  return buffer;
}

std::u16string Marks(const MenuItemList& list) {
  std::u16string marks;
  for (const MenuItem* item = list.first; item != nullptr; item = item->next)
    marks += item->mark ? u'x' : u'.';
  return marks;
}

TEST(MenuItemList, AddingAppendsAndNumbersInOrder) {
  ScopedMenuList s;
  EXPECT_EQ(AddMenuItem(MIT_ITEM, u"a", &s.list, 10), 0);
  EXPECT_EQ(AddMenuItem(MIT_LABEL, u"b", &s.list, 11), 1);
  EXPECT_EQ(AddMenuItem(MIT_SEPARATOR, u"", &s.list, 12), 2);
  EXPECT_EQ(AddMenuItem(MIT_ITEM, u"d", &s.list, 13), 3);
  EXPECT_EQ(s.list.count, 4);
  int expected = 0;
  for (const MenuItem* item = s.list.first; item != nullptr; item = item->next) {
    EXPECT_EQ(item->index, expected);
    EXPECT_EQ(item->commandValue, 10 + expected);
    EXPECT_EQ(item->mark, 0);
    ++expected;
  }
  EXPECT_EQ(expected, 4);
  EXPECT_EQ(TextAt(s.list, 1), u"b");
}

TEST(MenuItemList, UnknownTypesBecomeSeparators) {
  ScopedMenuList s;
  AddMenuItem(7, u"x", &s.list, 0);
  AddMenuItem(-3, u"y", &s.list, 0);
  AddMenuItem(MIT_LABEL, u"z", &s.list, 0);
  EXPECT_EQ(s.list.first->type, MIT_SEPARATOR);
  EXPECT_EQ(s.list.first->next->type, MIT_SEPARATOR);
  EXPECT_EQ(s.list.first->next->next->type, MIT_LABEL);
}

TEST(MenuItemList, TextsAreCutAt250AndNullIsEmpty) {
  ScopedMenuList s;
  const std::u16string longText(300, u'w');
  AddMenuItem(MIT_ITEM, longText.c_str(), &s.list, 0);
  AddMenuItem(MIT_ITEM, nullptr, &s.list, 0);
  EXPECT_EQ(TextAt(s.list, 0), longText.substr(0, 250));
  EXPECT_EQ(TextAt(s.list, 1), u"");
  // The 300-character text no longer matches what was stored.
  EXPECT_EQ(MarkMenuItemByText(&s.list, longText.c_str()), 0);
  EXPECT_EQ(MarkMenuItemByText(&s.list, longText.substr(0, 250).c_str()), 1);
  EXPECT_EQ(Marks(s.list), u"x.");
}

TEST(MenuItemList, GetTextOutsideTheListLeavesTheBuffer) {
  ScopedMenuList s;
  AddLanguageItems(&s.list);
  WideChar buffer[kMenuItemTextUnits] = {u'#', 0};
  EXPECT_EQ(GetMenuItemText(&s.list, buffer, -1), 0);
  EXPECT_EQ(GetMenuItemText(&s.list, buffer, s.list.count), 0);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(GetMenuItemText(&s.list, nullptr, 0), 0);
  EXPECT_EQ(GetMenuItemText(nullptr, buffer, 0), 0);
  EXPECT_EQ(TextAt(s.list, 4), u"Italiano");
}

TEST(MenuItemList, MarkByTextIsExactAndKeepsTheOldMarkOnMiss) {
  ScopedMenuList s;
  AddLanguageItems(&s.list);
  EXPECT_EQ(MarkMenuItemByText(&s.list, u"Español"), 1);
  EXPECT_EQ(Marks(s.list), u"...x.");
  EXPECT_EQ(MarkMenuItemByText(&s.list, u"español"), 0);
  EXPECT_EQ(MarkMenuItemByText(&s.list, u"Españo"), 0);
  EXPECT_EQ(MarkMenuItemByText(&s.list, u"Español "), 0);
  EXPECT_EQ(MarkMenuItemByText(&s.list, nullptr), 0);
  EXPECT_EQ(Marks(s.list), u"...x.");
  EXPECT_EQ(MarkMenuItemByText(&s.list, u"English"), 1);
  EXPECT_EQ(Marks(s.list), u"x....");
}

TEST(MenuItemList, MarkByTextTakesTheFirstOfEqualTexts) {
  ScopedMenuList s;
  AddMenuItem(MIT_ITEM, u"same", &s.list, 0);
  AddMenuItem(MIT_ITEM, u"same", &s.list, 0);
  EXPECT_EQ(MarkMenuItemByText(&s.list, u"same"), 1);
  EXPECT_EQ(Marks(s.list), u"x.");
}

TEST(MenuItemList, MarkByIndexIgnoresOutOfRange) {
  ScopedMenuList s;
  AddLanguageItems(&s.list);
  MarkMenuItemByIndex(&s.list, 2);
  EXPECT_EQ(Marks(s.list), u"..x..");
  MarkMenuItemByIndex(&s.list, -1);
  MarkMenuItemByIndex(&s.list, 5);
  MarkMenuItemByIndex(nullptr, 0);
  EXPECT_EQ(Marks(s.list), u"..x..");
  MarkMenuItemByIndex(&s.list, 4);
  EXPECT_EQ(Marks(s.list), u"....x");
}

TEST(MenuItemList, NullListIsRefused) {
  EXPECT_EQ(AddMenuItem(MIT_ITEM, u"a", nullptr, 0), kMenuItemNotAdded);
  ClearMenuItemList(nullptr);
  EXPECT_EQ(MarkMenuItemByText(nullptr, u"a"), 0);
}

TEST(MenuItemList, CopyIsIndependentOfTheOwnersList) {
  ScopedMenuList s;
  AddLanguageItems(&s.list);
  MarkMenuItemByIndex(&s.list, 3);
  MenuItem* copy = CopyMenuItemChain(s.list.first);
  ASSERT_NE(copy, nullptr);
  const MenuItem* original = s.list.first;
  int n = 0;
  for (const MenuItem* item = copy; item != nullptr; item = item->next, original = original->next) {
    ASSERT_NE(original, nullptr);
    EXPECT_NE(item, original);
    EXPECT_EQ(item->index, original->index);
    EXPECT_EQ(item->commandValue, original->commandValue);
    EXPECT_EQ(item->type, original->type);
    EXPECT_EQ(item->mark, original->mark);
    EXPECT_EQ(std::u16string(item->text), std::u16string(original->text));
    ++n;
  }
  EXPECT_EQ(n, 5);
  ClearMenuItemList(&s.list);
  // The copy outlives the owner's list.
  EXPECT_EQ(std::u16string(FindMenuItemByIndex(copy, 3)->text), u"Español");
  EXPECT_EQ(FindMenuItemByIndex(copy, 5), nullptr);
  EXPECT_EQ(FindMenuItemByIndex(copy, -1), nullptr);
  FreeMenuItemChain(copy);
  EXPECT_EQ(CopyMenuItemChain(nullptr), nullptr);
}

TEST(MenuItemList, ClearLeavesAnEmptyReusableList) {
  ScopedMenuList s;
  AddLanguageItems(&s.list);
  ClearMenuItemList(&s.list);
  EXPECT_EQ(s.list.count, 0);
  EXPECT_EQ(s.list.first, nullptr);
  EXPECT_EQ(AddMenuItem(MIT_ITEM, u"again", &s.list, 1), 0);
}

}  // namespace
}  // namespace shadowpane
