// The key a microphone is saved under in Profile.db: its wave-in number in
// decimal, a blank and at most kMicrophonePathNameChars characters of its
// friendly name. Discovery writes it; the start-up check for renumbered twins
// reads it back, so both take the form and its limit from here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/Text.h"

namespace shadowpane {

constexpr size_t kMicrophonePathNameChars = 200;

std::u16string MicrophonePath(std::int32_t waveInId, const WideChar* friendlyName);

// The part of a friendly name that a path keeps.
std::u16string MicrophonePathName(const std::u16string& friendlyName);

// Splits "<number> <name>"; false for a path of another form (a camera's).
bool ParseMicrophonePath(const std::u16string& path, std::int64_t* number, std::u16string* name);

}  // namespace shadowpane
