// The settings store against the real registry of the test prefix, at the
// program's own locations.
#include "settings/win32/RegistryStore.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <sddl.h>

#include <memory>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "core/win32/TextCast.h"

namespace shadowpane {
namespace {

class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveSettingsKey();
    RemoveRunValue();
    Reset();
  }
  void TearDown() override {
    RemoveSettingsKey();
    RemoveRunValue();
    Reset();
  }
  Settings settings;
  void Reset() {
    settings = Settings{};
    gAutostartByAdministrator = 0;
  }
  static void RemoveSettingsKey() { RegDeleteKeyW(HKEY_CURRENT_USER, kSettingsKeyPath); }
  static void RemoveRunValue() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      HKEY run = nullptr;
      if (RegOpenKeyExW(root, kRunKeyPath, 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
        RegDeleteValueW(run, AsWide(kAutostartValue));
        RegCloseKey(run);
      }
    }
  }
  static bool SettingsKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
      return false;
    }
    RegCloseKey(key);
    return true;
  }
  static void Put(const WideChar* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(key, AsWide(name), 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  static void PutDword(const WideChar* name, DWORD number) {
    Put(name, REG_DWORD, &number, sizeof number);
  }
  static void PutString(const WideChar* name, const wchar_t* text) {
    Put(name, REG_SZ, text, static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
  }
  // Type and number of a stored settings value; type 0 when missing.
  static std::pair<DWORD, DWORD> Stored(const WideChar* name) {
    DWORD type = 0, number = 0, size = sizeof number;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKeyPath, AsWide(name), RRF_RT_ANY, &type, &number,
                     &size) != ERROR_SUCCESS) {
      return {0, 0};
    }
    return {type, number};
  }
  // The autostart value's type and text; type 0 when missing.
  static std::pair<DWORD, std::wstring> RunValue(HKEY root = HKEY_CURRENT_USER,
                                                 const wchar_t* path = kRunKeyPath) {
    wchar_t text[6000] = {};
    DWORD type = 0, size = sizeof text;
    if (RegGetValueW(root, path, AsWide(kAutostartValue), RRF_RT_ANY, &type, text, &size) !=
        ERROR_SUCCESS) {
      return {0, L""};
    }
    EXPECT_EQ(size, (wcslen(text) + 1) * sizeof(wchar_t)) << "text and terminator, no more";
    return {type, text};
  }
};

TEST_F(RegistryStoreTest, MissingKeyIsCreatedEmptyAndAsksForALanguage) {
  ASSERT_FALSE(SettingsKeyExists());
  EXPECT_EQ(EnsureLanguageChosen(), 0);
  EXPECT_TRUE(SettingsKeyExists());
  EXPECT_EQ(Stored(kLanguageValue).first, 0u);

  // The pick is saved with the other three settings.
  LoadSettings(settings);
  settings.language = LANGUAGE_ITALIAN;
  SaveSettings(settings);
  EXPECT_EQ(Stored(kLanguageValue), std::make_pair(DWORD{REG_DWORD}, DWORD{3}));
  EXPECT_EQ(Stored(kStartupValue), std::make_pair(DWORD{REG_DWORD}, DWORD{0}));
  EXPECT_EQ(Stored(kBlockStartValue), std::make_pair(DWORD{REG_DWORD}, DWORD{0}));
  EXPECT_EQ(Stored(kBlockPluggedInValue), std::make_pair(DWORD{REG_DWORD}, DWORD{0}));
  EXPECT_EQ(RunValue().first, 0u);
  EXPECT_EQ(EnsureLanguageChosen(), 1);
}

TEST_F(RegistryStoreTest, LanguageStoredAsStringAsksAgainAndLoadsEnglish) {
  PutString(kLanguageValue, L"2");
  EXPECT_EQ(EnsureLanguageChosen(), 0);
  settings.language = 2;
  LoadSettings(settings);
  EXPECT_EQ(settings.language, 0);
  // A string of 3 units does not even fit the 4-byte buffer; same answer.
  PutString(kLanguageValue, L"12");
  EXPECT_EQ(EnsureLanguageChosen(), 0);
}

TEST_F(RegistryStoreTest, LanguageNumbersOutsideTheRange) {
  PutDword(kLanguageValue, 7);
  EXPECT_EQ(EnsureLanguageChosen(), 1);
  LoadSettings(settings);
  EXPECT_EQ(settings.language, 0);
  EXPECT_EQ(Stored(kLanguageValue).second, 7u) << "not rewritten by loading";

  PutDword(kLanguageValue, 0xFFFFFFFFu);
  EXPECT_EQ(EnsureLanguageChosen(), 0);
  LoadSettings(settings);
  EXPECT_EQ(settings.language, 0);

  PutDword(kLanguageValue, 3);
  LoadSettings(settings);
  EXPECT_EQ(settings.language, 3);
}

TEST_F(RegistryStoreTest, ShortDwordIsNotANumber) {
  const WORD half = 1;
  Put(kBlockStartValue, REG_DWORD, &half, sizeof half);
  LoadSettings(settings);
  EXPECT_EQ(settings.blockStart, 0);
}

TEST_F(RegistryStoreTest, FourByteValuesOfOtherTypesAreNotNumbers) {
  // The same four bytes as a REG_DWORD 1, but typed otherwise.
  const BYTE one[4] = {1, 0, 0, 0};
  Put(kLanguageValue, REG_BINARY, one, sizeof one);
  Put(kBlockStartValue, REG_BINARY, one, sizeof one);
  Put(kBlockPluggedInValue, REG_DWORD_BIG_ENDIAN, one, sizeof one);
  EXPECT_EQ(EnsureLanguageChosen(), 0);
  settings.language = 2;
  LoadSettings(settings);
  EXPECT_EQ(settings.language, 0);
  EXPECT_EQ(settings.blockStart, 0);
  EXPECT_EQ(settings.blockPluggedIn, 0);
}

TEST_F(RegistryStoreTest, BlockStartFiveIsSavedBackAsOne) {
  PutDword(kLanguageValue, 1);
  PutDword(kBlockStartValue, 5);
  PutDword(kBlockPluggedInValue, 1);
  LoadSettings(settings);
  EXPECT_EQ(settings.language, 1);
  EXPECT_EQ(settings.blockStart, 1);
  EXPECT_EQ(settings.blockPluggedIn, 1);
  EXPECT_EQ(settings.startup, 0);
  SaveSettings(settings);
  EXPECT_EQ(Stored(kBlockStartValue), std::make_pair(DWORD{REG_DWORD}, DWORD{1}));
}

TEST_F(RegistryStoreTest, StartupWritesTheQuotedExecutablePathAndDeletesItWhenOff) {
  wchar_t self[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);

  PutDword(kStartupValue, 1);
  LoadSettings(settings);
  EXPECT_EQ(settings.startup, 1);
  auto value = RunValue();
  EXPECT_EQ(value.first, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value.second, L"\"" + std::wstring(self) + L"\" /min");

  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE).first, 0u) << "never the machine's Run key";

  settings.startup = 0;
  SaveSettings(settings);
  EXPECT_EQ(RunValue().first, 0u);
  EXPECT_EQ(ApplyAutostart(0), 1) << "deleting a missing value is no error";
}

// The machine's Run key of the test prefix can be written by this process,
// as by a run with administrative rights on Windows: the entry still goes
// under the user's Run key only.
TEST_F(RegistryStoreTest, AWritableMachineRunKeyIsNeverWritten) {
  ASSERT_NE(OpenRegistryKey(HKEY_LOCAL_MACHINE, kRunKeyPath), nullptr)
      << "the machine's Run key must be writable for this test to mean anything";
  RegistryLocations locations;
  locations.executablePath = L"C:\\Apps\\Shadowpane.exe";
  RegistryStore store(locations);
  EXPECT_EQ(ApplyAutostart(store, 1), 1);
  EXPECT_EQ(RunValue(), std::make_pair(DWORD{REG_SZ}, std::wstring(L"\"C:\\Apps\\Shadowpane.exe\" /min")));
  EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE).first, 0u);
  EXPECT_EQ(gAutostartByAdministrator, 0);
}

// An entry an administrator put in the machine's Run key, in a key this
// user may write (the prefix's own) and in one it may only read (a standard
// user): it stays as it is, the user's copy left by an earlier run goes, so
// the program starts once at logon, and the ticked autostart counts as the
// administrator's.
TEST_F(RegistryStoreTest, AnAdministratorsEntryIsLeftAloneAndNotDoubled) {
  const wchar_t deniedPath[] = L"Software\\ShadowpaneTest\\DeniedRun";
  const wchar_t administrators[] = L"\"C:\\Program Files\\Shadowpane\\Shadowpane.exe\" /min";
  HKEY denied = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, deniedPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &denied, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(denied, AsWide(kAutostartValue), 0, REG_SZ, reinterpret_cast<const BYTE*>(administrators),
                 sizeof administrators);
  // Everyone may read the key and delete it (for the clean-up), no more.
  PSECURITY_DESCRIPTOR readOnly = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
      L"D:P(A;;KR;;;WD)(A;;SD;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
  EXPECT_EQ(RegSetKeySecurity(denied, DACL_SECURITY_INFORMATION, readOnly), ERROR_SUCCESS);
  LocalFree(readOnly);
  RegCloseKey(denied);
  struct Cleanup {
    const wchar_t* path;
    ~Cleanup() {
      RegDeleteKeyW(HKEY_LOCAL_MACHINE, path);
      RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\ShadowpaneTest");
    }
  } cleanup{deniedPath};
  ASSERT_EQ(OpenRegistryKey(HKEY_LOCAL_MACHINE, deniedPath), nullptr)
      << "the key must refuse full access for this test to mean anything";
  std::unique_ptr<KeyValueKey> machineRun = OpenRegistryKey(HKEY_LOCAL_MACHINE, kRunKeyPath);
  ASSERT_NE(machineRun, nullptr);
  ASSERT_EQ(machineRun->SetText(kAutostartValue, AsCore(administrators)), 1);
  machineRun.reset();

  for (const wchar_t* path : {kRunKeyPath, deniedPath}) {
    SCOPED_TRACE(std::string(path == deniedPath ? "read-only" : "writable") + " machine key");
    std::unique_ptr<KeyValueKey> userRun = OpenRegistryKey(HKEY_CURRENT_USER, kRunKeyPath);
    ASSERT_NE(userRun, nullptr);
    ASSERT_EQ(userRun->SetText(kAutostartValue, u"\"C:\\Users\\me\\Shadowpane.exe\" /min"), 1);
    userRun.reset();
    RegistryLocations locations;
    locations.machineRunPath = path;
    locations.executablePath = L"C:\\Users\\me\\Shadowpane.exe";
    RegistryStore store(locations);
    for (int enabled : {1, 0}) {
      EXPECT_EQ(ApplyAutostart(store, enabled), 1);
      EXPECT_EQ(gAutostartByAdministrator, 1);
      EXPECT_EQ(RunValue().first, 0u);
      EXPECT_EQ(RunValue(HKEY_LOCAL_MACHINE, path).second, administrators);
    }
  }
}

TEST_F(RegistryStoreTest, PathWithBlanksIsQuoted) {
  RegistryLocations locations;
  locations.executablePath = L"C:\\Program Files\\Shadowpane\\Shadowpane.exe";
  RegistryStore store(locations);
  EXPECT_EQ(ApplyAutostart(store, 1), 1);
  EXPECT_EQ(RunValue().second, L"\"C:\\Program Files\\Shadowpane\\Shadowpane.exe\" /min");

  // The shell splits the command as the logon Run handling does: the whole
  // quoted path is the program, "/min" its only argument.
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(RunValue().second.c_str(), &count);
  ASSERT_NE(arguments, nullptr);
  ASSERT_EQ(count, 2);
  EXPECT_STREQ(arguments[0], L"C:\\Program Files\\Shadowpane\\Shadowpane.exe");
  EXPECT_STREQ(arguments[1], L"/min");
  LocalFree(arguments);
}

TEST_F(RegistryStoreTest, KeysAreClosedAfterEachOperation) {
  // The system hands out the lowest free handle slot again, so a handle
  // created after many operations only lands elsewhere when they left keys
  // open.
  LoadSettings(settings);
  HANDLE probe = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  ASSERT_NE(probe, nullptr);
  CloseHandle(probe);
  for (int i = 0; i < 20; ++i) {
    EnsureLanguageChosen();
    LoadSettings(settings);
    SaveSettings(settings);
  }
  HANDLE again = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  EXPECT_EQ(again, probe);
  CloseHandle(again);
}

// One key, queried again and again: every query starts from a 4-byte
// size. A size left from an earlier query would either refuse a proper
// number (after a shorter value) or let a longer value be written past the
// 4-byte number (after a query that reported a larger size).
TEST_F(RegistryStoreTest, EveryQueryOfOneKeyStartsFromFourBytes) {
  const WORD half = 5;
  const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  Put(u"Half", REG_DWORD, &half, sizeof half);
  PutString(u"Long", L"a text of many bytes");
  Put(u"Eight", REG_BINARY, eight, sizeof eight);
  PutDword(u"Four", 7);

  std::unique_ptr<KeyValueKey> key = OpenRegistryKey(HKEY_CURRENT_USER, kSettingsKeyPath);
  ASSERT_NE(key, nullptr);
  struct Step {
    const WideChar* name;
    StoredType type;
    std::uint32_t number;
  };
  const Step steps[] = {
      {u"Four", StoredType::Dword, 7},   {u"Half", StoredType::Other, 0},
      {u"Four", StoredType::Dword, 7},   {u"Long", StoredType::Other, 0},
      {u"Eight", StoredType::Other, 0},  {u"Four", StoredType::Dword, 7},
      {u"Missing", StoredType::Missing, 0}, {u"Long", StoredType::Other, 0},
      {u"Half", StoredType::Other, 0},
      {u"Four", StoredType::Dword, 7},
  };
  int index = 0;
  for (const Step& step : steps) {
    SCOPED_TRACE("query " + std::to_string(index++));
    const StoredValue value = key->Query(step.name);
    EXPECT_EQ(value.type, step.type);
    if (step.type == StoredType::Dword) {
      EXPECT_EQ(value.number, step.number);
    }
  }
}

// The running executable's real path, through GetModuleFileNameW, against
// limits around its length: a path the system had to cut is never taken
// for the whole one.
TEST_F(RegistryStoreTest, AnExecutablePathLongerThanTheLimitIsRefused) {
  wchar_t self[2048] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, 2048);
  ASSERT_GT(length, 4u);
  ASSERT_LT(length, 2048u);
  const std::u16string whole(AsCore(self), length);
  RegistryStore store;
  const int fullLength = static_cast<int>(length);
  for (int limit : {fullLength + 1, fullLength, fullLength - 1, fullLength - 2, fullLength - 3, 1}) {
    SCOPED_TRACE("limit " + std::to_string(limit) + " for a path of " + std::to_string(fullLength));
    std::u16string path = u"unchanged";
    const bool found = store.ExecutablePath(path, limit);
    EXPECT_EQ(found, limit >= fullLength);
    EXPECT_EQ(path, found ? whole : u"unchanged");
  }
}

// The executable started from a deep folder, its path just short of the
// classic 259-character limit (Wine starts nothing from a longer path): the
// store takes the whole path, so no short buffer cuts it. The test runs a
// copy of this very executable there, which checks its own path and answers
// with its exit code.
constexpr wchar_t kDeepChildVariable[] = L"SHADOWPANE_DEEP_PATH_CHILD";
constexpr wchar_t kDeepTestFilter[] =
    L"--gtest_filter=RegistryStoreTest.ALongExecutablePathIsTakenWhole";
constexpr size_t kDeepPathChars = MAX_PATH - 1;

TEST_F(RegistryStoreTest, ALongExecutablePathIsTakenWhole) {
  std::vector<wchar_t> self(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()));
  ASSERT_GT(length, 0u);
  const std::wstring selfPath(self.data(), length);

  if (GetEnvironmentVariableW(kDeepChildVariable, nullptr, 0) != 0) {
    // The copy: its path is long, and read whole.
    ASSERT_EQ(selfPath.size(), kDeepPathChars);
    RegistryStore store;
    std::u16string path;
    ASSERT_TRUE(store.ExecutablePath(path, kMaxAutostartPathChars));
    ASSERT_EQ(path, std::u16string(AsCore(selfPath.c_str()), selfPath.size()));
    // Proof that this test ran and passed, beside the copy.
    HANDLE proof = CreateFileW(L"deep.ok", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(proof, INVALID_HANDLE_VALUE);
    CloseHandle(proof);
    return;
  }

  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  std::wstring folder = std::wstring(temp) + L"shadowpane-deep-" + std::to_wstring(GetCurrentProcessId());
  // Removed again however the test ends.
  struct Cleanup {
    std::vector<std::wstring> folders;
    std::vector<std::wstring> files;
    ~Cleanup() {
      for (const std::wstring& file : files) DeleteFileW(file.c_str());
      for (auto it = folders.rbegin(); it != folders.rend(); ++it) RemoveDirectoryW(it->c_str());
    }
  } cleanup;
  std::vector<std::wstring>& created = cleanup.folders;
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  created.push_back(folder);
  const std::wstring exeName = L"\\copy.exe";
  // Components of at most 100 characters until the path has its length.
  while (folder.size() + 1 + exeName.size() < kDeepPathChars) {
    const size_t room = kDeepPathChars - folder.size() - 1 - exeName.size();
    folder += L"\\" + std::wstring(room < 100 ? room : 100, static_cast<wchar_t>(L'a' + created.size()));
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    created.push_back(folder);
  }
  const std::wstring copy = folder + exeName;
  ASSERT_EQ(copy.size(), kDeepPathChars);
  const std::wstring proof = folder + L"\\deep.ok";
  cleanup.files = {copy, proof};
  DeleteFileW(proof.c_str());
  ASSERT_TRUE(CopyFileW(selfPath.c_str(), copy.c_str(), FALSE));

  std::wstring commandLine = L"copy.exe ";
  commandLine += kDeepTestFilter;
  SetEnvironmentVariableW(kDeepChildVariable, L"1");
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const BOOL started = CreateProcessW(copy.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0,
                                      nullptr, folder.c_str(), &startup, &process);
  SetEnvironmentVariableW(kDeepChildVariable, nullptr);
  ASSERT_TRUE(started) << "error " << GetLastError();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(exitCode, 0u) << "the copy read its own long path whole";
  EXPECT_NE(GetFileAttributesW(proof.c_str()), INVALID_FILE_ATTRIBUTES) << "the copy ran the test";
}

// The logon entry's command keeps within 260 characters against the real
// file system: a program path too long for it gets its short form (which
// names the same file), one of folders whose names are their own short
// form gets no entry; written into a test key, not the user's Run key.
TEST_F(RegistryStoreTest, ALongProgramPathGetsItsShortFormInTheLogonEntryOrNone) {
  constexpr wchar_t kTestRunKey[] = L"Software\\KESTRALYNX\\Shadowpane\\TestRun";
  constexpr wchar_t kPrefix[] = L"\\\\?\\";
  wchar_t temp[MAX_PATH] = {};
  ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
  const struct {
    const wchar_t* folderName;
    std::size_t pathChars;  // at least this long
    bool entry;
  } cases[] = {
      {L"A folder name far too long", 250, true},   // Wine starts a program from such a path
      {L"A folder name far too long", 400, true},   // past MAX_PATH: through the prefix
      {L"ABCDEFGH", 300, false},                    // its short form is itself
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.pathChars) + (c.entry ? " with short names" : " of short names"));
    struct Cleanup {
      std::vector<std::wstring> folders;
      std::wstring file;
      ~Cleanup() {
        if (!file.empty()) DeleteFileW(file.c_str());
        for (auto it = folders.rbegin(); it != folders.rend(); ++it) RemoveDirectoryW(it->c_str());
      }
    } cleanup;
    std::wstring folder = std::wstring(temp) + L"sp-short-" + std::to_wstring(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryW((kPrefix + folder).c_str(), nullptr));
    cleanup.folders.push_back(kPrefix + folder);
    while (folder.size() + 15 < c.pathChars) {
      folder += L"\\" + std::wstring(c.folderName);
      ASSERT_TRUE(CreateDirectoryW((kPrefix + folder).c_str(), nullptr));
      cleanup.folders.push_back(kPrefix + folder);
    }
    const std::wstring exe = folder + L"\\Shadowpane.exe";
    HANDLE file = CreateFileW((kPrefix + exe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    cleanup.file = kPrefix + exe;

    RegistryLocations locations;
    locations.userRunPath = kTestRunKey;
    locations.executablePath = exe;
    RegistryStore store(locations);
    ASSERT_EQ(ApplyRestoreInputsEntry(store, true), 1);
    std::u16string command;
    std::unique_ptr<KeyValueKey> run = OpenRegistryKey(HKEY_CURRENT_USER, kTestRunKey);
    ASSERT_NE(run, nullptr);
    const bool written = run->QueryText(kRestoreInputsValue, &command) == 1;
    run.reset();
    RegDeleteKeyW(HKEY_CURRENT_USER, kTestRunKey);
    EXPECT_EQ(written, c.entry);
    if (!written) continue;
    EXPECT_LE(command.size(), kMaxRunCommandChars);
    const std::u16string tail = u"\" /restore-inputs";
    ASSERT_GT(command.size(), tail.size() + 1);
    ASSERT_EQ(command.substr(command.size() - tail.size()), tail);
    const std::u16string shortPath = command.substr(1, command.size() - tail.size() - 1);
    EXPECT_NE(shortPath.find(u'~'), std::u16string::npos);
    EXPECT_NE(GetFileAttributesW(AsWide(shortPath.c_str())), INVALID_FILE_ATTRIBUTES) << "names the file";
  }
}

}  // namespace
}  // namespace shadowpane
