#include "devices/DeviceText.h"

#include <algorithm>
#include <cstring>

namespace shadowpane {

int CopyNameField(const WideChar (&field)[kNameUnits], WideChar* buffer, int maxChars) {
  const int length = BoundedLength(field, kMaxNameChars);
  if (length == 0 || buffer == nullptr) return 0;
  if (maxChars < 0) maxChars = 0;
  if (maxChars < length) {
    std::copy(field, field + maxChars, buffer);
    return maxChars;
  }
  std::copy(field, field + length + 1, buffer);
  return length;
}

int StoreNameField(WideChar (&field)[kNameUnits], const WideChar* text) {
  std::memset(field, 0, sizeof field);
  // Looking at 256 units tells "shorter than 256" from "cut to 255".
  const int length = std::min(BoundedLength(text, kNameUnits), kMaxNameChars);
  std::copy(text, text + length, field);
  return length;
}

std::u16string FieldToString(const WideChar (&field)[kNameUnits]) {
  return BoundedString(field, kNameUnits);
}

}  // namespace shadowpane
