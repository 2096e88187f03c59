#include "devices/Microphone.h"

#include "devices/EndpointMute.h"

namespace shadowpane {

namespace {
// The name the capture filter carries in the worker's and RestoreInput's
// graphs.
constexpr WideChar kAudioCaptureName[] = u"Audio Capture";

// The format a wave-input device is held open with: mono, 44100 Hz, 16 bit.
// A device that rejects mono is opened with two channels and otherwise the
// same fields.
constexpr std::uint16_t kWaveFormatPcm = 1;
constexpr std::uint16_t kMonoChannels = 1;
constexpr std::uint16_t kStereoChannels = 2;
constexpr std::uint32_t kSamplesPerSec = 44100;
constexpr std::uint32_t kAvgBytesPerSec = 88200;
constexpr std::uint16_t kBlockAlign = 2;
constexpr std::uint16_t kBitsPerSample = 16;

// The mute control is set on at most this many channels.
constexpr std::uint32_t kMaxMuteChannels = 2;

}  // namespace

WaveFormat MicrophoneHoldFormat() {
  WaveFormat format;
  format.formatTag = kWaveFormatPcm;
  format.channels = kMonoChannels;
  format.samplesPerSec = kSamplesPerSec;
  format.avgBytesPerSec = kAvgBytesPerSec;
  format.blockAlign = kBlockAlign;
  format.bitsPerSample = kBitsPerSample;
  format.extraSize = 0;
  return format;
}

namespace {

// A uniform control takes one value for all channels; otherwise one per
// channel, at most two.
std::uint32_t MuteChannels(const MixerLineInfo& line, const MixerControlInfo& control) {
  if (control.controlFlags & kMixerControlFlagUniform) return 1;
  return line.channels < kMaxMuteChannels ? line.channels : kMaxMuteChannels;
}

// A private graph around a capture filter, held only for access to the
// filter's analog input pin and its mixer. Never run. Releases the mixer,
// the builder and the graph, in that order.
class InputMixerAccess {
 public:
  ~InputMixerAccess() {
    mixer.reset();
    builder_.reset();
    graph_.reset();
  }

  // Builds the graph, adds the filter and finds the mixer; the pin is
  // released before returning. A missing filter ends it after the graph.
  HResult Open(CaptureServices& services, CaptureFilter* filter) {
    HResult hr = services.CreateFilterGraph(&graph_);
    if (Failed(hr)) return hr;
    hr = services.CreateCaptureGraphBuilder(&builder_);
    if (Failed(hr)) return hr;
    builder_->SetFiltergraph(*graph_);  // its result tells nothing FindPin would not
    if (filter == nullptr) return kHrFail;
    hr = graph_->AddFilter(*filter, kAudioCaptureName);
    if (Failed(hr)) return hr;
    std::unique_ptr<CapturePin> pin;
    hr = builder_->FindPin(*filter, PinDirection::Input, PinCategory::None,
                           MediaType::AnalogAudio, &pin);
    if (Failed(hr)) return hr;
    hr = pin->QueryAudioInputMixer(&mixer);
    pin.reset();
    return hr;
  }

  std::unique_ptr<AudioInputMixer> mixer;

 private:
  std::unique_ptr<FilterGraph> graph_;
  std::unique_ptr<CaptureGraphBuilder> builder_;
};

// Whether a filter's analog input is switched off, read through a graph of
// its own as another client of the device would.
bool InputDisabledForOthers(CaptureServices& services, CaptureFilter* filter) {
  InputMixerAccess input;
  if (Failed(input.Open(services, filter))) return false;
  bool enabled = true;
  return Succeeded(input.mixer->GetEnable(&enabled)) && !enabled;
}

}  // namespace

SPDEVMIC::SPDEVMIC(DevicePoster& poster, CaptureServices& services, MutedEndpoints* mutedEndpoints,
                   EndpointHolders* holders)
    : SPDEV(poster), services_(services), mutedEndpoints_(mutedEndpoints), holders_(holders) {}

SPDEVMIC::~SPDEVMIC() {
  Unblock();
  restoreFilter_.reset();
  workerFilter_.reset();
  checkFilter_.reset();
}

int SPDEVMIC::GetKind() { return DEVICE_KIND_AUDIO; }

int SPDEVMIC::Init(const DeviceInitRecord* record) {
  if (record == nullptr || record->kind != DEVICE_KIND_AUDIO) return 0;
  const auto* init = static_cast<const AudioInitRecord*>(record);
  // Init belongs to a device that has no worker; make sure of it before the
  // worker's filter is replaced.
  Unblock();
  restoreFilter_ = std::move(init->restoreFilter);
  workerFilter_ = std::move(init->workerFilter);
  checkFilter_ = std::move(init->checkFilter);
  ResetStateFlags();
  SetDisplayName(init->friendlyName);
  // LinkDevice stores the friendly name once the display name is unique.
  SetFriendlyName(nullptr);
  StorePath(init->path);
  StoreNotifyWindow(init->notifyWindow);
  StoreWaveInId(init->waveInId);
  deviceInterface_ = init->deviceInterface;
  return 0;
}

bool SPDEVMIC::HoldRequested() {
  if (worker_ == nullptr) return false;
  std::lock_guard<std::mutex> hold(workerLock_);
  return ended_ == 0;
}

void SPDEVMIC::Rebind(std::unique_ptr<CaptureFilter> restoreFilter,
                      std::unique_ptr<CaptureFilter> workerFilter,
                      std::unique_ptr<CaptureFilter> checkFilter, std::uint32_t waveInId,
                      std::u16string deviceInterface) {
  // The worker uses its filters until it is joined; the endpoint stays
  // muted for the hold that follows, if any.
  HandOver();
  restoreFilter_ = std::move(restoreFilter);
  workerFilter_ = std::move(workerFilter);
  checkFilter_ = std::move(checkFilter);
  StoreWaveInId(waveInId);
  deviceInterface_ = std::move(deviceInterface);
}

int SPDEVMIC::Block() {
  if (worker_ != nullptr) {
    bool ended = false;
    {
      std::lock_guard<std::mutex> hold(workerLock_);
      // Starting (not yet running) or holding: that worker does the job.
      ended = ended_ != 0;
    }
    if (!ended) return 1;
    // The last worker gave up by itself; reap its handle before the next.
    JoinWorker();
  }
  {
    std::lock_guard<std::mutex> hold(workerLock_);
    running_ = 0;
    stop_ = 0;
    ended_ = 0;
    recheck_ = 0;
    keepMute_ = 0;
    talkWanted_ = 0;
    talkApplied_ = 0;
    leftMuted_ = LeaveOutcome::GivenBack;
  }
  // Without a signal the worker still holds; it only answers changes and
  // stops at its period's pace.
  if (wake_ == nullptr) wake_ = services_.CreateWakeSignal();
  const bool numberMeansThisInput = NumberStillMeansThisInput();
  const bool olderList = listed_ && !numberMeansThisInput;
  // The endpoint is looked up only for the input the list shows: another
  // input at the number (or a source the wave-input driver does not know)
  // must not be muted in its stead.
  endpointId_.clear();
  if (numberMeansThisInput && services_.SystemMajorVersion() >= kFirstDirectShowSilencingVersion &&
      services_.WaveInputEndpointId(ReadWaveInId(), &endpointId_) != kMmNoError) {
    endpointId_.clear();
  }
  worker_ = services_.StartThread(&SPDEVMIC::MuteWorkerEntry, this);
  if (worker_ == nullptr) return 0;
  blockedOnOlderList_ = blockedOnOlderList_ || olderList;
  return 1;
}

int SPDEVMIC::Unblock() {
  if (worker_ == nullptr) return 1;
  StopWorker(false);
  std::lock_guard<std::mutex> hold(workerLock_);
  return leftMuted_ == LeaveOutcome::GivenBack ? 1 : 0;
}

void SPDEVMIC::HandOver() {
  if (worker_ != nullptr) StopWorker(mutedEndpoints_ != nullptr);
}

void SPDEVMIC::StopWorker(bool keepMute) {
  {
    std::lock_guard<std::mutex> hold(workerLock_);
    stop_ = 1;
    keepMute_ = keepMute ? 1 : 0;
  }
  if (wake_ != nullptr) wake_->Set();
  JoinWorker();
  RestoreInput();
}

bool SPDEVMIC::NumberStillMeansThisInput() {
  const std::uint32_t number = ReadWaveInId();
  std::u16string name;
  if (services_.WaveInputName(number, &name) != kMmNoError) return false;
  WideChar friendly[kNameUnits] = {};
  GetFriendlyName(friendly, kMaxNameChars);
  if (name != BoundedString(friendly, kNameUnits).substr(0, kWaveInputNameChars)) return false;
  // Inputs of one name are told apart by their interfaces where known.
  std::u16string answer;
  return deviceInterface_.empty() ||
         services_.WaveInputInterface(number, &answer) != kMmNoError || answer.empty() ||
         answer == deviceInterface_;
}

void SPDEVMIC::JoinWorker() {
  worker_->Join();
  worker_.reset();  // closes the handle
  std::lock_guard<std::mutex> hold(workerLock_);
  stop_ = 0;
}

int SPDEVMIC::GetWaveInId() { return static_cast<int>(ReadWaveInId()); }

int SPDEVMIC::SetWaveInId(std::uint32_t id) {
  StoreWaveInId(id);
  return static_cast<int>(id);
}

int SPDEVMIC::PollDeviceLost() { return 0; }

int SPDEVMIC::RecheckHold() {
  if (worker_ == nullptr) return 0;
  std::lock_guard<std::mutex> hold(workerLock_);
  if (running_ == 0) return 0;
  recheck_ = 1;
  return 1;
}

int SPDEVMIC::Talk(bool talk) {
  if (worker_ == nullptr) return 0;
  {
    std::lock_guard<std::mutex> hold(workerLock_);
    if (ended_ != 0) return 0;
    talkWanted_ = talk ? 1 : 0;
  }
  // The worker answers at once, not at its period's pace.
  if (wake_ != nullptr) wake_->Set();
  return 1;
}

bool SPDEVMIC::TalkChangeAsked() {
  std::lock_guard<std::mutex> hold(workerLock_);
  return talkWanted_ != talkApplied_;
}

bool SPDEVMIC::TakeTalkWanted() {
  std::lock_guard<std::mutex> hold(workerLock_);
  talkApplied_ = talkWanted_;
  return talkApplied_ != 0;
}

bool SPDEVMIC::TakeRecheckRequest() {
  std::lock_guard<std::mutex> hold(workerLock_);
  const bool asked = recheck_ != 0;
  recheck_ = 0;
  return asked;
}

void SPDEVMIC::MuteWorkerEntry(void* device) { static_cast<SPDEVMIC*>(device)->MuteWorker(); }

void SPDEVMIC::MuteWorker() {
  {
    std::lock_guard<std::mutex> hold(workerLock_);
    running_ = 1;
    holdLost_ = 0;
  }
  // Read once: the worker keeps these copies for its whole life.
  const NotifyWindow window = ReadNotifyWindow();
  const std::uint32_t waveInId = ReadWaveInId();

  // Each method shows the device blocked only once its first application
  // took, so the mark never claims silence before there is any.
  if (services_.SystemMajorVersion() < kFirstDirectShowSilencingVersion) {
    SilenceThroughWaveMixer(waveInId, window);
  } else {
    SilenceThroughEndpoint(window);
  }

  LeaveOutcome left = LeaveOutcome::GivenBack;
  {
    std::lock_guard<std::mutex> hold(workerLock_);
    running_ = 0;
    ended_ = 1;
    left = leftMuted_;
  }
  ReleasedAndNotify(left == LeaveOutcome::Failed, left == LeaveOutcome::LeftToOthers, window);
}

void SPDEVMIC::NoteReapplied(bool succeeded) {
  std::lock_guard<std::mutex> hold(workerLock_);
  holdLost_ = succeeded ? 0 : 1;
}

bool SPDEVMIC::HoldLost() {
  std::lock_guard<std::mutex> hold(workerLock_);
  return holdLost_ != 0 && running_ != 0;
}

bool SPDEVMIC::StopRequested(NotifyWindow window, EndpointMuteHold* endpoint) {
  if (TakeRecheckRequest()) ShowRisks(CheckedRisks(endpoint), window, false);
  return StopAsked();
}

std::uint32_t SPDEVMIC::CheckedRisks(EndpointMuteHold* endpoint) {
  std::uint32_t risks = SilentForOthers() ? 0 : kHoldRiskOpenToOthers;
  if (endpoint != nullptr && !endpoint->ExclusiveStreamsSilent()) risks |= kHoldRiskExclusive;
  if (endpoint != nullptr && endpoint->Contested(services_.NowMs())) risks |= kHoldRiskContested;
  return risks;
}

void SPDEVMIC::ShowRisks(std::uint32_t risks, NotifyWindow window, bool first) {
  // Stored before the post, so whoever reads the post reads these.
  const std::uint32_t before = holdRisks_.exchange(risks);
  if (first || before != risks) SetHeldAndNotify(true, risks != 0, window);
}

bool SPDEVMIC::StopAsked() {
  std::lock_guard<std::mutex> hold(workerLock_);
  return stop_ != 0;
}

void SPDEVMIC::WaitOnePeriod(EndpointMuteHold* endpoint) {
  if (wake_ == nullptr) {
    services_.Sleep(kMuteReapplyPeriodMs);
    return;
  }
  const std::uint32_t start = services_.NowMs();
  std::uint32_t left = kMuteReapplyPeriodMs;
  while (services_.SleepOrWake(*wake_, left)) {
    if (StopAsked() || TalkChangeAsked()) return;
    const std::uint32_t now = services_.NowMs();
    if (endpoint != nullptr) endpoint->AnswerNotice(now);
    // A wake does not restart the period: the re-application stays
    // periodic however often another program unmutes.
    const std::uint32_t elapsed = now - start;
    if (elapsed >= kMuteReapplyPeriodMs) return;
    left = kMuteReapplyPeriodMs - elapsed;
  }
}

bool SPDEVMIC::SilentForOthers() {
  if (!endpointId_.empty()) return EndpointMutedForOthers(services_, endpointId_);
  return InputDisabledForOthers(services_, checkFilter_.get());
}

void SPDEVMIC::SilenceThroughWaveMixer(std::uint32_t waveInId, NotifyWindow window) {
  WaveFormat format = MicrophoneHoldFormat();
  std::unique_ptr<WaveInput> input;
  MmResult mm = services_.OpenWaveInput(waveInId, format, &input);
  if (mm == kWaveBadFormat) {
    format.channels = kStereoChannels;
    mm = services_.OpenWaveInput(waveInId, format, &input);
  }
  std::unique_ptr<Mixer> mixer;
  if (mm == kMmNoError) mm = services_.OpenWaveInputMixer(*input, &mixer);
  MixerLineInfo line;
  if (mm == kMmNoError) mm = mixer->GetLineInfoByType(kMixerLineTypeDestinationWaveIn, &line);
  MixerControlInfo control;
  if (mm == kMmNoError) mm = mixer->GetLineControlByType(line.lineId, kMixerControlTypeMute, &control);
  if (mm == kMmNoError) {
    const std::uint32_t channels = MuteChannels(line, control);
    const std::int32_t muted[2] = {1, 1};
    mm = mixer->SetBooleanControl(control.controlId, channels, muted);
    if (mm == kMmNoError) {
      // Before version 6 the wave-input mixer is the device's own, shared
      // by every program: its mute is the one others meet.
      holdRisks_ = 0;
      SetBlockedAndNotify(true, window);
      while (!StopRequested(window, nullptr)) {
        // Another program may have unmuted the line meanwhile.
        NoteReapplied(mixer->SetBooleanControl(control.controlId, channels, muted) == kMmNoError);
        WaitOnePeriod(nullptr);
      }
      const std::int32_t unmuted[2] = {0, 0};
      mixer->SetBooleanControl(control.controlId, channels, unmuted);
    }
  }
  // The mixer belongs to the open wave input: close it first.
  mixer.reset();
  input.reset();
}

void SPDEVMIC::SilenceThroughEndpoint(NotifyWindow window) {
  const HResult comResult = services_.InitializeThreadCom();
  {
    // Switched off where the capture filter has an analog input: it does
    // no harm, and it is all a source without an endpoint offers.
    InputMixerAccess input;
    const bool inputOff = Succeeded(input.Open(services_, workerFilter_.get())) &&
                          Succeeded(input.mixer->PutEnable(false));
    EndpointMuteHold endpoint(services_, mutedEndpoints_, holders_, wake_);
    const bool endpointMuted = !endpointId_.empty() && endpoint.Start(endpointId_);
    // An input with an endpoint counts as held with the input pin alone
    // too; its check reads the endpoint all the same, so such a hold shows
    // what others meet.
    EndpointMuteHold* muted = endpointMuted ? &endpoint : nullptr;
    if (endpointMuted || inputOff) {
      ShowRisks(CheckedRisks(muted), window, true);
      bool talking = false;
      while (!StopRequested(window, muted)) {
        if (TalkChangeAsked()) {
          talking = TakeTalkWanted();
          ApplyTalk(talking, inputOff ? input.mixer.get() : nullptr, muted, window);
        }
        if (talking) {
          // Nothing is re-applied and no unmute answered: the user talks.
          WaitOnePeriod(nullptr);
          continue;
        }
        // Another program may have unmuted or switched it on meanwhile.
        const bool inputReapplied = inputOff && Succeeded(input.mixer->PutEnable(false));
        NoteReapplied(endpointMuted ? endpoint.Reapply() : inputReapplied);
        WaitOnePeriod(muted);
        // A contest starts within one period of the unmute past the budget
        // and ends a period after a quiet second at most.
        if (muted != nullptr && !TalkChangeAsked()) {
          const std::uint32_t risks = holdRisks_;
          const bool contested = endpoint.Contested(services_.NowMs());
          ShowRisks(contested ? risks | kHoldRiskContested : risks & ~kHoldRiskContested, window, false);
        }
      }
    }
    if (inputOff) input.mixer->PutEnable(true);
    bool keepMute = false;
    {
      std::lock_guard<std::mutex> hold(workerLock_);
      keepMute = keepMute_ != 0;
    }
    const LeaveOutcome left = endpoint.End(keepMute ? HoldEnding::KeepMuted : HoldEnding::GiveBack);
    {
      std::lock_guard<std::mutex> hold(workerLock_);
      leftMuted_ = left;
    }
    foreignUnmutesAnswered_ += endpoint.ForeignUnmutesAnswered();
  }
  // Only a successful CoInitialize is balanced by CoUninitialize, after
  // every object of this thread is released.
  if (Succeeded(comResult)) services_.UninitializeThreadCom();
}

void SPDEVMIC::ApplyTalk(bool talk, AudioInputMixer* input, EndpointMuteHold* endpoint, NotifyWindow window) {
  if (!talk) {
    if (input != nullptr) input->PutEnable(false);
    if (endpoint != nullptr) endpoint->ResumeAfterTalk();
    // Blocked again only as another program finds it.
    ShowRisks(CheckedRisks(endpoint), window, false);
    return;
  }
  const bool inputOn = input != nullptr && Succeeded(input->PutEnable(true));
  bool heard = false;
  if (endpoint != nullptr) {
    heard = endpoint->PauseForTalk();
  } else {
    heard = inputOn && !InputDisabledForOthers(services_, checkFilter_.get());
  }
  // Talking once read back as given back; otherwise whatever another
  // program would find (still muted: still blocked).
  ShowRisks(heard ? kHoldRiskTalking : CheckedRisks(endpoint), window, false);
}

void SPDEVMIC::RestoreInput() {
  InputMixerAccess input;
  if (Failed(input.Open(services_, restoreFilter_.get()))) return;
  // On, off and on again: some drivers only apply a change they see.
  input.mixer->PutEnable(true);
  input.mixer->PutEnable(false);
  input.mixer->PutEnable(true);
}

}  // namespace shadowpane
