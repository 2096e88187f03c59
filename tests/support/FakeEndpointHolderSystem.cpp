#include "tests/support/FakeEndpointHolderSystem.h"

namespace shadowpane::testing {

namespace {

using Endpoint = FakeEndpointHolderSystem::Endpoint;

class FakeClaim : public EndpointHolderClaim {
 public:
  FakeClaim(std::shared_ptr<Endpoint> endpoint, bool keepsMark)
      : endpoint_(std::move(endpoint)), keepsMark_(keepsMark) {
    ++endpoint_->claims;
    if (keepsMark_) ++endpoint_->foundMarks;
  }
  // Ends under no lock, as the kernel closes handles whenever it will.
  ~FakeClaim() override {
    --endpoint_->claims;
    if (keepsMark_) --endpoint_->foundMarks;
  }

 private:
  std::shared_ptr<Endpoint> endpoint_;
  bool keepsMark_;
};

class FakeLock : public EndpointHolderLock {
 public:
  explicit FakeLock(std::shared_ptr<Endpoint> endpoint) : endpoint_(std::move(endpoint)) { endpoint_->lock.lock(); }
  ~FakeLock() override { endpoint_->lock.unlock(); }
  int Holders() override { return endpoint_->claims; }
  bool FoundUnmuted() override { return endpoint_->foundMarks > 0; }
  std::unique_ptr<EndpointHolderClaim> Claim(bool foundUnmuted) override {
    return std::make_unique<FakeClaim>(endpoint_, foundUnmuted || endpoint_->foundMarks > 0);
  }

 private:
  std::shared_ptr<Endpoint> endpoint_;
};

}  // namespace

std::unique_ptr<EndpointHolderLock> FakeEndpointHolderSystem::Lock(const std::u16string& endpointId) {
  std::shared_ptr<Endpoint> endpoint;
  {
    std::lock_guard<std::mutex> hold(lock_);
    auto& slot = endpoints_[endpointId];
    if (slot == nullptr) slot = std::make_shared<Endpoint>();
    endpoint = slot;
  }
  return std::make_unique<FakeLock>(std::move(endpoint));
}

int FakeEndpointHolderSystem::Holders(const std::u16string& endpointId) {
  return Lock(endpointId)->Holders();
}

}  // namespace shadowpane::testing
