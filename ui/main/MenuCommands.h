// The popup menu's commands: what each id opens. Portable: the window
// carries the answer out (a modal window, the shell's "open" verb, the help
// viewer).
#pragma once

#include "core/Text.h"

namespace shadowpane {

// The maker's web site; every page below is a path and query on it.
constexpr WideChar kWebSite[] = u"https://www.kestralynx.com";
// The help file beside the executable.
constexpr WideChar kHelpFileName[] = u"Shadowpane.chm";

enum class CommandKind { None, Settings, WebPage, Help, About, Shortcuts, RecentUse };

struct MenuCommand {
  int id;
  CommandKind kind;
  const WideChar* page;  // web pages: path and query, "%s" for the language code
};

// The command of a menu id; CommandKind::None for any other id.
MenuCommand LookUpCommand(int commandId);

// The full address of a web-page command in a language: the site, then the
// page with the language's code ("en", "de", "es", "it") in place of "%s".
// The empty text for a command that is no web page.
WideString WebPageAddress(const MenuCommand& command, int language);

// The help file's path: the executable's folder (up to and including its
// last '\' or '/') and the file name; the bare name when the executable's
// path is unknown, so it is found through the working directory.
WideString HelpFilePath(const WideString& executablePath);

// The help topic the Help command opens: the start page of the language's
// own part of the help file, "<help file>::/<code>/index.html"; English
// for a language outside the four.
WideString HelpTopicPath(const WideString& executablePath, int language);

}  // namespace shadowpane
