#include "ui/windows/AboutWindowLogic.h"

#include "settings/Languages.h"

namespace shadowpane {
namespace {

constexpr int kLineInset = 20;
constexpr int kProductLineTop = 225;
constexpr int kLineHeight = 20;
// A language's word for "version" is far shorter than this.
constexpr int kVersionWordChars = kVersionLineChars;

}  // namespace

std::vector<ControlPlacement> AboutControls(Size client) {
  return {CloseButtonAt(IDC_ABOUT_CLOSE, client),
          BottomButtonAt(IDC_ABOUT_OK, GetString(STR_OK), RightButtonX(client), client)};
}

Rect ProductLineRect(Size client) {
  return {kLineInset, kProductLineTop, client.width - kLineInset, kProductLineTop + kLineHeight};
}

Rect VersionLineRect(Size client) {
  const int top = kProductLineTop + kLineHeight;
  return {kLineInset, top, client.width - kLineInset, top + kLineHeight};
}

WideString ComposeVersionLine(const WideChar* word) {
  WideString line = BoundedString(word, kVersionWordChars);
  line += u' ';
  line += kProductVersion;
  if (line.size() > static_cast<std::size_t>(kVersionLineChars)) line.resize(kVersionLineChars);
  return line;
}

}  // namespace shadowpane
