#include "ui/main/win32/HoldNotices.h"

#include <windows.h>

#include "core/win32/TextCast.h"
#include "settings/Languages.h"
#include "ui/main/HoldNotices.h"
#include "ui/main/win32/MainWindowData.h"
#include "ui/main/win32/MainWindowUsage.h"
#include "ui/toolkit/win32/MessageBoxWindow.h"

namespace shadowpane {

void ShowHoldNotices(MainWindowData& data, const DeviceNotifyEffect& effect) {
  for (int text : TakeHoldNotices(effect, data.sharedHoldNotices)) {
    const WideString message = text == STR_MICROPHONE_UNMUTED_BY_ANOTHER
                                   ? ContestedNoticeText(EntryUsers(data, effect.entryText), gDisplayLanguage)
                                   : WideString(GetString(text));
    const WideString shown = ComposeDeviceMessage(message.c_str(), effect.entryText.c_str());
    ShowMessageBox(data.window, AsWide(shown.c_str()), MBX_BUTTONS_OK, MBX_ICON_WARNING);
  }
}

}  // namespace shadowpane
