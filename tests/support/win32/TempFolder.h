// A fresh folder under the Windows temp folder, removed with its files.
#pragma once

#include <windows.h>

#include <string>

namespace shadowpane::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::wstring& path() const { return path_; }
  std::wstring File(const wchar_t* name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// Size of a file without opening it (works while another handle holds it
// unshared); -1 when it does not exist.
long long FileSizeOf(const std::wstring& name);

// Whole contents of a file, read with full sharing; empty when unreadable.
std::string ReadWholeFile(const std::wstring& name);
bool WriteWholeFile(const std::wstring& name, const std::string& bytes);

}  // namespace shadowpane::testing
