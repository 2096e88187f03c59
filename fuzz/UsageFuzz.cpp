// Who used a device, from outside input: the "Recent use" file and the
// registry's usage keys. The first byte says what the rest is:
//   0 a RecentUse.db image, as it is;
//   1 the same with its checksum made right, so the fuzzer reaches what
//     lies behind the checksum;
//   2 a list of program keys as the registry reader hands them over.
// Images are exactly-sized heap copies, so a read past their end stops the
// run.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz/FuzzCheck.h"
#include "usage/RecentUse.h"
#include "usage/UsageRecords.h"

using namespace shadowpane;

namespace {

constexpr std::size_t kChecksumBytes = 4;
// A key's flags: which parts follow.
constexpr std::uint8_t kKeyNonPackaged = 1;
constexpr std::uint8_t kKeyHasStart = 2;
constexpr std::uint8_t kKeyHasStop = 4;
constexpr std::uint8_t kKeyRepeated = 8;
// Name lengths up to this, so names past the registry's limit come up.
constexpr std::size_t kLongestFuzzName = 511;
constexpr std::uint64_t kLastFileTime = 0x7FFFFFFFFFFFFFFFull;

std::uint32_t Fnv1a(const std::uint8_t* data, std::size_t size) {
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash;
}

UsageEvent Sentinel() {
  UsageEvent event;
  event.time = 42;
  event.program = u"sentinel.exe";
  event.device = u"Cam";
  return event;
}

bool SameEvents(const RecentUseLog& a, const RecentUseLog& b) {
  if (a.Events().size() != b.Events().size()) return false;
  for (std::size_t i = 0; i < a.Events().size(); ++i) {
    const UsageEvent& x = a.Events()[i];
    const UsageEvent& y = b.Events()[i];
    if (x.time != y.time || x.program != y.program || x.kind != y.kind || x.device != y.device ||
        x.turnedAway != y.turnedAway) {
      return false;
    }
  }
  return true;
}

// A file is taken only when it is exactly what the encoder writes for what
// was read; refused, the log keeps what it held.
void CheckRecentUse(const std::uint8_t* data, std::size_t size, bool fixChecksum) {
  std::unique_ptr<std::uint8_t[]> image(new std::uint8_t[size]);
  if (size > 0) std::memcpy(image.get(), data, size);
  if (fixChecksum && size >= kChecksumBytes) {
    const std::uint32_t sum = Fnv1a(image.get(), size - kChecksumBytes);
    for (std::size_t i = 0; i < kChecksumBytes; ++i) {
      image[size - kChecksumBytes + i] = static_cast<std::uint8_t>(sum >> (8 * i));
    }
  }
  RecentUseLog log;
  log.Add(Sentinel());
  const RecentUseLog before = log;
  if (DecodeRecentUse(image.get(), size, log) != 1) {
    FUZZ_CHECK(SameEvents(log, before));
    return;
  }
  FUZZ_CHECK(size <= kMaxRecentUseFileBytes);
  FUZZ_CHECK(log.Events().size() <= static_cast<std::size_t>(kRecentUseEvents));
  for (const UsageEvent& event : log.Events()) {
    FUZZ_CHECK(event.program.size() <= static_cast<std::size_t>(kRecentUseNameChars));
    FUZZ_CHECK(event.device.size() <= static_cast<std::size_t>(kRecentUseNameChars));
  }
  const std::vector<std::uint8_t> encoded = EncodeRecentUse(log);
  FUZZ_CHECK(encoded.size() == size && std::memcmp(encoded.data(), image.get(), size) == 0);
  // Any one byte changed, the checksum no longer matches.
  std::vector<std::uint8_t> damaged = encoded;
  damaged[size / 2] ^= 0x5A;
  RecentUseLog untouched;
  FUZZ_CHECK(DecodeRecentUse(damaged.data(), damaged.size(), untouched) == 0 && untouched.Events().empty());
}

// Reads the keys: each a flags byte, a repeat count when flagged, the start
// and stop values when flagged (type, size, eight bytes), a 16-bit name
// length (up to kLongestFuzzName) and its UTF-16LE units. Input that runs
// out ends the list.
class KeyReader {
 public:
  KeyReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Next(RawUsageKey& key, int& repeat) {
    std::uint8_t flags = 0;
    if (!Byte(flags)) return false;
    key = RawUsageKey();
    key.nonPackaged = (flags & kKeyNonPackaged) != 0;
    std::uint8_t times = 0;
    if ((flags & kKeyRepeated) != 0 && !Byte(times)) return false;
    repeat = 1 + times;
    if ((flags & kKeyHasStart) != 0 && !Value(key.lastStart)) return false;
    if ((flags & kKeyHasStop) != 0 && !Value(key.lastStop)) return false;
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    if (!Byte(low) || !Byte(high)) return false;
    const std::size_t length = (static_cast<std::size_t>(high) << 8 | low) % (kLongestFuzzName + 1);
    for (std::size_t i = 0; i < length; ++i) {
      if (!Byte(low) || !Byte(high)) return false;
      key.name.push_back(static_cast<WideChar>(high << 8 | low));
    }
    return true;
  }

 private:
  bool Byte(std::uint8_t& byte) {
    if (at_ >= size_) return false;
    byte = data_[at_++];
    return true;
  }
  bool Value(RawUsageValue& value) {
    std::uint8_t type = 0;
    std::uint8_t size = 0;
    if (!Byte(type) || !Byte(size)) return false;
    value.present = true;
    value.type = type;
    value.size = size;
    for (std::uint8_t& byte : value.bytes) {
      if (!Byte(byte)) return false;
    }
    return true;
  }

  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

bool HoldsControlCharacter(const WideString& text) {
  for (const WideChar unit : text) {
    if (unit < 0x20 || unit == 0x7F) return true;
  }
  return false;
}

// What one parsed record promises, whatever its key held.
void CheckRecord(const RawUsageKey& key, const UsageRecord& record) {
  FUZZ_CHECK(!key.name.empty() && key.name.size() <= static_cast<std::size_t>(kMaxUsageKeyNameChars));
  FUZZ_CHECK(!HoldsControlCharacter(record.program) && !record.program.empty());
  FUZZ_CHECK(record.packaged == !key.nonPackaged);
  FUZZ_CHECK(record.lastStart != 0 && record.lastStart <= kLastFileTime && record.lastStop <= kLastFileTime);
  FUZZ_CHECK(record.lastStart == FileTimeOf(key.lastStart) && record.lastStop == FileTimeOf(key.lastStop));
  FUZZ_CHECK(key.lastStart.type == kRegistryQwordType && key.lastStart.size == 8);
  FUZZ_CHECK(record.inUse == (record.lastStop == 0 || record.lastStop < record.lastStart));
  FUZZ_CHECK(record.identity.size() == key.name.size());
  if (key.nonPackaged) {
    // The shown name is the path's last part, never a separator in it.
    FUZZ_CHECK(record.identity.find(u'#') == WideString::npos);
    FUZZ_CHECK(record.program.find(u'#') == WideString::npos);
    FUZZ_CHECK(key.name.compare(key.name.size() - record.program.size(), WideString::npos, record.program) == 0);
  } else {
    FUZZ_CHECK(record.identity == key.name && key.name != kNonPackagedKeyName);
    FUZZ_CHECK(key.name.compare(0, record.program.size(), record.program) == 0);
  }
}

void CheckUsageKeys(const std::uint8_t* data, std::size_t size) {
  std::vector<RawUsageKey> keys;
  KeyReader reader(data, size);
  RawUsageKey key;
  int repeat = 0;
  while (reader.Next(key, repeat)) keys.insert(keys.end(), static_cast<std::size_t>(repeat), key);

  const std::vector<UsageRecord> records = ParseUsageKeys(keys);
  const std::size_t looked = keys.size() < static_cast<std::size_t>(kMaxUsageRecords)
                                 ? keys.size()
                                 : static_cast<std::size_t>(kMaxUsageRecords);
  FUZZ_CHECK(records.size() <= looked);
  // Keys past the bound change nothing.
  const std::vector<RawUsageKey> first(keys.begin(), keys.begin() + static_cast<std::ptrdiff_t>(looked));
  FUZZ_CHECK(ParseUsageKeys(first).size() == records.size());

  for (std::size_t i = 0; i < records.size(); ++i) {
    for (std::size_t j = i + 1; j < records.size(); ++j) {
      FUZZ_CHECK(records[i].identity != records[j].identity || records[i].packaged != records[j].packaged);
    }
  }
  // Every key read either names no program, or its program is listed with
  // a start no earlier than its own, and the listed record is one of them.
  std::vector<bool> matched(records.size(), false);
  for (std::size_t k = 0; k < looked; ++k) {
    UsageRecord parsed;
    if (ParseUsageRecord(keys[k], parsed) != 1) continue;
    CheckRecord(keys[k], parsed);
    bool listed = false;
    for (std::size_t r = 0; r < records.size(); ++r) {
      if (records[r].identity != parsed.identity || records[r].packaged != parsed.packaged) continue;
      FUZZ_CHECK(records[r].lastStart >= parsed.lastStart);
      if (records[r].lastStart == parsed.lastStart && records[r].lastStop == parsed.lastStop &&
          records[r].program == parsed.program) {
        matched[r] = true;
      }
      listed = true;
    }
    FUZZ_CHECK(listed);
  }
  for (const bool found : matched) FUZZ_CHECK(found);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  switch (data[0]) {
    case 0:
      CheckRecentUse(data + 1, size - 1, false);
      break;
    case 1:
      CheckRecentUse(data + 1, size - 1, true);
      break;
    case 2:
      CheckUsageKeys(data + 1, size - 1);
      break;
    default:
      break;
  }
  return 0;
}
