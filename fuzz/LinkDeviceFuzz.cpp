// LinkDevice with friendly names of any length and any units, many devices
// of one name, and devices taken out in between. Every linked device gets a
// display name no other device has, of at most 255 characters: the name cut
// to 250 characters when that is free, else "name-n" with the lowest free n
// from 1 up to 9998 (the name shortened so the suffix fits 255 characters);
// with none free the device is refused. The friendly name keeps the name.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <map>
#include <string>
#include <unordered_set>
#include <vector>

#include "devices/DeviceList.h"
#include "fuzz/FuzzCheck.h"
#include "tests/support/RecordingPoster.h"
#include "tests/support/TestDevice.h"

using namespace shadowpane;

namespace {

std::u16string DisplayName(SPDEV* device) {
  WideChar buffer[kNameUnits + 1] = {};
  device->GetDisplayName(buffer, kNameUnits);
  return BoundedString(buffer, kNameUnits + 1);
}

std::u16string FriendlyName(SPDEV* device) {
  WideChar buffer[kNameUnits + 1] = {};
  device->GetFriendlyName(buffer, kNameUnits);
  return BoundedString(buffer, kNameUnits + 1);
}

// The name a device carries into LinkDevice: up to the first 0 unit, at most
// 255 units.
std::u16string StoredName(const std::u16string& given) {
  return given.substr(0, std::min(given.find(u'\0'), std::size_t{kMaxNameChars}));
}

std::u16string Suffixed(const std::u16string& name, int n) {
  const std::string digits = "-" + std::to_string(n);
  return name.substr(0, kMaxNameChars - digits.size()) +
         std::u16string(digits.begin(), digits.end());
}

// The names taken, kept as hashes: a walk through many suffixes of a long
// name then compares numbers, not 250 characters each.
class TakenNames {
 public:
  bool Has(const std::u16string& name) const { return hashes_.count(Hash(name)) != 0; }
  void Add(const std::u16string& name) { FUZZ_CHECK(hashes_.insert(Hash(name)).second); }
  void Remove(const std::u16string& name) { hashes_.erase(Hash(name)); }

 private:
  static std::size_t Hash(const std::u16string& name) { return std::hash<std::u16string>()(name); }
  std::unordered_set<std::size_t> hashes_;
};

// The expected display name, or empty with refused set.
std::u16string ExpectedName(const std::u16string& name, const TakenNames& taken, bool& refused) {
  refused = false;
  const std::u16string base = name.substr(0, kDisplayNameBaseChars);
  if (!taken.Has(base)) return base;
  for (int n = 1; n <= kMaxDisplayNameSuffix; ++n) {
    const std::u16string candidate = Suffixed(name, n);
    if (!taken.Has(candidate)) return candidate;
  }
  refused = true;
  return std::u16string();
}

std::u16string AnyName(FuzzedDataProvider& input) {
  std::u16string name;
  switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0: {  // a short name from few letters, so names meet often
      const std::size_t length = input.ConsumeIntegralInRange(0, 4);
      for (std::size_t i = 0; i < length; ++i) {
        name.push_back(static_cast<char16_t>(u"A-1\0"[input.ConsumeIntegralInRange(0, 3)]));
      }
      break;
    }
    case 1: {  // long: around the 250- and 255-character limits
      const std::size_t length = input.ConsumeIntegralInRange(245, 300);
      name.assign(length, static_cast<char16_t>(u'a' + input.ConsumeIntegralInRange(0, 1)));
      if (input.ConsumeBool() && !name.empty()) {
        name[input.ConsumeIntegralInRange<std::size_t>(0, name.size() - 1)] = u'-';
      }
      break;
    }
    default: {  // any units at all
      const std::size_t length = input.ConsumeIntegralInRange(0, 40);
      for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        name.push_back(static_cast<char16_t>(input.ConsumeIntegral<std::uint16_t>()));
      }
    }
  }
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  testing::RecordingPoster poster;
  DeviceList list;
  std::map<SPDEV*, std::u16string> expected;  // display name of every linked device
  TakenNames taken;
  std::vector<std::u16string> names;
  int links = 0;

  while (input.remaining_bytes() > 0 && links < 32) {
    if (!expected.empty() && input.ConsumeIntegralInRange(0, 3) == 0) {
      // Take some device out; its name is free again.
      auto victim = expected.begin();
      std::advance(victim, input.ConsumeIntegralInRange<std::size_t>(0, expected.size() - 1));
      taken.Remove(victim->second);
      list.DestroyDevice(victim->first);
      expected.erase(victim);
      continue;
    }
    if (names.empty() || input.ConsumeBool()) names.push_back(AnyName(input));
    const std::u16string& given =
        names[input.ConsumeIntegralInRange<std::size_t>(0, names.size() - 1)];
    const std::u16string name = StoredName(given);
    const int repeats = input.ConsumeBool() ? 1 : input.ConsumeIntegralInRange(2, 16);
    for (int i = 0; i < repeats; ++i, ++links) {
      bool refused = false;
      const std::u16string wanted = ExpectedName(name, taken, refused);
      SPDEV* device = list.LinkDevice(testing::MakeTestDevice(poster, given, u"path"));
      FUZZ_CHECK((device == nullptr) == refused);
      if (device == nullptr) continue;
      FUZZ_CHECK(list.head() == device);
      FUZZ_CHECK(DisplayName(device) == wanted);
      FUZZ_CHECK(FriendlyName(device) == name);
      taken.Add(wanted);
      expected[device] = wanted;
    }
  }

  // The list holds exactly the linked devices, each under its own name.
  std::unordered_set<std::u16string> seen;
  int count = 0;
  for (SPDEV* device = list.head(); device != nullptr; device = device->next, ++count) {
    const std::u16string name = DisplayName(device);
    FUZZ_CHECK(name.size() <= static_cast<std::size_t>(kMaxNameChars));
    FUZZ_CHECK(seen.insert(name).second);
    FUZZ_CHECK(expected.count(device) == 1 && expected[device] == name);
    // Found by its name (a walk of the list: a few are enough).
    if (count < 8) FUZZ_CHECK(list.FindByDisplayName(name.c_str()) == (name.empty() ? nullptr : device));
  }
  FUZZ_CHECK(count == static_cast<int>(expected.size()));
  return 0;
}
