#include "tests/e2e/AccessibilityProbe.h"

namespace shadowpane::e2e {
namespace {

std::vector<RecordedEvent> gEvents;
DWORD gWatchedProcess = 0;

std::wstring Take(BSTR text) {
  std::wstring value = text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return value;
}

AccessibleRead Read(IAccessible* object, long child) {
  AccessibleRead read;
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I4;
  id.lVal = child;
  BSTR text = nullptr;
  if (SUCCEEDED(object->get_accName(id, &text))) read.name = Take(text);
  text = nullptr;
  if (SUCCEEDED(object->get_accValue(id, &text))) read.value = Take(text);
  text = nullptr;
  if (SUCCEEDED(object->get_accDescription(id, &text))) read.description = Take(text);
  text = nullptr;
  if (SUCCEEDED(object->get_accDefaultAction(id, &text))) read.defaultAction = Take(text);
  VARIANT out;
  VariantInit(&out);
  if (SUCCEEDED(object->get_accRole(id, &out)) && out.vt == VT_I4) read.role = out.lVal;
  VariantClear(&out);
  if (SUCCEEDED(object->get_accState(id, &out)) && out.vt == VT_I4) read.state = out.lVal;
  VariantClear(&out);
  if (child == CHILDID_SELF) object->get_accChildCount(&read.childCount);
  read.found = true;
  return read;
}

IAccessible* ClientObject(HWND window) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                        reinterpret_cast<void**>(&object)))) {
    return nullptr;
  }
  return object;
}

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != gWatchedProcess) return;
  RecordedEvent recorded{event, window, object, child, L""};
  IAccessible* target = nullptr;
  VARIANT id;
  VariantInit(&id);
  if (SUCCEEDED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child), &target,
                                          &id)) &&
      target != nullptr) {
    BSTR value = nullptr;
    if (SUCCEEDED(target->get_accValue(id, &value))) recorded.value = Take(value);
    target->Release();
  }
  VariantClear(&id);
  gEvents.push_back(recorded);
}

}  // namespace

AccessibleRead ReadAccessible(HWND window, long child) {
  IAccessible* object = ClientObject(window);
  if (object == nullptr) return AccessibleRead();
  const AccessibleRead read = Read(object, child);
  object->Release();
  return read;
}

std::vector<AccessibleRead> ReadAccessibleChildren(HWND window) {
  std::vector<AccessibleRead> children;
  IAccessible* object = ClientObject(window);
  if (object == nullptr) return children;
  long count = 0;
  object->get_accChildCount(&count);
  for (long child = 1; child <= count; ++child) children.push_back(Read(object, child));
  object->Release();
  return children;
}

HRESULT DoDefaultAction(HWND window, long child) {
  IAccessible* object = ClientObject(window);
  if (object == nullptr) return E_FAIL;
  VARIANT id;
  VariantInit(&id);
  id.vt = VT_I4;
  id.lVal = child;
  const HRESULT result = object->accDoDefaultAction(id);
  object->Release();
  return result;
}

NamedCount CountNamedControls(HWND window) {
  NamedCount count;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    const AccessibleRead read = ReadAccessible(child);
    if ((read.state & STATE_SYSTEM_INVISIBLE) != 0) continue;  // nothing to read, as a reader skips it
    ++count.total;
    if (!read.name.empty() && read.role != 0) {
      ++count.named;
      continue;
    }
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    count.unnamed.push_back(std::wstring(className) + L" " + std::to_wstring(GetDlgCtrlID(child)));
  }
  return count;
}

void PressKey(WORD key, WORD modifier) {
  std::vector<INPUT> inputs;
  auto add = [&](WORD vk, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  if (modifier != 0) add(modifier, 0);
  add(key, 0);
  add(key, KEYEVENTF_KEYUP);
  if (modifier != 0) add(modifier, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool Foreground(HWND window) {
  SetForegroundWindow(window);
  const DWORD start = GetTickCount();
  while (GetForegroundWindow() != window) {
    if (GetTickCount() - start > 5000) return false;
    Sleep(20);
  }
  return true;
}

EventRecorder::EventRecorder(DWORD processId, DWORD firstEvent, DWORD lastEvent) {
  gEvents.clear();
  gWatchedProcess = processId;
  // Every process's events, sorted in the callback: a hook filtered by
  // process hears nothing under Wine 8.
  hook_ = SetWinEventHook(firstEvent, lastEvent, nullptr, OnEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
}

EventRecorder::~EventRecorder() {
  if (hook_ != nullptr) UnhookWinEvent(hook_);
  gEvents.clear();
}

const std::vector<RecordedEvent>& EventRecorder::Events() const { return gEvents; }

void EventRecorder::Pump(DWORD ms) {
  const DWORD start = GetTickCount();
  MSG msg{};
  while (GetTickCount() - start < ms) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

}  // namespace shadowpane::e2e
