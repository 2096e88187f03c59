#include "ui/toolkit/ListPopup.h"

#include <gtest/gtest.h>

#include "tests/ui/toolkit/MenuTestLists.h"

namespace shadowpane {
namespace {

using testing::AddLanguageItems;
using testing::ScopedMenuList;

TEST(ListPopupGeometry, HeightCountsMarginsItemsAndSeparators) {
  ScopedMenuList s;
  EXPECT_EQ(PopupHeight(nullptr), 10);
  AddLanguageItems(&s.list);
  EXPECT_EQ(PopupHeight(s.list.first), 109);
  AddMenuItem(MIT_LABEL, u"label", &s.list, 0);
  AddMenuItem(9, u"odd type", &s.list, 0);
  EXPECT_EQ(PopupHeight(s.list.first), 109 + 22 + 11);
}

TEST(ListPopupGeometry, HitTestFindsSelectableItemsOnly) {
  ScopedMenuList s;
  AddLanguageItems(&s.list);
  const MenuItem* first = s.list.first;
  // Top margin, then English in rows 5..26.
  for (int y = 0; y < 5; ++y) EXPECT_EQ(PopupHitTest(first, y), kNoHotItem) << y;
  EXPECT_EQ(PopupHitTest(first, 5), 0);
  EXPECT_EQ(PopupHitTest(first, 26), 0);
  // The separator in rows 27..37.
  for (int y = 27; y < 38; ++y) EXPECT_EQ(PopupHitTest(first, y), kNoHotItem) << y;
  EXPECT_EQ(PopupHitTest(first, 38), 2);
  EXPECT_EQ(PopupHitTest(first, 59), 2);
  EXPECT_EQ(PopupHitTest(first, 60), 3);
  EXPECT_EQ(PopupHitTest(first, 103), 4);
  // Bottom margin and beyond.
  for (int y = 104; y < 115; ++y) EXPECT_EQ(PopupHitTest(first, y), kNoHotItem) << y;
  EXPECT_EQ(PopupHitTest(first, -1000), kNoHotItem);
  EXPECT_EQ(PopupHitTest(nullptr, 10), kNoHotItem);
}

TEST(ListPopupGeometry, LabelsAreNeverHot) {
  ScopedMenuList s;
  AddMenuItem(MIT_LABEL, u"Choose", &s.list, 0);
  AddMenuItem(MIT_ITEM, u"One", &s.list, 1);
  EXPECT_EQ(PopupHitTest(s.list.first, 10), kNoHotItem);
  EXPECT_EQ(PopupHitTest(s.list.first, 27), 1);
}

TEST(ListPopupGeometry, CommandCarriesIndexHighAndCommandLow) {
  EXPECT_EQ(PopupCommandWParam(3, 4866), (3u << 16) | 4866u);
  // Only the low 16 bits of the command value reach the owner.
  EXPECT_EQ(PopupCommandWParam(1, 0x12345), (1u << 16) | 0x2345u);
}

TEST(ListPopupGeometry, MarkIsATriangleNarrowingToTheRight) {
  int previousHeight = 1000;
  for (int part = 0; part < kPopupMarkParts; ++part) {
    const Rect r = PopupMarkPart(part, 100);
    const int height = r.bottom - r.top;
    EXPECT_LT(height, previousHeight);
    // Every part is centred on the item row's middle (y + 11).
    EXPECT_EQ(r.top - 100 + r.bottom - 100, 22);
    previousHeight = height;
  }
}

}  // namespace
}  // namespace shadowpane
