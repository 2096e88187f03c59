#include "app/win32/SettingsMutedEndpointStore.h"

namespace shadowpane {

namespace {
constexpr WideChar kMutedEndpointsValue[] = u"MutedEndpoints";
}  // namespace

std::u16string SettingsMutedEndpointStore::Read() {
  std::u16string text;
  std::unique_ptr<KeyValueKey> key = store_.OpenSettingsKey();
  if (key == nullptr || key->QueryText(kMutedEndpointsValue, &text) != 1) return std::u16string();
  return text;
}

void SettingsMutedEndpointStore::Write(const std::u16string& text) {
  std::unique_ptr<KeyValueKey> key = store_.OpenSettingsKey();
  if (key == nullptr) return;
  if (text.empty()) {
    key->Delete(kMutedEndpointsValue);
  } else {
    key->SetText(kMutedEndpointsValue, text);
  }
}

}  // namespace shadowpane
