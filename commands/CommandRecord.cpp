#include "commands/CommandRecord.h"

namespace shadowpane {
namespace {

void PutU16(RecordBytes& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFFu));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFFu));
}

void PutU32(RecordBytes& out, std::uint32_t value) {
  PutU16(out, value & 0xFFFFu);
  PutU16(out, value >> 16);
}

void PutU64(RecordBytes& out, std::uint64_t value) {
  PutU32(out, static_cast<std::uint32_t>(value & 0xFFFFFFFFu));
  PutU32(out, static_cast<std::uint32_t>(value >> 32));
}

void PutUnits(RecordBytes& out, WideView text) {
  for (WideChar unit : text) PutU16(out, unit);
}

WideChar AsciiLower(WideChar unit) { return unit >= u'A' && unit <= u'Z' ? unit - u'A' + u'a' : unit; }

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
  std::uint64_t U64() {
    const std::uint64_t low = U32();
    return low | (static_cast<std::uint64_t>(U32()) << 32);
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

// Both records open alike: magic, version, two one-byte fields, a count
// and a reserved word that must be 0.
struct RecordHeader {
  std::uint32_t first = 0;
  std::uint32_t second = 0;
  std::uint32_t count = 0;
};

void PutHeader(RecordBytes& out, std::uint32_t magic, const RecordHeader& header,
               std::uint32_t version = kRecordVersion) {
  PutU32(out, magic);
  PutU16(out, version);
  out.push_back(static_cast<std::uint8_t>(header.first));
  out.push_back(static_cast<std::uint8_t>(header.second));
  PutU16(out, header.count);
  PutU16(out, 0);
}

bool ReadHeader(RecordReader& reader, std::uint32_t magic, RecordHeader& header) {
  if (reader.U32() != magic || reader.U16() != kRecordVersion) return false;
  header.first = reader.U8();
  header.second = reader.U8();
  header.count = reader.U16();
  return reader.U16() == 0 && reader.ok();
}

}  // namespace

RecordBytes EncodeCommandRecord(const Command& command, CommandNonce nonce) {
  RecordBytes out;
  if (!IsWellFormedCommand(command)) return out;
  out.reserve(kRecordHeaderBytes + kNonceBytes + 2 * command.name.size());
  PutHeader(out, kCommandRecordData,
            {static_cast<std::uint32_t>(command.action), static_cast<std::uint32_t>(command.scope),
             static_cast<std::uint32_t>(command.name.size())});
  PutU64(out, nonce);
  PutUnits(out, command.name);
  return out;
}

int DecodeCommandRecord(const std::uint8_t* bytes, std::size_t size, Command& command, CommandNonce& nonce) {
  if (size > kMaxCommandRecordBytes) return 0;
  RecordReader reader(bytes, size);
  RecordHeader header;  // action, scope, name units
  if (!ReadHeader(reader, kCommandRecordData, header)) return 0;
  if (header.first > static_cast<std::uint32_t>(kLastCommandAction) ||
      header.second > static_cast<std::uint32_t>(kLastCommandScope) ||
      header.count > static_cast<std::uint32_t>(kMaxNameChars)) {
    return 0;
  }
  Command decoded;
  decoded.action = static_cast<CommandAction>(header.first);
  decoded.scope = static_cast<CommandScope>(header.second);
  const CommandNonce decodedNonce = reader.U64();
  decoded.name = reader.Units(header.count);
  if (!reader.AtEnd() || !IsWellFormedCommand(decoded)) return 0;
  command = decoded;
  nonce = decodedNonce;
  return 1;
}

RecordBytes EncodeAnswerRecord(const CommandAnswer& answer, CommandNonce nonce) {
  RecordBytes out;
  if (answer.exitCode < 0 || answer.exitCode > kLastExitCode) return out;
  if (answer.lines.size() > static_cast<std::size_t>(kMaxAnswerLines)) return out;
  for (const WideString& line : answer.lines) {
    if (line.size() > static_cast<std::size_t>(kMaxAnswerLineUnits)) return out;
  }
  PutHeader(out, kAnswerRecordData,
            {static_cast<std::uint32_t>(answer.exitCode), 0, static_cast<std::uint32_t>(answer.lines.size())});
  PutU64(out, nonce);
  for (const WideString& line : answer.lines) {
    PutU16(out, static_cast<std::uint32_t>(line.size()));
    PutUnits(out, line);
  }
  return out;
}

int DecodeAnswerRecord(const std::uint8_t* bytes, std::size_t size, CommandNonce nonce, CommandAnswer& answer) {
  RecordReader reader(bytes, size);
  RecordHeader header;  // exit code, reserved byte, line count
  if (!ReadHeader(reader, kAnswerRecordData, header)) return 0;
  if (header.first > static_cast<std::uint32_t>(kLastExitCode) || header.second != 0 ||
      header.count > static_cast<std::uint32_t>(kMaxAnswerLines) || reader.U64() != nonce || !reader.ok()) {
    return 0;
  }
  CommandAnswer decoded;
  decoded.exitCode = static_cast<int>(header.first);
  for (std::uint32_t i = 0; i < header.count; ++i) {
    const std::uint32_t units = reader.U16();
    if (!reader.ok() || units > static_cast<std::uint32_t>(kMaxAnswerLineUnits)) return 0;
    decoded.lines.push_back(reader.Units(units));
    if (!reader.ok()) return 0;
  }
  if (!reader.AtEnd()) return 0;
  answer = decoded;
  return 1;
}

RecordBytes UsageAnswerFor(const std::uint8_t* bytes, std::size_t size) {
  RecordReader reader(bytes, size);
  const bool magic = reader.U32() == kCommandRecordData;
  const std::uint32_t version = reader.U16();
  RecordBytes out;
  const RecordHeader usage{static_cast<std::uint32_t>(kExitUsage), 0, 0};
  if (magic && reader.ok() && version == kRecordVersionWithoutNonce) {
    PutHeader(out, kAnswerRecordData, usage, kRecordVersionWithoutNonce);
    return out;
  }
  reader.U32();  // the rest of the header
  reader.U16();
  const CommandNonce nonce = reader.U64();
  return EncodeAnswerRecord({kExitUsage, {}}, magic && version == kRecordVersion && reader.ok() ? nonce : 0);
}

bool IsProgramReplyWindow(WideView className, WideView processImagePath) {
  if (className != kReplyWindowClassName) return false;
  const std::size_t slash = processImagePath.find_last_of(u"\\/");
  const WideView file = slash == WideView::npos ? processImagePath : processImagePath.substr(slash + 1);
  const WideView expected = kProgramImageName;
  if (file.size() != expected.size()) return false;
  for (std::size_t i = 0; i < file.size(); ++i) {
    if (AsciiLower(file[i]) != AsciiLower(expected[i])) return false;
  }
  return true;
}

}  // namespace shadowpane
