// Profile.db against real files under Wine: sharing, truncation, lengths,
// failures and hostile contents.
#include "devices/win32/Win32ProfileFile.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "devices/DeviceList.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"
#include "tests/support/win32/TempFolder.h"

namespace shadowpane {
namespace {

using testing::FileSizeOf;
using testing::MakeTestDevice;
using testing::ReadWholeFile;
using testing::RecordingPoster;
using testing::TempFolder;
using testing::WriteWholeFile;

class ProfileFileOnDisk : public ::testing::Test {
 protected:
  SPDEV* Link(const std::u16string& name, const std::u16string& path) {
    return list.LinkDevice(MakeTestDevice(poster, name, path));
  }
  TempFolder folder;
  std::wstring name = folder.File(L"Profile.db");
  Win32ProfileFile file{name};
  RecordingPoster poster;
  DeviceList list{&file};
};

TEST_F(ProfileFileOnDisk, HeldUnsharedBetweenSaves) {
  Link(u"A", u"a");
  ASSERT_EQ(SaveProfile(list), 1);
  EXPECT_TRUE(file.IsOpen());
  HANDLE other = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(other, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  if (other != INVALID_HANDLE_VALUE) CloseHandle(other);
}

TEST_F(ProfileFileOnDisk, LengthFollowsTheDeviceCountExactly) {
  Link(u"A", u"a");
  SPDEV* b = Link(u"B", u"b");
  Link(u"C", u"c");
  ASSERT_EQ(SaveProfile(list), 1);
  EXPECT_EQ(FileSizeOf(name), 1568);
  list.DestroyDevice(b);
  ASSERT_EQ(SaveProfile(list), 1);
  EXPECT_EQ(FileSizeOf(name), 1048);
}

TEST_F(ProfileFileOnDisk, FirstOpenTruncatesAnOlderLongerFile) {
  ASSERT_TRUE(WriteWholeFile(name, std::string(5000, 'x')));
  Link(u"A", u"a");
  ASSERT_EQ(SaveProfile(list), 1);
  file.Close();
  const std::string bytes = ReadWholeFile(name);
  ASSERT_EQ(bytes.size(), 528u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("DVP\0\1\0\0\0", 8));
  EXPECT_EQ(bytes[8], 'a');
}

TEST_F(ProfileFileOnDisk, DestroyDeviceListSavesBlockedStatesThenReleasesTheFile) {
  Link(u"A", u"a")->Block();
  Link(u"B", u"b");
  ASSERT_EQ(SaveProfile(list), 1);
  list.DestroyDeviceList();
  EXPECT_FALSE(file.IsOpen());
  const std::string bytes = ReadWholeFile(name);  // openable again
  ASSERT_EQ(bytes.size(), 1048u);
  EXPECT_EQ(bytes[8], 'b');
  EXPECT_EQ(bytes[8 + 512], 0);
  EXPECT_EQ(bytes[8 + 520], 'a');
  EXPECT_EQ(bytes[8 + 520 + 512], 1);  // saved before the unblock ran
}

TEST_F(ProfileFileOnDisk, LoadRoundTripsThroughTheDisk) {
  Link(u"Cam", u"\\\\?\\usb#vid_1")->Block();
  Link(u"Mic", u"0 Mikrofon (\u00dcSB)");
  ASSERT_EQ(SaveProfile(list), 1);
  file.Close();
  Win32ProfileFile reader(name);
  std::vector<ProfileRecord> records;
  ASSERT_EQ(LoadProfile(reader, records), 1);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].path, u"0 Mikrofon (\u00dcSB)");
  EXPECT_EQ(records[1].blocked, 1u);
}

TEST(ProfileFileFailures, ReadOnlyFolderFailsThenAWritableFolderSucceeds) {
  // /proc refuses new files even to root, unlike a folder without write
  // permission: a folder nobody can write to.
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  TempFolder writable;
  RecordingPoster poster;
  Win32ProfileFile file;  // named from the current directory, as the program does
  DeviceList list(&file);
  list.LinkDevice(MakeTestDevice(poster, u"A", u"a"));

  ASSERT_TRUE(SetCurrentDirectoryW(L"Z:\\proc"));
  EXPECT_EQ(SaveProfile(list), 0);
  EXPECT_FALSE(file.IsOpen());

  ASSERT_TRUE(SetCurrentDirectoryW(writable.path().c_str()));
  EXPECT_EQ(SaveProfile(list), 1);
  EXPECT_EQ(FileSizeOf(writable.File(L"Profile.db")), 528);
  file.Close();
  SetCurrentDirectoryW(previous);
}

// What can make Profile.db unwritable while the program runs and is
// enforced under Wine even for root: another program holding the file
// without sharing, the folder replaced by a file. (Wine keeps the read-only
// attribute in Unix permissions, which root passes.)
struct WriteBlocker {
  const char* what;
  void (*apply)(const std::wstring& folder, const std::wstring& file, HANDLE* holder);
  void (*lift)(const std::wstring& folder, const std::wstring& file, HANDLE* holder);
};

const WriteBlocker kWriteBlockers[] = {
    {"held without sharing by another program",
     [](const std::wstring&, const std::wstring& file, HANDLE* holder) {
       *holder = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
       ASSERT_NE(*holder, INVALID_HANDLE_VALUE);
     },
     [](const std::wstring&, const std::wstring&, HANDLE* holder) { CloseHandle(*holder); }},
    {"folder replaced by a file",
     [](const std::wstring& folder, const std::wstring&, HANDLE*) {
       ASSERT_TRUE(MoveFileW(folder.c_str(), (folder + L".away").c_str()));
       ASSERT_TRUE(WriteWholeFile(folder, "not a folder"));
     },
     [](const std::wstring& folder, const std::wstring&, HANDLE*) {
       ASSERT_TRUE(DeleteFileW(folder.c_str()));
       ASSERT_TRUE(MoveFileW((folder + L".away").c_str(), folder.c_str()));
     }},
};

TEST(ProfileFileFailures, AnUnwritableProfileFailsTheSaveUndamagedAndALaterSaveSucceeds) {
  for (const WriteBlocker& blocker : kWriteBlockers) {
    SCOPED_TRACE(blocker.what);
    TempFolder temp;
    const std::wstring folder = temp.File(L"app");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring name = folder + L"\\Profile.db";
    RecordingPoster poster;
    Win32ProfileFile file(name);
    DeviceList list(&file);
    SPDEV* a = list.LinkDevice(MakeTestDevice(poster, u"A", u"a"));
    SPDEV* b = list.LinkDevice(MakeTestDevice(poster, u"B", u"b"));
    a->Block();
    ASSERT_EQ(SaveProfile(list), 1);
    // The held handle keeps saving whatever happens to the folder; a save
    // must open the file again after a failure or at the next start.
    file.Close();
    const std::string before = ReadWholeFile(name);
    ASSERT_EQ(before.size(), 1048u);

    HANDLE holder = INVALID_HANDLE_VALUE;
    blocker.apply(folder, name, &holder);
    b->Block();
    EXPECT_EQ(SaveProfile(list), 0);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(SaveProfile(list), 0) << "each later save tries again";
    EXPECT_EQ(DeviceList::IsBlocked(a), 1);
    EXPECT_EQ(DeviceList::IsBlocked(b), 1);
    EXPECT_EQ(list.Count(), 2);
    blocker.lift(folder, name, &holder);

    EXPECT_EQ(ReadWholeFile(name), before) << "the file there is not damaged";
    ASSERT_EQ(SaveProfile(list), 1);
    file.Close();
    const std::string after = ReadWholeFile(name);
    ASSERT_EQ(after.size(), 1048u);
    EXPECT_EQ(after[8 + 512], 1) << "B, newest first, saved blocked";
    EXPECT_EQ(after[8 + 520 + 512], 1);
  }
}

TEST(ProfileFileFailures, NameIsBuiltFromTheCurrentDirectory) {
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  TempFolder folder;
  ASSERT_TRUE(SetCurrentDirectoryW(folder.path().c_str()));
  const std::wstring built = ProfileNameInCurrentDirectory();
  SetCurrentDirectoryW(previous);
  // Wine may report the temp folder with another spelling of its parent;
  // the file's own part is what must be exact.
  ASSERT_GE(built.size(), 11u);
  EXPECT_EQ(built.substr(built.size() - 11), L"\\Profile.db");
}

class HostileProfile : public ::testing::Test {
 protected:
  int Load() {
    Win32ProfileFile reader(name);
    return LoadProfile(reader, records);
  }
  TempFolder folder;
  std::wstring name = folder.File(L"Profile.db");
  std::vector<ProfileRecord> records;
};

TEST_F(HostileProfile, MissingFileLoadsNothing) { EXPECT_EQ(Load(), 0); }

TEST_F(HostileProfile, AFolderNamedLikeTheFileIsRejected) {
  ASSERT_TRUE(CreateDirectoryW(name.c_str(), nullptr));
  EXPECT_EQ(Load(), 0);
  EXPECT_TRUE(records.empty());
}

TEST_F(HostileProfile, AFileHeldUnsharedByAnotherHandleIsRejected) {
  ASSERT_TRUE(WriteWholeFile(name, std::string("DVP\0\1\0\0\0", 8)));
  HANDLE holder = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(Load(), 0);
  CloseHandle(holder);
  EXPECT_EQ(Load(), 1);
}

TEST_F(HostileProfile, OddAndShortLengthsAreRejected) {
  for (size_t size : {size_t{0}, size_t{7}, size_t{8 + 520 + 1}}) {
    std::string bytes("DVP\0\1\0\0\0", 8);
    bytes.resize(size, '\0');
    ASSERT_TRUE(WriteWholeFile(name, bytes));
    EXPECT_EQ(Load(), 0) << size;
  }
}

TEST_F(HostileProfile, HugeSparseFileIsRejectedWithoutReadingIt) {
  HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD ignored = 0;
  WriteFile(file, "DVP\0\1\0\0\0", 8, &ignored, nullptr);
  // 8 + 520 x 8,259,552 bytes: a valid length just under 4 GiB.
  LARGE_INTEGER size;
  size.QuadPart = 8 + 520LL * 8259552LL;
  ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN));
  ASSERT_TRUE(SetEndOfFile(file));
  CloseHandle(file);
  EXPECT_EQ(Load(), 0);
  EXPECT_TRUE(records.empty());
}

}  // namespace
}  // namespace shadowpane
