// What the About window shows besides its frame: its controls, the logo's
// place, the product line and the version line. Portable: no platform
// headers.
#pragma once

#include <vector>

#include "core/Text.h"
#include "ui/toolkit/Geometry.h"
#include "ui/windows/WindowShellLayout.h"

namespace shadowpane {

// The program's version: the one place it is written (the release derives
// the version resource from it).
constexpr WideChar kProductVersion[] = u"2.0.0.1";
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
