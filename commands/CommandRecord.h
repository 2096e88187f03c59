// The records a second copy of the program and the running copy exchange
// with WM_COPYDATA. The second copy sends a command record to the running
// main window, with its own (message-only) window as wParam; the running
// copy sends an answer record back to that window.
//
// Both are little-endian byte records, read and written byte by byte so
// that no compiler's struct layout is part of the format. Command record:
//
//   offset  size  field
//   0       4     magic "SPCM"
//   4       2     version, 2
//   6       1     action (CommandAction, 1..5)
//   7       1     scope (CommandScope, 0..4)
//   8       2     name length in UTF-16 units, 0..255
//   10      2     reserved, 0
//   12      8     nonce: a random number the answer must carry back
//   20      2n    the name, UTF-16LE, no terminator
//
// Answer record:
//
//   0       4     magic "SPAN"
//   4       2     version, 2
//   6       1     exit code, 0..5
//   7       1     reserved, 0
//   8       2     line count, 0..kMaxAnswerLines
//   10      2     reserved, 0
//   12      8     the nonce of the command it answers
//   20      ...   per line: 2 bytes its length in units (0..kMaxAnswerLineUnits),
//                 then that many UTF-16LE units
//
// The nonce ties an answer to its command: any program can send the
// waiting window a record, but only the copy the command went to knows the
// number. Version 1 had no nonce; a version-1 command is refused with a
// version-1 answer, so an older copy hears "not understood" rather than
// nothing.
//
// The decoders trust nothing the sender wrote: every length is checked
// against the bytes that arrived, a record must end exactly where its
// content does, reserved fields must be 0 and a command must be one the
// parser could have produced. Anything else is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "commands/Command.h"
#include "core/Text.h"

namespace shadowpane {

// COPYDATASTRUCT::dwData of each record, so a stray WM_COPYDATA of another
// program is not even decoded; each record also opens with its value.
constexpr std::uint32_t kCommandRecordData = 0x4D435053u;  // "SPCM"
constexpr std::uint32_t kAnswerRecordData = 0x4E415053u;   // "SPAN"

constexpr std::uint16_t kRecordVersion = 2;
constexpr std::uint16_t kRecordVersionWithoutNonce = 1;
constexpr std::size_t kRecordHeaderBytes = 12;
constexpr std::size_t kNonceBytes = 8;
constexpr std::size_t kMaxCommandRecordBytes = kRecordHeaderBytes + kNonceBytes + 2 * kMaxNameChars;

using CommandNonce = std::uint64_t;

// A /status line holds a kind word, a name of up to 255 units and a state
// word; an answer holds at most this many lines (the overall state last).
constexpr int kMaxAnswerLineUnits = 320;
constexpr int kMaxAnswerLines = 1024;

using RecordBytes = std::vector<std::uint8_t>;

// Answers the record of a well-formed command (IsWellFormedCommand), or
// an empty record for any other.
RecordBytes EncodeCommandRecord(const Command& command, CommandNonce nonce);

// Answers 1 and the command and its nonce when the bytes are a valid
// command record, 0 otherwise (the running copy then answers with
// UsageAnswerFor) and leaves both as they were.
int DecodeCommandRecord(const std::uint8_t* bytes, std::size_t size, Command& command, CommandNonce& nonce);

struct CommandAnswer {
  int exitCode = kExitDone;
  std::vector<WideString> lines;  // /status only
};

// Answers the record, or an empty record when the exit code, a line or the
// line count is out of bounds.
RecordBytes EncodeAnswerRecord(const CommandAnswer& answer, CommandNonce nonce);

// Answers 1 and the answer when the bytes are a valid answer record that
// carries `nonce`, 0 otherwise (the answer is left as it was).
int DecodeAnswerRecord(const std::uint8_t* bytes, std::size_t size, CommandNonce nonce, CommandAnswer& answer);

// The kExitUsage answer to a command record that was refused, in the
// version its sender reads: version 1 for a version-1 record; else
// version 2 with the nonce the record carries where its header is whole
// (0 where it is not, which no sender waits for).
RecordBytes UsageAnswerFor(const std::uint8_t* bytes, std::size_t size);

// Whether a window may be sent an answer: it is of the reply window's
// class and its process runs an image of the program's file name (the
// name compared without regard to ASCII case, as Windows compares file
// names). Anything else named as the reply window is sent nothing.
constexpr WideChar kReplyWindowClassName[] = u"KSP2CommandReplyClass";
constexpr WideChar kProgramImageName[] = u"Shadowpane.exe";
bool IsProgramReplyWindow(WideView className, WideView processImagePath);

}  // namespace shadowpane
