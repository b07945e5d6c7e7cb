// The geometry of the editor's window, in twips (1/1440 inch; 15 twips are a pixel at 96
// DPI), from the top-left corner of the client area. The window code creates
// the controls from this one table, in this order.
#pragma once

#include <cmath>

#include "editor/resource.h"

namespace ombrel::editor {

enum class ControlKind { kButton, kEdit, kList, kFrame, kLabel };

struct ControlLayout {
  int id;
  ControlKind kind;
  int captionId;  // 0: no caption
  int left;
  int top;
  int width;
  int height;
  int tabIndex;
};

inline constexpr int kClientWidthTwips = 6825;
inline constexpr int kClientHeightTwips = 4500;

// In the order the window holds them; the tab order follows tabIndex.
inline constexpr ControlLayout kWindowControls[] = {
    {IDC_COMMAND8, ControlKind::kButton, IDS_COMMAND8, 5640, 3960, 1092, 252, 12},
    {IDC_COMMAND7, ControlKind::kButton, IDS_COMMAND7, 5640, 3600, 1092, 252, 11},
    {IDC_COMMAND6, ControlKind::kButton, IDS_COMMAND6, 5640, 1920, 1092, 252, 10},
    {IDC_COMMAND5, ControlKind::kButton, IDS_COMMAND5, 5640, 3000, 1092, 252, 7},
    {IDC_COMMAND4, ControlKind::kButton, IDS_COMMAND4, 5640, 2640, 1092, 252, 6},
    {IDC_COMMAND3, ControlKind::kButton, IDS_COMMAND3, 5640, 1560, 1092, 252, 5},
    {IDC_COMMAND2, ControlKind::kButton, IDS_COMMAND2, 5640, 1200, 1092, 252, 4},
    {IDC_COMMAND1, ControlKind::kButton, IDS_COMMAND1, 5640, 480, 1092, 252, 3},
    {IDC_TEXT1, ControlKind::kEdit, 0, 120, 480, 5412, 264, 2},
    {IDC_LIST1, ControlKind::kList, 0, 120, 1200, 5412, 2940, 1},
    // The frame's width is set to the window's outer width at load.
    {IDC_FRAME1, ControlKind::kFrame, 0, 0, 0, 7932, 24, 0},
    {IDC_LABEL2, ControlKind::kLabel, IDS_LABEL2, 120, 960, 1092, 252, 9},
    {IDC_LABEL1, ControlKind::kLabel, IDS_LABEL1, 120, 240, 1092, 252, 8},
    // Under the list and the last button, across the window, in the
    // date-clear button's small font; shown only when neither way would
    // start Ombrel.
    {IDC_LABEL3, ControlKind::kLabel, IDS_LABEL3, 120, 4230, 6585, 240, 13},
};

// The date-clear button's (Command7) own, smaller font: 7.5 point. Label3
// has it too.
inline constexpr double kDateClearFontPoints = 7.5;

// Twips to pixels at a given DPI, to the nearest pixel.
inline int TwipsToPixels(double twips, int dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}
inline double PixelsToTwips(int pixels, int dpi) { return pixels * 1440.0 / dpi; }

struct PlacementTwips {
  double left;
  double top;
};

// Centred across, and 80 twips above centre down. Halved exactly, never
// clamped: a window larger than the screen starts partly off it.
inline PlacementTwips CentredPlacement(double screenWidth, double screenHeight, double windowWidth,
                                       double windowHeight) {
  return {(screenWidth - windowWidth) / 2.0, (screenHeight - windowHeight) / 2.0 - 80.0};
}

}  // namespace ombrel::editor
