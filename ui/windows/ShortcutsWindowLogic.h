// What the "Keyboard shortcuts" window decides without the platform: its
// controls, the text each field shows, the message a row gives, and what OK
// saves once the system has answered which combinations it registered.
// Portable: no platform headers.
#pragma once

#include <cstdint>
#include <vector>

#include "commands/CommandTexts.h"
#include "commands/Shortcuts.h"
#include "core/Text.h"
#include "commands/ShortcutSettings.h"
#include "ui/toolkit/Geometry.h"
#include "ui/windows/SecondaryWindowLogic.h"

namespace shadowpane {

constexpr Size kShortcutsWindowSize{560, 500};

// Controls and commands; each row's are its first id plus the row (a block
// of five per kind, one for each action).
constexpr int IDC_SHORTCUTS_CLOSE = 1026;
constexpr int IDC_SHORTCUTS_OK = 1027;
constexpr int IDC_SHORTCUTS_CANCEL = 1028;
constexpr int IDC_SHORTCUTS_LABEL = 1030;
constexpr int IDC_SHORTCUTS_FIELD = 1035;
constexpr int IDC_SHORTCUTS_CLEAR = 1040;
constexpr int IDC_SHORTCUTS_MESSAGE = 1045;

// The controls the shell makes, in creation order, texts in the language:
// the close, OK and Cancel buttons, then per row its label, its Clear
// button and its message line (empty at first). OK and Cancel read the
// program's string tables, so they come as arguments.
std::vector<ControlPlacement> ShortcutsControls(Size client, int language, const WideChar* okText,
                                                const WideChar* cancelText);

// Where each row's shortcut field goes (the window makes the fields).
Rect ShortcutFieldPlace(int row);
// A row's message line: the window's width within the labels' margins. A
// label wraps at its current width, so the line is put back to this place
// before each message (the last one shrank it to its own width).
Rect ShortcutMessagePlace(int row, Size client);

// The row of a control id in the block that starts at firstId; -1 when the
// id is not one of that block's.
int ShortcutRowOf(int id, int firstId);

// What a field shows: the combination (keyName: the platform's name of a
// key the portable names do not cover), or "None".
WideString ShortcutFieldText(std::uint32_t stored, int language, WideView keyName);

// Why a row's combination was not saved.
enum class RowMessage { None, NeedsCtrlOrAlt, Taken, UsedByAnotherRow };
WideString RowMessageText(RowMessage message, int language);

// OK: the combinations wanted, and those the system refused to register
// (another program holds them). The refused, and a combination an earlier
// row already has, are not saved: their rows say so and the window stays
// open; every other one is saved.
struct ShortcutsOk {
  ShortcutSet saved;
  RowMessage messages[kShortcutActionCount] = {};
  bool close = true;
};
ShortcutsOk DecideShortcutsOk(const ShortcutSet& wanted, const bool (&refused)[kShortcutActionCount]);

}  // namespace shadowpane
