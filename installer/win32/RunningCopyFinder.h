// Finds the processes started from inside a folder, for the closing tool
// and for the installer test's probe.
#pragma once

#include <windows.h>

#include <vector>

#include "core/Text.h"

namespace shadowpane {

// The path in the case the file system ignores: both sides folded alike.
WideString FoldedPath(const wchar_t* path);

// The process that started this one; 0 when it cannot be told.
DWORD ParentProcessId();

// Every process whose executable lies below the folder (given folded), but
// this one and the process that started it (an uninstaller may run from
// that folder).
std::vector<DWORD> RunningCopyIds(const WideString& foldedFolder);

}  // namespace shadowpane
