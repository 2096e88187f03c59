#include "tests/virtualdevices/HelperProcess.h"

#include <vector>

namespace shadowpane::virtualdevices {

namespace {
constexpr wchar_t kHelperFileName[] = L"shadowpane_capture_helper.exe";

std::wstring HelperPath() {
  wchar_t module[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring path(module, length);
  size_t slash = path.find_last_of(L"\\/");
  return (slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1)) + kHelperFileName;
}
}  // namespace

std::wstring Quoted(const std::wstring& argument) { return L"\"" + argument + L"\""; }

HelperProcess::HelperProcess(const std::wstring& arguments) {
  std::wstring line = Quoted(HelperPath()) + L" " + arguments;
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    CloseHandle(info.hThread);
    process_ = info.hProcess;
  }
}

HelperProcess::~HelperProcess() {
  if (process_ == nullptr) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, 1);
  CloseHandle(process_);
}

HRESULT HelperProcess::Wait(DWORD limitMs) {
  if (process_ == nullptr) return E_FAIL;
  if (WaitForSingleObject(process_, limitMs) != WAIT_OBJECT_0) {
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, INFINITE);
    return E_ABORT;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return static_cast<HRESULT>(code);
}

HRESULT RunHelper(const std::wstring& arguments, DWORD limitMs) {
  HelperProcess helper(arguments);
  if (!helper.ok()) return E_FAIL;
  return helper.Wait(limitMs);
}

}  // namespace shadowpane::virtualdevices
