// RecentUse.db beside Profile.db. Replaced whole at every save (written
// aside, then moved over), so a crash leaves the old file or the new one.
#pragma once

#include <string>

#include "usage/RecentUse.h"

namespace shadowpane {

constexpr wchar_t kRecentUseFileName[] = L"RecentUse.db";
// Appended to the names of a file being written and of one set aside.
constexpr wchar_t kRecentUseNewSuffix[] = L".new";
constexpr wchar_t kRecentUseSetAsideSuffix[] = L".corrupt";

class Win32RecentUseFile : public RecentUseFile {
 public:
  // An empty fileName means: RecentUse.db in the folder of Profile.db (the
  // current directory), found at every use as the profile's is.
  explicit Win32RecentUseFile(std::wstring fileName = std::wstring());

  int Read(std::vector<std::uint8_t>& image, std::size_t maxBytes) override;
  int Write(const std::uint8_t* data, std::size_t size) override;
  int SetAside() override;

 private:
  std::wstring Name() const;

  std::wstring fileName_;
};

}  // namespace shadowpane
