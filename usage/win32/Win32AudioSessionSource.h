// The audio capture sessions of an endpoint, through the endpoint's session
// manager: each session's process, named by its image, and whether it is
// active. Changes are told by the system (a session created, a session's
// state changed or gone), never polled. Used on a thread where COM is
// initialised; the system's callbacks come on its own threads and only
// tell the notice.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "usage/UsageSources.h"

namespace shadowpane {

class Win32AudioSessionSource : public AudioSessionSource {
 public:
  Win32AudioSessionSource();
  Win32AudioSessionSource(const Win32AudioSessionSource&) = delete;
  Win32AudioSessionSource& operator=(const Win32AudioSessionSource&) = delete;
  ~Win32AudioSessionSource() override;

  // While the endpoint is watched, each read also follows the state of
  // sessions that appeared since the last one.
  int ReadSessions(WideView endpointId, std::vector<AudioSessionUse>& sessions) override;
  int Watch(WideView endpointId, UsageNotice& notice) override;
  void StopWatching() override;

  struct EndpointWatch;

 private:
  std::map<WideString, std::unique_ptr<EndpointWatch>> watches_;
};

}  // namespace shadowpane
