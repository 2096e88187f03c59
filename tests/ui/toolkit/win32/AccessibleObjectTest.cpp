// The toolkit's accessible objects read in-process as a client reads them
// (AccessibleObjectFromWindow): each control kind's role, states, name and
// default action; a default action runs from the control's own loop as a
// click; the window's naming fills what a control does not show; an object
// kept after its window went fails instead of reading freed memory.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <string>

#include "tests/ui/toolkit/win32/ToolkitTestHost.h"
#include "ui/toolkit/ButtonLogic.h"
#include "ui/toolkit/ChoiceLogic.h"
#include "ui/toolkit/SkinBitmaps.h"
#include "ui/toolkit/win32/AccessibleObject.h"
#include "ui/toolkit/win32/ToolkitCommon.h"

namespace shadowpane {
namespace {

using testing::Pump;
using testing::TestHost;

class ComScope {
 public:
  ComScope() { CoInitialize(nullptr); }
  ~ComScope() { CoUninitialize(); }
};

IAccessible* ObjectOf(HWND window) {
  IAccessible* object = nullptr;
  AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                             reinterpret_cast<void**>(&object));
  return object;
}

VARIANT Self() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = CHILDID_SELF;
  return v;
}

std::wstring Name(IAccessible* object) {
  BSTR text = nullptr;
  if (FAILED(object->get_accName(Self(), &text)) || text == nullptr) return L"";
  std::wstring name(text, SysStringLen(text));
  SysFreeString(text);
  return name;
}

std::wstring Action(IAccessible* object) {
  BSTR text = nullptr;
  if (FAILED(object->get_accDefaultAction(Self(), &text)) || text == nullptr) return L"";
  std::wstring action(text, SysStringLen(text));
  SysFreeString(text);
  return action;
}

long Long(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*)) {
  VARIANT out;
  VariantInit(&out);
  if (FAILED((object->*get)(Self(), &out)) || out.vt != VT_I4) return -1;
  return out.lVal;
}

TEST(AccessibleObject, EachControlKindAnswersItsRoleStatesNameAndAction) {
  ComScope com;
  testing::RegisterForTests();
  TestHost host;
  HWND push = host.AddControl(kButtonClassName, L"&Save", 10, 10, 91, 37, 1101);
  HWND toggle = host.AddControl(kButtonClassName, L"Toggle", 10, 60, 91, 37, 1102);
  SendMessageW(toggle, BXM_KIND, kPropertyStore, BXK_TOGGLE);
  SendMessageW(toggle, BXM_CHECKED, kPropertyStore, 1);
  HWND radio = host.AddControl(kChoiceClassName, L"Radio", 120, 10, 0, 0, 1103,
                               reinterpret_cast<LPVOID>(kSkinChoice));
  HWND check = host.AddControl(kChoiceClassName, L"Check", 120, 40, 0, 0, 1104,
                               reinterpret_cast<LPVOID>(kSkinChoice));
  SendMessageW(check, CXM_KIND, kPropertyStore, CXK_CHECKBOX);
  HWND label = host.AddControl(kLabelClassName, L"A label", 120, 80, 0, 0, 1105);
  EnableWindow(radio, FALSE);
  SetFocus(push);
  const struct {
    HWND window;
    long role;
    long has;
    long lacks;
    const wchar_t* name;
    const wchar_t* action;
  } cases[] = {
      {push, ROLE_SYSTEM_PUSHBUTTON, STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_CHECKED, L"Save",
       L"Press"},
      {toggle, ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_FOCUSED,
       L"Toggle", L"Uncheck"},
      {radio, ROLE_SYSTEM_RADIOBUTTON, STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_FOCUSABLE, L"Radio", L"Check"},
      {check, ROLE_SYSTEM_CHECKBUTTON, STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_CHECKED, L"Check", L"Check"},
      {label, ROLE_SYSTEM_STATICTEXT, STATE_SYSTEM_READONLY, STATE_SYSTEM_FOCUSABLE, L"A label", L""},
  };
  for (const auto& c : cases) {
    IAccessible* object = ObjectOf(c.window);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(Long(object, &IAccessible::get_accRole), c.role);
    const long state = Long(object, &IAccessible::get_accState);
    EXPECT_EQ(state & c.has, c.has) << std::string(c.name, c.name + wcslen(c.name));
    EXPECT_EQ(state & c.lacks, 0) << std::string(c.name, c.name + wcslen(c.name));
    EXPECT_EQ(Name(object), c.name);
    EXPECT_EQ(Action(object), c.action);
    object->Release();
  }
  IAccessible* save = ObjectOf(push);
  BSTR shortcut = nullptr;
  ASSERT_EQ(save->get_accKeyboardShortcut(Self(), &shortcut), S_OK);
  EXPECT_EQ(std::wstring(shortcut), L"Alt+S");
  SysFreeString(shortcut);
  save->Release();
}

TEST(AccessibleObject, ADefaultActionClicksFromTheControlsOwnLoop) {
  ComScope com;
  testing::RegisterForTests();
  TestHost host;
  HWND check = host.AddControl(kChoiceClassName, L"Check", 10, 10, 0, 0, 1201, reinterpret_cast<LPVOID>(kSkinChoice));
  SendMessageW(check, CXM_KIND, kPropertyStore, CXK_CHECKBOX);
  HWND push = host.AddControl(kButtonClassName, L"Go", 10, 40, 91, 37, 1202);
  for (HWND control : {check, push}) {
    IAccessible* object = ObjectOf(control);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->accDoDefaultAction(Self()), S_OK);
    EXPECT_EQ(host.Commands().size(), control == check ? 0u : 1u) << "not inside the reader's call";
    Pump(50);
    object->Release();
  }
  EXPECT_EQ(SendMessageW(check, CXM_CHECKED, kPropertyRead, 0), 1) << "the check box was clicked";
  ASSERT_EQ(host.Commands().size(), 2u);
  EXPECT_EQ(LOWORD(host.Commands()[1].wParam), 1202);
}

LRESULT CALLBACK NamingHost(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ACCESSIBLE_DESCRIBE) {
    auto* description = reinterpret_cast<AccessibleDescription*>(lParam);
    description->language = 1;
    if (GetDlgCtrlID(reinterpret_cast<HWND>(wParam)) == 1301) description->name = u"Schließen";
    return 1;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(AccessibleObject, TheWindowNamesAPictureButtonAndAGoneWindowFailsTheObject) {
  ComScope com;
  testing::RegisterForTests();
  testing::RegisterTestClass(L"AccessibleNamingHost", NamingHost);
  HWND host = testing::CreateTestPopup(L"AccessibleNamingHost", 100, 100, 300, 200);
  ASSERT_NE(host, nullptr);
  HWND close = CreateWindowExW(0, kButtonClassName, L"", WS_CHILD | WS_VISIBLE, 10, 10, 41, 17, host,
                               reinterpret_cast<HMENU>(1301), ToolkitInstance(), nullptr);
  IAccessible* object = ObjectOf(close);
  ASSERT_NE(object, nullptr);
  EXPECT_EQ(Name(object), L"Schließen");
  EXPECT_EQ(Action(object), L"Drücken") << "the default texts in the window's language";
  DestroyWindow(host);
  BSTR name = nullptr;
  EXPECT_EQ(object->get_accName(Self(), &name), CO_E_OBJNOTCONNECTED);
  EXPECT_EQ(name, nullptr);
  object->Release();
}

}  // namespace
}  // namespace shadowpane
