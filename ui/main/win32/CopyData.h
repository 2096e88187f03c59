// The WM_COPYDATA transport of the records a second copy of the program and
// the running copy exchange (commands/CommandRecord.h): the command goes to
// the running main window, the answer back to the second copy's
// message-only window, each with the sender's window as wParam.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "commands/CommandRecord.h"

namespace shadowpane {

// How long a second copy waits for the running copy to take its command,
// then for the answer (the running copy answers within its settle limit).
constexpr UINT kCommandTakeWaitMs = 5000;
constexpr DWORD kCommandAnswerWaitMs = 10000;
// How long the running copy, on its user-interface thread, lets the second
// copy's window take an answer: one that cannot take it by then is dropped
// (the second copy then times out), so no window a sender names can hold
// the running copy up.
constexpr UINT kAnswerTakeWaitMs = 200;

// Sends the record and waits at most limitMs for the receiver (a hung one
// must not hang the sender); `flags` are SendMessageTimeoutW's, to which
// SMTO_ABORTIFHUNG is always added. 1 when the receiver took it (answered
// TRUE).
int SendRecord(HWND to, HWND from, std::uint32_t kind, const RecordBytes& record, UINT limitMs, UINT flags = 0);

// The bytes a WM_COPYDATA carries when its kind is `kind`; false for any
// other message of another program, so that one is not even decoded.
bool ReceivedRecord(LPARAM lParam, std::uint32_t kind, const std::uint8_t** bytes, std::size_t* size);

// Whether the window is a reply window of the program: its class, and the
// image its process runs (IsProgramReplyWindow). False when either cannot
// be read.
bool IsReplyWindow(HWND window);

}  // namespace shadowpane
