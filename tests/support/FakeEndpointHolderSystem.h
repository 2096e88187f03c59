// The machine's holders of endpoints, in memory: several copies of the
// program (each an EndpointHolders over this one object) share it as they
// share the capture fake's endpoints. A claim ends when its object goes, as
// a dead process's handles close.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "devices/EndpointHolders.h"

namespace shadowpane::testing {

class FakeEndpointHolderSystem : public EndpointHolderSystem {
 public:
  std::unique_ptr<EndpointHolderLock> Lock(const std::u16string& endpointId) override;
  // Claims on the endpoint now.
  int Holders(const std::u16string& endpointId);

  struct Endpoint {
    std::mutex lock;
    std::atomic<int> claims{0};
    std::atomic<int> foundMarks{0};  // holders that keep the found-unmuted mark
  };

 private:
  std::mutex lock_;
  std::map<std::u16string, std::shared_ptr<Endpoint>> endpoints_;
};

}  // namespace shadowpane::testing
