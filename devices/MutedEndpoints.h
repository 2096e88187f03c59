// The audio endpoints this program has muted and not yet given back. A
// microphone blocked through its endpoint mutes it for every program, so
// the record is kept in the settings as it changes: after a crash, a kill
// or a power cut the next start unmutes what no block holds any more,
// instead of leaving a microphone silently dead.
//
// One stored record serves every copy of the user's program (one per
// session): each change takes the user's lock, re-reads the stored record
// and changes only its own entry, so no copy writes its view over
// another's.
//
// Thread-safe: workers add and remove entries, start-up reads them.
#pragma once

#include <cstddef>
#include <map>
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

// The user's lock around a change of the stored record, shared by the
// copies in all of the user's sessions and by nobody else.
class MutedEndpointsLock {
 public:
  virtual ~MutedEndpointsLock() = default;
  // Waits a short bound; true once this thread holds it, until Unlock.
  virtual bool Lock() = 0;
  virtual void Unlock() = 0;
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
  // The store (and the lock, when given) must outlive the record. This
  // copy's view starts as the stored record: what a copy that is gone left
  // is given back by this one, what another copy holds its claim keeps.
  explicit MutedEndpoints(MutedEndpointStore& store, MutedEndpointsLock* lock = nullptr);

  // This copy's view, not the stored record: entries another session adds
  // are that copy's to give back, never this one's.
  bool Contains(const std::u16string& id);
  std::vector<std::u16string> Entries();
  // Each change is written at once, under the lock, over a fresh read of
  // the stored record, which changes only in this entry; a stored record
  // that already says so is not written. A write that fails leaves the
  // change in memory, where it counts all the same (a microphone is muted
  // even so: privacy first), and RetryWrite writes it later.
  void Add(const std::u16string& id);
  void Remove(const std::u16string& id);
  // Writes the changes again when the last write failed; answers whether
  // the stored record is up to date.
  bool RetryWrite();

 private:
  void WriteLocked();

  MutedEndpointStore& store_;
  MutedEndpointsLock* recordLock_;
  std::mutex lock_;
  std::vector<std::u16string> ids_;
  // Changes not yet stored: id -> whether the record lists it.
  std::map<std::u16string, bool> unwritten_;
};

}  // namespace shadowpane
