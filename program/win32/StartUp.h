// The program's start: the one place that wires every layer together (the
// settings store, the capture services, the poster, the profile file and
// the windows), runs the message loop and ends the program.
#pragma once

#include <windows.h>

namespace shadowpane {

// Start-up steps 1 to 13. The first command-line argument ("/min" starts
// hidden) is handed to the main window. Answers the process's exit code,
// which is 0 on every path.
int RunShadowpane(HINSTANCE instance, const wchar_t* firstArgument);

}  // namespace shadowpane
