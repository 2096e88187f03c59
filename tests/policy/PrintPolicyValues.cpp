// Prints the program's policy key and values, one per line, so the
// template check compares the templates with the table the program reads:
//   key <path>
//   value <name> <minimum> <maximum>
#include <cstdio>
#include <string>

#include "policy/PolicyValues.h"

namespace {

// The key path and value names are ASCII.
std::string Narrow(const shadowpane::WideChar* text) {
  std::string narrow;
  for (; *text != 0; ++text) narrow.push_back(static_cast<char>(*text));
  return narrow;
}

}  // namespace

int main() {
  std::printf("key %s\n", Narrow(shadowpane::kPolicyKeyPath).c_str());
  for (const shadowpane::PolicyValueInfo& info : shadowpane::kPolicyValues) {
    std::printf("value %s %u %u\n", Narrow(info.name).c_str(), static_cast<unsigned>(info.minimum),
                static_cast<unsigned>(info.maximum));
  }
  return 0;
}
