// The menu's Settings command: the Settings window over the user's own
// record, and what its OK applies at once.
#pragma once

namespace shadowpane {

struct MainWindowData;

// Opens the Settings window (MainWindowServices::showSettings) on a copy of
// the user's settings; on OK the copy replaces them, the language and the
// indicator show at once, then the settings are saved and a forced
// autostart written. Nothing changes on Cancel or without the services.
void RunSettingsCommand(MainWindowData& data);

}  // namespace shadowpane
