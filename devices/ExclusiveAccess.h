// Keeping a program that asks for a microphone for itself out of it.
//
// Where a device has no mute of its own, the endpoint's mute is applied by
// the audio engine to shared streams only: a stream in exclusive mode
// reaches the device past it and hears everything. The system refuses an
// exclusive stream while another stream of the endpoint is open, so a hold
// keeps one shared stream of its own open (initialized, never started) for
// as long as it lasts, and checks as another program would whether an
// exclusive stream is still let in.
//
// The hold's stream is a stream of this process: the program leaves its own
// audio sessions out of who uses a device, so it never shows as a user.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "devices/CaptureServices.h"

namespace shadowpane {

// What an exclusive open, tried as another program would, found.
enum class ExclusiveOpen {
  Refused,   // the device is kept (or the user lets no program take it)
  Admitted,  // another program could take the device and hear it
  Unknown,   // the check failed: counted as admitted, never as refused
};

// The formats an exclusive open is tried with, each at the mix format's
// rate and channels, in this order: the mix format itself, then integer
// samples of 16 bits, 24 in 24, 24 in 32 and 32 bits. A device takes in
// exclusive mode only formats it handles itself, and the mix format is
// mostly float, so an open refused for its format alone tells nothing.
struct ExclusiveTryFormat {
  std::uint16_t bitsPerSample;
  std::uint16_t validBits;
};
constexpr ExclusiveTryFormat kExclusiveTryFormats[] = {{16, 16}, {24, 24}, {32, 24}, {32, 32}};

// One shared stream on the hold's endpoint. Releases its client when it
// ends; answers whether it was opened.
class SharedStreamHold {
 public:
  // Activates a client on the endpoint and initializes it in shared mode
  // with the mix format. A negative COM result when a step was refused
  // (nothing is held then).
  HResult Start(AudioEndpoint& endpoint);
  void Release() { client_.reset(); }
  bool Holding() const { return client_ != nullptr; }

 private:
  std::unique_ptr<AudioClient> client_;
};

// Tries an exclusive stream on the endpoint through an enumerator, device
// and client of its own, and releases it at once when admitted.
ExclusiveOpen TryExclusiveOpen(CaptureServices& services, const std::u16string& endpointId);

}  // namespace shadowpane
