// Profile.db on disk. Between saves the file stays open without sharing, so
// no other program can change it under the running program.
#pragma once

#include <string>

#include "devices/ProfileFile.h"

namespace shadowpane {

// Longest current directory the profile's name is built from.
constexpr size_t kMaxProfileFolderChars = 2000;
constexpr wchar_t kProfileFileName[] = L"Profile.db";

// "<current directory>\Profile.db", or empty when the current directory
// cannot be read or is longer than kMaxProfileFolderChars.
std::wstring ProfileNameInCurrentDirectory();

class Win32ProfileFile : public ProfileFile {
 public:
  // An empty fileName means: build it from the current directory at every
  // open, as the program does.
  explicit Win32ProfileFile(std::wstring fileName = std::wstring());
  ~Win32ProfileFile() override;

  bool IsOpen() const override;
  int OpenForWriting() override;
  int WriteImage(const std::uint8_t* data, std::size_t size) override;
  void Close() override;
  int ReadImage(std::vector<std::uint8_t>& image, std::size_t maxBytes) override;

 private:
  std::wstring Name() const;

  std::wstring fileName_;
  void* handle_ = nullptr;  // HANDLE; null while closed
};

}  // namespace shadowpane
