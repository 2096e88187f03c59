#include "devices/win32/Win32ProfileFile.h"

#include <windows.h>

namespace shadowpane {

std::wstring ProfileNameInCurrentDirectory() {
  wchar_t folder[kMaxProfileFolderChars + 1] = {};
  const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(kMaxProfileFolderChars + 1), folder);
  if (length == 0 || length > kMaxProfileFolderChars) return std::wstring();
  std::wstring name(folder, length);
  if (name.back() != L'\\') name += L'\\';
  return name + kProfileFileName;
}

Win32ProfileFile::Win32ProfileFile(std::wstring fileName) : fileName_(std::move(fileName)) {}

Win32ProfileFile::~Win32ProfileFile() { Close(); }

std::wstring Win32ProfileFile::Name() const {
  return fileName_.empty() ? ProfileNameInCurrentDirectory() : fileName_;
}

bool Win32ProfileFile::IsOpen() const { return handle_ != nullptr; }

int Win32ProfileFile::OpenForWriting() {
  Close();
  const std::wstring name = Name();
  if (name.empty()) return 0;
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
    file = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  if (file == INVALID_HANDLE_VALUE) return 0;
  handle_ = file;
  return 1;
}

int Win32ProfileFile::WriteImage(const std::uint8_t* data, std::size_t size) {
  if (handle_ == nullptr || size > MAXDWORD) return 0;
  HANDLE file = static_cast<HANDLE>(handle_);
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return 0;
  DWORD written = 0;
  if (!WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) || written != size) {
    return 0;
  }
  // The pointer now sits at the new length: cut off what an older, longer
  // profile left behind.
  if (!SetEndOfFile(file)) return 0;
  return 1;
}

void Win32ProfileFile::Close() {
  if (handle_ != nullptr) {
    CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
  }
}

int Win32ProfileFile::ReadImage(std::vector<std::uint8_t>& image, std::size_t maxBytes) {
  image.clear();
  const std::wstring name = Name();
  if (name.empty()) return 0;
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;

  int result = 0;
  LARGE_INTEGER size = {};
  if (GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
      static_cast<unsigned long long>(size.QuadPart) <= maxBytes) {
    std::vector<std::uint8_t> bytes(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (bytes.empty() ||
        (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
         read == bytes.size())) {
      image.swap(bytes);
      result = 1;
    }
  }
  CloseHandle(file);
  return result;
}

}  // namespace shadowpane
