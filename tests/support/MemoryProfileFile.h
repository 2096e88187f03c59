// A ProfileFile in memory that can be told to fail, for the core's save and
// load logic. The Windows file itself is tested under Wine.
#pragma once

#include <vector>

#include "devices/ProfileFile.h"

namespace shadowpane::testing {

class MemoryProfileFile : public ProfileFile {
 public:
  bool IsOpen() const override { return open; }
  int OpenForWriting() override;
  int WriteImage(const std::uint8_t* data, std::size_t size) override;
  void Close() override;
  int ReadImage(std::vector<std::uint8_t>& image, std::size_t maxBytes) override;

  std::vector<std::uint8_t> contents;
  bool exists = false;
  bool open = false;
  bool failOpen = false;
  bool failWrite = false;
  bool failRead = false;
  int opens = 0;
  int closes = 0;
};

}  // namespace shadowpane::testing
