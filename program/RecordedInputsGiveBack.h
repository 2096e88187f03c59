// What /restore-inputs does once it may act: gives back every endpoint on
// the user's record that no copy of the program holds, and removes the
// logon entry once the record is empty. An endpoint another copy holds
// stays on the record as that copy's entry, and the entry stays with it.
#pragma once

#include <cstddef>

#include "devices/CaptureServices.h"
#include "devices/EndpointHolders.h"
#include "devices/MutedEndpoints.h"
#include "settings/KeyValueStore.h"

namespace shadowpane {

// Answers how many recorded endpoints this run could not give back (those
// left to another copy's hold are not counted: they are held muted).
std::size_t GiveBackRecordedInputs(KeyValueStore& store, MutedEndpointsLock* lock, CaptureServices& services,
                                   EndpointHolders* holders);

}  // namespace shadowpane
