#include "ui/windows/win32/RecentUseWindow.h"

#include <vector>

#include "core/win32/TextCast.h"
#include "settings/Languages.h"
#include "ui/toolkit/DpiScaling.h"
#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/OwnerDrawnList.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/windows/RecentUseWindowLogic.h"
#include "ui/windows/win32/SecondaryWindow.h"
#include "usage/UsageTexts.h"

namespace shadowpane {
namespace {

struct RecentUseWindow : SecondaryWindow {
  std::vector<RecentUseRow> rows;
};

// Each entry's text is its program, which readers take as the entry's name.
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_BORDER | LBS_NOSEL |
                             LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
constexpr int kProgramColumn = 1;
constexpr UINT kCellText = DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | kToolkitTextFlags;
constexpr int kDateTimeUnits = 64;

// The event's time in the user's own short date and time, local time.
WideString FormatTime(std::uint64_t fileTime) {
  FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  FILETIME local{};
  SYSTEMTIME time{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &time)) return WideString();
  wchar_t date[kDateTimeUnits] = {};
  wchar_t clock[kDateTimeUnits] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, date, kDateTimeUnits);
  GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &time, nullptr, clock, kDateTimeUnits);
  return WideString(AsCore(date)) + u' ' + AsCore(clock);
}

// The cells of one row in 96-DPI units (its left and top in pixels), each
// scaled to the window's DPI.
void DrawCells(HDC dc, const RecentUseRow& row, int left, int top, int width, int height, int dpi) {
  for (int column = 0; column < kRecentUseColumnCount; ++column) {
    const Rect cell = Scale(RecentUseCellRect(column, width, height), dpi);
    RECT rect{left + cell.left, top + cell.top, left + cell.right - Scale(kRecentUseCellGap, dpi),
              top + cell.bottom};
    DrawTextW(dc, AsWide(row.cells[column].c_str()), -1, &rect, kCellText);
  }
}

void DrawHeadings(const SecondaryWindow& record, HDC dc, Size client) {
  const Rect list = RecentUseListRect(client);
  HGDIOBJ previous = SelectObject(dc, record.boldFont.get());
  DrawCells(dc, RecentUseHeadings(gDisplayLanguage), Scale(list.left, record.dpi),
            Scale(kRecentUseHeadingTop, record.dpi), list.right - list.left,
            kRecentUseListTop - kRecentUseHeadingTop, record.dpi);
  SelectObject(dc, previous);
}

void DrawRow(const RecentUseWindow& record, const DRAWITEMSTRUCT& item) {
  if (item.itemID >= record.rows.size()) return;
  RECT whole = item.rcItem;
  FillRect(item.hDC, &whole, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HGDIOBJ previous = SelectObject(item.hDC, record.normalFont.get());
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, RGB(0, 0, 0));
  DrawCells(item.hDC, record.rows[item.itemID], whole.left, whole.top, ToDesign(whole.right - whole.left, record.dpi),
            kRecentUseRowHeight, record.dpi);
  SelectObject(item.hDC, previous);
  DrawListFocusMark(item.hwndItem, static_cast<int>(item.itemID), item.hDC, whole);
}

void CreateRecentUseControls(RecentUseWindow& record, LPARAM createStruct, const RecentUseLog& log) {
  HWND window = record.window;
  const Size client = DesignClientSize(window);
  CreateWindowControls(window, createStruct, RecentUseControls(client));
  NameSecondaryWindow(window, UsageTextIn(UsageText::RecentUseTitle, gDisplayLanguage));
  // Made after the buttons, the list comes first in the Tab order all the same.
  const Rect place = Scale(RecentUseListRect(client), record.dpi);
  HWND list = CreateWindowExW(0, L"LISTBOX", L"", kListStyle, place.left, place.top, place.right - place.left,
                              place.bottom - place.top, window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_RECENT_USE_LIST)),
                              ToolkitInstance(), nullptr);
  std::vector<WideString> times;
  for (const UsageEvent& event : log.Events()) times.push_back(FormatTime(event.time));
  record.rows = RecentUseRows(log, times, gDisplayLanguage);
  if (list == nullptr) return;
  for (const RecentUseRow& row : record.rows) {
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AsWide(row.cells[kProgramColumn].c_str())));
  }
  // Up, Down, Home, End and the page keys move through it; readers get
  // its entries and the focus on each.
  AttachOwnerDrawnList(list, ListUse::ReadOnly);
  OrderTabStops(window);
}

LRESULT OnDescribe(RecentUseWindow& record, HWND window, WPARAM wParam, LPARAM lParam) {
  HWND control = reinterpret_cast<HWND>(wParam);
  auto* description = reinterpret_cast<AccessibleDescription*>(lParam);
  if (description != nullptr && control == GetDlgItem(window, IDC_RECENT_USE_LIST)) {
    description->language = gDisplayLanguage;
    DescribeRecentUseList(record.rows, gDisplayLanguage, *description);
    return 1;
  }
  return HandleShellMessage(record, window, WM_ACCESSIBLE_DESCRIBE, wParam, lParam);
}

LRESULT HandleMessage(RecentUseWindow& record, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      const auto* log = static_cast<const RecentUseLog*>(create->lpCreateParams);
      if (log != nullptr) CreateRecentUseControls(record, lParam, *log);
      return 0;
    }
    case WM_PAINT:
      PaintWindowFrame(record, kSkinSecondaryFrame, UsageTextIn(UsageText::RecentUseTitle, gDisplayLanguage),
                       DrawHeadings);
      return 0;
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item != nullptr) item->itemHeight = Scale(kRecentUseRowHeight, record.dpi);
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item != nullptr && item->itemID != static_cast<UINT>(-1)) DrawRow(record, *item);
      return TRUE;
    }
    case WM_ACCESSIBLE_DESCRIBE:
      return OnDescribe(record, window, wParam, lParam);
    case WM_COMMAND: {
      // Enter and Escape both close it, as OK does (the list leaves Enter to the window).
      const int id = DialogKeyCommand(LOWORD(wParam), IDC_RECENT_USE_OK, IDC_RECENT_USE_OK);
      if (id == IDC_RECENT_USE_CLOSE || id == IDC_RECENT_USE_OK) CloseSecondaryWindow(window);
      return 0;
    }
    default:
      return HandleShellMessage(record, window, message, wParam, lParam);
  }
}

}  // namespace

int RegisterRecentUseWindowClass(HINSTANCE instance) {
  return RegisterSecondaryWindowClass(instance, kRecentUseWindowClassName, RecentUseWindowProc);
}

int ShowRecentUseWindow(HWND owner, const RecentUseLog& log) {
  return OpenSecondaryWindow(kRecentUseWindowClassName, owner, kRecentUseWindowSize, L"", nullptr,
                             const_cast<RecentUseLog*>(&log));
}

LRESULT CALLBACK RecentUseWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<RecentUseWindow>(window, message, wParam, lParam, RecordMadeAt::NcCreate,
                                           MakeSecondaryRecord<RecentUseWindow>, HandleMessage);
}

}  // namespace shadowpane
