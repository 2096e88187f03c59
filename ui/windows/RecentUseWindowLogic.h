// What the "Recent use" window shows besides its frame: its controls, the
// list's place and columns, the rows the log gives, newest first, and how
// a screen reader reads the list.
// Portable: no platform headers.
#pragma once

#include <vector>

#include "core/Text.h"
#include "ui/toolkit/AccessibleLogic.h"
#include "ui/toolkit/Geometry.h"
#include "ui/windows/SecondaryWindowLogic.h"
#include "usage/RecentUse.h"

namespace shadowpane {

constexpr Size kRecentUseWindowSize{600, 460};

constexpr int IDC_RECENT_USE_CLOSE = 1026;
constexpr int IDC_RECENT_USE_OK = 1027;
constexpr int IDC_RECENT_USE_LIST = 1028;

// The list's rows, each this high, and its four columns: where each starts
// inside the list (time, program, device, outcome) and the column headings'
// row above the list.
constexpr int kRecentUseRowHeight = 18;
// Room kept between a cell's text and the next column.
constexpr int kRecentUseCellGap = 4;
constexpr int kRecentUseColumnCount = 4;
constexpr int kRecentUseColumnX[kRecentUseColumnCount] = {4, 130, 280, 440};
constexpr int kRecentUseHeadingTop = 95;
constexpr int kRecentUseListTop = 115;
constexpr int kRecentUseListInset = 19;

// One row: the four cells as shown.
struct RecentUseRow {
  WideString cells[kRecentUseColumnCount];
};

// The controls in creation order: close, OK.
std::vector<ControlPlacement> RecentUseControls(Size client);
// The list between the headings and the lower separator.
Rect RecentUseListRect(Size client);
// A column's cell rectangle within a row `width` wide: from its start to
// the next column's (the last to the row's end).
Rect RecentUseCellRect(int column, int width, int rowHeight);

// The headings in a language.
RecentUseRow RecentUseHeadings(int language);

// The log's events as rows, newest first; `times` holds each event's time
// already formatted, in the log's order (oldest first). A record that named
// only its kind shows "a camera" or "a microphone".
std::vector<RecentUseRow> RecentUseRows(const RecentUseLog& log, const std::vector<WideString>& times, int language);

// The list as a screen reader reads it (the toolkit's list describer has
// filled in the role, the states and the entries): the list is named by
// the window's title in the language; an entry (child n, the n-th row) by
// its program, with the time, the device and the result, as shown, in its
// value. A child past the rows is left as it is.
void DescribeRecentUseList(const std::vector<RecentUseRow>& rows, int language, AccessibleDescription& description);

}  // namespace shadowpane
