// A command line's command carried out by the copy of the program that
// already runs: this process sends it from a message-only window of its
// own, waits for the answer and exits with it. No question is asked: a
// script may be running it.
#pragma once

#include <windows.h>

#include "commands/Command.h"
#include "commands/CommandRecord.h"

namespace shadowpane {

// Registers KSP2CommandReplyClass, the message-only window an answer
// comes to. 1 or 0.
int RegisterCommandReplyClass(HINSTANCE instance);

// Sends the command to the running main window and waits for its answer;
// for /quit, also for that copy's end. Answers the exit code and fills
// `answer` with the lines to print. When the copy cannot be reached or
// does not answer in time, nothing is known to be done: /status and /quit
// answer "not running" (kExitNotFound), a block, unblock or toggle
// kExitNotBlocked.
int RunOnRunningCopy(HWND running, const Command& command, CommandAnswer& answer);

}  // namespace shadowpane
