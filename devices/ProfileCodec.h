// Byte layout of Profile.db: the bytes 'D','V','P',0, a little-endian
// version 1, then one 520-byte record per device (512 bytes of UTF-16LE path
// with its terminator, the blocked value, a reserved word). No count field:
// the length alone says how many records there are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace shadowpane {

constexpr std::uint8_t kProfileMagic[4] = {'D', 'V', 'P', 0};
constexpr std::uint32_t kProfileVersion = 1;
constexpr std::size_t kProfileHeaderSize = 8;
constexpr std::size_t kProfileRecordSize = 520;
constexpr std::size_t kProfilePathBytes = 512;
constexpr std::size_t kProfilePathUnits = kProfilePathBytes / 2;
constexpr std::size_t kProfileBlockedOffset = 512;
constexpr std::size_t kProfileReservedOffset = 516;

// Far beyond any real device set, yet small enough that a hostile file can
// never make the program allocate without bound.
constexpr std::size_t kMaxProfileRecords = 65536;
constexpr std::size_t kMaxProfileBytes =
    kProfileHeaderSize + kProfileRecordSize * kMaxProfileRecords;

struct ProfileRecord {
  // The path up to its terminator. A record whose 256 units hold no
  // terminator keeps all 256, so it can never equal a device's path.
  std::u16string path;
  std::uint32_t blocked = 0;
};

constexpr std::size_t ProfileImageSize(std::size_t records) {
  return kProfileHeaderSize + kProfileRecordSize * records;
}

// Writes the header into the first 8 bytes of an image.
void EncodeProfileHeader(std::uint8_t* image);
// Writes one record: the path cut to 255 units, zero-filled, terminated.
void EncodeProfileRecord(std::uint8_t* record, const std::u16string& path, bool blocked);

// Decodes a whole file image. Answers 0 and leaves records empty for a
// wrong length, magic or version; no part of a rejected file is used.
int DecodeProfile(const std::uint8_t* image, std::size_t size,
                  std::vector<ProfileRecord>& records);

}  // namespace shadowpane
