// RefreshDevices: brings the device list in line with the capture devices
// the system reports, by mark and sweep, refills the main window's lists,
// applies the saved profile or the block settings and saves the profile.
// User-interface thread only.
#pragma once

#include "devices/CaptureServices.h"
#include "devices/DeviceList.h"
#include "devices/DevicePoster.h"
#include "devices/DiscoveryTarget.h"
#include "devices/EndpointHolders.h"
#include "devices/MutedEndpoints.h"

namespace shadowpane {

// The two block settings as the caller reads them at the moment of the
// refresh: 1 on, 0 off.
struct BlockSettings {
  int blockStart = 0;      // block every device at start
  int blockPluggedIn = 0;  // block devices when plugged in
};

// What a refresh works with; all of it outlives the call. Devices it
// creates keep the poster and services for their whole life.
struct DiscoveryContext {
  DeviceList& list;
  CaptureServices& services;
  DevicePoster& poster;
  DiscoveryTarget& target;
  BlockSettings block;
  // The endpoints muted and not yet given back; none: not recorded.
  MutedEndpoints* mutedEndpoints = nullptr;
  // The other copies of the program that hold endpoints; none: alone.
  EndpointHolders* endpointHolders = nullptr;
};

// initial = 1 at start-up: no plugged-in notices; the profile in Profile.db
// is applied, or every device is blocked when blockStart is on.
// initial = 0 afterwards: new devices are announced, and blocked when
// blockPluggedIn is on.
// Either way, once the blocks are taken, every recorded endpoint that no
// block holds now is given back. Answers 0.
int RefreshDevices(DiscoveryContext& context, int initial);

}  // namespace shadowpane
