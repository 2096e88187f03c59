#include "devices/MicrophonePath.h"

#include <algorithm>

#include "devices/DeviceTypes.h"

namespace shadowpane {

std::u16string MicrophonePath(std::int32_t waveInId, const WideChar* friendlyName) {
  const std::string number = std::to_string(waveInId) + " ";
  std::u16string path(number.begin(), number.end());
  const int length = BoundedLength(friendlyName, kNameUnits);
  path.append(friendlyName, std::min(static_cast<size_t>(length), kMicrophonePathNameChars));
  return path;
}

std::u16string MicrophonePathName(const std::u16string& friendlyName) {
  return friendlyName.substr(0, kMicrophonePathNameChars);
}

bool ParseMicrophonePath(const std::u16string& path, std::int64_t* number, std::u16string* name) {
  size_t at = 0;
  bool negative = false;
  if (at < path.size() && path[at] == u'-') {
    negative = true;
    ++at;
  }
  const size_t digitsStart = at;
  std::int64_t value = 0;
  while (at < path.size() && path[at] >= u'0' && path[at] <= u'9' && at - digitsStart < 10) {
    value = value * 10 + (path[at] - u'0');
    ++at;
  }
  if (at == digitsStart || at >= path.size() || path[at] != u' ') return false;
  *number = negative ? -value : value;
  *name = path.substr(at + 1);
  return true;
}

}  // namespace shadowpane
