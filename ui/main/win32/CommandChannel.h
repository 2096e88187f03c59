// The main window's side of the command channel: a second copy's command
// record (WM_COPYDATA) answered at once (/status, /quit) or once its
// targets settled (a block, unblock or toggle), and the command this copy
// was started with.
#pragma once

#include <windows.h>

#include "commands/Command.h"
#include "commands/CommandRecord.h"

namespace shadowpane {

struct MainWindowData;

// A block, unblock or toggle, this copy's own (replyTo null: nobody
// waits) or a second copy's: carried out at once, answered once settled.
void StartPendingCommand(MainWindowData& data, const Command& command, HWND replyTo, CommandNonce nonce);
// Answers every pending command whose targets settled, or all of them
// (`all`, at the end).
void AnswerSettledCommands(MainWindowData& data, bool all);
// WM_COPYDATA: FALSE for another program's, TRUE for a command record.
LRESULT OnCopyData(MainWindowData& data, WPARAM wParam, LPARAM lParam);

}  // namespace shadowpane
