#include "usage/UsageRecords.h"

namespace shadowpane {

namespace {

// The largest FILETIME the system converts to a date (the sign bit clear).
constexpr std::uint64_t kLastFileTime = 0x7FFFFFFFFFFFFFFFull;
constexpr WideChar kPathSeparatorInKey = u'#';
constexpr WideChar kPathSeparator = u'\\';
// A package family name is "<name>_<publisher id>".
constexpr WideChar kPublisherSeparator = u'_';

bool HoldsControlCharacter(WideView name) {
  for (const WideChar unit : name) {
    if (unit < 0x20 || unit == 0x7F) return true;
  }
  return false;
}

}  // namespace

std::uint64_t FileTimeOf(const RawUsageValue& value) {
  if (!value.present || value.type != kRegistryQwordType || value.size != value.bytes.size()) return 0;
  std::uint64_t time = 0;
  for (std::size_t i = value.bytes.size(); i > 0; --i) time = (time << 8) | value.bytes[i - 1];
  return time <= kLastFileTime ? time : 0;
}

int ParseUsageRecord(const RawUsageKey& key, UsageRecord& record) {
  const WideView name = key.name;
  if (name.empty() || name.size() > static_cast<std::size_t>(kMaxUsageKeyNameChars)) return 0;
  if (HoldsControlCharacter(name)) return 0;
  UsageRecord parsed;
  parsed.packaged = !key.nonPackaged;
  if (key.nonPackaged) {
    // A name without '#' is a bare file name; it is shown as it is.
    const std::size_t lastSeparator = name.rfind(kPathSeparatorInKey);
    if (lastSeparator != WideView::npos && lastSeparator + 1 == name.size()) return 0;
    parsed.program = WideString(lastSeparator == WideView::npos ? name : name.substr(lastSeparator + 1));
    parsed.identity = WideString(name);
    for (WideChar& unit : parsed.identity) {
      if (unit == kPathSeparatorInKey) unit = kPathSeparator;
    }
  } else {
    if (name == kNonPackagedKeyName) return 0;
    const std::size_t publisher = name.rfind(kPublisherSeparator);
    parsed.program = WideString(publisher == WideView::npos || publisher == 0 ? name : name.substr(0, publisher));
    parsed.identity = WideString(name);
  }
  parsed.lastStart = FileTimeOf(key.lastStart);
  parsed.lastStop = FileTimeOf(key.lastStop);
  if (parsed.lastStart == 0) return 0;
  parsed.inUse = parsed.lastStop == 0 || parsed.lastStop < parsed.lastStart;
  record = parsed;
  return 1;
}

std::vector<UsageRecord> ParseUsageKeys(const std::vector<RawUsageKey>& keys) {
  std::vector<UsageRecord> records;
  const std::size_t looked = keys.size() < static_cast<std::size_t>(kMaxUsageRecords)
                                 ? keys.size()
                                 : static_cast<std::size_t>(kMaxUsageRecords);
  for (std::size_t i = 0; i < looked; ++i) {
    UsageRecord record;
    if (ParseUsageRecord(keys[i], record) != 1) continue;
    bool merged = false;
    for (UsageRecord& known : records) {
      if (known.identity != record.identity || known.packaged != record.packaged) continue;
      if (record.lastStart > known.lastStart) known = record;
      merged = true;
      break;
    }
    if (!merged) records.push_back(record);
  }
  return records;
}

}  // namespace shadowpane
