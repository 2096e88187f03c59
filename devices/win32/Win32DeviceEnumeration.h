// The system device enumerator as the capture services hand it out.
#pragma once

#include <dshow.h>

#include "devices/CaptureServices.h"
#include "devices/win32/ComRef.h"

namespace shadowpane {

class Win32DeviceEnumerator : public DeviceEnumerator {
 public:
  explicit Win32DeviceEnumerator(ComRef<ICreateDevEnum> enumerator)
      : enumerator_(std::move(enumerator)) {}
  HResult CreateClassEnumerator(DeviceCategory category,
                                std::unique_ptr<MonikerEnumerator>* enumerator) override;

 private:
  ComRef<ICreateDevEnum> enumerator_;
};

}  // namespace shadowpane
