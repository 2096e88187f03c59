// The copies of the program on this machine that hold one audio endpoint
// muted. An endpoint's mute is the machine's, while each copy (one per
// signed-in user, with fast user switching) keeps its own record: so while
// any copy holds an endpoint it stays muted, and when the last one lets go
// it gets back what the first found.
//
// The system side (EndpointHolderSystem) gives, per endpoint, a lock for
// the whole machine, the claims of the live copies (a copy that dies loses
// its claim with its process) and a mark that the endpoint was found
// unmuted, kept while any holder keeps it. EndpointHolders is one copy's
// part: its claims, and the rules.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace shadowpane {

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
  // The live claims on the endpoint, this copy's included.
  virtual int Holders() = 0;
  // Whether a holder keeps the mark that the endpoint was found unmuted.
  virtual bool FoundUnmuted() = 0;
  // A claim for this copy that also keeps the found mark: an existing one,
  // or a new one when `foundUnmuted`. Null when no claim can be made.
  virtual std::unique_ptr<EndpointHolderClaim> Claim(bool foundUnmuted) = 0;
};

class EndpointHolderSystem {
 public:
  virtual ~EndpointHolderSystem() = default;
  // Null when the lock cannot be had; the copy then acts as if alone.
  virtual std::unique_ptr<EndpointHolderLock> Lock(const std::u16string& endpointId) = 0;
};

// Thread-safe: workers join, the user-interface thread leaves.
class EndpointHolders {
 public:
  // The system must outlive this object.
  explicit EndpointHolders(EndpointHolderSystem& system) : system_(system) {}

  // Under the endpoint's lock: when no other copy holds it, readAlone
  // answers whether this copy finds it unmuted (none: it could not tell);
  // otherwise the mark answers. Then this copy claims it, until Leave.
  // Answers whether it was found unmuted; none when readAlone could not
  // tell (nothing claimed then).
  std::optional<bool> Join(const std::u16string& endpointId,
                           const std::function<std::optional<bool>()>& readAlone);
  // Under the endpoint's lock: ends this copy's claim; when no other copy
  // holds the endpoint, giveBack(foundUnmuted) runs and its answer is
  // returned; otherwise true (the last holder gives it back).
  // `recordedUnmuted`: this copy's record says it was found unmuted.
  bool Leave(const std::u16string& endpointId, bool recordedUnmuted,
             const std::function<bool(bool foundUnmuted)>& giveBack);
  // The endpoints this copy claims now.
  std::vector<std::u16string> Claimed();

 private:
  EndpointHolderSystem& system_;
  std::mutex lock_;
  std::map<std::u16string, std::unique_ptr<EndpointHolderClaim>> claims_;
};

}  // namespace shadowpane
