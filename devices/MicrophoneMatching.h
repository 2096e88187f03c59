// Which listed microphone each audio input reported by a refresh is.
//
// The system numbers wave inputs from 0 without gaps, so a number moves
// whenever an input before it comes or goes, and a name can be shared by
// several inputs of one model. Matching by name and number alone could then
// give a blocked microphone's object to another input and leave the blocked
// one live. So:
// - Inputs whose device interface (a text that stays with the device) is
//   known and unique are matched by it alone.
// - The rest are matched by name. A name shared by one listed and one
//   reported input pairs them. Equally many listed and reported inputs of a
//   name keep their order: the system closes gaps without reordering.
// - When the counts differ (an input of that name came or went), nothing
//   tells which object is which device. Then every pair is bound afresh to
//   the device now reported, and when any listed input of the name was held,
//   every input of the name is held afterwards: in doubt, silence.
// - The same doubt holds for twins of which one is held when their numbers
//   moved, or when the set of inputs changed at all: numbers are handed out
//   afresh then, and equal counts of a name prove nothing about its order.
//   So it does when one of them was blocked on an older list than the
//   hardware: which twin its worker opened is unknown.
// Pure logic: no devices, no platform; discovery applies the answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace shadowpane {

// A microphone listed when the refresh began.
struct ListedMicrophone {
  std::u16string name;            // friendly name
  std::uint32_t waveInId = 0;     // the number its worker opens
  std::u16string deviceInterface; // empty when unknown
  bool held = false;              // blocked, or a worker starting or holding
  // Held by a worker started on a list older than the hardware: it opened
  // whatever its number meant by then.
  bool heldOnOlderList = false;
};

// An audio input the system reports now, in the system's order.
struct ReportedMicrophone {
  std::u16string name;
  std::optional<std::int32_t> waveInId;
  std::u16string deviceInterface;  // empty when unknown
};

struct MicrophoneMatch {
  // Index of the listed microphone this input is, or -1 for a new object.
  int listed = -1;
  // In doubt: the object takes this input's filters and number afresh.
  bool rebind = false;
  // In doubt: keep the input silenced (block it, or a new object too).
  bool hold = false;
};

struct MicrophoneMatching {
  // One per reported input, in the same order.
  std::vector<MicrophoneMatch> reported;
  // Listed microphones whose workers must stop before any object is bound
  // afresh, so that no worker holds one input while another takes it over.
  std::vector<int> stopFirst;
};

// Whether the inputs differ from those the list was built from: a name and
// number listed that is no longer reported, or another count.
bool AudioInputsChanged(const std::vector<ListedMicrophone>& listed,
                        const std::vector<ReportedMicrophone>& reported);

MicrophoneMatching MatchMicrophones(const std::vector<ListedMicrophone>& listed,
                                    const std::vector<ReportedMicrophone>& reported);

// The same doubt at start-up. Profile.db keys a microphone by its number
// and name, so when inputs of one name are renumbered between runs a record
// can land on its twin. Where inputs of a name share it (now or in the
// records) and the numbers saved for that name are not the numbers present,
// and any of those records was blocked, every present input of the name is
// held. Records are keyed as MicrophonePath.h writes them.
struct PresentMicrophone {
  std::u16string name;
  std::optional<std::int32_t> waveInId;
};
// One answer per present microphone: hold it.
std::vector<bool> HoldForSavedTwins(const std::vector<PresentMicrophone>& present,
                                    const std::vector<std::pair<std::u16string, bool>>& records);

}  // namespace shadowpane
