#include "policy/PolicyValues.h"

namespace shadowpane {

const PolicyValueInfo kPolicyValues[kPolicyValueCount] = {
    {PolicyId::BlockStart, u"BlockStart", 0, 1, kNoUserChoiceValue,
     "1 blocks every device at start, 0 never does"},
    {PolicyId::BlockPluggedIn, u"BlockPluggedIn", 0, 1, kNoUserChoiceValue,
     "1 blocks every device when it is plugged in, 0 never does"},
    {PolicyId::Startup, u"Startup", 0, 1, kNoUserChoiceValue,
     "1 starts the program at logon, 0 never does"},
    {PolicyId::Language, u"Language", 0, 3, kNoUserChoiceValue,
     "interface language: 0 English, 1 German, 2 Spanish, 3 Italian"},
    {PolicyId::AllowUnblock, u"AllowUnblock", 0, 1, 1,
     "0: no device can be unblocked by click, shortcut, command line or tray"},
    {PolicyId::AllowExit, u"AllowExit", 0, 1, 1,
     "0: no Exit command; closing only hides the program to the tray"},
    {PolicyId::ShowFirstRunPage, u"ShowFirstRunPage", 0, 1, 1,
     "0: no web page is opened at first start"},
    {PolicyId::NotifyAttempts, u"NotifyAttempts", 0, 1, kNoUserChoiceValue,
     "1 tells the user when a program tries to use a blocked device, 0 never does"},
    {PolicyId::BlockWhileLocked, u"BlockWhileLocked", 0, 1, kNoUserChoiceValue,
     "1 blocks every device while the computer is locked, disconnected or asleep, 0 never does"},
    {PolicyId::BlockAfterIdleMinutes, u"BlockAfterIdleMinutes", 0, 240, kNoUserChoiceValue,
     "1 to 240 blocks every device after that many minutes without input, 0 never does"},
    {PolicyId::ShowIndicator, u"ShowIndicator", 0, 1, kNoUserChoiceValue,
     "1 shows the always-on-top indicator of the devices' states, 0 never does"},
};

const PolicyValueInfo& PolicyValue(PolicyId id) { return kPolicyValues[static_cast<int>(id)]; }

}  // namespace shadowpane
