// What the About window shows besides its frame: its controls, the logo's
// place, the product line and the version line. Portable: no platform
// headers.
#pragma once

#include <vector>

#include "core/Text.h"
#include "res/Version.h"
#include "ui/toolkit/Geometry.h"
#include "ui/windows/SecondaryWindowLogic.h"

namespace shadowpane {

// The program's version, from the header the version resource reads too.
constexpr WideChar kProductVersion[] = u"" SHADOWPANE_VERSION_TEXT;

// The text must spell the four numbers of the version resource.
constexpr bool VersionTextSpells(const char* text, const int (&numbers)[4]) {
  for (int i = 0; i < 4; ++i) {
    if (*text < '0' || *text > '9') return false;
    int number = 0;
    while (*text >= '0' && *text <= '9') number = number * 10 + (*text++ - '0');
    if (number != numbers[i] || *text != (i < 3 ? '.' : '\0')) return false;
    ++text;
  }
  return true;
}
constexpr int kVersionNumbers[4] = {SHADOWPANE_VERSION_MAJOR, SHADOWPANE_VERSION_MINOR,
                                    SHADOWPANE_VERSION_PATCH, SHADOWPANE_VERSION_BUILD};
static_assert(VersionTextSpells(SHADOWPANE_VERSION_TEXT, kVersionNumbers),
              "SHADOWPANE_VERSION_TEXT and the version numbers in res/Version.h differ");
constexpr WideChar kProductLine[] = u"KESTRALYNX Shadowpane";

constexpr Size kAboutWindowSize{446, 409};

constexpr int IDC_ABOUT_CLOSE = 1026;
constexpr int IDC_ABOUT_OK = 1027;

// The logo (bitmap 5457, 108 x 90) with its top-left corner here.
constexpr int kSkinLogo = 5457;
constexpr Point kLogoOrigin{169, 110};

// The version line: "%s %s" of the word and the version, at most 100
// characters.
constexpr int kVersionLineChars = 100;

// The controls in creation order, texts in the current language.
std::vector<ControlPlacement> AboutControls(Size client);

// The product line's and the version line's rectangles, each drawn on one
// line, centred both ways.
Rect ProductLineRect(Size client);
Rect VersionLineRect(Size client);

// The word (the localized "version"), a blank and kProductVersion, cut to
// kVersionLineChars characters.
WideString ComposeVersionLine(const WideChar* word);

}  // namespace shadowpane
