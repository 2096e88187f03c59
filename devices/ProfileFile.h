// The file behind Profile.db, as the device list needs it. The Windows
// implementation keeps the file open and unshared between saves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace shadowpane {

class ProfileFile {
 public:
  virtual ~ProfileFile() = default;

  virtual bool IsOpen() const = 0;
  // Opens the file for writing, unshared: an existing file is truncated, a
  // missing one created. Answers 1 when the file is open afterwards.
  virtual int OpenForWriting() = 0;
  // Writes the whole image from offset 0 and sets the file's length to its
  // size. Answers 1 on success; on failure the caller closes the file.
  virtual int WriteImage(const std::uint8_t* data, std::size_t size) = 0;
  virtual void Close() = 0;
  // Reads the whole file with shared read access, independent of the
  // writing handle. Answers 0 when it cannot be opened or read, or when it
  // is longer than maxBytes (nothing is read then).
  virtual int ReadImage(std::vector<std::uint8_t>& image, std::size_t maxBytes) = 0;
};

}  // namespace shadowpane
