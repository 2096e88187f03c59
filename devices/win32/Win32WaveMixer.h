// Wave input held open and the mixer that serves it, as the capture
// services hand them out.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include "devices/CaptureServices.h"

namespace shadowpane {

// waveInOpen(id, format, no callback, CALLBACK_NULL). The device is only
// held: no buffer is added, recording never starts.
MmResult OpenWin32WaveInput(std::uint32_t waveInId, const WaveFormat& format,
                            std::unique_ptr<WaveInput>* input);

// mixerOpen on the wave-in handle with MIXER_OBJECTF_HWAVEIN. Some mixer
// drivers (Wine's among them) take every number given to mixerOpen as a
// mixer index and refuse the handle; then the mixer's id is asked for with
// mixerGetID on the handle and the mixer opened by that id, which finds the
// same mixer wherever both calls work.
MmResult OpenWin32WaveInputMixer(WaveInput& input, std::unique_ptr<Mixer>* mixer);

}  // namespace shadowpane
