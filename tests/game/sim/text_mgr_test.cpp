// The glyph text: layout of strings into glyph quads, and the glyph atlas that the content
// generates for it, cell by cell.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "game/sim/CText_Mgr.h"
#include "game/core/CCamera.h"
#include "tests/game/sim/generated_texture.h"

namespace {

constexpr int kVerts = CText_Mgr::kVertices_Per_Glyph;

float Screen_Width() { return g_Camera.Screen_Width(); }
float Screen_Height() { return g_Camera.Screen_Height(); }

struct Laid_Out {
  int n = 0;
  float width = 0.0f;
  std::vector<CGlyph_Vertex> v;
};

Laid_Out Lay(const char* text, int max_glyphs, uint32_t flags, float scale = 1.0f, CVector3 at = {100, 200, 0.5f}) {
  Laid_Out out;
  out.v.resize(static_cast<size_t>(std::max(max_glyphs, 1)) * kVerts);
  out.n = g_Text_Mgr.Layout_Text(out.v.data(), max_glyphs, text, at, 0xff112233, flags, &out.width, scale);
  return out;
}

float Glyph_Width(const Laid_Out& t, int i) { return t.v[i * kVerts + 1].x - t.v[i * kVerts].x; }

TEST(Text_Layout, DigitsAndTheCommaTakeTheirOwnWidths) {
  const float sw = Screen_Width(), gap = sw * 0.0005f;
  ASSERT_GT(sw, 0.0f);
  const Laid_Out t = Lay("1,234", 16, 0);
  ASSERT_EQ(t.n, 5);
  EXPECT_FLOAT_EQ(Glyph_Width(t, 0), sw * 0.0145f);
  EXPECT_FLOAT_EQ(Glyph_Width(t, 1), sw * 0.0059f);
  EXPECT_NEAR(t.width, sw * (4 * 0.0145f + 0.0059f) + 4 * gap, 1e-3f);
  EXPECT_FLOAT_EQ(t.v[0].x, 100.0f);
  EXPECT_NEAR(t.v[1 * kVerts].x, 100.0f + sw * 0.0145f + gap, 1e-3f) << "the pen moves on by the gap";
  const CText_Mgr::Glyph& one = CText_Mgr::Glyph_Info(1);
  EXPECT_EQ(t.v[0].u, one.u0);
  EXPECT_EQ(t.v[0].v, one.v0);
  EXPECT_EQ(t.v[2].u, one.u1);
  EXPECT_EQ(t.v[2].v, one.v1);
  for (int i = 0; i < 5 * kVerts; ++i) {
    EXPECT_EQ(t.v[i].color, 0xff112233u);
    EXPECT_EQ(t.v[i].z, 0.5f);
  }
}

TEST(Text_Layout, EachGlyphIsTwoTrianglesOfItsQuad) {
  const Laid_Out t = Lay("7", 1, 0);
  const CGlyph_Vertex* v = t.v.data();
  // (top left, top right, bottom right) and (top left, bottom right, bottom left).
  EXPECT_EQ(v[0].x, v[3].x);
  EXPECT_EQ(v[0].y, v[3].y);
  EXPECT_EQ(v[2].x, v[4].x);
  EXPECT_EQ(v[2].y, v[4].y);
  EXPECT_EQ(v[1].y, v[0].y);
  EXPECT_EQ(v[1].x, v[2].x);
  EXPECT_EQ(v[5].x, v[0].x);
  EXPECT_EQ(v[5].y, v[2].y);
  EXPECT_GT(v[2].y, v[0].y) << "y grows down the screen";
}

TEST(Text_Layout, CharactersOutsideTheTableTakeTheBlankGlyph) {
  const float sw = Screen_Width();
  for (const char* text : {"A", " ", "#"}) {
    const Laid_Out t = Lay(text, 4, 0);
    ASSERT_EQ(t.n, 1) << text;
    EXPECT_FLOAT_EQ(t.width, sw * 0.008f) << text;
    EXPECT_EQ(t.v[0].u, 0.0f);
    EXPECT_EQ(t.v[2].u, 0.0f) << "an empty texture rectangle";
    EXPECT_EQ(t.v[2].v, 0.0f);
  }
  EXPECT_EQ(CText_Mgr::Glyph_Of('x'), 15);
  EXPECT_EQ(CText_Mgr::Glyph_Of('X'), CText_Mgr::kBlank_Glyph);
  EXPECT_EQ(CText_Mgr::Glyph_Of('\0'), CText_Mgr::kBlank_Glyph);
}

TEST(Text_Layout, MaxGlyphsCutsTheTextAndItsWidth) {
  const float sw = Screen_Width();
  const Laid_Out t = Lay("123456", 2, 0);
  EXPECT_EQ(t.n, 2);
  EXPECT_NEAR(t.width, 2 * sw * 0.0145f + sw * 0.0005f, 1e-3f);
  const Laid_Out single = Lay("8", 16, 0, 2.0f);
  EXPECT_FLOAT_EQ(single.width, sw * 0.0145f * 2.0f) << "one glyph has no trailing gap";
  EXPECT_EQ(Lay("", 16, 0).n, 0);
  EXPECT_EQ(Lay("123", 0, 0).n, 0);
  float width = -1.0f;
  EXPECT_EQ(g_Text_Mgr.Layout_Text(nullptr, 4, "12", CVector3{0, 0, 0}, 0, 0, &width, 1.0f), 0);
  EXPECT_EQ(width, 0.0f);
}

TEST(Text_Layout, FlagsAlignTheTextOnItsPoint) {
  const float h = Screen_Height() * 0.025f;
  const Laid_Out left = Lay("12", 4, 0);
  struct Case {
    uint32_t flags;
    float want_shift_x, want_shift_y;
  };
  const Case cases[] = {
      {1, -0.5f, 0.0f}, {2, -1.0f, 0.0f}, {3, -0.5f, 0.0f},  // flag 1 wins over flag 2
      {4, 0.0f, -0.5f}, {8, 0.0f, -1.0f}, {12, 0.0f, -0.5f}, {5, -0.5f, -0.5f},
  };
  for (const Case& c : cases) {
    const Laid_Out t = Lay("12", 4, c.flags);
    EXPECT_NEAR(t.v[0].x - left.v[0].x, c.want_shift_x * left.width, 1e-3f) << c.flags;
    EXPECT_NEAR(t.v[0].y - left.v[0].y, c.want_shift_y * h, 1e-3f) << c.flags;
  }
  EXPECT_NEAR(left.v[0].y, 200.0f - 0.09f * h, 1e-3f) << "the top sits a little above y";
  EXPECT_NEAR(left.v[2].y - left.v[0].y, h, 1e-3f);
}

TEST(Text_Slots, TheLabelAndLineSlotsStayEmpty) {
  CText_Mgr text;
  text.Update(1.0f, 1.0f);
  text.Render();
  for (int i = 0; i < CText_Mgr::kLabel_Slots; ++i) EXPECT_FALSE(text.Label(i).active);
  for (int i = 0; i < CText_Mgr::kLine_Slots; ++i) EXPECT_FALSE(text.Line(i).active);
}

// The generated atlas: every glyph's ink lies inside the glyph's texture rectangle, every
// rectangle holds ink, and no ink lies outside the rectangles.
TEST(Text_Atlas, TheGeneratedCellsMatchTheGlyphRectangles) {
  Generated_Texture atlas;
  ASSERT_TRUE(Generate_Texture(CText_Mgr::kTexture_Id, atlas));
  const uint32_t w = atlas.width, h = atlas.height;
  auto alpha = [&](uint32_t x, uint32_t y) { return atlas.Alpha(x, y); };
  std::vector<int> ink(CText_Mgr::kGlyph_Count, 0);
  int stray = 0;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      if (alpha(x, y) < 128) continue;
      const float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
      bool inside = false;
      for (int g = 0; g < CText_Mgr::kGlyph_Count && !inside; ++g) {
        const CText_Mgr::Glyph& r = CText_Mgr::Glyph_Info(g);
        if (u >= r.u0 && u <= r.u1 && v >= r.v0 && v <= r.v1) ++ink[g], inside = true;
      }
      stray += !inside;
    }
  EXPECT_EQ(stray, 0) << "ink outside every glyph rectangle";
  for (int g = 0; g < CText_Mgr::kBlank_Glyph; ++g) EXPECT_GT(ink[g], 20) << "glyph " << g;
  EXPECT_EQ(ink[CText_Mgr::kBlank_Glyph], 0);
}

}  // namespace
