#include "devices/MicrophoneMatching.h"

#include <algorithm>
#include <limits>
#include <map>
#include <set>

#include "devices/MicrophonePath.h"

namespace shadowpane {

namespace {

// Interfaces that occur once on their side; one shared by two inputs (a
// driver answering for a number that is not its own) identifies nothing.
template <typename Entry>
std::map<std::u16string, int> UniqueInterfaces(const std::vector<Entry>& entries) {
  std::map<std::u16string, int> count;
  for (const Entry& entry : entries) {
    if (!entry.deviceInterface.empty()) ++count[entry.deviceInterface];
  }
  std::map<std::u16string, int> index;
  for (size_t i = 0; i < entries.size(); ++i) {
    const std::u16string& key = entries[i].deviceInterface;
    if (!key.empty() && count[key] == 1) index[key] = static_cast<int>(i);
  }
  return index;
}

std::int64_t ReportedOrderKey(const ReportedMicrophone& input) {
  // Inputs without a number go last, in the system's order.
  return input.waveInId ? *input.waveInId : std::numeric_limits<std::int64_t>::max();
}

class Matcher {
 public:
  Matcher(const std::vector<ListedMicrophone>& listed,
          const std::vector<ReportedMicrophone>& reported)
      : listed_(listed),
        reported_(reported),
        inputsChanged_(AudioInputsChanged(listed, reported)),
        listedTaken_(listed.size(), false) {
    result_.reported.resize(reported.size());
  }

  MicrophoneMatching Run() {
    MatchByInterface();
    MatchByName();
    return result_;
  }

 private:
  void Pair(int listed, int reported) {
    listedTaken_[static_cast<size_t>(listed)] = true;
    result_.reported[static_cast<size_t>(reported)].listed = listed;
  }

  bool Identified(int reported) const {
    return reportedInterfaces_.count(reported_[static_cast<size_t>(reported)].deviceInterface) != 0;
  }
  bool ListedIdentified(int listed) const {
    return listedInterfaces_.count(listed_[static_cast<size_t>(listed)].deviceInterface) != 0;
  }

  void MatchByInterface() {
    reportedInterfaces_ = UniqueInterfaces(reported_);
    listedInterfaces_ = UniqueInterfaces(listed_);
    for (const auto& [key, reported] : reportedInterfaces_) {
      auto found = listedInterfaces_.find(key);
      if (found != listedInterfaces_.end()) Pair(found->second, reported);
    }
  }

  void MatchByName() {
    // Per name, the inputs and objects not matched yet, in their orders.
    std::map<std::u16string, std::vector<int>> reportedByName;
    for (size_t i = 0; i < reported_.size(); ++i) {
      // A nameless input never matches: it is a new object at every refresh.
      if (result_.reported[i].listed < 0 && !reported_[i].name.empty()) {
        reportedByName[reported_[i].name].push_back(static_cast<int>(i));
      }
    }
    std::map<std::u16string, std::vector<int>> listedByName;
    for (size_t i = 0; i < listed_.size(); ++i) {
      if (!listedTaken_[i] && !listed_[i].name.empty()) {
        listedByName[listed_[i].name].push_back(static_cast<int>(i));
      }
    }
    for (auto& [name, reported] : reportedByName) {
      auto found = listedByName.find(name);
      if (found != listedByName.end()) MatchGroup(found->second, reported);
    }
  }

  // One name's unmatched listed objects and reported inputs.
  void MatchGroup(std::vector<int>& listed, std::vector<int>& reported) {
    // Known interfaces on both sides that did not meet: the listed inputs
    // went away and the reported ones are new.
    const bool allIdentified =
        std::all_of(listed.begin(), listed.end(), [&](int i) { return ListedIdentified(i); }) &&
        std::all_of(reported.begin(), reported.end(), [&](int i) { return Identified(i); });
    if (allIdentified) return;

    std::stable_sort(listed.begin(), listed.end(), [&](int a, int b) {
      return listed_[static_cast<size_t>(a)].waveInId < listed_[static_cast<size_t>(b)].waveInId;
    });
    std::stable_sort(reported.begin(), reported.end(), [&](int a, int b) {
      return ReportedOrderKey(reported_[static_cast<size_t>(a)]) <
             ReportedOrderKey(reported_[static_cast<size_t>(b)]);
    });

    if (listed.size() == reported.size() && !TwinsMovedWhileHeld(listed, reported)) {
      // Nothing of this name came or went: the order tells them apart.
      for (size_t i = 0; i < listed.size(); ++i) Pair(listed[i], reported[i]);
      return;
    }
    MatchInDoubt(listed, reported);
  }

  // Twins whose numbers moved may have been reordered too (the system may
  // renumber its inputs, not only close gaps), and when any input came or
  // went their numbers may have been handed out afresh even where they look
  // the same; so while one of them is held their order proves nothing.
  bool TwinsMovedWhileHeld(const std::vector<int>& listed, const std::vector<int>& reported) const {
    if (listed.size() < 2) return false;
    const bool heldOnOlderList = std::any_of(listed.begin(), listed.end(), [&](int i) {
      return listed_[static_cast<size_t>(i)].heldOnOlderList;
    });
    if (inputsChanged_ || heldOnOlderList) {
      return std::any_of(listed.begin(), listed.end(),
                         [&](int i) { return listed_[static_cast<size_t>(i)].held; });
    }
    bool moved = false;
    bool held = false;
    for (size_t i = 0; i < listed.size(); ++i) {
      const ListedMicrophone& was = listed_[static_cast<size_t>(listed[i])];
      const auto& number = reported_[static_cast<size_t>(reported[i])].waveInId;
      moved = moved || !number || static_cast<std::uint32_t>(*number) != was.waveInId;
      held = held || was.held;
    }
    return moved && held;
  }

  void MatchInDoubt(const std::vector<int>& listed, const std::vector<int>& reported) {
    bool hold = false;
    for (int i : listed) hold = hold || listed_[static_cast<size_t>(i)].held;
    std::vector<bool> reportedTaken(reported.size(), false);
    std::vector<bool> listedPaired(listed.size(), false);
    // Objects keep the number they had where it is still reported, so the
    // list looks as before; then the rest in order.
    for (size_t l = 0; l < listed.size(); ++l) {
      for (size_t r = 0; r < reported.size(); ++r) {
        const auto& number = reported_[static_cast<size_t>(reported[r])].waveInId;
        if (!reportedTaken[r] && number &&
            static_cast<std::uint32_t>(*number) == listed_[static_cast<size_t>(listed[l])].waveInId) {
          Pair(listed[l], reported[r]);
          reportedTaken[r] = listedPaired[l] = true;
          break;
        }
      }
    }
    size_t r = 0;
    for (size_t l = 0; l < listed.size(); ++l) {
      if (listedPaired[l]) continue;
      while (r < reported.size() && reportedTaken[r]) ++r;
      if (r == reported.size()) break;
      Pair(listed[l], reported[r]);
      reportedTaken[r] = listedPaired[l] = true;
    }
    for (int i : reported) {
      MicrophoneMatch& match = result_.reported[static_cast<size_t>(i)];
      match.rebind = match.listed >= 0;
      match.hold = hold;
    }
    if (hold) {
      for (int i : listed) {
        if (listed_[static_cast<size_t>(i)].held) result_.stopFirst.push_back(i);
      }
    }
  }

  const std::vector<ListedMicrophone>& listed_;
  const std::vector<ReportedMicrophone>& reported_;
  const bool inputsChanged_;
  std::vector<bool> listedTaken_;
  std::map<std::u16string, int> reportedInterfaces_;
  std::map<std::u16string, int> listedInterfaces_;
  MicrophoneMatching result_;
};

}  // namespace

bool AudioInputsChanged(const std::vector<ListedMicrophone>& listed,
                        const std::vector<ReportedMicrophone>& reported) {
  if (listed.size() != reported.size()) return true;
  for (const ListedMicrophone& was : listed) {
    const bool stillThere =
        std::any_of(reported.begin(), reported.end(), [&](const ReportedMicrophone& now) {
          return now.name == was.name && now.waveInId &&
                 static_cast<std::uint32_t>(*now.waveInId) == was.waveInId;
        });
    if (!stillThere) return true;
  }
  return false;
}

MicrophoneMatching MatchMicrophones(const std::vector<ListedMicrophone>& listed,
                                    const std::vector<ReportedMicrophone>& reported) {
  return Matcher(listed, reported).Run();
}

std::vector<bool> HoldForSavedTwins(const std::vector<PresentMicrophone>& present,
                                    const std::vector<std::pair<std::u16string, bool>>& records) {
  struct Saved {
    std::set<std::int64_t> numbers;
    bool anyBlocked = false;
  };
  std::map<std::u16string, Saved> savedByName;
  for (const auto& [path, blocked] : records) {
    std::int64_t number = 0;
    std::u16string name;
    if (!ParseMicrophonePath(path, &number, &name)) continue;
    Saved& saved = savedByName[name];
    saved.numbers.insert(number);
    saved.anyBlocked = saved.anyBlocked || blocked;
  }
  std::map<std::u16string, std::vector<size_t>> presentByName;
  for (size_t i = 0; i < present.size(); ++i) {
    presentByName[MicrophonePathName(present[i].name)].push_back(i);
  }
  std::vector<bool> hold(present.size(), false);
  for (const auto& [name, indices] : presentByName) {
    auto found = savedByName.find(name);
    if (found == savedByName.end() || !found->second.anyBlocked) continue;
    const Saved& saved = found->second;
    std::set<std::int64_t> numbers;
    bool allNumbered = true;
    for (size_t i : indices) {
      if (present[i].waveInId) {
        numbers.insert(*present[i].waveInId);
      } else {
        allNumbered = false;
      }
    }
    const bool shared = indices.size() > 1 || saved.numbers.size() > 1;
    if (shared && (!allNumbered || numbers != saved.numbers)) {
      for (size_t i : indices) hold[i] = true;
    }
  }
  return hold;
}

}  // namespace shadowpane
