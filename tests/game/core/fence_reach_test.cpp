// How far up the edge fence anything can show: the clear u of the fence texture's columns, and
// the fraction of the quad a style lets show for it.
#include <gtest/gtest.h>

#include <vector>

#include "game/core/Fence_Reach.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"

namespace {

// Columns 0..last of a level of the width have alpha (none when last < 0).
std::vector<bool> Columns(int width, int last) {
  std::vector<bool> columns(static_cast<size_t>(width), false);
  for (int x = 0; x <= last && x < width; ++x) columns[static_cast<size_t>(x)] = true;
  return columns;
}

TEST(Fence_Reach, TheClearUIsWhereNoFilteredSampleReachesAPixelWithAlpha) {
  struct Case {
    const char* what;
    std::vector<std::vector<bool>> levels;
    float clear_u;
  };
  const Case cases[] = {
      {"unreadable texture", {}, 1.0f},
      {"a level unread", {Columns(8, 4), {}}, 1.0f},
      {"alpha up to column 4 of 8: the sample reaches to column 5's centre", {Columns(8, 4)}, 5.5f / 8.0f},
      {"the edge column has alpha, and clamping repeats it", {Columns(8, 7)}, 1.0f},
      {"nothing has alpha", {Columns(8, -1)}, 0.0f},
      {"a smaller level reaching further decides", {Columns(8, 4), Columns(4, 2)}, 3.5f / 4.0f},
      {"a smaller level whose edge column has alpha", {Columns(8, 4), Columns(4, 3)}, 1.0f},
      {"alpha in one column only counts as high as that column", {{false, false, true, false, false, false}}, 3.5f / 6.0f},
  };
  for (const Case& c : cases) EXPECT_FLOAT_EQ(Fence_Clear_U(c.levels), c.clear_u) << c.what;
}

// The fence pass as the worlds' styles have it: texture times diffuse, u clamped and scaled by
// four, blended by source alpha.
RenderPassDesc Fence_Pass() {
  RenderPassDesc pass{};
  TextureStageDesc& stage = pass.Stages[0];
  stage.TextureSource = 1;
  stage.ColorOp = stage.AlphaOp = 3;
  stage.ColorArg1 = stage.AlphaArg1 = 2;
  stage.ColorArg2 = stage.AlphaArg2 = 1;
  stage.AddressU = 1;
  stage.Filter = 2;
  stage.TransformOn = 1;
  stage.Matrix[0] = 4.0f;
  stage.Matrix[5] = 2.0f;
  stage.Matrix[10] = stage.Matrix[15] = 1.0f;
  pass.BlendMode = 3;
  pass.DepthMode = 1;
  return pass;
}

float Shown(const RenderPassDesc& pass, float clear_u) {
  CD3DRenderStyle style;
  style.AddPass(pass);
  return Fence_Shown_Fraction(&style, clear_u);
}

TEST(Fence_Reach, TheStyleLetsTheQuadEndWhereItsScaledUTurnsClear) {
  EXPECT_FLOAT_EQ(Shown(Fence_Pass(), 0.5f), 0.125f);
  // A glow added on stage 1 that keeps stage 0's alpha changes nothing.
  RenderPassDesc flash = Fence_Pass();
  flash.Stages[1].TextureSource = 2;
  flash.Stages[1].ColorOp = 9;
  flash.Stages[1].ColorArg1 = 2;
  flash.Stages[1].AlphaOp = 1;
  flash.Stages[1].AlphaArg1 = 0;
  EXPECT_FLOAT_EQ(Shown(flash, 0.5f), 0.125f);
  // Without a transform u is as the quad gives it.
  RenderPassDesc plain = Fence_Pass();
  plain.Stages[0].TransformOn = 0;
  EXPECT_FLOAT_EQ(Shown(plain, 0.5f), 0.5f);
  // A texture that shows nowhere leaves nothing to draw.
  EXPECT_FLOAT_EQ(Shown(Fence_Pass(), 0.0f), 0.0f);
}

TEST(Fence_Reach, TheWholeQuadIsDrawnWhenTheStyleCouldShowAnythingAbove) {
  struct Case {
    const char* what;
    void (*change)(RenderPassDesc&);
  };
  const Case cases[] = {
      {"u wraps", [](RenderPassDesc& p) { p.Stages[0].AddressU = 0; }},
      {"additive blending shows colour without alpha", [](RenderPassDesc& p) { p.BlendMode = 1; }},
      {"no blending", [](RenderPassDesc& p) { p.BlendMode = 0; }},
      {"anisotropic filtering reaches further", [](RenderPassDesc& p) { p.Stages[0].Filter = 3; }},
      {"alpha from the diffuse colour alone", [](RenderPassDesc& p) { p.Stages[0].AlphaOp = 1, p.Stages[0].AlphaArg1 = 1; }},
      {"the fence texture on another source", [](RenderPassDesc& p) { p.Stages[0].TextureSource = 2; }},
      {"generated coordinates", [](RenderPassDesc& p) { p.Stages[0].CoordSource = 5; }},
      {"a later stage adds to alpha", [](RenderPassDesc& p) {
         p.Stages[1].ColorOp = 1, p.Stages[1].AlphaOp = 6, p.Stages[1].AlphaArg1 = 2;
       }},
      {"u shifted by the transform", [](RenderPassDesc& p) { p.Stages[0].Matrix[8] = 0.5f; }},
      {"u taken from v", [](RenderPassDesc& p) { p.Stages[0].Matrix[4] = 1.0f; }},
      {"a projected transform", [](RenderPassDesc& p) { p.Stages[0].Projected = 1; }},
      {"u mirrored by the transform", [](RenderPassDesc& p) { p.Stages[0].Matrix[0] = -4.0f; }},
      {"stage 0 disabled", [](RenderPassDesc& p) { p.Stages[0].ColorOp = 0; }},
  };
  for (const Case& c : cases) {
    RenderPassDesc pass = Fence_Pass();
    c.change(pass);
    EXPECT_FLOAT_EQ(Shown(pass, 0.5f), 1.0f) << c.what;
  }
  // A texture clear nowhere, a style without passes, no style.
  EXPECT_FLOAT_EQ(Shown(Fence_Pass(), 1.0f), 1.0f);
  CD3DRenderStyle empty;
  EXPECT_FLOAT_EQ(Fence_Shown_Fraction(&empty, 0.5f), 1.0f);
  EXPECT_FLOAT_EQ(Fence_Shown_Fraction(nullptr, 0.5f), 1.0f);
  // Of two passes, the one that shows higher decides.
  CD3DRenderStyle two;
  two.AddPass(Fence_Pass());
  RenderPassDesc wrapping = Fence_Pass();
  wrapping.Stages[0].AddressU = 0;
  two.AddPass(wrapping);
  EXPECT_FLOAT_EQ(Fence_Shown_Fraction(&two, 0.5f), 1.0f);
}

}  // namespace
