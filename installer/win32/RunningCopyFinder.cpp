#include "installer/win32/RunningCopyFinder.h"

#include <tlhelp32.h>

#include <string>

#include "core/win32/TextCast.h"
#include "installer/RunningCopies.h"

namespace shadowpane {
namespace {

// The executable a process was started from: the first module of its
// module list, the way every system since XP reports it.
std::wstring ImagePath(DWORD processId) {
  HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (modules == INVALID_HANDLE_VALUE) return std::wstring();
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  std::wstring path;
  if (Module32FirstW(modules, &module)) path = module.szExePath;
  CloseHandle(modules);
  return path;
}

}  // namespace

WideString FoldedPath(const wchar_t* path) {
  std::wstring folded(path);
  if (!folded.empty()) CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
  return WideString(AsCore(folded.c_str()), folded.size());
}

DWORD ParentProcessId() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  const DWORD self = GetCurrentProcessId();
  DWORD parent = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
  }
  CloseHandle(snapshot);
  return parent;
}

std::vector<DWORD> RunningCopyIds(const WideString& foldedFolder) {
  std::vector<DWORD> ids;
  const DWORD self = GetCurrentProcessId();
  const DWORD parent = ParentProcessId();
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return ids;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    const DWORD id = entry.th32ProcessID;
    if (id == self || id == parent || id == 0) continue;
    const std::wstring image = ImagePath(id);
    if (!image.empty() && IsInsideFolder(FoldedPath(image.c_str()), foldedFolder)) ids.push_back(id);
  }
  CloseHandle(snapshot);
  return ids;
}

}  // namespace shadowpane
