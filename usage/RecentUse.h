// The "Recent use" log: the last kRecentUseEvents uses of a device, kept in
// memory and in a small file beside Profile.db. The file is bounded and
// checked whole; one that does not read back exactly is set aside, never
// trusted in part. Portable: no platform headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

#include "core/Text.h"
#include "usage/UsageRecords.h"

namespace shadowpane {

constexpr int kRecentUseEvents = 50;
// Longest program or device name kept; a longer one is cut there.
constexpr int kRecentUseNameChars = 255;

struct UsageEvent {
  std::uint64_t time = 0;  // FILETIME, UTC
  WideString program;
  UsageKind kind = UsageKind::Camera;
  WideString device;        // the device's name, or the kind's text when a record named only the kind
  bool turnedAway = false;  // a block turned it away (a microphone: it heard silence)
};

class RecentUseLog {
 public:
  // Keeps the event, forgetting the oldest past kRecentUseEvents.
  void Add(const UsageEvent& event);
  void Clear() { events_.clear(); }
  // Oldest first.
  const std::deque<UsageEvent>& Events() const { return events_; }

 private:
  std::deque<UsageEvent> events_;
};

// The file's image: a tag, a version, the count, each event, and a
// checksum of all that comes before it.
std::vector<std::uint8_t> EncodeRecentUse(const RecentUseLog& log);
// The checksum the image ends with, of the size bytes before it.
std::uint32_t RecentUseChecksum(const std::uint8_t* data, std::size_t size);
// Answers 1 with the events in log, or 0 (log untouched) when the image is
// not exactly one the encoder writes: wrong tag or version, a count above
// kRecentUseEvents, a name too long, an unknown kind, a bad checksum,
// bytes missing or left over.
int DecodeRecentUse(const std::uint8_t* data, std::size_t size, RecentUseLog& log);

// The largest image the encoder writes; a longer file is not read.
constexpr std::size_t kMaxRecentUseFileBytes = 64 * 1024;

// The file behind the log.
class RecentUseFile {
 public:
  virtual ~RecentUseFile() = default;
  // 1 with the whole file, 0 when there is none, -1 when it is longer than
  // maxBytes, -2 when it cannot be read.
  virtual int Read(std::vector<std::uint8_t>& image, std::size_t maxBytes) = 0;
  // Replaces the file as a whole: a failed write leaves the old one.
  virtual int Write(const std::uint8_t* data, std::size_t size) = 0;
  // Moves the file out of the way under another name, keeping it for a
  // look, so that the next write starts afresh.
  virtual int SetAside() = 0;
};

// Loads the log from the file: 1 loaded, 0 no file (an empty log), -1 the
// file was corrupt or too long and is set aside (an empty log), -2 it
// could not be read (an empty log; the file is left as it is).
int LoadRecentUse(RecentUseFile& file, RecentUseLog& log);
int SaveRecentUse(RecentUseFile& file, const RecentUseLog& log);

}  // namespace shadowpane
