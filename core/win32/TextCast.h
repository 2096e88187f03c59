// The one conversion between the program's text unit and the platform's
// wchar_t. Both are 16-bit UTF-16 units on Windows, so a pointer to one is
// read as a pointer to the other at the API boundary.
#pragma once

#include "core/Text.h"

namespace shadowpane {

static_assert(sizeof(wchar_t) == sizeof(WideChar), "wchar_t is a UTF-16 unit on Windows");

inline const wchar_t* AsWide(const WideChar* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* AsWide(WideChar* text) { return reinterpret_cast<wchar_t*>(text); }
inline const WideChar* AsCore(const wchar_t* text) { return reinterpret_cast<const WideChar*>(text); }
inline WideChar* AsCore(wchar_t* text) { return reinterpret_cast<WideChar*>(text); }

}  // namespace shadowpane
