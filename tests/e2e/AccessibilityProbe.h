// What a screen reader and a keyboard user meet in another process, read
// and pressed from the test: Active Accessibility objects of windows and
// their children, WinEvents through an out-of-context hook, keys through
// the system's input.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

namespace shadowpane::e2e {

// One object or simple child as a client reads it.
struct AccessibleRead {
  bool found = false;
  std::wstring name;
  std::wstring value;
  std::wstring description;
  std::wstring defaultAction;
  long role = 0;
  long state = 0;
  long childCount = 0;
};

// The client object (OBJID_CLIENT) of the window; child 0 is itself.
AccessibleRead ReadAccessible(HWND window, long child = CHILDID_SELF);
// Every simple child 1..count of the window's client object.
std::vector<AccessibleRead> ReadAccessibleChildren(HWND window);
// Asks for the default action of a child.
HRESULT DoDefaultAction(HWND window, long child);

// Controls of the window (its child windows) with a non-empty name and a
// non-zero role, and all of them that are there to read (not invisible);
// the window itself is not counted.
struct NamedCount {
  int named = 0;
  int total = 0;
  std::vector<std::wstring> unnamed;  // class and id of those without
};
NamedCount CountNamedControls(HWND window);

// Presses and releases the keys in turn (each with the modifier held when
// given) into whatever window has the keyboard.
void PressKey(WORD key, WORD modifier = 0);
// The focused window of the thread that owns the window.
HWND FocusOf(HWND window);
// Brings the window to the front so the keys reach it.
bool Foreground(HWND window);

// WinEvents of one process recorded from outside, with each target's
// value read inside the callback. Runs on the thread that made it, which
// must pump messages while it waits (WaitFor does).
struct RecordedEvent {
  DWORD event = 0;
  HWND window = nullptr;
  long object = 0;
  long child = 0;
  std::wstring value;
};
class EventRecorder {
 public:
  EventRecorder(DWORD processId, DWORD firstEvent, DWORD lastEvent);
  ~EventRecorder();
  EventRecorder(const EventRecorder&) = delete;
  EventRecorder& operator=(const EventRecorder&) = delete;
  // Pumps messages until an event that matches arrives, or the limit.
  template <typename Match>
  bool WaitFor(Match match, DWORD limitMs) {
    const DWORD start = GetTickCount();
    for (;;) {
      for (const RecordedEvent& e : Events()) {
        if (match(e)) return true;
      }
      if (GetTickCount() - start > limitMs) return false;
      Pump(50);
    }
  }
  const std::vector<RecordedEvent>& Events() const;

 private:
  static void Pump(DWORD ms);
  HWINEVENTHOOK hook_ = nullptr;
};

}  // namespace shadowpane::e2e
