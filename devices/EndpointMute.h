// A microphone's audio endpoint, muted for every program: the system keeps
// an endpoint's mute for all of them, unlike the mixer lines of wave input
// and of a capture filter's input pin, which belong to the calling
// program's own session.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>

#include "devices/CaptureServices.h"
#include "devices/DeviceList.h"
#include "devices/MutedEndpoints.h"

namespace shadowpane {

// Holds one endpoint muted for a blocked microphone: notes the mute it
// found, mutes it, mutes it again at once whenever another program unmutes
// it, and gives back what it found. Its references are released in the
// order volume, device, enumerator.
class EndpointMuteHold : private EndpointMuteListener {
 public:
  // The record, when given, lists the endpoint while this hold has it
  // muted where it was not muted before.
  EndpointMuteHold(CaptureServices& services, MutedEndpoints* record);
  ~EndpointMuteHold() override;
  EndpointMuteHold(const EndpointMuteHold&) = delete;
  EndpointMuteHold& operator=(const EndpointMuteHold&) = delete;

  // Opens the endpoint, notes its mute, mutes it and listens for changes.
  // False when a step was refused; nothing is held or changed then.
  bool Start(const std::u16string& endpointId);
  // The periodic re-application; answers whether it took.
  bool Reapply();
  // Stops listening and gives back the mute found at Start (an endpoint
  // the record listed counts as found unmuted: this program muted it in a
  // run that ended without giving it back). Then releases everything.
  void Restore();
  // How often another program's unmute was answered at once.
  int ForeignUnmutesAnswered() const { return answered_; }

 private:
  void OnForeignMuteChange(bool muted) override;
  void Release();

  CaptureServices& services_;
  MutedEndpoints* record_;
  std::u16string id_;
  bool foundMuted_ = false;
  bool listening_ = false;
  std::unique_ptr<AudioEndpointEnumerator> enumerator_;
  std::unique_ptr<AudioEndpoint> endpoint_;
  std::unique_ptr<EndpointVolume> volume_;
  std::atomic<int> answered_{0};
};

// Reads the endpoint's mute as another program would meet it: through an
// enumerator, device and volume of its own. True only when every step
// answered and the endpoint reads muted.
bool EndpointMutedForOthers(CaptureServices& services, const std::u16string& endpointId);

// At start, once the profile's blocks are taken: unmutes each recorded
// endpoint that no held microphone stands for and forgets it. An endpoint
// that cannot be unmuted now stays recorded for the next start. Answers
// how many recorded endpoints are left.
std::size_t ReleaseStrayEndpointMutes(DeviceList& list, CaptureServices& services,
                                      MutedEndpoints& record);

}  // namespace shadowpane
