#include "commands/CommandRecord.h"

namespace shadowpane {
namespace {

constexpr std::uint32_t kCommandMagic = kCommandRecordData;
constexpr std::uint32_t kAnswerMagic = kAnswerRecordData;

void PutU16(RecordBytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFFu));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFFu));
}

void PutU32(RecordBytes& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFFu);
  PutU16(out, value >> 16);
}

void PutUnits(RecordBytes& out, WideView text) {
  for (WideChar unit : text) PutU16(out, unit);
}

// Reads forward through the received bytes; every read checks the bytes
// left, and a failed read leaves the reader failed for good.
class RecordReader {
 public:
  RecordReader(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(bytes == nullptr ? 0 : size) {}

  std::uint32_t U8() { return Take(1) ? bytes_[at_ - 1] : 0; }
  std::uint32_t U16() {
    if (!Take(2)) return 0;
    return static_cast<std::uint32_t>(bytes_[at_ - 2]) | (static_cast<std::uint32_t>(bytes_[at_ - 1]) << 8);
  }
  std::uint32_t U32() {
    const std::uint32_t low = U16();
    return low | (U16() << 16);
  }
  WideString Units(std::uint32_t count) {
    WideString text;
    if (!ok_ || (size_ - at_) / 2 < count) {
      ok_ = false;
      return text;
    }
    text.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) text.push_back(static_cast<WideChar>(U16()));
    return text;
  }
  bool ok() const { return ok_; }
  bool AtEnd() const { return ok_ && at_ == size_; }

 private:
  bool Take(std::size_t count) {
    if (!ok_ || size_ - at_ < count) {
      ok_ = false;
      return false;
    }
    at_ += count;
    return true;
  }

  const std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

bool ReadHeaderStart(RecordReader& reader, std::uint32_t magic) {
  return reader.U32() == magic && reader.U16() == kRecordVersion && reader.ok();
}

}  // namespace

RecordBytes EncodeCommandRecord(const Command& command) {
  RecordBytes out;
  if (!IsWellFormedCommand(command)) return out;
  out.reserve(kRecordHeaderBytes + 2 * command.name.size());
  PutU32(out, kCommandMagic);
  PutU16(out, kRecordVersion);
  out.push_back(static_cast<std::uint8_t>(command.action));
  out.push_back(static_cast<std::uint8_t>(command.scope));
  PutU16(out, static_cast<std::uint32_t>(command.name.size()));
  PutU16(out, 0);
  PutUnits(out, command.name);
  return out;
}

int DecodeCommandRecord(const std::uint8_t* bytes, std::size_t size, Command& command) {
  if (size > kMaxCommandRecordBytes) return 0;
  RecordReader reader(bytes, size);
  if (!ReadHeaderStart(reader, kCommandMagic)) return 0;
  const std::uint32_t action = reader.U8();
  const std::uint32_t scope = reader.U8();
  const std::uint32_t nameUnits = reader.U16();
  const std::uint32_t reserved = reader.U16();
  if (!reader.ok() || reserved != 0 || nameUnits > static_cast<std::uint32_t>(kMaxNameChars)) return 0;
  if (action > static_cast<std::uint32_t>(kLastCommandAction) || scope > static_cast<std::uint32_t>(kLastCommandScope)) {
    return 0;
  }
  Command decoded;
  decoded.action = static_cast<CommandAction>(action);
  decoded.scope = static_cast<CommandScope>(scope);
  decoded.name = reader.Units(nameUnits);
  if (!reader.AtEnd() || !IsWellFormedCommand(decoded)) return 0;
  command = decoded;
  return 1;
}

RecordBytes EncodeAnswerRecord(const CommandAnswer& answer) {
  RecordBytes out;
  if (answer.exitCode < 0 || answer.exitCode > kLastExitCode) return out;
  if (answer.lines.size() > static_cast<std::size_t>(kMaxAnswerLines)) return out;
  for (const WideString& line : answer.lines) {
    if (line.size() > static_cast<std::size_t>(kMaxAnswerLineUnits)) return out;
  }
  PutU32(out, kAnswerMagic);
  PutU16(out, kRecordVersion);
  out.push_back(static_cast<std::uint8_t>(answer.exitCode));
  out.push_back(0);
  PutU16(out, static_cast<std::uint32_t>(answer.lines.size()));
  PutU16(out, 0);
  for (const WideString& line : answer.lines) {
    PutU16(out, static_cast<std::uint32_t>(line.size()));
    PutUnits(out, line);
  }
  return out;
}

int DecodeAnswerRecord(const std::uint8_t* bytes, std::size_t size, CommandAnswer& answer) {
  RecordReader reader(bytes, size);
  if (!ReadHeaderStart(reader, kAnswerMagic)) return 0;
  const std::uint32_t exitCode = reader.U8();
  const std::uint32_t reserved = reader.U8();
  const std::uint32_t lineCount = reader.U16();
  const std::uint32_t reserved2 = reader.U16();
  if (!reader.ok() || reserved != 0 || reserved2 != 0) return 0;
  if (exitCode > static_cast<std::uint32_t>(kLastExitCode) || lineCount > static_cast<std::uint32_t>(kMaxAnswerLines)) {
    return 0;
  }
  CommandAnswer decoded;
  decoded.exitCode = static_cast<int>(exitCode);
  for (std::uint32_t i = 0; i < lineCount; ++i) {
    const std::uint32_t units = reader.U16();
    if (!reader.ok() || units > static_cast<std::uint32_t>(kMaxAnswerLineUnits)) return 0;
    decoded.lines.push_back(reader.Units(units));
    if (!reader.ok()) return 0;
  }
  if (!reader.AtEnd()) return 0;
  answer = decoded;
  return 1;
}

}  // namespace shadowpane
