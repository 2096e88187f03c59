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

// The device-interface text the wave-input driver answers for a number:
// its size in bytes first, then the text. A size that is empty, odd or
// beyond kMaxWaveInterfaceBytes, or a text without terminator, is refused.
constexpr unsigned long kMaxWaveInterfaceBytes = 4096;
MmResult QueryWin32WaveInputInterface(std::uint32_t waveInId, std::u16string* deviceInterface);
// The audio endpoint id it answers for a number, under the same rules.
MmResult QueryWin32WaveInputEndpointId(std::uint32_t waveInId, std::u16string* endpointId);

}  // namespace shadowpane
