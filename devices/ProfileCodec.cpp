#include "devices/ProfileCodec.h"

#include <algorithm>
#include <cstring>

namespace shadowpane {

namespace {

void PutUint32(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
  at[2] = static_cast<std::uint8_t>(value >> 16);
  at[3] = static_cast<std::uint8_t>(value >> 24);
}

std::uint32_t GetUint32(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

}  // namespace

void EncodeProfileHeader(std::uint8_t* image) {
  std::memcpy(image, kProfileMagic, sizeof kProfileMagic);
  PutUint32(image + 4, kProfileVersion);
}

void EncodeProfileRecord(std::uint8_t* record, const std::u16string& path, bool blocked) {
  std::memset(record, 0, kProfileRecordSize);
  const std::size_t units = std::min(path.size(), kProfilePathUnits - 1);
  for (std::size_t i = 0; i < units; ++i) {
    record[2 * i] = static_cast<std::uint8_t>(path[i]);
    record[2 * i + 1] = static_cast<std::uint8_t>(path[i] >> 8);
  }
  PutUint32(record + kProfileBlockedOffset, blocked ? 1u : 0u);
  PutUint32(record + kProfileReservedOffset, 0u);
}

int DecodeProfile(const std::uint8_t* image, std::size_t size,
                  std::vector<ProfileRecord>& records) {
  records.clear();
  if (image == nullptr || size < kProfileHeaderSize || size > kMaxProfileBytes) return 0;
  // The length rule: size - 8 must be a whole number of records.
  if ((size - kProfileHeaderSize) % kProfileRecordSize != 0) return 0;
  if (std::memcmp(image, kProfileMagic, sizeof kProfileMagic) != 0) return 0;
  if (GetUint32(image + 4) != kProfileVersion) return 0;

  const std::size_t count = (size - kProfileHeaderSize) / kProfileRecordSize;
  std::vector<ProfileRecord> decoded(count);
  for (std::size_t n = 0; n < count; ++n) {
    const std::uint8_t* record = image + kProfileHeaderSize + n * kProfileRecordSize;
    std::u16string& path = decoded[n].path;
    for (std::size_t i = 0; i < kProfilePathUnits; ++i) {
      const char16_t unit = static_cast<char16_t>(record[2 * i] | record[2 * i + 1] << 8);
      if (unit == 0) break;
      path.push_back(unit);
    }
    decoded[n].blocked = GetUint32(record + kProfileBlockedOffset);
  }
  records.swap(decoded);
  return 1;
}

}  // namespace shadowpane
