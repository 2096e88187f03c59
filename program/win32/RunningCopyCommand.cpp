#include "program/win32/RunningCopyCommand.h"

#include <windows.h>
#include <ntsecapi.h>

#include <new>

#include "commands/CommandDecisions.h"
#include "program/StartUpRules.h"
#include "core/win32/TextCast.h"
#include "ui/main/win32/CopyData.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

// How long /quit waits for the copy's end once it answered, and how often
// it looks at the window when the process itself cannot be waited on.
constexpr DWORD kQuitEndWaitMs = 2 * kRestartCloseWaitMs;
constexpr DWORD kQuitWindowPollMs = 50;

// Where the command went and the nonce it carries.
struct ReplyExpected {
  HWND running = nullptr;
  CommandNonce nonce = 0;
};

// The reply window's record: the answer, once one came from the window the
// command went to, carrying the command's nonce (an answer from any other
// window, or any other program that names that window, is not this one's).
struct ReplyWindowData {
  ReplyExpected expected;
  bool answered = false;
  CommandAnswer answer;
};

ReplyWindowData* MakeReplyWindowData(HWND, const CREATESTRUCTW& create) {
  auto* data = new (std::nothrow) ReplyWindowData;
  if (data != nullptr && create.lpCreateParams != nullptr) {
    data->expected = *static_cast<const ReplyExpected*>(create.lpCreateParams);
  }
  return data;
}

LRESULT HandleMessage(ReplyWindowData& data, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
  const std::uint8_t* bytes = nullptr;
  std::size_t size = 0;
  if (reinterpret_cast<HWND>(wParam) != data.expected.running || data.answered ||
      !ReceivedRecord(lParam, kAnswerRecordData, &bytes, &size)) {
    return FALSE;
  }
  CommandAnswer answer;
  if (DecodeAnswerRecord(bytes, size, data.expected.nonce, answer) != 1) return FALSE;
  data.answer = answer;
  data.answered = true;
  return TRUE;
}

LRESULT CALLBACK ReplyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<ReplyWindowData>(window, message, wParam, lParam, RecordMadeAt::NcCreate,
                                           MakeReplyWindowData, HandleMessage);
}

int ExitWithoutAnswer(const Command& command) {
  const bool asks = command.action == CommandAction::Status || command.action == CommandAction::Quit;
  return asks ? kExitNotFound : kExitNotBlocked;
}

// Lets the answer in (it is sent to this thread's window) until it came,
// the running window went away or the time is up.
void WaitForAnswer(const ReplyWindowData& data, HWND running) {
  const DWORD start = GetTickCount();
  while (!data.answered && IsWindow(running)) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= kCommandAnswerWaitMs) return;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kCommandAnswerWaitMs - elapsed, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

// A number no other program can guess, from the system's generator; false
// when it gives none (the command is then not sent: an answer could not be
// told from a forged one).
bool MakeNonce(CommandNonce& nonce) {
  return RtlGenRandom(&nonce, sizeof(nonce)) != FALSE;
}

// The running copy's process, opened for /quit before the command goes, so
// that its id cannot name another process by the time the copy has ended.
struct ProcessHandle {
  HANDLE handle = nullptr;
  ~ProcessHandle() {
    if (handle != nullptr) CloseHandle(handle);
  }
};

// /quit is done once the copy has ended: its devices are let go then. A
// process that could not be opened has ended only if its window has gone
// too (a copy whose window is gone has let its devices go); otherwise
// whether it ended cannot be told.
bool WaitForEnd(HANDLE process, HWND running) {
  if (process != nullptr) return WaitForSingleObject(process, kQuitEndWaitMs) == WAIT_OBJECT_0;
  const DWORD start = GetTickCount();
  while (IsWindow(running)) {
    if (GetTickCount() - start >= kQuitEndWaitMs) return false;
    Sleep(kQuitWindowPollMs);
  }
  return true;
}

}  // namespace

int RegisterCommandReplyClass(HINSTANCE instance) {
  return RegisterRecordClass(instance, AsWide(kReplyWindowClassName), ReplyWindowProc, IDC_ARROW);
}

int RunOnRunningCopy(HWND running, const Command& command, CommandAnswer& answer) {
  answer = CommandAnswer{ExitWithoutAnswer(command), {}};
  ReplyExpected expected;
  expected.running = running;
  if (!MakeNonce(expected.nonce)) return answer.exitCode;
  DWORD processId = 0;
  GetWindowThreadProcessId(running, &processId);
  ProcessHandle process;
  if (command.action == CommandAction::Quit && processId != 0) {
    process.handle = OpenProcess(SYNCHRONIZE, FALSE, processId);
  }
  HWND reply = CreateWindowExW(0, AsWide(kReplyWindowClassName), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               ToolkitInstance(), &expected);
  if (reply == nullptr) return answer.exitCode;
  const ReplyWindowData* data = GetWindowRecord<ReplyWindowData>(reply);
  if (data != nullptr && SendRecord(running, reply, kCommandRecordData, EncodeCommandRecord(command, expected.nonce),
                                    kCommandTakeWaitMs) == 1) {
    WaitForAnswer(*data, running);
    if (data->answered) answer = data->answer;
  }
  DestroyWindow(reply);
  if (command.action == CommandAction::Quit && answer.exitCode == kExitDone && !WaitForEnd(process.handle, running)) {
    answer.exitCode = kExitNotBlocked;
  }
  return answer.exitCode;
}

}  // namespace shadowpane
