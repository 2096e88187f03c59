// The two policy keys in memory: what each scope holds by value name; a
// name not held answers Missing, as a key without it does.
#pragma once

#include <map>
#include <string>

#include "policy/PolicyValues.h"

namespace shadowpane::testing {

class MemoryPolicySource : public PolicySource {
 public:
  StoredValue Query(PolicyScope scope, const WideChar* name) override {
    const auto& key = scope == PolicyScope::Machine ? machine : user;
    const auto it = key.find(name);
    return it == key.end() ? StoredValue{} : it->second;
  }
  std::map<std::u16string, StoredValue> machine;
  std::map<std::u16string, StoredValue> user;
};

constexpr StoredValue PolicyDword(std::uint32_t number) { return StoredValue{StoredType::Dword, number}; }

}  // namespace shadowpane::testing
