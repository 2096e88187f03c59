// The program's start: the one place that wires every layer together (the
// settings store, the capture services, the poster, the profile file and
// the windows), runs the message loop and ends the program.
#pragma once

#include <windows.h>

#include <vector>

#include "core/Text.h"

namespace shadowpane {

// Reads the command line (the arguments after the program's path). With
// none, or "/min" (hidden), the program starts and runs until it is closed;
// a command goes to the copy that runs (commands/CommandLine.h). Answers
// the process's exit code: 0 for a program that ran, the command's code
// (commands/Command.h) otherwise.
int RunShadowpane(HINSTANCE instance, const std::vector<WideString>& arguments);

}  // namespace shadowpane
