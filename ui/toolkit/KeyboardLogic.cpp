#include "ui/toolkit/KeyboardLogic.h"

#include "ui/toolkit/MenuItemList.h"
#include "ui/toolkit/MessageBoxLayout.h"

namespace shadowpane {

int ClampCaret(int caret, int count) {
  if (count <= 0) return -1;
  if (caret < 0) return 0;
  return caret < count ? caret : count - 1;
}

ListKey DecideListKey(std::uint32_t key, int caret, int count, int page) {
  ListKey result;
  if (count <= 0) return result;
  const int at = ClampCaret(caret, count);
  const int step = page > 1 ? page - 1 : 1;  // a page keeps one entry in view
  int to = at;
  switch (key) {
    case kKeyUp:
      to = at - 1;
      break;
    case kKeyDown:
      to = at + 1;
      break;
    case kKeyHome:
      to = 0;
      break;
    case kKeyEnd:
      to = count - 1;
      break;
    case kKeyPageUp:
      to = at - step;
      break;
    case kKeyPageDown:
      to = at + step;
      break;
    case kKeySpace:
    case kKeyReturn:
      result.action = ListKeyAction::Activate;
      result.caret = at;
      return result;
    default:
      return result;
  }
  result.action = ListKeyAction::Move;
  result.caret = to < 0 ? 0 : (to >= count ? count - 1 : to);
  return result;
}

ControlKeyAction DecideControlKey(std::uint32_t key, bool repeated, bool radio) {
  if (key == kKeySpace) return repeated ? ControlKeyAction::None : ControlKeyAction::Click;
  if (!radio) return ControlKeyAction::None;
  if (key == kKeyDown || key == kKeyRight) return ControlKeyAction::NextChoice;
  if (key == kKeyUp || key == kKeyLeft) return ControlKeyAction::PreviousChoice;
  return ControlKeyAction::None;
}

int StepChoice(int current, int count, bool forward) {
  if (count <= 0) return -1;
  if (current < 0 || current >= count) return 0;
  return forward ? (current + 1) % count : (current + count - 1) % count;
}

int DialogKeyCommand(int id, int okId, int cancelId) {
  if (id == kDialogEnterId) return okId;
  if (id == kDialogEscapeId) return cancelId;
  return id;
}

int MessageBoxDefaultButton(std::int32_t buttons) {
  return NormalizedButtonSet(buttons) == MBX_BUTTONS_OK ? kMessageBoxOkId : kMessageBoxYesId;
}

int MessageBoxCancelButton(std::int32_t buttons) {
  switch (NormalizedButtonSet(buttons)) {
    case MBX_BUTTONS_YESNOCANCEL:
      return kMessageBoxCancelId;
    case MBX_BUTTONS_YESNO:
      return kMessageBoxNoId;
    default:
      return kMessageBoxOkId;
  }
}

namespace {

// The selectable item after (or before) index `from`; -1 for none. From -1
// forward starts at the first, backward at the last.
int NextSelectable(const MenuItem* first, int from, bool forward) {
  int found = -1;
  for (const MenuItem* item = first; item != nullptr; item = item->next) {
    if (item->type != MIT_ITEM) continue;
    if (forward && (from < 0 || item->index > from)) return item->index;
    if (!forward && (from < 0 || item->index < from)) found = item->index;
  }
  return found;
}

}  // namespace

PopupKey DecidePopupKey(const MenuItem* first, int hot, std::uint32_t key) {
  PopupKey result;
  result.hot = hot;
  switch (key) {
    case kKeyEscape:
      result.action = PopupKeyAction::Close;
      return result;
    case kKeyReturn:
    case kKeySpace:
      if (hot >= 0) result.action = PopupKeyAction::Pick;
      return result;
    case kKeyDown:
    case kKeyUp: {
      const int next = NextSelectable(first, hot, key == kKeyDown);
      if (next >= 0) result = {PopupKeyAction::Move, next};
      return result;
    }
    case kKeyHome:
    case kKeyEnd: {
      const int end = NextSelectable(first, -1, key == kKeyHome);
      if (end >= 0) result = {PopupKeyAction::Move, end};
      return result;
    }
    default:
      return result;
  }
}

bool MenuKeyTracker::OnKey(KeyEvent event, std::uint32_t key, bool system) {
  if (event == KeyEvent::Down) {
    // Alt starts a press that opens the menu only if no other key joins it.
    const bool repeatOfAlt = key == kKeyAlt && altAlone_;
    altAlone_ = key == kKeyAlt && (repeatOfAlt || system);
    if (key == kKeyF10 && system) return true;  // F10 and Shift+F10 come as system keys
    return key == kKeyApps;
  }
  const bool open = key == kKeyAlt && altAlone_;
  altAlone_ = false;
  return open;
}

}  // namespace shadowpane
