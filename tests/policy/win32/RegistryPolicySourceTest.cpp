// The policy keys in the real registry of the test prefix: what each scope
// answers, that reading never creates a key, and the rules over them.
#include "policy/win32/RegistryPolicySource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "core/win32/TextCast.h"
#include "policy/PolicyRules.h"

namespace shadowpane {
namespace {

constexpr wchar_t kCompanyPolicyKey[] = L"Software\\Policies\\KESTRALYNX";

class RegistryPolicySourceTest : public ::testing::Test {
 protected:
  void SetUp() override { RemoveKeys(); }
  void TearDown() override { RemoveKeys(); }
  static void RemoveKeys() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      RegDeleteKeyW(root, AsWide(kPolicyKeyPath));
      RegDeleteKeyW(root, kCompanyPolicyKey);
    }
  }
  static void Set(HKEY root, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, AsWide(kPolicyKeyPath), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }
  static void SetDword(HKEY root, const wchar_t* name, DWORD value) {
    Set(root, name, REG_DWORD, &value, sizeof value);
  }
  static bool KeyExists(HKEY root) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, AsWide(kPolicyKeyPath), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }
  RegistryPolicySource source;
};

TEST_F(RegistryPolicySourceTest, MissingKeysAnswerMissingAndAreNotCreated) {
  for (PolicyScope scope : {PolicyScope::Machine, PolicyScope::User}) {
    EXPECT_EQ(source.Query(scope, u"BlockStart").type, StoredType::Missing);
  }
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER));
  EXPECT_EQ(ReadEnforcedPolicy(source), EnforcedPolicy{});
}

TEST_F(RegistryPolicySourceTest, EachScopeReadsItsOwnKeyAndOnlyANumberCounts) {
  SetDword(HKEY_LOCAL_MACHINE, L"BlockStart", 1);
  SetDword(HKEY_CURRENT_USER, L"BlockStart", 0);
  SetDword(HKEY_CURRENT_USER, L"AllowUnblock", 0);
  const wchar_t text[] = L"2";
  Set(HKEY_CURRENT_USER, L"Language", REG_SZ, text, sizeof text);

  const StoredValue machine = source.Query(PolicyScope::Machine, u"BlockStart");
  EXPECT_EQ(machine.type, StoredType::Dword);
  EXPECT_EQ(machine.number, 1u);
  EXPECT_EQ(source.Query(PolicyScope::User, u"BlockStart").number, 0u);
  EXPECT_EQ(source.Query(PolicyScope::User, u"Language").type, StoredType::Other);
  EXPECT_EQ(source.Query(PolicyScope::Machine, u"AllowUnblock").type, StoredType::Missing);

  const EnforcedPolicy policy = ReadEnforcedPolicy(source);
  EXPECT_TRUE(policy.blockStart == (ForcedSetting{true, 1})) << "the machine's value wins";
  EXPECT_FALSE(policy.language.forced) << "a text is not a policy value";
  EXPECT_FALSE(policy.allowUnblock);
}

}  // namespace
}  // namespace shadowpane
