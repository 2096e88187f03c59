// What the menu's commands open: web pages in the default browser, and the
// help file in the help viewer.
#pragma once

#include <windows.h>

#include <string>

namespace shadowpane {

// Opens the address with the shell's "open" verb. Nothing is reported when
// no browser opens.
void OpenWebPage(const wchar_t* address);

// Opens Shadowpane.chm beside the executable at the start page of the
// current language (gDisplayLanguage). The viewer's library is loaded the
// first time, from the system folder by full path: never by bare name, so a
// file of that name beside the executable or in the working directory is
// never loaded. Answers 1 when the viewer was reached.
int OpenHelp();

// The viewer library's full path in the system folder; empty when the
// folder cannot be read.
std::wstring HelpViewerLibraryPath();

}  // namespace shadowpane
