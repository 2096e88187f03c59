// The skin bitmaps and icons as the Windows build links them: each loads by
// id with the size its slicing expects, and the faces that must blend into
// one another agree on their shared pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "ui/toolkit/DpiScaling.h"
#include "ui/toolkit/SkinBitmaps.h"

namespace shadowpane {
namespace {

struct Expected {
  int id;
  int width;
  int height;
};

// The skins of the rest of the program (main window, secondary windows,
// About), beside the toolkit's own table.
constexpr Expected kProgramSkins[] = {
    {5376, 320, 60}, {5377, 320, 47}, {5457, 108, 90},
    {5459, 62, 41},  {5460, 13, 13},  {5461, 13, 13},  {5462, 13, 13},
};

HINSTANCE Module() { return GetModuleHandleW(nullptr); }

void ExpectBitmap(int id, int width, int height) {
  HBITMAP bitmap = LoadBitmapW(Module(), MAKEINTRESOURCEW(id));
  ASSERT_NE(bitmap, nullptr) << id;
  BITMAP info{};
  ASSERT_NE(GetObjectW(bitmap, sizeof(info), &info), 0) << id;
  EXPECT_EQ(info.bmWidth, width) << id;
  EXPECT_EQ(info.bmHeight, height) << id;
  DeleteObject(bitmap);
  // Stored as a 24-bit image.
  HANDLE dib = LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  ASSERT_NE(dib, nullptr) << id;
  DIBSECTION section{};
  ASSERT_NE(GetObjectW(dib, sizeof(section), &section), 0) << id;
  EXPECT_EQ(section.dsBmih.biBitCount, 24) << id;
  DeleteObject(dib);
}

TEST(SkinResources, ToolkitBitmapsHaveTheirSlicingSizes) {
  for (const SkinBitmapInfo& skin : kSkinBitmaps) ExpectBitmap(skin.id, skin.width, skin.height);
}

TEST(SkinResources, ProgramBitmapsHaveTheirSizes) {
  for (const Expected& skin : kProgramSkins) ExpectBitmap(skin.id, skin.width, skin.height);
}

// Every skin at every drawn scale: its cells (faces, tiles, icons) each the
// 96-DPI cell scaled, so the program cuts them at whole pixels.
TEST(SkinResources, EverySkinExistsAtEveryScaleInWholeScaledCells) {
  struct Grid {
    int id, width, height, columns, rows;
  };
  const Grid grids[] = {
      {5376, 320, 60, 1, 1}, {5377, 320, 47, 1, 1}, {5378, 320, 47, 1, 1}, {5392, 41, 51, 1, 3},
      {5393, 41, 51, 1, 3},  {5394, 23, 51, 1, 3},  {5395, 23, 51, 1, 3},  {5408, 240, 48, 5, 1},
      {5409, 26, 84, 2, 6},  {5411, 9, 20, 1, 4},   {5456, 37, 148, 1, 4}, {5457, 108, 90, 1, 1},
      {5459, 62, 41, 2, 1},  {5460, 13, 13, 1, 1},  {5461, 13, 13, 1, 1},  {5462, 13, 13, 1, 1},
  };
  for (int index = 0; index < kSkinScaleCount; ++index) {
    const int dpi = kSkinScaleDpis[index];
    for (const Grid& g : grids) {
      ExpectBitmap(SkinResourceId(g.id, index), Scale(g.width / g.columns, dpi) * g.columns,
                   Scale(g.height / g.rows, dpi) * g.rows);
    }
  }
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE colorCount;
  BYTE reserved;
  WORD planes;
  WORD bitCount;
  DWORD bytesInRes;
  WORD id;
};
struct GroupIconHeader {
  WORD reserved;
  WORD type;
  WORD count;
  GroupIconEntry entries[1];
};
#pragma pack(pop)

TEST(SkinResources, IconsHoldEverySizeAt32Bits) {
  for (int id : {101, 102, 103}) {
    HRSRC found = FindResourceW(Module(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(found, nullptr) << id;
    const auto* group = static_cast<const GroupIconHeader*>(LockResource(LoadResource(Module(), found)));
    ASSERT_NE(group, nullptr);
    std::set<int> sizes;
    for (int i = 0; i < group->count; ++i) {
      const GroupIconEntry& entry = group->entries[i];
      EXPECT_EQ(entry.bitCount, 32) << id;
      EXPECT_EQ(entry.width, entry.height) << id;
      sizes.insert(entry.width == 0 ? 256 : entry.width);
    }
    // Every size the shell asks for from 100 to 300 %.
    EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 28, 32, 40, 48, 64, 128, 256})) << id;
  }
}

TEST(SkinResources, IconsLoadWithTransparentCornersAndOpaqueCentres) {
  for (int id : {101, 102, 103}) {
    for (int size : {16, 32, 48, 256}) {
      HICON icon = static_cast<HICON>(
          LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
      ASSERT_NE(icon, nullptr) << id << " " << size;
      ICONINFO info{};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      BITMAP colour{};
      ASSERT_NE(GetObjectW(info.hbmColor, sizeof(colour), &colour), 0);
      EXPECT_EQ(colour.bmWidth, size);
      EXPECT_EQ(colour.bmHeight, size);

      BITMAPINFO request{};
      request.bmiHeader.biSize = sizeof(request.bmiHeader);
      request.bmiHeader.biWidth = size;
      request.bmiHeader.biHeight = -size;
      request.bmiHeader.biPlanes = 1;
      request.bmiHeader.biBitCount = 32;
      std::basic_string<DWORD> pixels(static_cast<size_t>(size) * size, 0);
      HDC dc = GetDC(nullptr);
      ASSERT_EQ(GetDIBits(dc, info.hbmColor, 0, size, pixels.data(), &request, DIB_RGB_COLORS), size);
      ReleaseDC(nullptr, dc);
      const auto alpha = [&](int x, int y) { return pixels[static_cast<size_t>(y) * size + x] >> 24; };
      EXPECT_EQ(alpha(0, 0), 0u) << id << " " << size;
      EXPECT_EQ(alpha(size / 2, size / 2), 255u) << id << " " << size;
      DeleteObject(info.hbmColor);
      DeleteObject(info.hbmMask);
      DestroyIcon(icon);
    }
  }
}

// Reads skin pixels through a memory DC.
class SkinPixels {
 public:
  explicit SkinPixels(int id)
      : bitmap_(LoadBitmapW(Module(), MAKEINTRESOURCEW(id))), dc_(CreateCompatibleDC(nullptr)) {
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~SkinPixels() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ previous_;
};

TEST(SkinResources, DropArrowFacesSitOnTheButtonFaceOfTheirState) {
  // The picker draws the arrow 17 rows down on its 37-row face, ten pixels
  // in from the right edge: each arrow face's background must be the button
  // face's colour there, state by state.
  SkinPixels button(kSkinPushButton);
  SkinPixels arrow(kSkinDropArrow);
  for (int state = 0; state < 4; ++state) {
    for (int row = 0; row < 5; ++row) {
      EXPECT_EQ(arrow.at(0, state * 5 + row), button.at(26, state * 37 + 17 + row))
          << "state " << state << " row " << row;
    }
  }
}

TEST(SkinResources, CaptionButtonsBlendIntoTheirTitleBands) {
  // Caption buttons sit at row 1 of their window; their normal face's edge
  // columns are the band behind them.
  SkinPixels mainFrame(5376);
  SkinPixels secondaryFrame(5377);
  SkinPixels messageFrame(kSkinFrame);
  SkinPixels mainClose(kSkinCloseMain);
  SkinPixels secondaryClose(kSkinCloseSecondary);
  for (int row = 0; row < 17; ++row) {
    EXPECT_EQ(mainClose.at(0, row), mainFrame.at(5, row + 1)) << row;
    EXPECT_EQ(secondaryClose.at(0, row), secondaryFrame.at(5, row + 1)) << row;
  }
  for (int id : {kSkinMinimize, kSkinMenu}) {
    SkinPixels button(id);
    for (int row = 0; row < 17; ++row) EXPECT_EQ(button.at(22, row), mainFrame.at(5, row + 1)) << id;
  }
  // The three secondary frames share one look.
  for (int y = 0; y < 47; ++y)
    for (int x : {0, 2, 5, 250, 319}) EXPECT_EQ(messageFrame.at(x, y), secondaryFrame.at(x, y));
}

TEST(SkinResources, SideEdgePieceServesBothSidesOfTheFrame) {
  // Both side edges of a framed window are painted with the same 3 x 1
  // piece from the left of the skin, unmirrored; the piece must read the
  // same from either end, and the rows above it (the last row of the top
  // piece) must end in it on the left and the right alike, or the right
  // edge shows its inner pixel outside.
  struct Frame {
    int id;
    int sideRow;
    int lastTopRow;
  };
  for (const Frame& frame : {Frame{5376, 43, 55}, Frame{5377, 30, 42}, Frame{kSkinFrame, 30, 42}}) {
    SkinPixels skin(frame.id);
    EXPECT_EQ(skin.at(0, frame.sideRow), skin.at(2, frame.sideRow)) << frame.id;
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(skin.at(x, frame.lastTopRow), skin.at(x, frame.sideRow)) << frame.id << " x " << x;
      EXPECT_EQ(skin.at(319 - x, frame.lastTopRow), skin.at(x, frame.sideRow))
          << frame.id << " x " << 319 - x;
    }
  }
}

}  // namespace
}  // namespace shadowpane
