// The primitive drawer's quad fillers: corners, texture coordinates and colours written in place.
#include <gtest/gtest.h>

#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/libkstexture/sys/pc/texture_image.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

namespace {

CD3DDrawPrim& Prim() { return g_D3DDrawPrim; }

template <class Quad>
void ExpectCorners(const Quad& q, const float (&xy)[8], const char* what) {
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(q.v[i].x, xy[2 * i]) << what << " corner " << i;
    EXPECT_FLOAT_EQ(q.v[i].y, xy[2 * i + 1]) << what << " corner " << i;
    EXPECT_FLOAT_EQ(q.v[i].z, 7.0f) << what << ": z is not the fillers' business";
  }
}

template <class Quad>
void ExpectUV(const Quad& q, const float (&uv)[8]) {
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(q.v[i].u, uv[2 * i]) << "corner " << i;
    EXPECT_FLOAT_EQ(q.v[i].v, uv[2 * i + 1]) << "corner " << i;
  }
}

template <class Quad>
Quad WithZ() {
  Quad q{};
  for (auto& v : q.v) v.z = 7.0f;
  return q;
}

template <class Quad>
void CheckPositions(const char* what) {
  Quad q = WithZ<Quad>();
  EXPECT_EQ(Prim().QuadSetXY(&q, 1, 2, 3, 4, 5, 6, 7, 8), &q);
  ExpectCorners(q, {1, 2, 3, 4, 5, 6, 7, 8}, what);
  EXPECT_EQ(Prim().QuadSetRect(&q, 10, 20, 30, 40), &q);
  ExpectCorners(q, {10, 20, 40, 20, 40, 60, 10, 60}, what);
  EXPECT_EQ(Prim().QuadSetXY(static_cast<Quad*>(nullptr), 1, 2, 3, 4, 5, 6, 7, 8), nullptr);
  EXPECT_EQ(Prim().QuadSetRect(static_cast<Quad*>(nullptr), 1, 2, 3, 4), nullptr);
}

TEST(DrawPrimQuadFillTest, PositionsFromValuesAndFromARectangle) {
  CheckPositions<DrawPrimFlatQuad>("flat quad");
  CheckPositions<DrawPrimQuad>("quad");
  CheckPositions<DrawPrimFlatTexQuad>("flat textured quad");
  CheckPositions<DrawPrimTexQuad>("textured quad");
}

template <class Quad>
void CheckTexCoords() {
  Quad q{};
  Prim().QuadSetUV(&q, 0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f);
  ExpectUV(q, {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f});
  Prim().QuadSetUVRect(&q, 0.25f, 0.5f, 0.5f, 0.25f);
  ExpectUV(q, {0.25f, 0.5f, 0.75f, 0.5f, 0.75f, 0.75f, 0.25f, 0.75f});

  CTextureData texture;
  CTextureImage* image = CreateTextureImage(kTexImage_Single);
  ASSERT_NE(image, nullptr);
  image->m_Width = 257;
  image->m_Height = 129;
  texture.SetImage(image);
  ASSERT_NE(g_pTexture, nullptr);
  Prim().QuadSetUVTexture(&q, &texture, 64, 32, 128, 64);
  ExpectUV(q, {0.25f, 0.25f, 0.75f, 0.25f, 0.75f, 0.75f, 0.25f, 0.75f});
  Prim().QuadSetUVTexture(&q, nullptr, 64, 32, 128, 64);
  ExpectUV(q, {0, 0, 0, 0, 0, 0, 0, 0});

  // A one-pixel side would divide by zero; it divides by one instead.
  image->m_Width = 1;
  image->m_Height = 1;
  Prim().QuadSetUVTexture(&q, &texture, 0, 0, 1, 1);
  ExpectUV(q, {0, 0, 1, 0, 1, 1, 0, 1});
  EXPECT_EQ(Prim().QuadSetUVTexture(static_cast<Quad*>(nullptr), &texture, 0, 0, 1, 1), nullptr);
}

TEST(DrawPrimQuadFillTest, TextureCoordinatesFromValuesRectanglesAndTexturePixels) {
  CheckTexCoords<DrawPrimFlatTexQuad>();
  CheckTexCoords<DrawPrimTexQuad>();
}

TEST(DrawPrimQuadFillTest, FlatRecordsChangeTheirOneColour) {
  DrawPrimFlatQuad flat{};
  DrawPrimFlatTexQuad flat_tex{};
  flat.color = flat_tex.color = 0x80FFFFFFu;
  Prim().QuadSetRGB(&flat, 0xAA123456u);
  Prim().QuadSetRGB(&flat_tex, 0x00654321u);
  EXPECT_EQ(flat.color, 0x80123456u) << "alpha kept, high byte of the argument ignored";
  EXPECT_EQ(flat_tex.color, 0x80654321u);
  Prim().QuadSetAlpha(&flat, 0x1FF);
  Prim().QuadSetAlpha(&flat_tex, 0x10);
  EXPECT_EQ(flat.color, 0xFF123456u);
  EXPECT_EQ(flat_tex.color, 0x10654321u);
  Prim().QuadSetColor(&flat, 0x01020304u);
  Prim().QuadSetColor(&flat_tex, 0x05060708u);
  EXPECT_EQ(flat.color, 0x01020304u);
  EXPECT_EQ(flat_tex.color, 0x05060708u);
}

template <class Quad>
void CheckCornerColours() {
  Quad q{};
  for (auto& v : q.v) v.color = 0x40000000u;
  Prim().QuadSetRGB(&q, 0x00ABCDEFu);
  for (const auto& v : q.v) EXPECT_EQ(v.color, 0x40ABCDEFu);
  Prim().QuadSetRGBs(&q, 0x11, 0x22, 0x33, 0xFF000044u);
  const uint32_t rgbs[4] = {0x40000011u, 0x40000022u, 0x40000033u, 0x40000044u};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(q.v[i].color, rgbs[i]) << i;
  Prim().QuadSetAlphas(&q, 1, 2, 3, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(q.v[i].color >> 24, static_cast<uint32_t>(i + 1)) << i;
  Prim().QuadSetAlpha(&q, 0x99);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(q.v[i].color, (rgbs[i] & 0xFFFFFFu) | 0x99000000u) << i;
  Prim().QuadSetColors(&q, 5, 6, 7, 8);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(q.v[i].color, static_cast<uint32_t>(5 + i)) << i;
  Prim().QuadSetColor(&q, 0xDEADBEEFu);
  for (const auto& v : q.v) EXPECT_EQ(v.color, 0xDEADBEEFu);
  EXPECT_EQ(Prim().QuadSetColors(static_cast<Quad*>(nullptr), 1, 2, 3, 4), nullptr);
}

TEST(DrawPrimQuadFillTest, CornerRecordsChangeEachCorner) {
  CheckCornerColours<DrawPrimQuad>();
  CheckCornerColours<DrawPrimTexQuad>();
}

}  // namespace
