// Starts the helper program (beside the test executable) as a separate
// process, as "another program" that uses the same devices.
#pragma once

#include <windows.h>

#include <string>

namespace shadowpane::virtualdevices {

class HelperProcess {
 public:
  // Starts "helper.exe <arguments>"; ok() tells whether it started.
  explicit HelperProcess(const std::wstring& arguments);
  ~HelperProcess();
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  bool ok() const { return process_ != nullptr; }
  HANDLE handle() const { return process_; }
  // Waits for the end and returns the exit code as an HRESULT (0 = success);
  // E_ABORT if it does not end within the limit (it is then terminated).
  HRESULT Wait(DWORD limitMs);

 private:
  HANDLE process_ = nullptr;
};

// Runs the helper to its end; its exit code, or E_FAIL if it did not start.
HRESULT RunHelper(const std::wstring& arguments, DWORD limitMs = 60000);

// Quotes one argument for a command line.
std::wstring Quoted(const std::wstring& argument);

}  // namespace shadowpane::virtualdevices
