#include "ui/main/win32/CommandChannel.h"

#include <new>
#include <utility>
#include <vector>

#include "ui/main/ShortcutActions.h"
#include "ui/main/win32/CopyData.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/main/win32/MainWindowUsage.h"

namespace shadowpane {
namespace {

// Sends an answer record only to a reply window of the program, and waits
// for it no longer than kAnswerTakeWaitMs: the window is named by whoever
// sent the command, and this thread must not wait on it (SMTO_BLOCK: nor
// take other sent messages meanwhile, which could start a second answer
// within the first).
void SendAnswerRecord(const MainWindowData& data, HWND replyTo, const RecordBytes& record) {
  if (replyTo == nullptr || !IsWindow(replyTo) || !IsReplyWindow(replyTo)) return;
  SendRecord(replyTo, data.window, kAnswerRecordData, record, kAnswerTakeWaitMs, SMTO_BLOCK);
}

void SendAnswer(const MainWindowData& data, HWND replyTo, const CommandAnswer& answer, CommandNonce nonce) {
  SendAnswerRecord(data, replyTo, EncodeAnswerRecord(answer, nonce));
}

}  // namespace

// Answers every pending command whose targets settled, or all of them
// (`all`, at the end). They are taken out of the list first: sending an
// answer may let another copy's command in.
void AnswerSettledCommands(MainWindowData& data, bool all) {
  if (data.pendingCommands.empty()) return;
  const std::vector<DeviceSnapshot> now =
      data.devices ? SnapshotDevices(*data.devices) : std::vector<DeviceSnapshot>();
  std::vector<PendingCommand> settled;
  for (auto it = data.pendingCommands.begin(); it != data.pendingCommands.end();) {
    const bool late = GetTickCount() - it->arrivedAt >= kShortcutSettleLimitMs;
    if (all || late || ShortcutSettled(*it->run, now)) {
      settled.push_back(std::move(*it));
      it = data.pendingCommands.erase(it);
    } else {
      ++it;
    }
  }
  if (data.pendingCommands.empty()) KillTimer(data.window, TIMER_COMMAND_SETTLE);
  if (!settled.empty()) ShowProtection(data);
  for (const PendingCommand& pending : settled) {
    SendAnswer(data, pending.replyTo, CommandRunAnswer(*pending.run, now), pending.nonce);
  }
}

// A block, unblock or toggle from the command line, this copy's own or a
// second copy's: carried out at once, answered once its targets settled.
void StartPendingCommand(MainWindowData& data, const Command& command, HWND replyTo, CommandNonce nonce) {
  PendingCommand pending;
  pending.run.reset(new (std::nothrow) ShortcutRun(StartCommand(*data.devices, command)));
  if (!pending.run) {
    SendAnswer(data, replyTo, CommandAnswer{kExitNotBlocked, {}}, nonce);
    return;
  }
  pending.replyTo = replyTo;
  pending.nonce = nonce;
  pending.arrivedAt = GetTickCount();
  data.pendingCommands.push_back(std::move(pending));
  ShowProtection(data);
  SetTimer(data.window, TIMER_COMMAND_SETTLE, kShortcutSettlePollMs, nullptr);
  AnswerSettledCommands(data, false);
}

// A second copy's command record. Another program's WM_COPYDATA is left
// alone (FALSE); a record that does not decode is answered as misuse, one
// the organisation's policy withholds as refused.
LRESULT OnCopyData(MainWindowData& data, WPARAM wParam, LPARAM lParam) {
  const std::uint8_t* bytes = nullptr;
  std::size_t size = 0;
  if (!ReceivedRecord(lParam, kCommandRecordData, &bytes, &size)) return FALSE;
  HWND replyTo = reinterpret_cast<HWND>(wParam);
  Command command;
  CommandNonce nonce = 0;
  if (DecodeCommandRecord(bytes, size, command, nonce) != 1) {
    SendAnswerRecord(data, replyTo, UsageAnswerFor(bytes, size));
    return TRUE;
  }
  if (!data.devices) {
    SendAnswer(data, replyTo, CommandAnswer{kExitNotBlocked, {}}, nonce);
    return TRUE;
  }
  ReadPolicy(data);  // a policy pushed a moment ago already holds
  if (RefusesCommand(SnapshotDevices(*data.devices), command, data.policy)) {
    SendAnswer(data, replyTo, CommandAnswer{kExitRefused, {kRefusedLine}}, nonce);
    return TRUE;
  }
  switch (command.action) {
    case CommandAction::Status: {
      ShowProtection(data);
      const std::vector<DeviceSnapshot> devices = SnapshotDevices(*data.devices);
      const std::vector<WideString> users = UsersOf(data, devices);
      SendAnswer(data, replyTo, StatusAnswer(devices, gProtectedState == 1, &users), nonce);
      return TRUE;
    }
    case CommandAction::Quit:
      SendAnswer(data, replyTo, CommandAnswer{kExitDone, {}}, nonce);
      PostMessageW(data.window, WM_CLOSE, 0, 0);
      return TRUE;
    default:
      StartPendingCommand(data, command, replyTo, nonce);
      return TRUE;
  }
}


}  // namespace shadowpane
