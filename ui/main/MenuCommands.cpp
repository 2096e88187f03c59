#include "ui/main/MenuCommands.h"

#include "settings/Languages.h"
#include "res/MenuIds.h"

namespace shadowpane {
namespace {

constexpr WideChar kLanguagePlaceholder[] = u"%s";
// Inside the help file, each language's pages sit in a folder named by its
// code, each with its own start page.
constexpr WideChar kHelpTopicPrefix[] = u"::/";
constexpr WideChar kHelpStartPage[] = u"/index.html";

// The language's code; English for a language outside the tables, as the
// menu does.
WideString LanguageCodeOrEnglish(int language) {
  WideChar code[kLanguageNameUnits] = {};
  if (!GetLanguageCode(language, code)) GetLanguageCode(LANGUAGE_ENGLISH, code);
  return WideString(code);
}

const MenuCommand kCommands[] = {
    {IDM_SETTINGS, CommandKind::Settings, nullptr},
    {IDM_WEBSITE, CommandKind::WebPage, u"/shadowpane/?ref=2001&lang=%s"},
    {IDM_CONTACT_US, CommandKind::WebPage, u"/contacts.php?pid=2&ref=2001&lang=%s"},
    {IDM_FEEDBACK, CommandKind::WebPage, u"/shadowpane/feedback.php?ref=2001&lang=%s"},
    {IDM_FACEBOOK, CommandKind::WebPage, u"/?goto=facebook&pid=2&ver=2001"},
    {IDM_TWITTER, CommandKind::WebPage, u"/?goto=twitter&pid=2&ver=2001"},
    {IDM_GOOGLEPLUS, CommandKind::WebPage, u"/?goto=googleplus&pid=2&ver=2001"},
    {IDM_HELP, CommandKind::Help, nullptr},
    {IDM_ABOUT, CommandKind::About, nullptr},
    {IDM_SHORTCUTS, CommandKind::Shortcuts, nullptr},
    {IDM_RECENT_USE, CommandKind::RecentUse, nullptr},
};

}  // namespace

MenuCommand LookUpCommand(int commandId) {
  for (const MenuCommand& command : kCommands) {
    if (command.id == commandId) return command;
  }
  return {commandId, CommandKind::None, nullptr};
}

WideString WebPageAddress(const MenuCommand& command, int language) {
  if (command.kind != CommandKind::WebPage || command.page == nullptr) return WideString();
  WideString address(kWebSite);
  WideString page(command.page);
  const std::size_t at = page.find(kLanguagePlaceholder);
  if (at != WideString::npos) page.replace(at, WideView(kLanguagePlaceholder).size(), LanguageCodeOrEnglish(language));
  return address + page;
}

WideString HelpFilePath(const WideString& executablePath) {
  const std::size_t slash = executablePath.find_last_of(u"\\/");
  if (slash == WideString::npos) return WideString(kHelpFileName);
  return executablePath.substr(0, slash + 1) + kHelpFileName;
}

WideString HelpTopicPath(const WideString& executablePath, int language) {
  return HelpFilePath(executablePath) + kHelpTopicPrefix + LanguageCodeOrEnglish(language) + kHelpStartPage;
}

}  // namespace shadowpane
