#include "usage/RecentUse.h"

namespace shadowpane {

namespace {

constexpr std::uint8_t kTag[4] = {'S', 'P', 'R', 'U'};
constexpr std::uint16_t kVersion = 1;
constexpr std::size_t kHeaderBytes = sizeof(kTag) + 2 + 2;
constexpr std::size_t kChecksumBytes = 4;
constexpr std::uint32_t kFnvOffset = 2166136261u;
constexpr std::uint32_t kFnvPrime = 16777619u;

void PutNumber(std::vector<std::uint8_t>& image, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) image.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutName(std::vector<std::uint8_t>& image, const WideString& name) {
  PutNumber(image, name.size(), 2);
  for (const WideChar unit : name) PutNumber(image, unit, 2);
}

WideString Bounded(const WideString& name) {
  return name.size() > static_cast<std::size_t>(kRecentUseNameChars) ? name.substr(0, kRecentUseNameChars) : name;
}

// Reads from a bounded image; any read past its end marks it failed.
class Reader {
 public:
  Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint64_t Number(int bytes) {
    if (failed_ || size_ - at_ < static_cast<std::size_t>(bytes)) {
      failed_ = true;
      return 0;
    }
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | data_[at_ + static_cast<std::size_t>(i)];
    at_ += static_cast<std::size_t>(bytes);
    return value;
  }
  WideString Name() {
    const std::uint64_t length = Number(2);
    if (length > static_cast<std::uint64_t>(kRecentUseNameChars)) failed_ = true;
    WideString name;
    for (std::uint64_t i = 0; i < length && !failed_; ++i) name.push_back(static_cast<WideChar>(Number(2)));
    return name;
  }
  bool failed() const { return failed_; }
  bool atEnd() const { return at_ == size_; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool failed_ = false;
};

}  // namespace

std::uint32_t RecentUseChecksum(const std::uint8_t* data, std::size_t size) {
  std::uint32_t hash = kFnvOffset;
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * kFnvPrime;
  return hash;
}

void RecentUseLog::Add(const UsageEvent& event) {
  UsageEvent kept = event;
  kept.program = Bounded(event.program);
  kept.device = Bounded(event.device);
  events_.push_back(kept);
  while (events_.size() > static_cast<std::size_t>(kRecentUseEvents)) events_.pop_front();
}

std::vector<std::uint8_t> EncodeRecentUse(const RecentUseLog& log) {
  std::vector<std::uint8_t> image(kTag, kTag + sizeof(kTag));
  PutNumber(image, kVersion, 2);
  PutNumber(image, log.Events().size(), 2);
  for (const UsageEvent& event : log.Events()) {
    PutNumber(image, event.time, 8);
    PutNumber(image, event.kind == UsageKind::Microphone ? 1 : 0, 1);
    PutNumber(image, event.turnedAway ? 1 : 0, 1);
    PutName(image, event.program);
    PutName(image, event.device);
  }
  PutNumber(image, RecentUseChecksum(image.data(), image.size()), 4);
  return image;
}

int DecodeRecentUse(const std::uint8_t* data, std::size_t size, RecentUseLog& log) {
  if (data == nullptr || size < kHeaderBytes + kChecksumBytes || size > kMaxRecentUseFileBytes) return 0;
  const std::size_t body = size - kChecksumBytes;
  Reader checksum(data + body, kChecksumBytes);
  if (checksum.Number(4) != RecentUseChecksum(data, body)) return 0;
  for (std::size_t i = 0; i < sizeof(kTag); ++i) {
    if (data[i] != kTag[i]) return 0;
  }
  Reader reader(data + sizeof(kTag), body - sizeof(kTag));
  if (reader.Number(2) != kVersion) return 0;
  const std::uint64_t count = reader.Number(2);
  if (count > static_cast<std::uint64_t>(kRecentUseEvents)) return 0;
  RecentUseLog decoded;
  for (std::uint64_t i = 0; i < count && !reader.failed(); ++i) {
    UsageEvent event;
    event.time = reader.Number(8);
    const std::uint64_t kind = reader.Number(1);
    const std::uint64_t turnedAway = reader.Number(1);
    if (kind > 1 || turnedAway > 1) return 0;
    event.kind = kind == 1 ? UsageKind::Microphone : UsageKind::Camera;
    event.turnedAway = turnedAway == 1;
    event.program = reader.Name();
    event.device = reader.Name();
    decoded.Add(event);
  }
  if (reader.failed() || !reader.atEnd()) return 0;
  log = decoded;
  return 1;
}

int LoadRecentUse(RecentUseFile& file, RecentUseLog& log) {
  log.Clear();
  std::vector<std::uint8_t> image;
  const int read = file.Read(image, kMaxRecentUseFileBytes);
  if (read == 0) return 0;
  if (read == -2) return -2;
  if (read == 1 && DecodeRecentUse(image.data(), image.size(), log) == 1) return 1;
  log.Clear();
  file.SetAside();
  return -1;
}

int SaveRecentUse(RecentUseFile& file, const RecentUseLog& log) {
  const std::vector<std::uint8_t> image = EncodeRecentUse(log);
  return file.Write(image.data(), image.size());
}

}  // namespace shadowpane
