// The copies of the program on this machine that hold one audio endpoint
// muted. An endpoint's mute is the machine's, while each copy (one per
// signed-in user, with fast user switching, or an elevated one beside an
// unelevated one) keeps its own record: so while any copy holds an
// endpoint it stays muted, and when the last one lets go it gets back what
// the first found.
//
// The system side (EndpointHolderSystem) gives, per endpoint, a lock for
// the whole machine, the claims of the live copies (a copy that dies loses
// its claim with its process) and a mark that the endpoint was found
// unmuted, kept while any holder keeps it. EndpointHolders is one copy's
// part: its claims, and the rules.
//
// The names are fixed, so any program may have taken one first. What
// stands under a name proves nothing, so every doubt falls on the side of
// keeping the mute: a claim this copy cannot open is someone's claim, a
// lock it may not use is someone's lock. A name can make a copy keep a
// mute; it can never make it give one back under another holder or answer
// a give-back it did not read back.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace shadowpane {

// The longest the user-interface thread waits for one endpoint's lock, and
// so the longest a worker does too (an unblock joins the worker, so its
// wait is the interface's): a copy holds the lock only for a few endpoint
// calls.
constexpr std::uint32_t kLockWaitMs = 250;
// The longest the session end waits for locks in all, whatever the number
// of endpoints: the system ends the process soon after.
constexpr std::uint32_t kSessionEndLockWaitMs = 1000;

// One copy's claim on an endpoint (and its share of the found mark);
// destroying it lets go.
class EndpointHolderClaim {
 public:
  virtual ~EndpointHolderClaim() = default;
};

// The machine-wide lock of one endpoint, held while this object lives.
class EndpointHolderLock {
 public:
  virtual ~EndpointHolderLock() = default;
  // The live claims on the endpoint, this copy's included; a claim that
  // cannot be opened counts.
  virtual int Holders() = 0;
  // Whether a holder keeps the mark that the endpoint was found unmuted
  // (one that cannot be opened does not: it could not be told from a
  // false one).
  virtual bool FoundUnmuted() = 0;
  // A claim for this copy that also keeps the found mark: an existing one,
  // or a new one when `foundUnmuted`. Null when no claim can be made.
  virtual std::unique_ptr<EndpointHolderClaim> Claim(bool foundUnmuted) = 0;
};

// One try for the lock.
struct EndpointLockTry {
  std::unique_ptr<EndpointHolderLock> lock;  // null: not had
  // Not had because something this copy may not use stands under the
  // name (another user's lock, an object of another kind): someone holds
  // the endpoint. Otherwise not had in time.
  bool refused = false;
  std::uint32_t waitedMs = 0;  // how long the try waited
};

class EndpointHolderSystem {
 public:
  virtual ~EndpointHolderSystem() = default;
  // Waits at most `waitMs` for the endpoint's lock.
  virtual EndpointLockTry Lock(const std::u16string& endpointId, std::uint32_t waitMs) = 0;
};

// How this copy's part in an endpoint ended.
enum class LeaveOutcome {
  GivenBack,     // no one else holds it: given back and read back
  LeftToOthers,  // someone else holds it (or may): it stays muted, this copy tries again later
  Failed,        // the lock was not had in time, or the give-back was not read back
};

// Thread-safe: workers join, the user-interface thread leaves.
class EndpointHolders {
 public:
  // The system must outlive this object.
  explicit EndpointHolders(EndpointHolderSystem& system) : system_(system) {}

  // Under the endpoint's lock: when no other copy holds it, readAlone
  // answers whether this copy finds it unmuted (none: it could not tell);
  // otherwise the mark answers, or readAlone when it finds it unmuted all
  // the same (no claim kept it muted). Then this copy claims it, until
  // Leave. Without the lock it reads alone and claims nothing. Answers
  // whether it was found unmuted; none when readAlone could not tell and
  // no mark answered (nothing claimed then).
  std::optional<bool> Join(const std::u16string& endpointId,
                           const std::function<std::optional<bool>()>& readAlone);
  // Under the endpoint's lock: ends this copy's claim; when no one else
  // holds the endpoint, giveBack(foundUnmuted) runs and tells whether it
  // was read back. Without the lock the claim stays and nothing is given
  // back. `recordedUnmuted`: this copy's record says it was found unmuted.
  LeaveOutcome Leave(const std::u16string& endpointId, bool recordedUnmuted,
                     const std::function<bool(bool foundUnmuted)>& giveBack);
  // The endpoints this copy claims now.
  std::vector<std::u16string> Claimed();
  // From now on all lock waits together take at most `limitMs` (a
  // tighter limit already set stays); none lifts the limit. Answers the
  // limit left before, to be put back.
  std::optional<std::uint32_t> LimitLockWaits(std::optional<std::uint32_t> limitMs);

 private:
  EndpointLockTry TakeLock(const std::u16string& endpointId);

  EndpointHolderSystem& system_;
  std::mutex lock_;
  std::map<std::u16string, std::unique_ptr<EndpointHolderClaim>> claims_;
  std::optional<std::uint32_t> waitLeftMs_;
};

}  // namespace shadowpane
