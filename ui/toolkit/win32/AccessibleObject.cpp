#include "ui/toolkit/win32/AccessibleObject.h"

#include <oleacc.h>

#include <new>

#include "core/win32/TextCast.h"

namespace shadowpane {
namespace {

// The window a control's description is asked of.
HWND Namer(HWND window, AccessibleShape shape) {
  if (shape == AccessibleShape::Window) return window;
  if ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0) return GetParent(window);
  HWND owner = GetWindow(window, GW_OWNER);
  return owner != nullptr ? owner : window;
}

HRESULT PutText(const WideString& text, BSTR* out) {
  if (out == nullptr) return E_INVALIDARG;
  *out = nullptr;
  if (text.empty()) return S_FALSE;
  *out = SysAllocStringLen(AsWide(text.c_str()), static_cast<UINT>(text.size()));
  return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The visible child windows in z-order (the dialog manager's Tab order).
int CountChildWindows(HWND window) {
  int count = 0;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child)) ++count;
  }
  return count;
}

HWND ChildWindowAt(HWND window, int position) {
  int at = 0;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    if (at++ == position) return child;
  }
  return nullptr;
}

HRESULT WindowObject(HWND window, IDispatch** out) {
  return AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW), IID_IDispatch,
                                    reinterpret_cast<void**>(out));
}

class ToolkitAccessible : public IAccessible {
 public:
  ToolkitAccessible(HWND window, AccessibleShape shape, AccessibleDescriber describer)
      : window_(window), shape_(shape), describer_(describer) {}
  virtual ~ToolkitAccessible() = default;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: not offered (clients call IAccessible directly).
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    return WindowObject(window_, parent);
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    *count = Elements() + (shape_ == AccessibleShape::Window ? CountChildWindows(window_) : 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    const int id = ChildId(child);
    if (id < 0) return E_INVALIDARG;
    const int elements = Elements();
    if (id <= elements) return S_FALSE;  // a simple element: no object of its own
    HWND childWindow = shape_ == AccessibleShape::Window ? ChildWindowAt(window_, id - elements - 1) : nullptr;
    if (childWindow == nullptr) return E_INVALIDARG;
    return WindowObject(childWindow, out);
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    return Text(child, name, &AccessibleDescription::name);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    return Text(child, value, &AccessibleDescription::value);
  }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    return Text(child, description, &AccessibleDescription::description);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (role == nullptr) return E_POINTER;
    VariantInit(role);
    AccessibleDescription d;
    const HRESULT found = Describe(child, &d);
    if (found != S_OK) return found;
    role->vt = VT_I4;
    role->lVal = static_cast<LONG>(d.role);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (state == nullptr) return E_POINTER;
    VariantInit(state);
    AccessibleDescription d;
    const HRESULT found = Describe(child, &d);
    if (found != S_OK) return found;
    state->vt = VT_I4;
    state->lVal = static_cast<LONG>(d.states);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
    if (help != nullptr) *help = nullptr;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (file != nullptr) *file = nullptr;
    if (topic != nullptr) *topic = 0;
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    return Text(child, shortcut, &AccessibleDescription::shortcut);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (focus == nullptr) return E_POINTER;
    VariantInit(focus);
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    HWND focused = GetFocus();
    if (focused == window_) {
      focus->vt = VT_I4;
      focus->lVal = ItemWith(kAccFocused);
      return S_OK;
    }
    if (shape_ == AccessibleShape::Window && focused != nullptr && IsChild(window_, focused)) {
      IDispatch* object = nullptr;
      if (SUCCEEDED(WindowObject(focused, &object)) && object != nullptr) {
        focus->vt = VT_DISPATCH;
        focus->pdispVal = object;
        return S_OK;
      }
    }
    return S_FALSE;  // the focus is elsewhere
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection == nullptr) return E_POINTER;
    VariantInit(selection);
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    const int item = ItemWith(kAccSelected);
    if (item == CHILDID_SELF) return S_FALSE;
    selection->vt = VT_I4;
    selection->lVal = item;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    return Text(child, action, &AccessibleDescription::defaultAction);
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    const int id = ChildId(child);
    if (id < 0 || id > Elements()) return E_INVALIDARG;
    if ((flags & SELFLAG_TAKEFOCUS) != 0) SetFocus(window_);
    if (id != CHILDID_SELF && (flags & (SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) != 0) {
      PostMessageW(window_, WM_ACCESSIBLE_SELECT_ITEM, static_cast<WPARAM>(id), 0);
    }
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (left == nullptr || top == nullptr || width == nullptr || height == nullptr) return E_POINTER;
    *left = *top = *width = *height = 0;
    AccessibleDescription d;
    const HRESULT found = Describe(child, &d);
    if (found != S_OK) return found;
    RECT r{};
    if (d.child == CHILDID_SELF || d.location.right <= d.location.left) {
      GetWindowRect(window_, &r);
    } else {
      POINT origin{0, 0};
      ClientToScreen(window_, &origin);
      r = {d.location.left + origin.x, d.location.top + origin.y, d.location.right + origin.x,
           d.location.bottom + origin.y};
    }
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (end == nullptr) return E_POINTER;
    VariantInit(end);
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    const int from = ChildId(start);
    const int elements = Elements();
    int to = 0;
    if (from == CHILDID_SELF && direction == NAVDIR_FIRSTCHILD) to = elements > 0 ? 1 : 0;
    if (from == CHILDID_SELF && direction == NAVDIR_LASTCHILD) to = elements;
    if (from > 0 && (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)) to = from < elements ? from + 1 : 0;
    if (from > 0 && (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)) to = from > 1 ? from - 1 : 0;
    if (to <= 0) return S_FALSE;
    end->vt = VT_I4;
    end->lVal = to;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (hit == nullptr) return E_POINTER;
    VariantInit(hit);
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    POINT p{x, y};
    ScreenToClient(window_, &p);
    RECT client{};
    GetClientRect(window_, &client);
    if (!PtInRect(&client, p)) return S_FALSE;
    const int elements = Elements();
    for (int id = 1; id <= elements; ++id) {
      const AccessibleDescription d = DescribeAccessible(window_, id, shape_, describer_);
      const Rect& r = d.location;
      if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
        hit->vt = VT_I4;
        hit->lVal = id;
        return S_OK;
      }
    }
    if (shape_ == AccessibleShape::Window) {
      HWND child = ChildWindowFromPointEx(window_, p, CWP_SKIPINVISIBLE);
      IDispatch* object = nullptr;
      if (child != nullptr && child != window_ && SUCCEEDED(WindowObject(child, &object)) && object != nullptr) {
        hit->vt = VT_DISPATCH;
        hit->pdispVal = object;
        return S_OK;
      }
    }
    hit->vt = VT_I4;
    hit->lVal = CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    AccessibleDescription d;
    const HRESULT found = Describe(child, &d);
    if (found != S_OK) return found;
    if (d.defaultAction.empty()) return DISP_E_MEMBERNOTFOUND;
    PostMessageW(window_, WM_ACCESSIBLE_DEFAULT_ACTION, static_cast<WPARAM>(d.child), 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  bool Alive() const { return IsWindow(window_) != FALSE; }

  int Elements() const { return DescribeAccessible(window_, CHILDID_SELF, shape_, describer_).elements; }

  // -1 for a child that is not a plain id.
  static int ChildId(const VARIANT& child) {
    if (child.vt != VT_I4 || child.lVal < 0) return -1;
    return static_cast<int>(child.lVal);
  }

  HRESULT Describe(const VARIANT& child, AccessibleDescription* d) const {
    if (!Alive()) return CO_E_OBJNOTCONNECTED;
    const int id = ChildId(child);
    if (id < 0) return E_INVALIDARG;
    if (id != CHILDID_SELF && id > Elements()) return E_INVALIDARG;
    *d = DescribeAccessible(window_, id, shape_, describer_);
    return S_OK;
  }

  HRESULT Text(const VARIANT& child, BSTR* out, WideString AccessibleDescription::*field) const {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    AccessibleDescription d;
    const HRESULT found = Describe(child, &d);
    if (found != S_OK) return found;
    return PutText(d.*field, out);
  }

  // The first item with the state bit, or the control itself.
  int ItemWith(std::uint32_t state) const {
    const int elements = Elements();
    for (int id = 1; id <= elements; ++id) {
      if ((DescribeAccessible(window_, id, shape_, describer_).states & state) != 0) return id;
    }
    return CHILDID_SELF;
  }

  HWND window_;
  AccessibleShape shape_;
  AccessibleDescriber describer_;
  LONG references_ = 1;
};

}  // namespace

std::uint32_t WindowStates(HWND window) {
  std::uint32_t states = 0;
  const bool visible = IsWindowVisible(window) != FALSE;
  const bool enabled = IsWindowEnabled(window) != FALSE;
  if (!visible) states |= kAccInvisible;
  if (!enabled) states |= kAccUnavailable;
  if (visible && enabled) states |= kAccFocusable;
  if (GetFocus() == window) states |= kAccFocused;
  return states;
}

AccessibleDescription DescribeAccessible(HWND window, int child, AccessibleShape shape,
                                         AccessibleDescriber describer) {
  AccessibleDescription d;
  d.child = child;
  if (describer != nullptr) describer(window, d);
  HWND namer = Namer(window, shape);
  if (namer != nullptr) SendMessageW(namer, WM_ACCESSIBLE_DESCRIBE, reinterpret_cast<WPARAM>(window),
                                     reinterpret_cast<LPARAM>(&d));
  CompleteDescription(d);
  return d;
}

LRESULT AnswerGetObject(HWND window, WPARAM wParam, LPARAM lParam, AccessibleShape shape,
                        AccessibleDescriber describer) {
  if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT)) {
    return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
  }
  auto* object = new (std::nothrow) ToolkitAccessible(window, shape, describer);
  if (object == nullptr) return 0;
  const LRESULT answer = LresultFromObject(IID_IAccessible, wParam, object);
  object->Release();  // the answer holds its own reference
  return answer;
}

namespace {
AccessibleEventWatch gEventWatch = nullptr;
}  // namespace

void NotifyAccessible(DWORD event, HWND window, int child) {
  NotifyWinEvent(event, window, OBJID_CLIENT, child);
  if (gEventWatch != nullptr) gEventWatch(event, window, child);
}

void SetAccessibleEventWatchForTests(AccessibleEventWatch watch) { gEventWatch = watch; }

}  // namespace shadowpane
