// Loads each popup-menu template from the resources and walks it: the one
// top-level "MENU" submenu, then ids, order, texts and the nested submenu.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "settings/Languages.h"
#include "res/MenuIds.h"

namespace shadowpane {
namespace {

constexpr UINT kSeparator = 0;
constexpr UINT kSubmenu = 1;

struct ExpectedItem {
  UINT id;  // kSeparator, kSubmenu, or the command id
  const wchar_t* text;
};

struct ExpectedMenu {
  int language;
  std::vector<ExpectedItem> items;
  std::vector<const wchar_t*> joinUsOn;  // texts of 4868, 4869, 4870
};

// Non-ASCII texts are written with escapes so the expectations do not depend
// on how the compiler reads this file.
const ExpectedMenu kMenus[] = {
    {LANGUAGE_ENGLISH,
     {{IDM_SETTINGS, L"&Settings..."},
      {IDM_SHORTCUTS, L"&Keyboard shortcuts..."}, {IDM_RECENT_USE, L"&Recent use..."}, {kSeparator, L""}, {IDM_HELP, L"&Help..."},
      {IDM_ABOUT, L"&About..."}, {kSeparator, L""}, {kSubmenu, L"&Join us on"}, {kSeparator, L""},
      {IDM_WEBSITE, L"&Website"}, {IDM_CONTACT_US, L"&Contact Us"},
      {IDM_FEEDBACK, L"Leave &Feedback"}},
     {L"&Facebook", L"&Twitter", L"&GooglePlus"}},
    {LANGUAGE_GERMAN,
     {{IDM_SETTINGS, L"&Einstellungen..."},
      {IDM_SHORTCUTS, L"&Tastenkombinationen..."}, {IDM_RECENT_USE, L"&Letzte Verwendung..."}, {kSeparator, L""}, {IDM_HELP, L"&Hilfe..."},
      {IDM_ABOUT, L"\x00DC&" L"ber..."}, {kSeparator, L""}, {kSubmenu, L"&Folgen Sie uns auf"},
      {kSeparator, L""}, {IDM_WEBSITE, L"&Website"}, {IDM_CONTACT_US, L"&Kontakt"},
      {IDM_FEEDBACK, L"Feedback &schreiben"}},
     {L"&Facebook", L"&Twitter", L"&GooglePlus"}},
    {LANGUAGE_SPANISH,
     {{IDM_SETTINGS, L"&Ajustes..."},
      {IDM_SHORTCUTS, L"Atajos de &teclado..."}, {IDM_RECENT_USE, L"Uso &reciente..."}, {kSeparator, L""}, {IDM_HELP, L"Ay&uda..."},
      {IDM_ABOUT, L"Acerca &de..."}, {kSeparator, L""}, {kSubmenu, L"\x00DA&nete"},
      {kSeparator, L""}, {IDM_WEBSITE, L"Sitio &web"}, {IDM_CONTACT_US, L"&Cont\x00E1" L"ctanos"},
      {IDM_FEEDBACK, L"&Env\x00ED" L"a tus comentarios"}},
     {L"&Facebook", L"&Twitter", L"&GooglePlus"}},
    {LANGUAGE_ITALIAN,
     {{IDM_SETTINGS, L"&Impostazioni..."},
      {IDM_SHORTCUTS, L"&Scorciatoie da tastiera..."}, {IDM_RECENT_USE, L"Uso &recente..."}, {kSeparator, L""}, {IDM_HELP, L"&Aiuto..."},
      {IDM_ABOUT, L"Ri&guardo a..."}, {kSeparator, L""}, {kSubmenu, L"&Unisciti a noi su"},
      {kSeparator, L""}, {IDM_WEBSITE, L"Sito &web"}, {IDM_CONTACT_US, L"&Contattaci"},
      {IDM_FEEDBACK, L"In&via feedback"}},
     {L"&Facebook", L"&Twitter", L"&GooglePlus"}},
};

struct ItemFacts {
  UINT type = 0;
  UINT id = 0;
  HMENU submenu = nullptr;
  std::wstring text;
};

ItemFacts ReadItem(HMENU menu, UINT position) {
  wchar_t text[256] = {};
  MENUITEMINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
  info.dwTypeData = text;
  info.cch = 255;
  ItemFacts facts;
  if (!GetMenuItemInfoW(menu, position, TRUE, &info)) return facts;
  facts.type = info.fType;
  facts.id = info.wID;
  facts.submenu = info.hSubMenu;
  facts.text = text;
  return facts;
}

TEST(MenuTemplates, EachLanguageHasItsTemplateWithItemsInOrder) {
  for (const ExpectedMenu& expected : kMenus) {
    const int resourceId = GetMenuResourceId(expected.language);
    SCOPED_TRACE(resourceId);
    HMENU top = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId));
    ASSERT_NE(top, nullptr);

    ASSERT_EQ(GetMenuItemCount(top), 1);
    const ItemFacts label = ReadItem(top, 0);
    EXPECT_EQ(label.text, L"MENU");
    HMENU popup = label.submenu;
    ASSERT_NE(popup, nullptr);

    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(expected.items.size()));
    for (UINT position = 0; position < expected.items.size(); ++position) {
      SCOPED_TRACE(position);
      const ExpectedItem& want = expected.items[position];
      const ItemFacts item = ReadItem(popup, position);
      if (want.id == kSeparator) {
        EXPECT_TRUE(item.type & MFT_SEPARATOR);
        EXPECT_EQ(item.submenu, nullptr);
        continue;
      }
      EXPECT_FALSE(item.type & MFT_SEPARATOR);
      EXPECT_EQ(item.text, want.text);
      if (want.id == kSubmenu) {
        ASSERT_NE(item.submenu, nullptr);
        ASSERT_EQ(GetMenuItemCount(item.submenu), 3);
        const UINT ids[] = {IDM_FACEBOOK, IDM_TWITTER, IDM_GOOGLEPLUS};
        for (UINT inner = 0; inner < 3; ++inner) {
          const ItemFacts link = ReadItem(item.submenu, inner);
          EXPECT_EQ(link.id, ids[inner]);
          EXPECT_EQ(link.text, expected.joinUsOn[inner]);
          EXPECT_EQ(link.submenu, nullptr);
        }
      } else {
        EXPECT_EQ(item.id, want.id);
        EXPECT_EQ(item.submenu, nullptr);
      }
    }
    DestroyMenu(top);
  }
}

TEST(MenuTemplates, ThereIsNoTemplate4609) {
  EXPECT_EQ(LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(4609)), nullptr);
}

TEST(MenuTemplates, NonAsciiMenuTextIsStoredAsUtf16) {
  // The raw template, not just what the menu manager makes of it.
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_MENU_GERMAN), RT_MENU);
  ASSERT_NE(found, nullptr);
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, found)));
  const DWORD size = SizeofResource(nullptr, found);
  const std::string data(reinterpret_cast<const char*>(bytes), size);
  // "Ü&ber..." as UTF-16LE.
  const char uber[] = {'\xDC', 0, '&', 0, 'b', 0, 'e', 0, 'r', 0, '.', 0, '.', 0, '.', 0, 0, 0};
  EXPECT_NE(data.find(std::string(uber, sizeof uber)), std::string::npos);
}

}  // namespace
}  // namespace shadowpane
