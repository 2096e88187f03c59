#include "program/win32/ConsoleOutput.h"

#include <windows.h>

#include <string>

#include "core/win32/TextCast.h"

namespace shadowpane {
namespace {

// The output a parent handed over, when it is a real one: a GUI program
// started without redirection holds null or a handle of unknown type.
HANDLE GivenOutput() {
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  if (output == nullptr || output == INVALID_HANDLE_VALUE) return nullptr;
  return GetFileType(output) == FILE_TYPE_UNKNOWN ? nullptr : output;
}

// The console of the process that started this one, if it has one.
HANDLE ParentConsole() {
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return nullptr;
  HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, 0, nullptr);
  return console == INVALID_HANDLE_VALUE ? nullptr : console;
}

void Write(HANDLE output, const std::wstring& text) {
  DWORD mode = 0;
  DWORD written = 0;
  if (GetConsoleMode(output, &mode)) {
    WriteConsoleW(output, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    return;
  }
  // Scripts read a pipe or file as UTF-8, whatever the console's code page.
  const int units = static_cast<int>(text.size());
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return;
  std::string encoded(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), units, &encoded[0], bytes, nullptr, nullptr);
  WriteFile(output, encoded.data(), static_cast<DWORD>(encoded.size()), &written, nullptr);
}

}  // namespace

void PrintLines(const std::vector<WideString>& lines) {
  std::wstring text;
  for (const WideString& line : lines) {
    text.append(AsWide(line.c_str()), line.size());
    text += L"\r\n";
  }
  if (text.empty()) return;
  HANDLE output = GivenOutput();
  if (output != nullptr) {
    Write(output, text);
    return;
  }
  HANDLE console = ParentConsole();
  if (console == nullptr) return;
  Write(console, text);
  CloseHandle(console);
}

void PrintText(const WideChar* text) {
  std::vector<WideString> lines;
  WideString line;
  for (const WideChar* unit = text; *unit != 0; ++unit) {
    if (*unit == u'\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += *unit;
    }
  }
  if (!line.empty()) lines.push_back(line);
  PrintLines(lines);
}

}  // namespace shadowpane
