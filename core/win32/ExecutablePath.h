// The running executable's full path, read once in the one way every caller
// needs: a path the system had to cut short is no path at all.
#pragma once

#include <windows.h>

#include <string>

namespace shadowpane {

// The path when it has at most maxChars characters and the system gave it
// whole; empty otherwise.
inline std::wstring ExecutablePathUpTo(int maxChars) {
  if (maxChars <= 0) return std::wstring();
  // One unit more than allowed (and the terminator) tells a path that fits
  // from a cut one.
  std::wstring buffer(static_cast<std::size_t>(maxChars) + 2, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, &buffer[0], static_cast<DWORD>(buffer.size()));
  if (length == 0 || length > static_cast<DWORD>(maxChars)) return std::wstring();
  buffer.resize(length);
  return buffer;
}

}  // namespace shadowpane
