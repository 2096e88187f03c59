// The raw string tables behind GetString: one row per language, one column
// per string index.
#pragma once

#include "settings/Languages.h"

namespace shadowpane {

extern const WideChar kReservedString[];
extern const WideChar* const kStringTables[kLanguageCount][kStringCount];

// Indices that hold kReservedString in every table.
constexpr int kReservedStringIndices[] = {6, 10, 27, 28, 29, 30, 31, 33, 34, 40, 48};

}  // namespace shadowpane
