#include "program/win32/RunningCopyCommand.h"

#include <new>

#include "commands/CommandDecisions.h"
#include "program/StartUpRules.h"
#include "ui/main/win32/CopyData.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

constexpr wchar_t kReplyClassName[] = L"KSP2CommandReplyClass";

// The reply window's record: the answer, once one came from the window the
// command went to (an answer from any other window is not this one's).
struct ReplyWindowData {
  HWND running = nullptr;
  bool answered = false;
  CommandAnswer answer;
};

ReplyWindowData* MakeReplyWindowData(HWND, const CREATESTRUCTW& create) {
  auto* data = new (std::nothrow) ReplyWindowData;
  if (data != nullptr && create.lpCreateParams != nullptr) data->running = static_cast<HWND>(create.lpCreateParams);
  return data;
}

LRESULT HandleMessage(ReplyWindowData& data, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
  const std::uint8_t* bytes = nullptr;
  std::size_t size = 0;
  if (reinterpret_cast<HWND>(wParam) != data.running || data.answered ||
      !ReceivedRecord(lParam, kAnswerRecordData, &bytes, &size)) {
    return FALSE;
  }
  CommandAnswer answer;
  if (DecodeAnswerRecord(bytes, size, answer) != 1) return FALSE;
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

// /quit is done once the copy has ended: its devices are let go then.
bool WaitForEnd(DWORD processId) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
  if (process == nullptr) return true;  // already gone
  const bool ended = WaitForSingleObject(process, 2 * kRestartCloseWaitMs) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

}  // namespace

int RegisterCommandReplyClass(HINSTANCE instance) {
  return RegisterRecordClass(instance, kReplyClassName, ReplyWindowProc, IDC_ARROW);
}

int RunOnRunningCopy(HWND running, const Command& command, CommandAnswer& answer) {
  answer = CommandAnswer{ExitWithoutAnswer(command), {}};
  DWORD processId = 0;
  GetWindowThreadProcessId(running, &processId);
  HWND reply = CreateWindowExW(0, kReplyClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ToolkitInstance(),
                               running);
  if (reply == nullptr) return answer.exitCode;
  const ReplyWindowData* data = GetWindowRecord<ReplyWindowData>(reply);
  if (data != nullptr &&
      SendRecord(running, reply, kCommandRecordData, EncodeCommandRecord(command), kCommandTakeWaitMs) == 1) {
    WaitForAnswer(*data, running);
    if (data->answered) answer = data->answer;
  }
  DestroyWindow(reply);
  if (command.action == CommandAction::Quit && answer.exitCode == kExitDone && !WaitForEnd(processId)) {
    answer.exitCode = kExitNotBlocked;
  }
  return answer.exitCode;
}

}  // namespace shadowpane
