#include "installer/RunningCopies.h"

namespace shadowpane {
namespace {

bool IsSeparator(WideChar unit) { return unit == u'\\' || unit == u'/'; }

}  // namespace

int IsInsideFolder(const WideString& imagePath, const WideString& folder) {
  size_t length = folder.size();
  while (length > 0 && IsSeparator(folder[length - 1])) --length;
  if (length == 0 || imagePath.size() <= length + 1) return 0;
  for (size_t i = 0; i < length; ++i) {
    const WideChar a = imagePath[i];
    const WideChar b = folder[i];
    if (a != b && !(IsSeparator(a) && IsSeparator(b))) return 0;
  }
  // "C:\Apps\Shadow" must not contain "C:\Apps\Shadowpane\x.exe".
  return IsSeparator(imagePath[length]) ? 1 : 0;
}

}  // namespace shadowpane
