#include "ui/toolkit/win32/OwnerDrawnList.h"

#include <new>
#include <string>

#include "core/win32/TextCast.h"
#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/FocusMark.h"

namespace shadowpane {
namespace {

constexpr wchar_t kListRecordProperty[] = L"ShadowpaneOwnerDrawnList";

struct ListRecord {
  WNDPROC previous = nullptr;
  int caret = -1;
  ListUse use = ListUse::Clickable;
};

ListRecord* RecordOf(HWND list) { return static_cast<ListRecord*>(GetPropW(list, kListRecordProperty)); }

int Count(HWND list) {
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  return count > 0 ? static_cast<int>(count) : 0;
}

RECT EntryRect(HWND list, int index) {
  RECT rect{};
  SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
  return rect;
}

// Entries the list shows at once.
int PageOf(HWND list) {
  RECT client{};
  GetClientRect(list, &client);
  const LRESULT height = SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
  return height > 0 ? static_cast<int>((client.bottom - client.top) / height) : 1;
}

void RepaintEntry(HWND list, int index) {
  if (index < 0 || index >= Count(list)) return;
  const RECT rect = EntryRect(list, index);
  InvalidateRect(list, &rect, FALSE);
}

void ScrollIntoView(HWND list, int index) {
  const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  const int page = PageOf(list) > 0 ? PageOf(list) : 1;
  if (index < top) {
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
  } else if (index >= top + page) {
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index - page + 1), 0);
  }
}

void MoveCaret(HWND list, ListRecord& record, int caret) {
  const int previous = ClampCaret(record.caret, Count(list));
  record.caret = caret;
  ScrollIntoView(list, caret);
  RepaintEntry(list, previous);
  RepaintEntry(list, caret);
  // Told after the state answers FOCUSED, so screen readers speak it.
  if (GetFocus() == list) NotifyAccessible(EVENT_OBJECT_FOCUS, list, caret + 1);
  NotifyAccessible(EVENT_OBJECT_SELECTION, list, caret + 1);
}

// The click's path: the entry selected and LBN_SELCHANGE to the owner.
void Activate(HWND list, int index) {
  if (index < 0 || index >= Count(list)) return;
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  const LONG_PTR id = GetWindowLongPtrW(list, GWLP_ID);
  SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

void DescribeList(HWND list, AccessibleDescription& d) {
  const int count = Count(list);
  if (d.child == kAccessibleSelf) {
    d.role = AccessibleRole::List;
    d.states = WindowStates(list);
    d.elements = count;
    return;
  }
  const int index = d.child - 1;
  d.role = AccessibleRole::ListItem;
  d.states = kAccSelectable | kAccFocusable;
  if (index == ListCaret(list)) {
    d.states |= kAccSelected;
    if (GetFocus() == list) d.states |= kAccFocused;
  }
  const RECT rect = EntryRect(list, index);
  RECT client{};
  GetClientRect(list, &client);
  if (rect.bottom <= client.top || rect.top >= client.bottom) d.states |= kAccOffscreen;
  d.location = {rect.left, rect.top, rect.right, rect.bottom};
  const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return;
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
  d.name = WideString(AsCore(text.c_str()));
}

LRESULT DialogCode(const MSG* key, ListUse use) {
  LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  // Enter activates the entry rather than pressing the window's default.
  if (use == ListUse::Clickable && key != nullptr && key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
    code |= DLGC_WANTMESSAGE;
  }
  return code;
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  ListRecord* record = RecordOf(list);
  if (record == nullptr) return DefWindowProcW(list, message, wParam, lParam);
  WNDPROC previous = record->previous;
  switch (message) {
    case WM_GETDLGCODE:
      return DialogCode(reinterpret_cast<const MSG*>(lParam), record->use);
    case WM_KEYDOWN: {
      const ListKey key = DecideListKey(static_cast<std::uint32_t>(wParam), record->caret, Count(list), PageOf(list));
      if (key.action == ListKeyAction::Move) MoveCaret(list, *record, key.caret);
      if (key.action == ListKeyAction::Activate && record->use == ListUse::Clickable) {
        record->caret = key.caret;
        Activate(list, key.caret);
      }
      return 0;  // never the list box's own keys
    }
    case WM_CHAR:
      return 0;  // nor its type-ahead, which would select (click) an entry
    case WM_SETFOCUS: {
      const LRESULT result = CallWindowProcW(previous, list, message, wParam, lParam);
      record->caret = ClampCaret(record->caret, Count(list));
      RepaintEntry(list, record->caret);
      if (record->caret >= 0) NotifyAccessible(EVENT_OBJECT_FOCUS, list, record->caret + 1);
      return result;
    }
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE:
      RepaintEntry(list, ListCaret(list));
      break;
    case WM_GETOBJECT:
      return AnswerGetObject(list, wParam, lParam, AccessibleShape::Control, DescribeList);
    case WM_ACCESSIBLE_DEFAULT_ACTION:
      if (record->use != ListUse::Clickable) return 0;
      record->caret = static_cast<int>(wParam) - 1;
      Activate(list, record->caret);
      return 0;
    case WM_ACCESSIBLE_SELECT_ITEM:
      if (static_cast<int>(wParam) >= 1 && static_cast<int>(wParam) <= Count(list)) {
        MoveCaret(list, *record, static_cast<int>(wParam) - 1);
      }
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
      RemovePropW(list, kListRecordProperty);
      delete record;
      return CallWindowProcW(previous, list, message, wParam, lParam);
    default:
      break;
  }
  return CallWindowProcW(previous, list, message, wParam, lParam);
}

}  // namespace

int AttachOwnerDrawnList(HWND list, ListUse use) {
  if (list == nullptr || RecordOf(list) != nullptr) return 0;
  auto* record = new (std::nothrow) ListRecord;
  if (record == nullptr) return 0;
  record->use = use;
  if (!SetPropW(list, kListRecordProperty, record)) {
    delete record;
    return 0;
  }
  record->previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProc)));
  return 1;
}

int ListCaret(HWND list) {
  const ListRecord* record = RecordOf(list);
  return record != nullptr ? ClampCaret(record->caret, Count(list)) : -1;
}

void DrawListFocusMark(HWND list, int index, HDC dc, RECT entry) {
  if (index != ListCaret(list)) return;
  DrawFocusMark(list, dc, entry);
}

LRESULT FindListEntry(HWND list, const WideString& name) {
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  std::wstring text;
  for (LRESULT index = 0; index < count; ++index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0 || static_cast<std::size_t>(length) != name.size()) continue;
    text.assign(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    if (WideString(AsCore(text.c_str())) == name) return index;
  }
  return LB_ERR;
}

}  // namespace shadowpane
