#include "devices/DeviceText.h"

#include <algorithm>
#include <cstring>

namespace shadowpane {

int TextLength(const WideChar* text, int maxUnits) {
  if (text == nullptr) return 0;
  int length = 0;
  while (length < maxUnits && text[length] != 0) ++length;
  return length;
}

int CopyNameField(const WideChar (&field)[kNameUnits], WideChar* buffer, int maxChars) {
  const int length = TextLength(field, kMaxNameChars);
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
  const int length = std::min(TextLength(text, kNameUnits), kMaxNameChars);
  std::copy(text, text + length, field);
  return length;
}

std::u16string FieldToString(const WideChar (&field)[kNameUnits]) {
  return std::u16string(field, static_cast<size_t>(TextLength(field, kNameUnits)));
}

}  // namespace shadowpane
