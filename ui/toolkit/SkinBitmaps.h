// Skin bitmap resources of the toolkit: ids, sizes and slicing. The bitmaps
// are 24-bit resources loaded by id at each paint and released after it.
#pragma once

namespace shadowpane {

// Face of every ordinary push button: four 37 x 37 framed tiles stacked
// (normal, hovered, pressed, disabled).
constexpr int kSkinPushButton = 5456;
// Close button of the secondary windows: state strip of 17-row faces
// (normal, hovered, pressed).
constexpr int kSkinCloseSecondary = 5392;
// Close, minimise and menu buttons of the main window: state strips.
constexpr int kSkinCloseMain = 5393;
constexpr int kSkinMinimize = 5394;
constexpr int kSkinMenu = 5395;
// Drop-down arrow icon of the language picker: four 9 x 5 faces stacked.
constexpr int kSkinDropArrow = 5411;
// Choice controls: columns 13 wide (x 0 radio, x 13 check box) of six
// 14-row cells.
constexpr int kSkinChoice = 5409;
// Frame of the message box and the language window: top band rows 0 to 42,
// bottom edge rows 43 to 46.
constexpr int kSkinFrame = 5378;
// Message-box icons: five 48 x 48 cells side by side.
constexpr int kSkinMessageIcons = 5408;

struct SkinBitmapInfo {
  int id;
  int width;
  int height;
};

// Every skin with the size its slicing expects (read only by the resource
// test, which checks each bitmap against it).
constexpr SkinBitmapInfo kSkinBitmaps[] = {
    {kSkinPushButton, 37, 148},    {kSkinCloseSecondary, 41, 51}, {kSkinCloseMain, 41, 51},
    {kSkinMinimize, 23, 51},       {kSkinMenu, 23, 51},           {kSkinDropArrow, 9, 20},
    {kSkinChoice, 26, 84},         {kSkinFrame, 320, 47},         {kSkinMessageIcons, 240, 48},
};

// Faces of state strips and icon strips are picked in this order.
constexpr int kFaceNormal = 0;
constexpr int kFaceHovered = 1;
constexpr int kFacePressed = 2;
constexpr int kFaceDisabled = 3;

// Disabled takes precedence over pressed, pressed over hovered.
constexpr int PickFace(bool enabled, bool pressed, bool hovered) {
  return !enabled ? kFaceDisabled : pressed ? kFacePressed : hovered ? kFaceHovered : kFaceNormal;
}

}  // namespace shadowpane
