#include "tests/support/FakeEndpointHolderSystem.h"

namespace shadowpane::testing {

struct FakeEndpointHolderSystem::Endpoint {
  std::mutex lock;   // the endpoint's lock, as the copies take it
  std::mutex state;  // guards the fields below
  std::map<int, int> claims;  // per user
  std::map<int, int> marks;   // per user: claims that keep the found mark
  std::vector<std::unique_ptr<EndpointHolderClaim>> foreign;
  bool heldElsewhere = false;
  bool refused = false;
};

struct FakeEndpointHolderSystem::Machine {
  std::mutex lock;
  std::map<std::u16string, std::shared_ptr<Endpoint>> endpoints;
  bool refuseOtherUsers = false;
  std::vector<std::uint32_t> vainWaits;
};

namespace {

using Endpoint = FakeEndpointHolderSystem::Endpoint;
using Machine = FakeEndpointHolderSystem::Machine;
constexpr int kForeignUser = -1;

class FakeClaim : public EndpointHolderClaim {
 public:
  FakeClaim(std::shared_ptr<Endpoint> endpoint, int user, bool keepsMark)
      : endpoint_(std::move(endpoint)), user_(user), keepsMark_(keepsMark) {
    std::lock_guard<std::mutex> hold(endpoint_->state);
    ++endpoint_->claims[user_];
    if (keepsMark_) ++endpoint_->marks[user_];
  }
  // Ends under no lock, as the kernel closes handles whenever it will.
  ~FakeClaim() override {
    std::lock_guard<std::mutex> hold(endpoint_->state);
    --endpoint_->claims[user_];
    if (keepsMark_) --endpoint_->marks[user_];
  }

 private:
  std::shared_ptr<Endpoint> endpoint_;
  int user_;
  bool keepsMark_;
};

int Total(const std::map<int, int>& counts) {
  int total = 0;
  for (const auto& entry : counts) total += entry.second;
  return total;
}

class FakeLock : public EndpointHolderLock {
 public:
  FakeLock(std::shared_ptr<Endpoint> endpoint, int user, bool refusesOthers)
      : endpoint_(std::move(endpoint)), user_(user), refusesOthers_(refusesOthers) {
    endpoint_->lock.lock();
  }
  ~FakeLock() override { endpoint_->lock.unlock(); }
  int Holders() override {
    std::lock_guard<std::mutex> hold(endpoint_->state);
    return Total(endpoint_->claims);
  }
  bool FoundUnmuted() override {
    std::lock_guard<std::mutex> hold(endpoint_->state);
    return (refusesOthers_ ? endpoint_->marks[user_] : Total(endpoint_->marks)) > 0;
  }
  std::unique_ptr<EndpointHolderClaim> Claim(bool foundUnmuted) override {
    const bool keepsMark = foundUnmuted || FoundUnmuted();
    return std::make_unique<FakeClaim>(endpoint_, user_, keepsMark);
  }

 private:
  std::shared_ptr<Endpoint> endpoint_;
  int user_;
  bool refusesOthers_;
};

}  // namespace

FakeEndpointHolderSystem::FakeEndpointHolderSystem() : machine_(std::make_shared<Machine>()) {}

FakeEndpointHolderSystem::FakeEndpointHolderSystem(FakeEndpointHolderSystem& machine, int user)
    : machine_(machine.machine_), user_(user) {}

std::shared_ptr<Endpoint> FakeEndpointHolderSystem::EndpointOf(const std::u16string& endpointId) {
  std::lock_guard<std::mutex> hold(machine_->lock);
  auto& slot = machine_->endpoints[endpointId];
  if (slot == nullptr) slot = std::make_shared<Endpoint>();
  return slot;
}

EndpointLockTry FakeEndpointHolderSystem::Lock(const std::u16string& endpointId, std::uint32_t waitMs) {
  std::shared_ptr<Endpoint> endpoint = EndpointOf(endpointId);
  EndpointLockTry attempt;
  bool busy = false;
  {
    std::lock_guard<std::mutex> hold(endpoint->state);
    attempt.refused = endpoint->refused;
    busy = endpoint->heldElsewhere && !attempt.refused;
  }
  bool refusesOthers = false;
  {
    std::lock_guard<std::mutex> hold(machine_->lock);
    refusesOthers = machine_->refuseOtherUsers;
    // The whole wait passes in vain, without taking the test's time.
    if (busy) machine_->vainWaits.push_back(waitMs);
  }
  if (busy) attempt.waitedMs = waitMs;
  if (attempt.refused || busy) return attempt;
  attempt.lock = std::make_unique<FakeLock>(std::move(endpoint), user_, refusesOthers);
  return attempt;
}

int FakeEndpointHolderSystem::Holders(const std::u16string& endpointId) {
  std::shared_ptr<Endpoint> endpoint = EndpointOf(endpointId);
  std::lock_guard<std::mutex> hold(endpoint->state);
  return Total(endpoint->claims);
}

void FakeEndpointHolderSystem::RefuseOtherUsers(bool refuse) {
  std::lock_guard<std::mutex> hold(machine_->lock);
  machine_->refuseOtherUsers = refuse;
}

void FakeEndpointHolderSystem::AddForeignClaim(const std::u16string& endpointId) {
  std::shared_ptr<Endpoint> endpoint = EndpointOf(endpointId);
  auto claim = std::make_unique<FakeClaim>(endpoint, kForeignUser, false);
  std::lock_guard<std::mutex> hold(endpoint->state);
  endpoint->foreign.push_back(std::move(claim));
}

void FakeEndpointHolderSystem::RemoveForeignClaims(const std::u16string& endpointId) {
  std::shared_ptr<Endpoint> endpoint = EndpointOf(endpointId);
  std::vector<std::unique_ptr<EndpointHolderClaim>> gone;
  {
    std::lock_guard<std::mutex> hold(endpoint->state);
    gone.swap(endpoint->foreign);
  }
}

void FakeEndpointHolderSystem::HoldLockElsewhere(const std::u16string& endpointId, bool held) {
  std::shared_ptr<Endpoint> endpoint = EndpointOf(endpointId);
  std::lock_guard<std::mutex> hold(endpoint->state);
  endpoint->heldElsewhere = held;
}

void FakeEndpointHolderSystem::RefuseLock(const std::u16string& endpointId, bool refused) {
  std::shared_ptr<Endpoint> endpoint = EndpointOf(endpointId);
  std::lock_guard<std::mutex> hold(endpoint->state);
  endpoint->refused = refused;
}

std::vector<std::uint32_t> FakeEndpointHolderSystem::VainWaits() {
  std::lock_guard<std::mutex> hold(machine_->lock);
  return machine_->vainWaits;
}

}  // namespace shadowpane::testing
