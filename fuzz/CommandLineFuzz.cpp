// The command line and the copy-data records of any bytes. The first byte
// says what the rest is: 0 command-line arguments (UTF-16LE units, split at
// U+FFFF), 1 a command record, 2 an answer record (what another process may
// send the running copy, or answer a second copy with). Records are
// exactly-sized heap copies, so a read past their end stops the run.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "commands/CommandDecisions.h"
#include "commands/CommandLine.h"
#include "commands/CommandRecord.h"
#include "fuzz/FuzzCheck.h"

using namespace shadowpane;

namespace {

constexpr WideChar kArgumentBreak = 0xFFFF;

// Devices a command can meet, a name differing only in case among them.
const std::vector<DeviceSnapshot> kDevices = {
    {DEVICE_KIND_VIDEO, u"Cam", DeviceState::Blocked},
    {DEVICE_KIND_VIDEO, u"cam", DeviceState::Open},
    {DEVICE_KIND_AUDIO, u"Mic", DeviceState::NotSilent},
    {DEVICE_KIND_AUDIO, u"all ", DeviceState::HeldButShared},
};

std::vector<WideString> Arguments(const std::uint8_t* data, std::size_t size) {
  std::vector<WideString> arguments(1);
  for (std::size_t at = 0; at + 1 < size; at += 2) {
    const WideChar unit = static_cast<WideChar>(data[at] | data[at + 1] << 8);
    if (unit == kArgumentBreak) {
      arguments.emplace_back();
    } else {
      arguments.back() += unit;
    }
  }
  if (size < 2) arguments.clear();
  return arguments;
}

// What a user would type for the command: the parser must read it back.
std::vector<WideString> Typed(const Command& command) {
  static const WideChar* const kActions[] = {u"", u"/block", u"/unblock", u"/toggle", u"/status", u"/quit"};
  static const WideChar* const kScopes[] = {u"", u"all", u"cameras", u"microphones"};
  std::vector<WideString> typed = {kActions[static_cast<int>(command.action)]};
  if (command.scope == CommandScope::Device) {
    typed.push_back(command.name);
  } else if (command.scope != CommandScope::None) {
    typed.push_back(kScopes[static_cast<int>(command.scope)]);
  }
  return typed;
}

// A nonce drawn from the input's bytes, so every value gets a turn.
CommandNonce NonceOf(const std::uint8_t* data, std::size_t size) {
  CommandNonce nonce = 0;
  for (std::size_t i = 0; i < size && i < kNonceBytes; ++i) nonce |= static_cast<CommandNonce>(data[i]) << (8 * i);
  return nonce;
}

// Any command the program accepts travels unchanged, nonce and all, and
// decides sanely.
void CheckCommand(const Command& command, CommandNonce nonce) {
  FUZZ_CHECK(IsWellFormedCommand(command));
  const RecordBytes record = EncodeCommandRecord(command, nonce);
  FUZZ_CHECK(!record.empty() && record.size() <= kMaxCommandRecordBytes);
  Command decoded;
  CommandNonce decodedNonce = ~nonce;
  FUZZ_CHECK(DecodeCommandRecord(record.data(), record.size(), decoded, decodedNonce) == 1 && decoded == command &&
             decodedNonce == nonce);
  // Its refusal, had it been refused, reaches the sender as its own.
  const RecordBytes usage = UsageAnswerFor(record.data(), record.size());
  CommandAnswer refused;
  FUZZ_CHECK(DecodeAnswerRecord(usage.data(), usage.size(), nonce, refused) == 1 && refused.exitCode == kExitUsage);
  const CommandTargets targets = SelectTargets(kDevices, command);
  for (int index : targets.targets) FUZZ_CHECK(index >= 0 && static_cast<std::size_t>(index) < kDevices.size());
  const int exitCode = ExitCodeAfter(targets, kDevices);
  FUZZ_CHECK(exitCode >= kExitDone && exitCode <= kLastExitCode && exitCode != kExitRefused);
}

void FuzzCommandLine(const std::uint8_t* data, std::size_t size) {
  const ParsedCommandLine parsed = ParseCommandLine(Arguments(data, size));
  FUZZ_CHECK(parsed.result == ParseResult::Start || parsed.result == ParseResult::StartHidden ||
             parsed.result == ParseResult::Command || parsed.result == ParseResult::RestoreInputs ||
             parsed.result == ParseResult::Usage);
  if (parsed.result != ParseResult::Command) {
    FUZZ_CHECK(parsed.command == Command());
    return;
  }
  const int action = static_cast<int>(parsed.command.action);
  FUZZ_CHECK(action >= static_cast<int>(CommandAction::Block) && action <= kLastCommandAction);
  CheckCommand(parsed.command, NonceOf(data, size));
  const ParsedCommandLine again = ParseCommandLine(Typed(parsed.command));
  FUZZ_CHECK(again.result == ParseResult::Command && again.command == parsed.command);
}

void FuzzCommandRecord(const std::uint8_t* data, std::size_t size) {
  Command decoded = MakeCommand(CommandAction::Quit, CommandScope::None);
  CommandNonce nonce = 7;
  // Whatever arrived, the answer to it is a record a sender can decode.
  const RecordBytes usage = UsageAnswerFor(data, size);
  FUZZ_CHECK(!usage.empty() && usage.size() >= kRecordHeaderBytes);
  if (DecodeCommandRecord(data, size, decoded, nonce) == 0) {
    // A refused record leaves the caller's command and nonce as they were.
    FUZZ_CHECK(decoded == MakeCommand(CommandAction::Quit, CommandScope::None) && nonce == 7);
    return;
  }
  CheckCommand(decoded, nonce);
  const RecordBytes again = EncodeCommandRecord(decoded, nonce);
  FUZZ_CHECK(again.size() == size && std::memcmp(again.data(), data, size) == 0);
}

void FuzzAnswerRecord(const std::uint8_t* data, std::size_t size) {
  // The nonce the waiting copy expects: the one the record carries, when
  // it carries one, so that the rest of the record is what decides.
  const CommandNonce expected = size >= kRecordHeaderBytes ? NonceOf(data + kRecordHeaderBytes, size - kRecordHeaderBytes) : 0;
  CommandAnswer decoded;
  decoded.lines.push_back(u"stale");
  if (DecodeAnswerRecord(data, size, expected, decoded) == 0) {
    FUZZ_CHECK(decoded.lines.size() == 1 && decoded.exitCode == kExitDone);
    return;
  }
  FUZZ_CHECK(decoded.exitCode >= kExitDone && decoded.exitCode <= kLastExitCode);
  const RecordBytes again = EncodeAnswerRecord(decoded, expected);
  FUZZ_CHECK(again.size() == size && std::memcmp(again.data(), data, size) == 0);
  // Taken only with its own nonce, and not one byte longer.
  CommandAnswer other;
  FUZZ_CHECK(DecodeAnswerRecord(data, size, expected + 1, other) == 0);
  RecordBytes longer(data, data + size);
  longer.push_back(0);
  FUZZ_CHECK(DecodeAnswerRecord(longer.data(), longer.size(), expected, other) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0] % 3;
  const std::size_t bodySize = size - 1;
  std::unique_ptr<std::uint8_t[]> body(new std::uint8_t[bodySize]);
  if (bodySize > 0) std::memcpy(body.get(), data + 1, bodySize);
  if (mode == 0) {
    FuzzCommandLine(body.get(), bodySize);
  } else if (mode == 1) {
    FuzzCommandRecord(body.get(), bodySize);
  } else {
    FuzzAnswerRecord(body.get(), bodySize);
  }
  return 0;
}
