// The microphones' side of a refresh: the audio inputs read are matched to
// the listed microphones as a whole category (MicrophoneMatching), then each
// is followed, bound afresh or created; at start-up, the twins whose saved
// records cannot be told apart are found. User-interface thread only.
#pragma once

#include <vector>

#include "devices/DiscoveredInput.h"
#include "devices/Discovery.h"

namespace shadowpane {

// Answers the new microphones that must be held once their input has been
// restored. Releases every input's moniker.
std::vector<SPDEV*> MeetMicrophones(DiscoveryContext& context, int initial,
                                    std::vector<AudioInput>& inputs);

// Microphones whose saved records cannot be told from their twins' and
// include a blocked one (HoldForSavedTwins).
std::vector<SPDEV*> SavedTwinsToHold(const DeviceList& list, const std::vector<ProfileRecord>& records);

}  // namespace shadowpane
