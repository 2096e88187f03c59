#include "program/SettingsMutedEndpointStore.h"

#include "settings/Settings.h"

namespace shadowpane {

static_assert(kMaxMutedEndpointsTextChars <= kMaxStoredTextChars,
              "the longest record must be read back");

std::u16string SettingsMutedEndpointStore::Read() {
  std::u16string text;
  std::unique_ptr<KeyValueKey> key = store_.OpenSettingsKey();
  if (key == nullptr || key->QueryText(kMutedEndpointsValue, &text) != 1) return std::u16string();
  return text;
}

bool SettingsMutedEndpointStore::Write(const std::u16string& text) {
  if (text.empty()) {
    std::unique_ptr<KeyValueKey> key = store_.OpenSettingsKey();
    const bool removed = key != nullptr && key->Delete(kMutedEndpointsValue) == 1;
    // A leftover entry would only find nothing to give back; one removed
    // while the value stays would leave a muted input behind.
    if (removed) ApplyRestoreInputsEntry(store_, false);
    return removed;
  }
  if (ApplyRestoreInputsEntry(store_, true) != 1) return false;
  std::unique_ptr<KeyValueKey> key = store_.OpenSettingsKey();
  return key != nullptr && key->SetText(kMutedEndpointsValue, text) == 1;
}

bool SettleRestoreInputsEntry(KeyValueStore& store) {
  RemoveOldRestoreInputsEntry(store);
  ApplyRestoreInputsEntry(store, !SettingsMutedEndpointStore(store).Read().empty());
  return !RestoreInputsCommandOf(store).empty();
}

}  // namespace shadowpane
