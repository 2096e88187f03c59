// The machine's holders of endpoints, in memory: several copies of the
// program (each an EndpointHolders over this one object, or over a view of
// it as another user) share it as they share the capture fake's
// endpoints. A claim ends when its object goes, as a dead process's handles
// close. What another program can do to the names is played too: a claim
// under a slot's name, a lock it owns and never releases, something under
// the lock's name this copy may not open.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "devices/EndpointHolders.h"

namespace shadowpane::testing {

class FakeEndpointHolderSystem : public EndpointHolderSystem {
 public:
  // User 0 on a machine of its own.
  FakeEndpointHolderSystem();
  // Another user's copies on the same machine as `machine`.
  FakeEndpointHolderSystem(FakeEndpointHolderSystem& machine, int user);

  EndpointLockTry Lock(const std::u16string& endpointId, std::uint32_t waitMs) override;
  // Claims on the endpoint now.
  int Holders(const std::u16string& endpointId);

  // Machine-wide: each user's objects refuse other users' opens, as under
  // their creator's default security. A refused claim still counts; a
  // refused found mark is not believed.
  void RefuseOtherUsers(bool refuse);
  // Another program's event under a free slot's name, until removed.
  void AddForeignClaim(const std::u16string& endpointId);
  void RemoveForeignClaims(const std::u16string& endpointId);
  // Another program owns the endpoint's lock: every try waits in vain.
  void HoldLockElsewhere(const std::u16string& endpointId, bool held);
  // Something this copy may not open stands under the lock's name.
  void RefuseLock(const std::u16string& endpointId, bool refused);
  // The waits the tries for a lock held elsewhere took, in order.
  std::vector<std::uint32_t> VainWaits();

  struct Endpoint;
  struct Machine;

 private:
  std::shared_ptr<Endpoint> EndpointOf(const std::u16string& endpointId);

  std::shared_ptr<Machine> machine_;
  int user_ = 0;
};

}  // namespace shadowpane::testing
