#include "ui/toolkit/AccessibleLogic.h"

#include "ui/toolkit/AccessibleTexts.h"

namespace shadowpane {
namespace {

constexpr WideChar kAccessKeyMark = u'&';
constexpr WideChar kAltPrefix[] = u"Alt+";

WideChar UpperAscii(WideChar c) { return c >= u'a' && c <= u'z' ? static_cast<WideChar>(c - u'a' + u'A') : c; }

}  // namespace

WideString NameFromCaption(WideView caption) {
  WideString name;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == kAccessKeyMark) {
      if (i + 1 >= caption.size()) break;
      ++i;  // the mark goes; a doubled mark stands for itself
    }
    name += caption[i];
  }
  return name;
}

WideString ShortcutFromCaption(WideView caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != kAccessKeyMark) continue;
    if (caption[i + 1] == kAccessKeyMark) {
      ++i;
      continue;
    }
    WideString shortcut = kAltPrefix;
    shortcut += UpperAscii(caption[i + 1]);
    return shortcut;
  }
  return WideString();
}

void CompleteDescription(AccessibleDescription& description) {
  if (!description.defaultAction.empty()) return;
  const int language = description.language;
  switch (description.role) {
    case AccessibleRole::PushButton:
    case AccessibleRole::MenuItem:
      description.defaultAction = AccessibleTextIn(AccessibleText::ActionPress, language);
      break;
    case AccessibleRole::RadioButton:
      description.defaultAction = AccessibleTextIn(AccessibleText::ActionCheck, language);
      break;
    case AccessibleRole::CheckButton:
      description.defaultAction = AccessibleTextIn(
          (description.states & kAccChecked) != 0 ? AccessibleText::ActionUncheck : AccessibleText::ActionCheck,
          language);
      break;
    default:
      break;
  }
}

}  // namespace shadowpane
