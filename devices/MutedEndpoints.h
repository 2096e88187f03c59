// The audio endpoints this program has muted and not yet given back. A
// microphone blocked through its endpoint mutes it for every program, so
// the record is kept in the settings as it changes: after a crash, a kill
// or a power cut the next start unmutes what no block holds any more,
// instead of leaving a microphone silently dead.
//
// Thread-safe: workers add and remove entries, start-up reads them.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace shadowpane {

// Where the record lives between runs (one text value in the settings).
class MutedEndpointStore {
 public:
  virtual ~MutedEndpointStore() = default;
  // The stored text; empty when there is none.
  virtual std::u16string Read() = 0;
  // True when the text was written.
  virtual bool Write(const std::u16string& text) = 0;
};

// Bounds on what is read back: the value is the user's to edit, and real
// endpoint ids are far shorter and fewer.
// Even the longest record (every id at its longest, with separators) stays
// within what the settings store reads back.
constexpr std::size_t kMaxMutedEndpoints = 64;
constexpr std::size_t kMaxEndpointIdChars = 511;
constexpr std::size_t kMaxMutedEndpointsTextChars = kMaxMutedEndpoints * (kMaxEndpointIdChars + 1);

// The stored form: ids separated by kEndpointIdSeparator. Parsing skips
// empty and overlong ids and duplicates, and keeps at most
// kMaxMutedEndpoints.
constexpr char16_t kEndpointIdSeparator = u';';
std::vector<std::u16string> ParseMutedEndpoints(const std::u16string& text);
std::u16string FormatMutedEndpoints(const std::vector<std::u16string>& ids);

class MutedEndpoints {
 public:
  // The store must outlive the record; it is read once, here.
  explicit MutedEndpoints(MutedEndpointStore& store);

  bool Contains(const std::u16string& id);
  // Each change is written at once. Adding a known id, or removing an
  // unknown one, writes nothing. A write that fails leaves the change in
  // memory, where it counts all the same (a microphone is muted even so:
  // privacy first), and RetryWrite writes it later.
  void Add(const std::u16string& id);
  void Remove(const std::u16string& id);
  std::vector<std::u16string> Entries();
  // Writes the record again when the last write failed; answers whether
  // the stored record is up to date.
  bool RetryWrite();

 private:
  void WriteLocked();

  MutedEndpointStore& store_;
  std::mutex lock_;
  std::vector<std::u16string> ids_;
  bool unwritten_ = false;
};

}  // namespace shadowpane
