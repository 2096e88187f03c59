// Which running programs an install or uninstall has to end first: every
// process started from a file inside the install folder, whatever window it
// shows or has yet to show. Portable: no platform headers.
#pragma once

#include "core/Text.h"

namespace shadowpane {

// The closing tool's answers to the installer (its exit codes).
constexpr int kNoCopyRan = 0;       // nothing to restart
constexpr int kCopiesEnded = 1;     // every copy is gone; restart one after copying
constexpr int kCopyStillRuns = 2;   // a copy could not be ended: its files stay in use
constexpr int kBadArguments = 64;

// 1 when the image path names a file somewhere below the folder. Both are
// compared as given (the caller folds their case the way the file system
// does); '\' and '/' count as the same separator, and a folder given with
// or without its trailing separator means the same. An empty folder
// contains nothing.
int IsInsideFolder(const WideString& imagePath, const WideString& folder);

}  // namespace shadowpane
