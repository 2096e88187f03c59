// The copy and store rules for a device's fixed 256-unit name fields.
#pragma once

#include <string>

#include "devices/DeviceTypes.h"

namespace shadowpane {

// Copy rule: an empty name copies nothing and answers 0. When maxChars is
// less than the name's length exactly maxChars units are copied and no
// terminator is added; otherwise the name and its terminator are copied.
// Answers the number of characters the buffer now holds.
int CopyNameField(const WideChar (&field)[kNameUnits], WideChar* buffer, int maxChars);

// Store rule: clears the field, then stores the text, cut to its first 255
// characters. A null text stores the empty name. Answers the stored length.
int StoreNameField(WideChar (&field)[kNameUnits], const WideChar* text);

// Convenience for code and tests that work with std::u16string.
std::u16string FieldToString(const WideChar (&field)[kNameUnits]);

}  // namespace shadowpane
