// SPDEVMIC: an audio input, blocked by a worker thread of its own that keeps
// the input silent and re-applies that every 66 ms until it is told to
// stop: on systems from version 6 on through its audio endpoint's mute
// (and its capture filter's analog input pin where it has one), on older
// ones through wave input and its mixer. Each hold is checked the way
// another program would find it before the device shows it blocked.
//
// Threads: Block, Unblock, RestoreInput and destruction run on the
// user-interface thread; the worker touches only its own device. The worker
// lock guards running, stop and ended (and the talk asked and applied);
// the worker handle belongs to the user-interface thread alone. No two of
// the device's locks are ever held at a time.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "devices/CaptureServices.h"
#include "devices/Device.h"
#include "devices/EndpointHolders.h"
#include "devices/MutedEndpoints.h"

namespace shadowpane {

class EndpointMuteHold;

// How often a holding worker re-applies the mute or disable.
constexpr std::uint32_t kMuteReapplyPeriodMs = 66;
// Systems with a major version below this one are silenced through wave
// input and its mixer, which is the device's own there; from this one on
// mixer lines belong to each program's session, so the endpoint's mute
// silences, and an input without an endpoint is switched off at its
// capture filter's analog input pin.
constexpr std::uint32_t kFirstDirectShowSilencingVersion = 6;

// The format a wave-input device is held open with: PCM, mono, 44100 Hz,
// 16 bit. A device that rejects mono is opened with two channels and
// otherwise the same fields.
WaveFormat MicrophoneHoldFormat();

// What discovery hands a new microphone.
struct AudioInitRecord : DeviceInitRecord {
  AudioInitRecord() { kind = DEVICE_KIND_AUDIO; }
  // Two bindings of the device's moniker: one for the user-interface thread,
  // one for the worker. Init takes both over.
  mutable std::unique_ptr<CaptureFilter> restoreFilter;
  mutable std::unique_ptr<CaptureFilter> workerFilter;
  // A third, for the check of the analog input as another client would
  // meet it. None: an input-pin hold cannot be checked (and so never
  // counts as silent).
  mutable std::unique_ptr<CaptureFilter> checkFilter;
  WideChar friendlyName[kNameUnits] = {};
  WideChar path[kNameUnits] = {};
  std::uint32_t waveInId = 0;
  NotifyWindow notifyWindow = 0;
  // The device interface the wave-input driver answers for waveInId; empty
  // when unknown. Not part of the profile key.
  std::u16string deviceInterface;
};

class SPDEVMIC : public SPDEV {
 public:
  // The services, and the record and holders when given, must outlive the
  // microphone.
  SPDEVMIC(DevicePoster& poster, CaptureServices& services, MutedEndpoints* mutedEndpoints = nullptr,
           EndpointHolders* holders = nullptr);
  // Performs Unblock's steps (stop and join the worker, give back, restore
  // the input), then releases both filters.
  ~SPDEVMIC() override;

  int GetKind() override;
  int Init(const DeviceInitRecord* record) override;
  // 1 when a worker was started or one is already starting or holding;
  // 0 when no thread could be created.
  int Block() override;
  // Stops and joins the worker, which gives back the endpoint's mute, then
  // restores the input. 1 when done; 0 when a fresh read could not show
  // the endpoint as it was found, or another holder (another copy of the
  // program, or whatever took its name) keeps it muted: the microphone
  // shows open, the record keeps the endpoint (the stray clean-up tries
  // again) and the device's give-back or left-to-others bit tells the
  // user.
  int Unblock() override;
  // Stops and joins the worker like Unblock, but leaves the endpoint muted
  // and recorded: the next hold on it, or the clean-up at the end of the
  // refresh, takes it from there. For a microphone bound afresh, renumbered
  // or swept while its endpoint may still be there. Without a record of
  // muted endpoints it gives back like Unblock.
  void HandOver();
  int GetWaveInId() override;
  int SetWaveInId(std::uint32_t id) override;
  int PollDeviceLost() override;
  // Asks a holding worker to check the silence again, as another program
  // would find it; a changed answer posts the state anew. 0 when no worker
  // holds.
  int RecheckHold() override;

  // Push-to-talk: asks the holding worker to pause its hold for a talk
  // (the endpoint given back as found, the input switched on, each read
  // back as another program would before the entry shows talking) or to
  // take it again (muted and read back before it shows blocked). The
  // block, the record of muted endpoints and what is saved stay as they
  // are. Answers 1 when a worker holds, 0 otherwise. A hold started later
  // (a Block, a microphone bound afresh) does not talk.
  int Talk(bool talk);
  // True while the hold is paused for a talk, as last shown.
  bool Talking() { return (HoldRisks() & kHoldRiskTalking) != 0; }

  // Switches the analog input on, off and on again from the user-interface
  // thread, through the restore filter. Every failure just ends it.
  void RestoreInput();

  // True while a worker thread is started and not yet joined (tests only).
  bool HasWorker() const { return worker_ != nullptr; }
  // True while a worker is starting or holding (not ended by itself): the
  // user's block is in force or about to be.
  bool HoldRequested();

  // True when the worker's last re-application failed: the input it holds
  // has gone (unplugged), whatever now answers at its number.
  bool HoldLost();

  // Binds the microphone afresh to the input that now answers at its place:
  // hands over any worker first (it holds the old binding), then takes both
  // filters, the number and the device interface. Blocking again is the
  // caller's decision. The path, and so the profile key, stays.
  void Rebind(std::unique_ptr<CaptureFilter> restoreFilter,
              std::unique_ptr<CaptureFilter> workerFilter,
              std::unique_ptr<CaptureFilter> checkFilter, std::uint32_t waveInId,
              std::u16string deviceInterface);

  // The audio endpoint the last Block found for the input (empty: none, or
  // a system without endpoints). User-interface thread; set only while no
  // worker runs.
  const std::u16string& EndpointId() const { return endpointId_; }
  // How often the hold answered another program's unmute at once.
  int ForeignUnmutesAnswered() const { return foreignUnmutesAnswered_; }
  // Why the hold shows amber: heard by others (its check read it unmuted
  // or its input on), an exclusive stream let in, a contested mute.
  std::uint32_t HoldRisks() override { return IsSharedBitSet() != 0 ? holdRisks_.load() : 0; }

  // True when a worker was started while its number no longer meant the
  // input the list showed (the driver names another input there, answers
  // another device interface, or has no such number): the list was older
  // than the hardware, and the worker opened whatever the number meant by
  // then. Discovery binds such a hold afresh at the next refresh.
  bool BlockedOnOlderList() const { return blockedOnOlderList_; }
  // Discovery, at the end of each refresh: the list now shows the hardware,
  // so from here on Block checks its number against it.
  void NoteListRefreshed() {
    listed_ = true;
    blockedOnOlderList_ = false;
  }

  // The device interface the microphone was last matched by; discovery's
  // alone (user-interface thread), so it needs no lock.
  const std::u16string& DeviceInterface() const { return deviceInterface_; }
  void SetDeviceInterface(std::u16string deviceInterface) {
    deviceInterface_ = std::move(deviceInterface);
  }

 private:
  static void MuteWorkerEntry(void* device);
  // The worker notes whether its last re-application took effect.
  void NoteReapplied(bool succeeded);
  void MuteWorker();
  void SilenceThroughWaveMixer(std::uint32_t waveInId, NotifyWindow window);
  void SilenceThroughEndpoint(NotifyWindow window);
  bool NumberStillMeansThisInput();
  // Whether the input is silent as another program would find it: the
  // endpoint read through objects of its own, or else the analog input
  // read through the check filter in a graph of its own.
  bool SilentForOthers();
  // Answers whether Unblock has asked the worker to end; checks the
  // silence again first when a recheck was asked for.
  bool StopRequested(NotifyWindow window, EndpointMuteHold* endpoint);
  // The hold's risks as another program would meet it now.
  std::uint32_t CheckedRisks(EndpointMuteHold* endpoint);
  // Shows the risks: the first time, or posts again when they changed.
  void ShowRisks(std::uint32_t risks, NotifyWindow window, bool first);
  bool StopAsked();
  // Whether the worker's talk differs from the one asked for; the worker
  // notes the one it applied.
  bool TalkChangeAsked();
  // Pauses the hold for a talk or takes it again, and shows the outcome.
  void ApplyTalk(bool talk, AudioInputMixer* input, EndpointMuteHold* endpoint, NotifyWindow window);
  bool TakeTalkWanted();
  // Stops and joins the worker, keeping the endpoint muted or not.
  void StopWorker(bool keepMute);
  // One re-application period; a wake in it answers another program's
  // unmute at once (within the hold's budget), or ends it for a stop.
  void WaitOnePeriod(EndpointMuteHold* endpoint);
  bool TakeRecheckRequest();
  void JoinWorker();

  CaptureServices& services_;
  MutedEndpoints* mutedEndpoints_;
  EndpointHolders* holders_;
  // Wakes the worker: a change notice, or a stop. Made with the first Block.
  std::shared_ptr<WakeSignal> wake_;
  std::unique_ptr<CaptureFilter> restoreFilter_;
  std::unique_ptr<CaptureFilter> workerFilter_;
  std::unique_ptr<CaptureFilter> checkFilter_;
  std::u16string endpointId_;

  std::mutex workerLock_;
  int running_ = 0;
  int stop_ = 0;
  // Set by the worker together with clearing running: it has given up its
  // hold and is about to end, so its handle can be joined at once.
  int ended_ = 0;
  // Set by the worker when re-applying fails; cleared when a worker starts.
  int holdLost_ = 0;
  // Set by RecheckHold; taken by the holding worker.
  int recheck_ = 0;
  // Set by Talk; the worker applies it and notes it in talkApplied_.
  int talkWanted_ = 0;
  int talkApplied_ = 0;
  // Set with stop: the worker leaves the endpoint muted for the next hold.
  int keepMute_ = 0;
  // Set by the worker as its hold ended: anything but GivenBack leaves the
  // endpoint muted (not read back, or kept by another holder).
  LeaveOutcome leftMuted_ = LeaveOutcome::GivenBack;
  std::atomic<int> foreignUnmutesAnswered_{0};
  // Written by the worker before it posts; read by anyone.
  std::atomic<std::uint32_t> holdRisks_{0};

  std::unique_ptr<WorkerThread> worker_;
  std::u16string deviceInterface_;
  // User-interface thread only, like worker_.
  bool listed_ = false;
  bool blockedOnOlderList_ = false;
};

}  // namespace shadowpane
