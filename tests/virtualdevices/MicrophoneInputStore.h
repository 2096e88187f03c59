// The virtual microphone's analog input switch, kept in the registry under the
// device's class key so that every process sees one switch: the program that
// holds it off, a test reading it, and "another program" turning it back on.
// Every write is also appended to a short history, so a test can check the
// exact sequence of switches a device went through.
#pragma once

#include <windows.h>

#include <string>

namespace shadowpane::virtualdevices {

// Stores the switch and appends '1' or '0' to the history. S_OK or the
// registry's error.
HRESULT WriteInputEnabled(const GUID& clsid, bool enabled);

// The current switch; a device never switched reads as on (an input is on
// until something turns it off).
HRESULT ReadInputEnabled(const GUID& clsid, bool* enabled);

// The newest writes, oldest first ("" when none); and a way to start afresh.
std::wstring ReadEnableHistory(const GUID& clsid);
void ClearEnableHistory(const GUID& clsid);

}  // namespace shadowpane::virtualdevices
