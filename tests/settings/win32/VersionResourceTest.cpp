// The built Shadowpane.exe, read as Windows reads it: the version
// information Explorer shows and the manifest the loader applies.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/win32/TextCast.h"
#include "ui/windows/AboutWindowLogic.h"

namespace shadowpane {
namespace {

// The program in the folder above this test's (build/win32/tests/ship_tests.exe
// and build/win32/Shadowpane.exe; the test package keeps that layout), else
// the build's own path of it.
std::wstring ProgramPath() {
  wchar_t self[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, length < MAX_PATH ? length : 0);
  for (int up = 0; up < 2 && path.find_last_of(L'\\') != std::wstring::npos; ++up) {
    path.erase(path.find_last_of(L'\\'));
  }
  path += L"\\Shadowpane.exe";
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? path : L"" SHADOWPANE_EXECUTABLE_PATH;
}

const std::wstring kExecutable = ProgramPath();

std::wstring AboutVersion() { return AsWide(kProductVersion); }

class VersionResourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(kExecutable.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version information in " << std::string(kExecutable.begin(), kExecutable.end());
    block_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(kExecutable.c_str(), 0, size, block_.data()));
  }
  std::wstring Text(const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
    if (!VerQueryValueW(block_.data(), path.c_str(), &value, &length) || value == nullptr) return L"";
    return static_cast<const wchar_t*>(value);
  }
  std::vector<BYTE> block_;
};

TEST_F(VersionResourceTest, NumbersAreTheAboutWindowsVersion) {
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  // The About window's text, split at its dots.
  DWORD numbers[4] = {};
  const std::wstring about = AboutVersion();
  ASSERT_EQ(swscanf(about.c_str(), L"%lu.%lu.%lu.%lu", &numbers[0], &numbers[1], &numbers[2],
                    &numbers[3]),
            4);
  for (DWORD version : {fixed->dwFileVersionMS, fixed->dwProductVersionMS}) {
    EXPECT_EQ(HIWORD(version), numbers[0]);
    EXPECT_EQ(LOWORD(version), numbers[1]);
  }
  for (DWORD version : {fixed->dwFileVersionLS, fixed->dwProductVersionLS}) {
    EXPECT_EQ(HIWORD(version), numbers[2]);
    EXPECT_EQ(LOWORD(version), numbers[3]);
  }
  EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

TEST_F(VersionResourceTest, TextsNameTheProductItsMakerAndItsFile) {
  struct Entry {
    const wchar_t* name;
    std::wstring expected;
  } entries[] = {
      {L"ProductName", L"Shadowpane"},        {L"CompanyName", L"KESTRALYNX"},
      {L"OriginalFilename", L"Shadowpane.exe"}, {L"FileVersion", AboutVersion()},
      {L"ProductVersion", AboutVersion()},
  };
  for (const Entry& entry : entries) {
    EXPECT_EQ(Text(entry.name), entry.expected) << std::string(entry.name, entry.name + wcslen(entry.name));
  }
  EXPECT_NE(Text(L"FileDescription").find(L"Shadowpane"), std::wstring::npos);
  EXPECT_NE(Text(L"LegalCopyright").find(L"KESTRALYNX"), std::wstring::npos);
}

// The manifest the loader reads at start: no elevation, the systems it was
// made for, and no DPI awareness (the system scales the fixed-pixel windows).
TEST(ProgramManifest, AsksNoElevationAndDeclaresTheSystemsAndDpiMode) {
  HMODULE image = LoadLibraryExW(kExecutable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr) << "no manifest of id 1";
  const char* text = static_cast<const char*>(LockResource(LoadResource(image, found)));
  const std::string manifest(text, SizeofResource(image, found));
  FreeLibrary(image);

  for (const char* needle : {
           "level=\"asInvoker\"",
           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
           ">true/pm</dpiAware>",
           ">PerMonitorV2, PerMonitor</dpiAwareness>",
       }) {
    EXPECT_NE(manifest.find(needle), std::string::npos) << needle;
  }
  EXPECT_EQ(manifest.find("requireAdministrator"), std::string::npos);
}

}  // namespace
}  // namespace shadowpane
