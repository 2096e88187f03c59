// ToolkitFont: "Tahoma", cell height 13, normal weight. The label varies
// height and weight; the secondary windows add a bold and a larger one.
#pragma once

namespace shadowpane {

constexpr int kToolkitFontHeight = 13;
constexpr int kFontWeightNormal = 400;
constexpr int kFontWeightBold = 700;

}  // namespace shadowpane
