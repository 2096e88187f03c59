#include "ui/main/win32/CopyData.h"

#include <string>

#include "core/win32/TextCast.h"

namespace shadowpane {
namespace {

// Longer than any class name the program registers.
constexpr int kClassNameChars = 64;
// Longer than any path the system hands out.
constexpr DWORD kImagePathChars = 32768;
// PROCESS_QUERY_LIMITED_INFORMATION, which the system grants for the
// processes of other users' sessions and of higher integrity too.
constexpr DWORD kQueryLimitedInformation = 0x1000;

// QueryFullProcessImageNameW exists from Vista on, later than the headers
// this program is built against declare; looked up once.
using QueryImageNameFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
QueryImageNameFunction QueryImageName() {
  static const QueryImageNameFunction query = reinterpret_cast<QueryImageNameFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
  return query;
}

bool ProcessImagePath(DWORD processId, std::wstring& path) {
  const QueryImageNameFunction query = QueryImageName();
  if (query == nullptr || processId == 0) return false;
  HANDLE process = OpenProcess(kQueryLimitedInformation, FALSE, processId);
  if (process == nullptr) return false;
  path.assign(kImagePathChars, L'\0');
  DWORD length = kImagePathChars;
  const BOOL found = query(process, 0, &path[0], &length);
  CloseHandle(process);
  if (!found || length >= kImagePathChars) return false;
  path.resize(length);
  return true;
}

}  // namespace

int SendRecord(HWND to, HWND from, std::uint32_t kind, const RecordBytes& record, UINT limitMs, UINT flags) {
  if (to == nullptr || record.empty()) return 0;
  COPYDATASTRUCT copy{};
  copy.dwData = kind;
  copy.cbData = static_cast<DWORD>(record.size());
  // The receiver only reads the bytes; the system copies them across.
  copy.lpData = const_cast<std::uint8_t*>(record.data());
  DWORD_PTR taken = FALSE;
  const LRESULT sent =
      SendMessageTimeoutW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(from), reinterpret_cast<LPARAM>(&copy),
                          SMTO_ABORTIFHUNG | flags, limitMs, &taken);
  return sent != 0 && taken == TRUE ? 1 : 0;
}

bool ReceivedRecord(LPARAM lParam, std::uint32_t kind, const std::uint8_t** bytes, std::size_t* size) {
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (copy == nullptr || copy->dwData != kind) return false;
  if (copy->cbData != 0 && copy->lpData == nullptr) return false;
  *bytes = static_cast<const std::uint8_t*>(copy->lpData);
  *size = copy->cbData;
  return true;
}

bool IsReplyWindow(HWND window) {
  wchar_t className[kClassNameChars] = {};
  const int classLength = GetClassNameW(window, className, kClassNameChars);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  std::wstring image;
  if (classLength <= 0 || !ProcessImagePath(processId, image)) return false;
  return IsProgramReplyWindow(WideView(AsCore(className), static_cast<std::size_t>(classLength)),
                              WideView(AsCore(image.c_str()), image.size()));
}

}  // namespace shadowpane
