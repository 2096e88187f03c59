// Profile.db images of any bytes. A file is either refused as a whole, or
// its records encode back to the same bytes, apart from what the format
// ignores when reading (the units after a path's terminator, the reserved
// word, a blocked value other than 0 or 1) and the unit a path without a
// terminator loses to the one the writer adds. The image is an exactly-sized
// heap copy, so a read past the last record stops the run.
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "devices/ProfileCodec.h"
#include "fuzz/FuzzCheck.h"

using namespace shadowpane;

namespace {

std::uint32_t Uint32At(const std::uint8_t* at) {
  return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
         static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

bool Acceptable(const std::uint8_t* image, std::size_t size) {
  return size >= kProfileHeaderSize && size <= kMaxProfileBytes &&
         (size - kProfileHeaderSize) % kProfileRecordSize == 0 &&
         std::memcmp(image, kProfileMagic, sizeof kProfileMagic) == 0 &&
         Uint32At(image + 4) == kProfileVersion;
}

// The bytes a writer produces for what a reader takes from this image.
std::vector<std::uint8_t> Normalised(const std::uint8_t* image, std::size_t size) {
  std::vector<std::uint8_t> out(image, image + size);
  for (std::size_t at = kProfileHeaderSize; at < size; at += kProfileRecordSize) {
    std::uint8_t* record = out.data() + at;
    std::size_t units = 0;
    while (units < kProfilePathUnits && (record[2 * units] | record[2 * units + 1]) != 0) ++units;
    if (units == kProfilePathUnits) units = kProfilePathUnits - 1;
    std::memset(record + 2 * units, 0, kProfilePathBytes - 2 * units);
    const bool blocked = Uint32At(record + kProfileBlockedOffset) != 0;
    std::memset(record + kProfileBlockedOffset, 0, 8);
    record[kProfileBlockedOffset] = blocked ? 1 : 0;
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::unique_ptr<std::uint8_t[]> image(new std::uint8_t[size]);
  if (size > 0) std::memcpy(image.get(), data, size);

  std::vector<ProfileRecord> records(1);  // a stale record must not survive
  const int accepted = DecodeProfile(image.get(), size, records);
  FUZZ_CHECK(accepted == (Acceptable(image.get(), size) ? 1 : 0));
  if (!accepted) {
    FUZZ_CHECK(records.empty());
    return 0;
  }
  FUZZ_CHECK(ProfileImageSize(records.size()) == size);

  std::vector<std::uint8_t> encoded(size);
  EncodeProfileHeader(encoded.data());
  for (std::size_t n = 0; n < records.size(); ++n) {
    FUZZ_CHECK(records[n].path.size() <= kProfilePathUnits);
    FUZZ_CHECK(records[n].path.find(u'\0') == std::u16string::npos);
    EncodeProfileRecord(encoded.data() + ProfileImageSize(n), records[n].path,
                        records[n].blocked != 0);
  }
  FUZZ_CHECK(encoded == Normalised(image.get(), size));

  // What was written reads back as the same records.
  std::vector<ProfileRecord> again;
  FUZZ_CHECK(DecodeProfile(encoded.data(), encoded.size(), again) == 1);
  FUZZ_CHECK(again.size() == records.size());
  for (std::size_t n = 0; n < records.size(); ++n) {
    FUZZ_CHECK(again[n].path == records[n].path.substr(0, kProfilePathUnits - 1));
    FUZZ_CHECK(again[n].blocked == (records[n].blocked != 0 ? 1u : 0u));
  }
  return 0;
}
