#include "ui/windows/win32/AboutWindow.h"

#include "settings/Languages.h"
#include "ui/toolkit/KeyboardLogic.h"
#include "ui/toolkit/win32/GdiTextMeasurer.h"
#include "ui/toolkit/win32/OffscreenPaint.h"
#include "ui/windows/AboutWindowLogic.h"
#include "ui/windows/win32/SecondaryWindow.h"

namespace shadowpane {
namespace {

struct AboutWindow : SecondaryWindow {};

constexpr UINT kCentredLine = DT_SINGLELINE | DT_CENTER | DT_VCENTER | kToolkitTextFlags;

void DrawCentred(HDC dc, HFONT font, const WideChar* text, const Rect& r) {
  HGDIOBJ previous = SelectObject(dc, font);
  RECT rect = ToWinRect(r);
  DrawTextW(dc, AsWide(text), -1, &rect, kCentredLine);
  SelectObject(dc, previous);
}

void DrawAboutContent(const SecondaryWindow& record, HDC dc, Size client) {
  {
    SkinBitmap logo(dc, kSkinLogo, record.dpi);
    const Point at = Scale(kLogoOrigin, record.dpi);
    logo.Copy(dc, at.x, at.y, logo.width(), logo.height(), 0, 0);
  }
  DrawCentred(dc, record.boldFont.get(), kProductLine, Scale(ProductLineRect(client), record.dpi));
  const WideString version = ComposeVersionLine(GetString(STR_VERSION));
  DrawCentred(dc, record.normalFont.get(), version.c_str(), Scale(VersionLineRect(client), record.dpi));
}

LRESULT HandleMessage(AboutWindow& record, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      CreateWindowControls(window, lParam, AboutControls(DesignClientSize(window)));
      NameSecondaryWindow(window, GetString(STR_ABOUT));
      return 0;
    case WM_PAINT:
      PaintWindowFrame(record, kSkinSecondaryFrame, GetString(STR_ABOUT), DrawAboutContent);
      return 0;
    case WM_COMMAND: {
      // Enter and Escape both close it, as OK does.
      const int id = DialogKeyCommand(LOWORD(wParam), IDC_ABOUT_OK, IDC_ABOUT_OK);
      if (id == IDC_ABOUT_CLOSE || id == IDC_ABOUT_OK) CloseSecondaryWindow(window);
      return 0;
    }
    default:
      return HandleShellMessage(record, window, message, wParam, lParam);
  }
}

}  // namespace

int RegisterAboutWindowClass(HINSTANCE instance) {
  return RegisterSecondaryWindowClass(instance, kAboutWindowClassName, AboutWindowProc);
}

int ShowAboutWindow(HWND owner) { return OpenSecondaryWindow(kAboutWindowClassName, owner, kAboutWindowSize); }

LRESULT CALLBACK AboutWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return RecordWindowProc<AboutWindow>(window, message, wParam, lParam, RecordMadeAt::NcCreate,
                                       MakeSecondaryRecord<AboutWindow>, HandleMessage);
}

}  // namespace shadowpane
