// The record of muted audio endpoints, kept as one text value in the
// program's settings key, where it survives whatever ends the program.
#pragma once

#include "settings/KeyValueStore.h"
#include "devices/MutedEndpoints.h"

namespace shadowpane {

class SettingsMutedEndpointStore : public MutedEndpointStore {
 public:
  // The store must outlive this object.
  explicit SettingsMutedEndpointStore(KeyValueStore& store) : store_(store) {}
  std::u16string Read() override;
  // An empty record removes the value. True when written.
  bool Write(const std::u16string& text) override;

 private:
  KeyValueStore& store_;
};

}  // namespace shadowpane
