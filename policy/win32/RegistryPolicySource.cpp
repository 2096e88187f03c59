#include "policy/win32/RegistryPolicySource.h"

#include <windows.h>

#include "core/win32/TextCast.h"
#include "settings/win32/RegistryStore.h"

namespace shadowpane {

StoredValue RegistryPolicySource::Query(PolicyScope scope, const WideChar* name) {
  // Group Policy and device management write the 64-bit view. This 32-bit
  // program is redirected to WOW6432Node for most of HKLM\Software, but
  // Software\Policies is shared between the views since Windows 7, so both
  // read the same key; KEY_WOW64_64KEY names that view all the same, so the
  // read does not hang on the shared-key list (it changes nothing on a
  // shared key, and 32-bit Windows has one view only).
  const HKEY root = scope == PolicyScope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
  std::unique_ptr<KeyValueKey> key = OpenRegistryKeyToRead(root, AsWide(kPolicyKeyPath), KEY_WOW64_64KEY);
  if (!key) return StoredValue{};
  return key->Query(name);
}

}  // namespace shadowpane
