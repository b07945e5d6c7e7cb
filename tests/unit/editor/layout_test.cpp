// The editor window's geometry: twips to pixels at any DPI, and the placement at load,
// which the virtual display of the window tests (one size, 96 DPI) cannot
// vary.
#include "editor/model/layout.h"
#include "editor/model/entry_days_layout.h"
#include "editor/model/record_layout.h"
#include "editor/model/settings_layout.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace ombrel::editor {
namespace {

TEST(LayoutTest, TwipsBecomeTheNearestPixelAtTheWindowsDpi) {
  struct Case {
    double twips;
    int dpi;
    int pixels;
  };
  const Case cases[] = {
      {1092, 96, 73},    // 72.8
      {252, 96, 17},     // 16.8
      {24, 96, 2},       // the rule under the menu bar: 1.6
      {6825, 96, 455},   // the client area, exactly
      {6825, 144, 683},  // 682.5: a half goes away from zero
      {1092, 120, 91},   // 91.0
      {1092, 192, 146},  // 145.6
      {-7.5, 96, -1},    // -0.5, a placement off the screen's left edge
      {0, 96, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi << " DPI";
  }
}

TEST(LayoutTest, PlacementCentresAcrossAndLiftsEightyTwipsUnclamped) {
  struct Case {
    double screenWidth, screenHeight, windowWidth, windowHeight;
    double left, top;
  };
  const Case cases[] = {
      // 1280 x 1024 pixels at 96 DPI, a window of 461 x 346: an odd
      // difference gives half a twip, and 80 comes off after the halving.
      {19200, 15360, 6915, 5190, 6142.5, 5005},
      // Exactly 160 twips taller than the window: the top edge is 0.
      {19200, 5350, 6915, 5190, 6142.5, 0},
      // A screen smaller than the window: both edges off the screen.
      {6000, 4000, 6915, 5190, -457.5, -675},
  };
  for (const Case& c : cases) {
    const PlacementTwips place =
        CentredPlacement(c.screenWidth, c.screenHeight, c.windowWidth, c.windowHeight);
    EXPECT_DOUBLE_EQ(place.left, c.left);
    EXPECT_DOUBLE_EQ(place.top, c.top);
  }
}

// The record window's table at the size it opens with and at the least it
// can be sized to, at two DPIs: every control inside the client area, none
// over another, the buttons the same size at both.
TEST(RecordLayoutTest, ControlsStayInsideApartAndButtonsKeepTheirSize) {
  for (const int dpi : {96, 144}) {
    std::vector<std::vector<PixelRect>> sizes;
    for (const auto& [width, height] : {std::pair{kRecordClientWidthTwips, kRecordClientHeightTwips},
                                        std::pair{kRecordMinClientWidthTwips, kRecordMinClientHeightTwips}}) {
      const int w = TwipsToPixels(width, dpi);
      const int h = TwipsToPixels(height, dpi);
      std::vector<PixelRect> rects;
      for (const RecordControlLayout& control : kRecordControls) {
        const PixelRect r = PlaceRecordControl(control, w, h, dpi);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h)
            << control.id << " at " << dpi;
        EXPECT_TRUE(r.left < r.right && r.top < r.bottom) << control.id << " at " << dpi;
        for (const PixelRect& other : rects) {
          EXPECT_TRUE(r.right <= other.left || other.right <= r.left || r.bottom <= other.top ||
                      other.bottom <= r.top)
              << control.id << " at " << dpi;
        }
        rects.push_back(r);
      }
      sizes.push_back(rects);
    }
    for (std::size_t i = 0; i < std::size(kRecordControls); ++i) {
      if (kRecordControls[i].kind == RecordControlKind::kList ||
          kRecordControls[i].kind == RecordControlKind::kStatus)
        continue;
      const PixelRect& opening = sizes[0][i];
      const PixelRect& least = sizes[1][i];
      EXPECT_EQ(opening.right - opening.left, least.right - least.left);
      EXPECT_EQ(opening.bottom - opening.top, least.bottom - least.top);
    }
  }
}

// The tables of the settings dialog and of an entry's days: on the editor
// window's grid (120 twips), each control inside the client area with a
// margin, none over another, and a label right before the control its
// access key leads to (the next in Tab order that is no label).
TEST(SettingsLayoutTest, OnTheGridInsideApartAndEachLabelBeforeItsBox) {
  constexpr int kGrid = 120;
  const auto check = [](const auto& controls, int width, int height) {
    for (std::size_t i = 0; i < std::size(controls); ++i) {
      const SettingsControlLayout& c = controls[i];
      EXPECT_EQ(c.left % kGrid, 0) << c.id;
      EXPECT_EQ(c.top % kGrid, 0) << c.id;
      EXPECT_TRUE(c.left >= kGrid && c.top >= kGrid && c.left + c.width <= width - kGrid &&
                  c.top + c.height <= height - kGrid)
          << c.id;
      for (std::size_t j = 0; j < i; ++j) {
        const SettingsControlLayout& o = controls[j];
        EXPECT_TRUE(c.left + c.width <= o.left || o.left + o.width <= c.left || c.top + c.height <= o.top ||
                    o.top + o.height <= c.top)
            << c.id << " over " << o.id;
      }
      if (c.kind == SettingsControlKind::kLabel) {
        ASSERT_LT(i + 1, std::size(controls));
        const SettingsControlKind next = controls[i + 1].kind;
        EXPECT_TRUE(next == SettingsControlKind::kSeconds || next == SettingsControlKind::kWeekday ||
                    next == SettingsControlKind::kDates || next == SettingsControlKind::kChoice)
            << c.id;
      }
    }
  };
  check(kSettingsControls, kSettingsClientWidthTwips, kSettingsClientHeightTwips);
  // The notes' column, in the wider dialog, right of every other control.
  check(kPolicyNotes, kSettingsPolicyClientWidthTwips, kSettingsClientHeightTwips);
  for (const SettingsControlLayout& c : kSettingsControls)
    EXPECT_LE(c.left + c.width, kPolicyNoteLeftTwips) << c.id;
  check(kDaysControls, kDaysClientWidthTwips, kDaysClientHeightTwips);
}

}  // namespace
}  // namespace ombrel::editor
