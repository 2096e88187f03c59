#include "tests/e2e/FakeTray.h"

#include <algorithm>

namespace shadowpane::e2e {
namespace {

constexpr wchar_t kTrayClass[] = L"Shell_TrayWnd";
constexpr DWORD kReadyWaitMs = 5000;

}  // namespace

FakeTray::FakeTray() {
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (ready == nullptr) return;
  thread_ = std::thread([this, ready] { Run(ready); });
  WaitForSingleObject(ready, kReadyWaitMs);
  CloseHandle(ready);
}

FakeTray::~FakeTray() {
  if (thread_.joinable()) {
    if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
    PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
  }
}

void FakeTray::Run(HANDLE ready) {
  threadId_ = GetCurrentThreadId();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = Procedure;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kTrayClass;
  RegisterClassExW(&windowClass);
  HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTrayClass, L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window != nullptr) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  window_ = window;
  SetEvent(ready);
  if (window == nullptr) return;
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  DestroyWindow(window);
  UnregisterClassW(kTrayClass, GetModuleHandleW(nullptr));
}

LRESULT CALLBACK FakeTray::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* tray = reinterpret_cast<FakeTray*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_COPYDATA && tray != nullptr) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (data != nullptr && data->lpData != nullptr) {
      const char* bytes = static_cast<const char*>(data->lpData);
      std::lock_guard<std::mutex> hold(tray->lock_);
      tray->records_.emplace_back(bytes, bytes + data->cbData);
    }
    return TRUE;  // the icon was taken
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool FakeTray::Received(const std::wstring& text) const {
  const char* first = reinterpret_cast<const char*>(text.data());
  const std::string wanted(first, first + text.size() * sizeof(wchar_t));
  std::lock_guard<std::mutex> hold(lock_);
  return std::any_of(records_.begin(), records_.end(),
                     [&](const std::string& record) { return record.find(wanted) != std::string::npos; });
}

std::size_t FakeTray::Count() const {
  std::lock_guard<std::mutex> hold(lock_);
  return records_.size();
}

}  // namespace shadowpane::e2e
