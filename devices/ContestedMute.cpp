#include "devices/ContestedMute.h"

namespace shadowpane {

void ContestedMute::NoteUnmute(std::uint32_t nowMs, bool answered) {
  lastUnmute_ = nowMs;
  if (!answered) contested_ = true;
}

bool ContestedMute::Contested(std::uint32_t nowMs) {
  // Unsigned differences stay right across the clock's wrap.
  if (contested_ && nowMs - lastUnmute_ >= kContestQuietMs) contested_ = false;
  return contested_;
}

}  // namespace shadowpane
