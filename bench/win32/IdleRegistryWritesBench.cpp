// Registry writes while the program idles with a microphone muted: Wine's
// own input "In: default" blocked (muted at its endpoint, so the record
// and its logon entry stand), then the running copy left alone for a
// minute while the changes of the program's keys are counted: its
// settings key, the user's Run and RunOnce keys (Wine writes keys of its
// own, so not the whole Software key). Each key is looked at every 10 ms,
// so writes closer together count once. SHADOWPANE_BENCH_PROGRAM may name
// another build of Shadowpane.exe to measure instead.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/ProgramDriver.h"

using namespace shadowpane::e2e;

namespace {

constexpr wchar_t kWineInputName[] = L"In: default";
constexpr DWORD kIdleMs = 60000;
constexpr DWORD kLookMs = 10;
const wchar_t* const kWatchedKeys[] = {L"Software\\KESTRALYNX", L"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                       L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce"};
constexpr wchar_t kOtherProgramVariable[] = L"SHADOWPANE_BENCH_PROGRAM";

}  // namespace

int main() {
  EndEveryProgramCopy();
  DeleteProgramKeys();
  SetFirstRunDone();
  SetSetting(L"Language", 0);
  int status = 1;
  {
    ProgramCopy program;
    std::vector<wchar_t> other(32768, L'\0');
    if (GetEnvironmentVariableW(kOtherProgramVariable, other.data(), static_cast<DWORD>(other.size())) != 0 &&
        !CopyFileW(other.data(), (program.folder() + L"\\Shadowpane.exe").c_str(), FALSE)) {
      std::printf("idle registry writes: the other program could not be copied\n");
      return 1;
    }
    const DWORD pid = program.Start();
    std::string out;
    std::wstring record;
    if (pid == 0 || WaitForWindow(kMainClass, pid) == nullptr) {
      std::printf("idle registry writes: the program did not start\n");
    } else {
      program.Run(L"/block \"" + std::wstring(kWineInputName) + L"\"", &out);
      if (!WaitUntil([&] { return ReadSettingText(L"MutedEndpoints", &record); })) {
        std::printf("idle registry writes: Wine's input was not recorded muted\n");
      } else {
        std::vector<std::unique_ptr<RegistryWatch>> watches;
        for (const wchar_t* path : kWatchedKeys) watches.push_back(std::make_unique<RegistryWatch>(HKEY_CURRENT_USER, path));
        int writes = 0;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kIdleMs) {
          Sleep(kLookMs);
          for (const auto& watch : watches) writes += watch->Changed() ? 1 : 0;
        }
        std::wstring entry;
        const char* where = ReadRestoreInputsEntry(&entry) ? "Run" : ReadOldRestoreInputsEntry(&entry) ? "RunOnce" : "no";
        std::printf("idle registry writes with a muted microphone: %d in %lu s (logon entry in the %s key)\n", writes,
                    kIdleMs / 1000, where);
        status = 0;
      }
      program.Run(L"/unblock \"" + std::wstring(kWineInputName) + L"\"", &out);
    }
    program.EndAll();
  }
  EndEveryProgramCopy();
  DeleteProgramKeys();
  return status;
}
