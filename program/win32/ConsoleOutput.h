// Where a command's lines go: the standard output the program was given (a
// pipe or a file, as scripts use it), or else the console of whatever
// started it. A GUI program gets no console of its own.
#pragma once

#include <vector>

#include "core/Text.h"

namespace shadowpane {

// Writes each line with a CRLF after it: as text to a console, as UTF-8 to
// a pipe or file. Nothing when there is nowhere to write.
void PrintLines(const std::vector<WideString>& lines);

// The same for one text whose lines are separated by '\n'.
void PrintText(const WideChar* text);

}  // namespace shadowpane
