// A microphone's audio endpoint, muted for every program: the system keeps
// an endpoint's mute for all of them, unlike the mixer lines of wave input
// and of a capture filter's input pin, which belong to the calling
// program's own session.
//
// The mute belongs to the endpoint, not to the worker that applied it: a
// hold can end keeping the endpoint muted (a microphone bound afresh to the
// same endpoint takes it over without a give-back), and the record of muted
// endpoints says what was found, so whoever holds it next, or the clean-up
// of strays, gives back the right state.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "devices/CaptureServices.h"
#include "devices/ContestedMute.h"
#include "devices/DeviceList.h"
#include "devices/ExclusiveAccess.h"
#include "devices/EndpointHolders.h"
#include "devices/MutedEndpoints.h"

namespace shadowpane {

// At most this many immediate re-mutes of one endpoint in any second; past
// that, another program's unmutes are answered by the periodic
// re-application alone.
constexpr int kMaxImmediateRemutesPerSecond = 20;
constexpr std::uint32_t kImmediateRemuteWindowMs = 1000;

// Counts the immediate re-mutes of the last second.
class RemuteBudget {
 public:
  // True (and counted) when one more fits into the second before `nowMs`.
  bool Take(std::uint32_t nowMs);

 private:
  std::uint32_t times_[kMaxImmediateRemutesPerSecond] = {};
  int used_ = 0;
  int next_ = 0;
};

// The change notice's side of a hold: it only notes another program's
// unmute and wakes the worker, which answers it. Shared with the platform's
// callback object, so a notice after a refused unregistration still finds
// it alive.
class ForeignUnmuteNotice : public EndpointMuteListener {
 public:
  explicit ForeignUnmuteNotice(std::shared_ptr<WakeSignal> wake) : wake_(std::move(wake)) {}
  void OnForeignMuteChange(bool muted) override;
  // Whether an unmute came since the last call.
  bool Take() { return pending_.exchange(false); }

 private:
  std::shared_ptr<WakeSignal> wake_;
  std::atomic<bool> pending_{false};
};

// How a hold ends.
enum class HoldEnding {
  GiveBack,   // the user's unblock, a close: the endpoint gets back what was found
  KeepMuted,  // the microphone is bound afresh: the endpoint stays muted for the next hold
};

// Holds one endpoint muted for a blocked microphone: notes the mute it
// found, mutes it, keeps exclusive streams out where the device has no mute
// of its own, answers another program's unmute at once (within the budget)
// and notes when that is contested, and at its end gives back what it
// found and reads it back, or leaves it muted for the next hold. Its
// references are released in the order shared stream, volume, device,
// enumerator.
class EndpointMuteHold {
 public:
  // The record, when given, lists the endpoint while it is muted where it
  // was not muted before; the holders, when given, tell the other copies
  // of the program on this machine. A null wake signal: no immediate
  // answers (the periodic re-application still holds).
  EndpointMuteHold(CaptureServices& services, MutedEndpoints* record, EndpointHolders* holders,
                   std::shared_ptr<WakeSignal> wake);
  // Ends a hold still in force by giving back.
  ~EndpointMuteHold();
  EndpointMuteHold(const EndpointMuteHold&) = delete;
  EndpointMuteHold& operator=(const EndpointMuteHold&) = delete;

  // Opens the endpoint, notes what it found, mutes it and listens for
  // changes; where the device has no mute of its own (or does not say),
  // opens the shared stream that keeps exclusive ones out. False when a
  // step of the mute was refused; nothing is held then.
  bool Start(const std::u16string& endpointId);
  // Whether a stream in exclusive mode stays silent, checked as another
  // program would meet the device.
  bool ExclusiveStreamsSilent();
  // Whether another program contests the mute at nowMs (worker thread).
  bool Contested(std::uint32_t nowMs) { return contest_.Contested(nowMs); }
  // The periodic re-application; answers whether it took.
  bool Reapply();
  // After a wake: re-mutes at once when another program unmuted and the
  // budget allows.
  void AnswerNotice(std::uint32_t nowMs);
  // A talk (push-to-talk): gives back what was found and answers no
  // unmute until it ends; the record and the other copies' claim stay, so
  // a crash mid-talk loses nothing. True when a fresh read, as another
  // program would make it, shows the endpoint as it was found.
  bool PauseForTalk();
  // Ends a talk: mutes again, drops the notices the talk caused and reads
  // the mute back as another program would; true when it reads muted.
  bool ResumeAfterTalk();
  // Stops listening and ends the hold. GiveBack answers GivenBack only
  // when a fresh read shows the endpoint as it was found (also when
  // nothing was held, or KeepMuted); LeftToOthers while another holder
  // keeps it muted. An endpoint not given back stays recorded, so it is
  // tried again.
  LeaveOutcome End(HoldEnding ending);
  // How often another program's unmute was answered at once.
  int ForeignUnmutesAnswered() const { return answered_; }

 private:
  void Release();

  CaptureServices& services_;
  MutedEndpoints* record_;
  EndpointHolders* holders_;
  std::shared_ptr<WakeSignal> wake_;
  std::shared_ptr<ForeignUnmuteNotice> notice_;
  RemuteBudget budget_;
  ContestedMute contest_;
  bool hardwareMute_ = false;
  SharedStreamHold stream_;
  std::u16string id_;
  bool foundUnmuted_ = false;
  bool listening_ = false;
  bool paused_ = false;
  std::unique_ptr<AudioEndpointEnumerator> enumerator_;
  std::unique_ptr<AudioEndpoint> endpoint_;
  std::unique_ptr<EndpointVolume> volume_;
  std::atomic<int> answered_{0};
};

// Reads the endpoint's mute as another program would meet it: through an
// enumerator, device and volume of its own. True only when every step
// answered and the endpoint reads muted.
bool EndpointMutedForOthers(CaptureServices& services, const std::u16string& endpointId);

// Gives back an endpoint that no hold of this program keeps any more: where
// another copy on the machine still holds it, only this copy's part ends;
// where this copy was the last, the endpoint gets back what the first hold
// found, read back through objects of its own. Answers how the leave
// ended: only an endpoint given back leaves the record; one another holder
// keeps (or may keep) stays recorded until no claim remains.
LeaveOutcome GiveBackEndpoint(CaptureServices& services, MutedEndpoints& record, EndpointHolders* holders,
                      const std::u16string& endpointId);

// At the end of every refresh, once its blocks are taken: gives back each
// recorded endpoint that no held microphone stands for. Answers how many
// recorded endpoints are left that were not given back and verified (those
// held included); each is tried again at the next refresh. `failed`, when
// given, counts those whose give-back failed (not those left to others).
std::size_t ReleaseStrayEndpointMutes(DeviceList& list, CaptureServices& services,
                                      MutedEndpoints& record, EndpointHolders* holders = nullptr,
                                      std::size_t* failed = nullptr);

}  // namespace shadowpane
