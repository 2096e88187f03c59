// The audio sessions' own thread against Wine's real audio stack (its null
// ALSA capture endpoint): the thread is in the multithreaded apartment,
// reads through the manager it registered on, tells the notice from that
// thread only, and is gone, with nothing told, once the watch stopped.
// Also the process facts the records are checked against.
#include "usage/win32/Win32AudioSessionSource.h"

#include <windows.h>
#include <mmdeviceapi.h>
#include <audioclient.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>

#include "core/win32/TextCast.h"
#include "devices/win32/ComRef.h"
#include "tests/support/win32/TestPlatform.h"
#include "usage/win32/Win32ProcessSource.h"

namespace shadowpane {
namespace {

const GUID kClsidMMDeviceEnumerator = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};
const GUID kIidIMMDeviceEnumerator = {
    0xA95664D2, 0x9614, 0x4F35, {0xA7, 0x46, 0xDE, 0x8D, 0xB6, 0x36, 0x17, 0xE6}};
const GUID kIidIAudioClient = {0x1CB9AD4C, 0xDBFA, 0x4C32, {0xB1, 0x78, 0xC2, 0xF5, 0x68, 0xA7, 0x03, 0xB2}};
constexpr DWORD kAnswerWithinMs = 5000;
// How long a notice that must not come is waited for.
constexpr DWORD kQuietMs = 500;
constexpr REFERENCE_TIME kBufferDuration = 1000000;  // 100 ms
using GetApartmentType = HRESULT(WINAPI*)(APTTYPE*, APTTYPEQUALIFIER*);

// Records, on the thread that tells it, which apartment that thread is in.
class ApartmentNotice : public UsageNotice {
 public:
  ApartmentNotice() : told_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}
  ~ApartmentNotice() override { CloseHandle(told_); }
  void UsageChanged() override {
    static const GetApartmentType query = reinterpret_cast<GetApartmentType>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ole32.dll"), "CoGetApartmentType")));
    APTTYPE type = APTTYPE_CURRENT;
    APTTYPEQUALIFIER qualifier = APTTYPEQUALIFIER_NONE;
    apartment = query != nullptr && SUCCEEDED(query(&type, &qualifier)) ? static_cast<int>(type) : -1;
    thread = GetCurrentThreadId();
    ++count;
    SetEvent(told_);
  }
  bool Wait(DWORD ms) { return WaitForSingleObject(told_, ms) == WAIT_OBJECT_0; }

  std::atomic<int> apartment{-2};
  std::atomic<DWORD> thread{0};
  std::atomic<int> count{0};

 private:
  HANDLE told_;
};

std::wstring DefaultCaptureEndpoint(ComRef<IMMDevice>& device) {
  ComRef<IMMDeviceEnumerator> devices;
  if (FAILED(CoCreateInstance(kClsidMMDeviceEnumerator, nullptr, CLSCTX_ALL, kIidIMMDeviceEnumerator,
                              devices.ReceiveVoid())) ||
      FAILED(devices->GetDefaultAudioEndpoint(eCapture, eConsole, device.Receive()))) {
    return std::wstring();
  }
  LPWSTR id = nullptr;
  if (FAILED(device->GetId(&id))) return std::wstring();
  std::wstring copy = id;
  CoTaskMemFree(id);
  return copy;
}

bool ThreadEnded(DWORD id) {
  HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, id);
  if (thread == nullptr) return true;
  const bool ended = WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
  CloseHandle(thread);
  return ended;
}

TEST(Win32AudioSessionSource, ReadsOnAMultithreadedThreadOfItsOwnUntilStopped) {
  // The caller is the window's thread: a single-threaded apartment.
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  {
    ComRef<IMMDevice> device;
    const std::wstring endpoint = DefaultCaptureEndpoint(device);
    ASSERT_FALSE(endpoint.empty()) << "the session's null ALSA device is Wine's capture endpoint";
    Win32AudioSessionSource source;
    ApartmentNotice notice;
    std::vector<AudioSessionUse> sessions;
    ASSERT_EQ(source.Watch(AsCore(endpoint.c_str()), notice), 1);
    ASSERT_TRUE(notice.Wait(kAnswerWithinMs)) << "the first reading is told";
    EXPECT_EQ(notice.apartment.load(), static_cast<int>(APTTYPE_MTA));
    EXPECT_NE(notice.thread.load(), GetCurrentThreadId());
    // Answered by the thread: 1, or the failure the system gave (Wine 8
    // answers E_NOTIMPL for the session enumerator), never "not read yet".
    const int answered = source.ReadSessions(AsCore(endpoint.c_str()), sessions);
    EXPECT_NE(answered, 0);
    // Windows enumerates an endpoint's sessions: read, 1.
    EXPECT_EQ(answered, testing::OnWine<int>(E_NOTIMPL, 1));
    std::printf("the endpoint's first reading: %d\n", answered);

    // A capture client of this process makes a session on the endpoint.
    ComRef<IAudioClient> client;
    ASSERT_TRUE(SUCCEEDED(device->Activate(kIidIAudioClient, CLSCTX_ALL, nullptr, client.ReceiveVoid())));
    WAVEFORMATEX* format = nullptr;
    ASSERT_TRUE(SUCCEEDED(client->GetMixFormat(&format)));
    const HRESULT initialized = client->Initialize(AUDCLNT_SHAREMODE_SHARED, 0, kBufferDuration, 0, format, nullptr);
    CoTaskMemFree(format);
    ASSERT_TRUE(SUCCEEDED(initialized));
    ASSERT_TRUE(SUCCEEDED(client->Start()));
    const bool toldOfSession = notice.Wait(kAnswerWithinMs);
    std::printf("a new session told by the system: %s\n", toldOfSession ? "yes" : "no (not under this Wine)");
    // Windows calls the registered session notification for a new session.
    EXPECT_EQ(toldOfSession, testing::OnWine(false, true));
    if (toldOfSession) {
      EXPECT_EQ(notice.apartment.load(), static_cast<int>(APTTYPE_MTA));
      ASSERT_EQ(source.ReadSessions(AsCore(endpoint.c_str()), sessions), 1);
      bool own = false;
      for (const AudioSessionUse& session : sessions) own = own || session.processId == GetCurrentProcessId();
      EXPECT_TRUE(own) << "this process's session is read (the monitor leaves it out)";
    }

    const DWORD thread = notice.thread.load();
    source.StopWatching();
    EXPECT_TRUE(ThreadEnded(thread)) << "joined at the stop";
    const int told = notice.count.load();
    client->Stop();
    client.Reset();
    EXPECT_FALSE(notice.Wait(kQuietMs)) << "nothing is told after the stop";
    EXPECT_EQ(notice.count.load(), told);
    EXPECT_EQ(source.ReadSessions(AsCore(endpoint.c_str()), sessions), 0) << "no reading after the stop";
  }
  CoUninitialize();
}

TEST(Win32ProcessSource, NamesThisProcessAsTheListingDoes) {
  Win32ProcessSource source;
  const OwnProcess own = source.Own();
  EXPECT_EQ(own.processId, GetCurrentProcessId());
  ASSERT_FALSE(own.imagePath.empty());
  std::vector<RunningProcess> processes;
  ASSERT_EQ(source.ReadProcesses(processes), 1);
  const RunningProcess* self = nullptr;
  for (const RunningProcess& process : processes) {
    if (process.processId == own.processId) self = &process;
  }
  ASSERT_NE(self, nullptr);
  EXPECT_TRUE(self->opened);
  EXPECT_TRUE(SameImagePath(self->imagePath, own.imagePath));
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const std::uint64_t clock = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const std::uint64_t boot = source.BootTime();
  EXPECT_GT(boot, 0u);
  EXPECT_LE(boot, self->startTime) << "this process started after the system did";
  EXPECT_LE(self->startTime, clock);
}

}  // namespace
}  // namespace shadowpane
