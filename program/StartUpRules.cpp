#include "program/StartUpRules.h"

namespace shadowpane {
namespace {

// A process entry's file name holds at most MAX_PATH units.
constexpr int kProcessNameUnits = 260;

}  // namespace

WideString ExecutableFolder(const WideString& executablePath) {
  const std::size_t slash = executablePath.find_last_of(u"\\/");
  if (slash == WideString::npos) return WideString();
  return executablePath.substr(0, slash + 1);
}

int TakeFirstRun(KeyValueKey* firstRunKey) {
  if (firstRunKey == nullptr) return 0;
  const StoredValue seen = firstRunKey->Query(kFirstRunValue);
  if (seen.type == StoredType::Dword && seen.number != 0) return 0;
  firstRunKey->SetDword(kFirstRunValue, 1);
  return 1;
}

bool EndsOnRestart(const WideChar* processFileName, std::uint32_t processId, std::uint32_t ownProcessId) {
  return processId != ownProcessId && SameBounded(processFileName, kExecutableName, kProcessNameUnits);
}

}  // namespace shadowpane
