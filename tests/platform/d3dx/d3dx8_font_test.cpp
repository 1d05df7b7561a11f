// The GDI-style size mapping of the fonts over the installed serif face: a positive height is the
// cell (ascent plus descent), a negative one the character height (the em), as GDI has it, and
// the advances are the face's at that size. The menus' labels are laid out on these widths.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/d3dx/d3dx8_font.h"

namespace {

struct Measured {
  int width = 0;
  int cell = 0;
};

Measured Measure(int height, const std::string& text) {
  Measured measured;
  HFONT font = CreateFontA(height, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x22, "Times New Roman");
  if (!font) return measured;
  HDC dc = GetDC(nullptr);
  SelectObject(dc, font);
  SIZE size{};
  if (GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size)) {
    measured.width = size.cx;
    measured.cell = size.cy;
  }
  ReleaseDC(nullptr, dc);
  DeleteObject(font);
  return measured;
}

class Fonts : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!Measure(21, "x").cell) GTEST_SKIP() << "no serif face installed: " << D3DXFont_Files_Tried();
  }
};

// Liberation Serif (metric-compatible with the serif face the menus name): its cell is 2268
// units of its 2048-unit em, so a cell of 21 pixels is an em of 18.96 pixels, and a character
// height of 19 pixels (a negative height) is a cell of 21.
TEST_F(Fonts, APositiveHeightIsTheCellAndANegativeOneTheEm) {
  struct Case {
    int height;
    int cell;
  };
  const Case cases[] = {{17, 17}, {21, 21}, {26, 26}, {49, 49}, {-19, 21}, {-44, 49}};
  for (const Case& c : cases) EXPECT_EQ(Measure(c.height, "Hg").cell, c.cell) << c.height;
  // The same em through either height gives the same advances.
  EXPECT_EQ(Measure(21, "Hide Cursor in Battle").width, Measure(-19, "Hide Cursor in Battle").width);
}

// The widths of the longest menu labels in font 1 at 800 x 600 (height 21): the face's
// advances at an em of 18.96 pixels, each rounded to whole pixels: within half a pixel a glyph
// of the unrounded design widths.
TEST_F(Fonts, LabelWidthsAreTheFacesAdvancesAtTheRequestedSize) {
  struct Case {
    const char* text;
    double design_width;  // sum of the design advances in pixels at 18.96 pixels per em
  };
  const Case cases[] = {
      {"Hide Cursor in Battle (3D Glasses):", 271.2},
      {"Max Linked Point Total:", 188.0},
      {"Not Recorded (you failed to beat the 50th ranked score)", 422.8},
  };
  for (const Case& c : cases) {
    const Measured measured = Measure(21, c.text);
    const double slack = 0.5 * static_cast<double>(std::string(c.text).size());
    EXPECT_NEAR(measured.width, c.design_width, slack) << c.text;
  }
  // Twice the cell, twice the width, give or take the rounding of each advance.
  const Measured small = Measure(21, cases[0].text), large = Measure(42, cases[0].text);
  EXPECT_NEAR(large.width, 2 * small.width, 36);
}

}  // namespace
