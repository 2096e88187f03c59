#include "program/RecordedInputsGiveBack.h"

#include "devices/DeviceList.h"
#include "devices/EndpointMute.h"
#include "program/SettingsMutedEndpointStore.h"
#include "settings/Settings.h"

namespace shadowpane {

std::size_t GiveBackRecordedInputs(KeyValueStore& store, MutedEndpointsLock* lock, CaptureServices& services,
                                   EndpointHolders* holders) {
  SettingsMutedEndpointStore recordStore(store);
  MutedEndpoints record(recordStore, lock);
  // No device holds anything here, so every recorded endpoint is a stray.
  DeviceList none;
  std::size_t failed = 0;
  ReleaseStrayEndpointMutes(none, services, record, holders, &failed);
  // Run from the entry, the command writes nothing to its key: it only
  // removes the entry, and only once no input is recorded muted.
  if (recordStore.Read().empty()) ApplyRestoreInputsEntry(store, false);
  return failed;
}

}  // namespace shadowpane
