#include "ui/main/HoldNotices.h"

#include "settings/Languages.h"
#include "usage/UsageDecisions.h"
#include "usage/UsageTexts.h"

namespace shadowpane {

namespace {

// Each risk's notice, in the order they are shown, and what tells its
// record apart from the others of the same device.
struct RiskNotice {
  std::uint32_t risk;
  const WideChar* keySuffix;
};
constexpr RiskNotice kRiskNotices[] = {
    {kHoldRiskOpenToOthers, u""},  // the device's own key: told once, as before
    {kHoldRiskContested, u"\n contested"},
    {kHoldRiskExclusive, u"\n exclusive"},
};

int NoticeText(const DeviceNotifyEffect& effect, std::uint32_t risk) {
  if (risk == kHoldRiskContested) return STR_MICROPHONE_UNMUTED_BY_ANOTHER;
  if (risk == kHoldRiskExclusive) return STR_MICROPHONE_EXCLUSIVE_HEARD;
  return effect.sharedNoticeText;
}

}  // namespace

std::vector<int> TakeHoldNotices(const DeviceNotifyEffect& effect, SharedHoldNotices& notices) {
  std::vector<int> texts;
  if (effect.kind != DeviceNotifyKind::StateChanged || !effect.heldButShared) return texts;
  for (const RiskNotice& notice : kRiskNotices) {
    if ((effect.holdRisks & notice.risk) == 0) continue;
    if (notices.TakeFirst(effect.noticeKey + notice.keySuffix)) texts.push_back(NoticeText(effect, notice.risk));
  }
  return texts;
}

WideString ContestedNoticeText(const std::vector<WideString>& users, int language) {
  if (users.size() != 1 || users.front() == kUnknownProgram) {
    return GetStringIn(language, STR_MICROPHONE_UNMUTED_BY_ANOTHER);
  }
  WideString text = GetStringIn(language, STR_MICROPHONE_UNMUTED_BY);
  const WideString mark = kFirstNameMark;
  const std::size_t at = text.find(mark);
  if (at != WideString::npos) text.replace(at, mark.size(), ShownProgram(users.front(), language));
  return text;
}

}  // namespace shadowpane
