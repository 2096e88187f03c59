// Whether another program contests a held endpoint's mute: it unmutes
// faster than the immediate re-mutes may answer (more than
// kMaxImmediateRemutesPerSecond in a second). Past that budget only the
// periodic re-application answers, and the endpoint is heard for most of
// each period, so the hold must not show as silent.
#pragma once

#include <cstdint>

namespace shadowpane {

// A contest ends after this long without another program's unmute.
constexpr std::uint32_t kContestQuietMs = 1000;

class ContestedMute {
 public:
  // Another program's unmute at nowMs; `answered`: the budget allowed an
  // immediate re-mute. One it did not allow starts a contest.
  void NoteUnmute(std::uint32_t nowMs, bool answered);
  // Whether the mute is contested at nowMs: from the first unmute past the
  // budget until a full kContestQuietMs without any.
  bool Contested(std::uint32_t nowMs);

 private:
  bool contested_ = false;
  std::uint32_t lastUnmute_ = 0;
};

}  // namespace shadowpane
