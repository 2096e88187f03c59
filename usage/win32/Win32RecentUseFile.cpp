#include "usage/win32/Win32RecentUseFile.h"

#include <windows.h>

#include <utility>

#include "devices/win32/Win32ProfileFile.h"

namespace shadowpane {

namespace {

// Closes a file handle when it goes out of scope.
class FileHolder {
 public:
  explicit FileHolder(HANDLE handle) : handle_(handle) {}
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;
  ~FileHolder() {
    if (ok()) CloseHandle(handle_);
  }
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

Win32RecentUseFile::Win32RecentUseFile(std::wstring fileName) : fileName_(std::move(fileName)) {}

std::wstring Win32RecentUseFile::Name() const {
  if (!fileName_.empty()) return fileName_;
  std::wstring name = ProfileNameInCurrentDirectory();
  if (name.empty()) return name;
  name.resize(name.size() - (sizeof(kProfileFileName) / sizeof(wchar_t) - 1));
  return name + kRecentUseFileName;
}

int Win32RecentUseFile::Read(std::vector<std::uint8_t>& image, std::size_t maxBytes) {
  image.clear();
  const std::wstring name = Name();
  if (name.empty()) return -2;
  FileHolder file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.ok()) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : -2;
  }
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0) return -2;
  if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) return -1;
  image.resize(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  if (!image.empty() && (!ReadFile(file.get(), image.data(), static_cast<DWORD>(image.size()), &read, nullptr) ||
                         read != image.size())) {
    image.clear();
    return -2;
  }
  return 1;
}

int Win32RecentUseFile::Write(const std::uint8_t* data, std::size_t size) {
  const std::wstring name = Name();
  if (name.empty()) return 0;
  const std::wstring newName = name + kRecentUseNewSuffix;
  {
    FileHolder file(CreateFileW(newName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    if (!file.ok()) return 0;
    DWORD written = 0;
    if (size > 0 && (!WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) || written != size)) {
      return 0;
    }
    if (!FlushFileBuffers(file.get())) return 0;
  }
  if (!MoveFileExW(newName.c_str(), name.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(newName.c_str());
    return 0;
  }
  return 1;
}

int Win32RecentUseFile::SetAside() {
  const std::wstring name = Name();
  if (name.empty()) return 0;
  return MoveFileExW(name.c_str(), (name + kRecentUseSetAsideSuffix).c_str(), MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
}

}  // namespace shadowpane
