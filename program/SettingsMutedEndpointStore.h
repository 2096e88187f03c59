// The record of muted audio endpoints, kept as one text value in the
// program's settings key, where it survives whatever ends the program; and
// while it lists any endpoint, the entry in the user's Run key that gives
// them back at the next logon, should no copy of the program be there to
// do it.
#pragma once

#include "settings/KeyValueStore.h"
#include "devices/MutedEndpoints.h"

namespace shadowpane {

// The record's value name in the settings key.
constexpr WideChar kMutedEndpointsValue[] = u"MutedEndpoints";

class SettingsMutedEndpointStore : public MutedEndpointStore {
 public:
  // The store must outlive this object.
  explicit SettingsMutedEndpointStore(KeyValueStore& store) : store_(store) {}
  std::u16string Read() override;
  // A record that lists endpoints is written only once the logon entry is
  // in place (where its command fits; an entry in place is not written
  // again), so no endpoint is recorded muted without it; false when either
  // failed (nothing of the record is written then). An empty record
  // removes the value, then the entry; true when the value is gone.
  bool Write(const std::u16string& text) override;

 private:
  KeyValueStore& store_;
};

// At start, under the lock /restore-inputs takes: removes the entry earlier
// versions kept in the RunOnce key and puts the logon entry where a record
// left from before lists endpoints (an upgrade, an entry removed by hand),
// once; nothing later re-creates it. Answers whether the entry's command
// fits a Run entry at all (start-up logs it when not).
bool SettleRestoreInputsEntry(KeyValueStore& store);

}  // namespace shadowpane
