// The policy keys in the registry: HKLM and HKCU at kPolicyKeyPath, opened
// for queries only at every read (never created, never written), so a
// policy pushed while the program runs is seen at the next read and a key
// that appears or goes away needs nothing kept open.
#pragma once

#include "policy/PolicyValues.h"

namespace shadowpane {

class RegistryPolicySource : public PolicySource {
 public:
  StoredValue Query(PolicyScope scope, const WideChar* name) override;
};

}  // namespace shadowpane
