#include "program/win32/SettingsMutedEndpointStore.h"

namespace shadowpane {

namespace {
constexpr WideChar kMutedEndpointsValue[] = u"MutedEndpoints";
static_assert(kMaxMutedEndpointsTextChars <= kMaxStoredTextChars,
              "the longest record must be read back");
}  // namespace

std::u16string SettingsMutedEndpointStore::Read() {
  std::u16string text;
  std::unique_ptr<KeyValueKey> key = store_.OpenSettingsKey();
  if (key == nullptr || key->QueryText(kMutedEndpointsValue, &text) != 1) return std::u16string();
  return text;
}

bool SettingsMutedEndpointStore::Write(const std::u16string& text) {
  std::unique_ptr<KeyValueKey> key = store_.OpenSettingsKey();
  if (key == nullptr) return false;
  if (text.empty()) return key->Delete(kMutedEndpointsValue) == 1;
  return key->SetText(kMutedEndpointsValue, text) == 1;
}

}  // namespace shadowpane
