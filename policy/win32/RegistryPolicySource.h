// The policy keys in the registry: HKLM and HKCU at kPolicyKeyPath, opened
// for queries only at every read (never created, never written), so a
// policy pushed while the program runs is seen at the next read and a key
// that appears or goes away needs nothing kept open.
#pragma once

#include <windows.h>

#include "policy/PolicyValues.h"

namespace shadowpane {

// Where the two keys are; tests point them elsewhere.
struct PolicyLocations {
  HKEY machineRoot = HKEY_LOCAL_MACHINE;
  HKEY userRoot = HKEY_CURRENT_USER;
};

class RegistryPolicySource : public PolicySource {
 public:
  explicit RegistryPolicySource(PolicyLocations locations = PolicyLocations()) : locations_(locations) {}
  StoredValue Query(PolicyScope scope, const WideChar* name) override;

 private:
  PolicyLocations locations_;
};

}  // namespace shadowpane
