#include "ui/windows/RecentUseWindowLogic.h"

#include "settings/Languages.h"
#include "usage/UsageTexts.h"

namespace shadowpane {
namespace {

constexpr int kListBottomAboveSeparator = 8;
// Between the cells of an entry's spoken value.
constexpr WideChar kSpokenCellSeparator[] = u", ";
// The cells an entry's value reads, in this order: time, device, result.
constexpr int kSpokenCells[] = {0, 2, 3};
constexpr int kProgramCell = 1;

}  // namespace

std::vector<ControlPlacement> RecentUseControls(Size client) {
  return {CloseButtonAt(IDC_RECENT_USE_CLOSE, client),
          BottomButtonAt(IDC_RECENT_USE_OK, GetString(STR_OK), RightButtonX(client), client)};
}

Rect RecentUseListRect(Size client) {
  return {kRecentUseListInset, kRecentUseListTop, client.width - kRecentUseListInset,
          client.height - kLowerSeparatorFromBottom - kListBottomAboveSeparator};
}

Rect RecentUseCellRect(int column, int width, int rowHeight) {
  if (column < 0 || column >= kRecentUseColumnCount) return {};
  const int right = column + 1 < kRecentUseColumnCount ? kRecentUseColumnX[column + 1] : width;
  return {kRecentUseColumnX[column], 0, right, rowHeight};
}

RecentUseRow RecentUseHeadings(int language) {
  return {{UsageTextIn(UsageText::ColumnTime, language), UsageTextIn(UsageText::ColumnProgram, language),
           UsageTextIn(UsageText::ColumnDevice, language), UsageTextIn(UsageText::ColumnOutcome, language)}};
}

std::vector<RecentUseRow> RecentUseRows(const RecentUseLog& log, const std::vector<WideString>& times, int language) {
  std::vector<RecentUseRow> rows;
  const auto& events = log.Events();
  for (std::size_t i = events.size(); i-- > 0;) {
    const UsageEvent& event = events[i];
    RecentUseRow row;
    row.cells[0] = i < times.size() ? times[i] : WideString();
    row.cells[1] = ShownProgram(event.program, language);
    row.cells[2] = !event.device.empty() ? event.device
                   : UsageTextIn(event.kind == UsageKind::Camera ? UsageText::ACamera : UsageText::AMicrophone,
                                 language);
    row.cells[3] = UsageTextIn(event.turnedAway ? UsageText::TurnedAway : UsageText::Allowed, language);
    rows.push_back(std::move(row));
  }
  return rows;
}

void DescribeRecentUseList(const std::vector<RecentUseRow>& rows, int language, AccessibleDescription& description) {
  if (description.child == kAccessibleSelf) {
    description.name = UsageTextIn(UsageText::RecentUseTitle, language);
    return;
  }
  if (description.child < 1 || static_cast<std::size_t>(description.child) > rows.size()) return;
  const RecentUseRow& row = rows[static_cast<std::size_t>(description.child - 1)];
  description.name = row.cells[kProgramCell];
  description.value.clear();
  for (int cell : kSpokenCells) {
    if (row.cells[cell].empty()) continue;
    if (!description.value.empty()) description.value += kSpokenCellSeparator;
    description.value += row.cells[cell];
  }
}

}  // namespace shadowpane
