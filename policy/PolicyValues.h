// The values an organisation can set under the policy keys, and the narrow
// interface the policy rules read them through. Group Policy and device
// management write these keys; the program only reads them, so the
// administrative templates beside this file (Shadowpane.admx and its .adml
// files) must describe exactly this table.
#pragma once

#include <cstdint>

#include "settings/KeyValueStore.h"
#include "core/Text.h"

namespace shadowpane {

// The same path under HKLM and HKCU; the machine's value wins.
constexpr WideChar kPolicyKeyPath[] = u"Software\\Policies\\KESTRALYNX\\Shadowpane";

enum class PolicyScope { Machine, User };

// One entry per policy value, in the order of kPolicyValues.
enum class PolicyId {
  BlockStart,
  BlockPluggedIn,
  Startup,
  Language,
  AllowUnblock,
  AllowExit,
  ShowFirstRunPage,
  NotifyAttempts,
  BlockWhileLocked,
  BlockAfterIdleMinutes,
  ShowIndicator,
};

// A policy value no organisation can use to weaken protection: none.
constexpr std::int32_t kNoUserChoiceValue = -1;

struct PolicyValueInfo {
  PolicyId id;
  const WideChar* name;  // REG_DWORD value name under kPolicyKeyPath
  std::uint32_t minimum;
  std::uint32_t maximum;
  // The value that leaves the user's own choice in place rather than
  // forcing it: a permission's 1 (allowed is the program's own behaviour);
  // kNoUserChoiceValue for settings, which a policy forces either way.
  std::int32_t userChoiceValue;
  const char* meaning;  // for the listing the template check compares
};

constexpr int kPolicyValueCount = 11;
extern const PolicyValueInfo kPolicyValues[kPolicyValueCount];

// The table entry of an id (every id has one).
const PolicyValueInfo& PolicyValue(PolicyId id);

// Reads the two policy keys. The Windows side is the registry; a key that
// does not exist answers Missing for every name.
class PolicySource {
 public:
  virtual ~PolicySource() = default;
  virtual StoredValue Query(PolicyScope scope, const WideChar* name) = 0;
};

}  // namespace shadowpane
