#include "tests/ui/gallery/WindowImage.h"

#include <shellapi.h>

#include <vector>

namespace shadowpane::gallery {
namespace {

int WriteBmp(const wchar_t* path, int width, int height, const std::vector<BYTE>& pixels) {
  BITMAPINFOHEADER info{};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biCompression = BI_RGB;
  info.biSizeImage = static_cast<DWORD>(pixels.size());
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + info.biSizeImage;
  HANDLE out = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return 0;
  DWORD written = 0;
  BOOL ok = WriteFile(out, &file, sizeof(file), &written, nullptr) &&
            WriteFile(out, &info, sizeof(info), &written, nullptr) &&
            WriteFile(out, pixels.data(), info.biSizeImage, &written, nullptr);
  CloseHandle(out);
  return ok ? 1 : 0;
}

// Copies w x h from (x, y) of a device context into a 24-bit .bmp file.
int SaveFromDc(HDC source, int x, int y, int width, int height, const wchar_t* path) {
  if (width <= 0 || height <= 0) return 0;
  HDC memory = CreateCompatibleDC(source);
  HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const int stride = (width * 3 + 3) & ~3;
  std::vector<BYTE> pixels(static_cast<std::size_t>(stride) * height);
  const int rows = GetDIBits(memory, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  if (rows != height) return 0;
  return WriteBmp(path, width, height, pixels);
}

}  // namespace

int SaveWindowImage(HWND window, const wchar_t* path) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT client{};
  GetClientRect(window, &client);
  HDC windowDc = GetDC(window);
  const int saved = SaveFromDc(windowDc, 0, 0, client.right, client.bottom, path);
  ReleaseDC(window, windowDc);
  return saved;
}

int SaveScreenImage(const RECT& screenRect, const wchar_t* path) {
  HDC screen = GetDC(nullptr);
  const int saved = SaveFromDc(screen, screenRect.left, screenRect.top, screenRect.right - screenRect.left,
                               screenRect.bottom - screenRect.top, path);
  ReleaseDC(nullptr, screen);
  return saved;
}

std::wstring OutputFolder() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring folder = argv != nullptr && argc > 1 ? argv[1] : L".";
  if (argv != nullptr) LocalFree(argv);
  return folder;
}

}  // namespace shadowpane::gallery
