#include "tests/support/MemoryProfileFile.h"

namespace shadowpane::testing {

int MemoryProfileFile::OpenForWriting() {
  if (failOpen) return 0;
  ++opens;
  open = true;
  exists = true;
  contents.clear();  // truncated on open
  return 1;
}

int MemoryProfileFile::WriteImage(const std::uint8_t* data, std::size_t size) {
  if (!open || failWrite) return 0;
  contents.assign(data, data + size);
  return 1;
}

void MemoryProfileFile::Close() {
  if (open) ++closes;
  open = false;
}

int MemoryProfileFile::ReadImage(std::vector<std::uint8_t>& image, std::size_t maxBytes) {
  if (!exists || failRead || contents.size() > maxBytes) return 0;
  image = contents;
  return 1;
}

}  // namespace shadowpane::testing
