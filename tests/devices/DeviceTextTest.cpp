#include "devices/DeviceText.h"

#include <gtest/gtest.h>

#include <string>

namespace shadowpane {
namespace {

std::u16string Repeat(char16_t c, size_t n) { return std::u16string(n, c); }

TEST(NameFieldRules, StoreCutsAt255AndClearsTheRest) {
  WideChar field[kNameUnits];
  StoreNameField(field, Repeat(u'x', 10).c_str());
  EXPECT_EQ(StoreNameField(field, Repeat(u'a', 300).c_str()), 255);
  EXPECT_EQ(FieldToString(field), Repeat(u'a', 255));
  EXPECT_EQ(field[255], 0);

  // A shorter text after a longer one leaves nothing of the old behind.
  EXPECT_EQ(StoreNameField(field, u"ab"), 2);
  for (int i = 2; i < kNameUnits; ++i) ASSERT_EQ(field[i], 0) << i;

  EXPECT_EQ(StoreNameField(field, Repeat(u'b', 255).c_str()), 255);
  EXPECT_EQ(StoreNameField(field, nullptr), 0);
  EXPECT_EQ(FieldToString(field), u"");
}

TEST(NameFieldRules, CopyOfEmptyNameLeavesBufferUntouched) {
  WideChar field[kNameUnits] = {};
  WideChar buffer[4] = {u'q', u'q', u'q', u'q'};
  EXPECT_EQ(CopyNameField(field, buffer, 3), 0);
  EXPECT_EQ(buffer[0], u'q');
}

TEST(NameFieldRules, CopyShorterThanNameAddsNoTerminator) {
  WideChar field[kNameUnits];
  StoreNameField(field, u"Camera");
  WideChar buffer[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
  EXPECT_EQ(CopyNameField(field, buffer, 3), 3);
  EXPECT_EQ(std::u16string(buffer, 4), u"Cam#");
}

TEST(NameFieldRules, CopyOfWholeNameIncludesTerminator) {
  WideChar field[kNameUnits];
  StoreNameField(field, u"Mic");
  WideChar buffer[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
  // maxChars equal to the length copies the terminator too.
  EXPECT_EQ(CopyNameField(field, buffer, 3), 3);
  EXPECT_EQ(std::u16string(buffer, 5), std::u16string(u"Mic\0#", 5));
}

TEST(NameFieldRules, CopyToleratesNegativeMaxAndNullBuffer) {
  WideChar field[kNameUnits];
  StoreNameField(field, u"Mic");
  WideChar buffer[2] = {u'#', u'#'};
  EXPECT_EQ(CopyNameField(field, buffer, -5), 0);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(CopyNameField(field, nullptr, 255), 0);
}

}  // namespace
}  // namespace shadowpane
