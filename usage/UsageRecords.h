// The system's record of which programs used a camera or a microphone, and
// the rules that turn what the registry holds into those records. The
// system keeps one key per program under a kind's key: desktop programs
// under "NonPackaged", named by their path with '#' for '\', packaged ones
// by their package family name; each holds LastUsedTimeStart and
// LastUsedTimeStop as FILETIME (REG_QWORD). Everything read there is
// outside input: a value of the wrong type or size counts as absent, and a
// name that could not be a program's is dropped. Portable: no platform
// headers.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/Text.h"

namespace shadowpane {

// The records name a kind of device, never one device.
enum class UsageKind { Camera, Microphone };
constexpr int kUsageKindCount = 2;

// Most program keys read per kind, both roots together: a flooded key is
// read that far, so it costs bounded time and memory.
constexpr int kMaxUsageRecords = 256;
// A registry key name holds at most 255 characters.
constexpr int kMaxUsageKeyNameChars = 255;
// The registry's type number of a 64-bit value (REG_QWORD).
constexpr std::uint32_t kRegistryQwordType = 11;
// The container of desktop programs among the packaged programs' keys.
constexpr WideChar kNonPackagedKeyName[] = u"NonPackaged";

// One value as the registry answered it: its type, its real size, and its
// first bytes (only 8 are ever meaningful).
struct RawUsageValue {
  bool present = false;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  std::array<std::uint8_t, 8> bytes{};
};

// One program's key as read, before any of it is trusted.
struct RawUsageKey {
  WideString name;
  bool nonPackaged = false;
  RawUsageValue lastStart;
  RawUsageValue lastStop;
};

struct UsageRecord {
  WideString program;   // shown: a desktop program's file name, a package's name
  WideString identity;  // the full path or package family name: one program, whatever it is called
  bool packaged = false;
  std::uint64_t lastStart = 0;  // FILETIME; 0 when absent
  std::uint64_t lastStop = 0;   // FILETIME; 0 when absent
  bool inUse = false;
};

// A FILETIME value, or 0 when the value is absent, not a REG_QWORD of 8
// bytes, or beyond the last time FILETIME can express.
std::uint64_t FileTimeOf(const RawUsageValue& value);

// Turns one key into a record. Answers 1, or 0 when the key names no
// program (empty, too long, a control character, a path that ends in '#',
// the NonPackaged container itself) or holds no start time. A program with
// a start and no later stop is using the device now: the system clears the
// stop to 0 while a use lasts.
int ParseUsageRecord(const RawUsageKey& key, UsageRecord& record);

// The records of many keys (from both roots): at most kMaxUsageRecords
// keys are looked at, and a program met twice keeps its latest start.
std::vector<UsageRecord> ParseUsageKeys(const std::vector<RawUsageKey>& keys);

}  // namespace shadowpane
