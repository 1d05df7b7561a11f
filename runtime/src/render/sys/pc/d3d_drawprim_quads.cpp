// The quad fillers of the primitive drawer: positions, texture coordinates and colours of a
// quad record, written in place.
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

namespace {

constexpr uint32_t kAlphaMask = 0xFF000000u;
constexpr uint32_t kRgbMask = 0x00FFFFFFu;

uint32_t WithRgb(uint32_t color, uint32_t rgb) { return (color & kAlphaMask) | (rgb & kRgbMask); }
uint32_t WithAlpha(uint32_t color, uint32_t alpha) { return (color & kRgbMask) | ((alpha & 0xFFu) << 24); }

template <class Quad>
Quad* FillXY(Quad* q, const float (&xy)[8]) {
  if (q == nullptr) return q;
  for (int i = 0; i < 4; ++i) {
    q->v[i].x = xy[2 * i];
    q->v[i].y = xy[2 * i + 1];
  }
  return q;
}

template <class Quad>
Quad* FillRect(Quad* q, float x, float y, float w, float h) {
  return FillXY(q, {x, y, x + w, y, x + w, y + h, x, y + h});
}

template <class Quad>
Quad* FillUV(Quad* q, const float (&uv)[8]) {
  if (q == nullptr) return q;
  for (int i = 0; i < 4; ++i) {
    q->v[i].u = uv[2 * i];
    q->v[i].v = uv[2 * i + 1];
  }
  return q;
}

template <class Quad>
Quad* FillUVRect(Quad* q, float u, float v, float du, float dv) {
  return FillUV(q, {u, v, u + du, v, u + du, v + dv, u, v + dv});
}

// A side of one pixel (or a texture the service cannot size) would divide by zero.
float Divisor(uint32_t size) { return size > 1 ? static_cast<float>(size - 1) : 1.0f; }

template <class Quad>
Quad* FillUVTexture(Quad* q, CTextureData* texture, float x, float y, float w, float h) {
  if (q == nullptr) return q;
  if (texture == nullptr || g_pTexture == nullptr) return FillUV(q, {0, 0, 0, 0, 0, 0, 0, 0});
  const float width = Divisor(g_pTexture->GetWidth(texture, 0));
  const float height = Divisor(g_pTexture->GetHeight(texture, 0));
  return FillUVRect(q, x / width, y / height, w / width, h / height);
}

// Records with one colour for the whole quad.
template <class Quad>
Quad* FillFlatColor(Quad* q, uint32_t (*combine)(uint32_t, uint32_t), uint32_t value) {
  if (q != nullptr) q->color = combine(q->color, value);
  return q;
}

// Records with a colour per corner.
template <class Quad>
Quad* FillCornerColors(Quad* q, uint32_t (*combine)(uint32_t, uint32_t), const uint32_t (&values)[4]) {
  if (q == nullptr) return q;
  for (int i = 0; i < 4; ++i) q->v[i].color = combine(q->v[i].color, values[i]);
  return q;
}

uint32_t Replace(uint32_t, uint32_t value) { return value; }

}  // namespace

DrawPrimFlatQuad* CD3DDrawPrim::QuadSetXY(DrawPrimFlatQuad* q, float x0, float y0, float x1, float y1, float x2,
                                          float y2, float x3, float y3) {
  return FillXY(q, {x0, y0, x1, y1, x2, y2, x3, y3});
}
DrawPrimQuad* CD3DDrawPrim::QuadSetXY(DrawPrimQuad* q, float x0, float y0, float x1, float y1, float x2, float y2,
                                      float x3, float y3) {
  return FillXY(q, {x0, y0, x1, y1, x2, y2, x3, y3});
}
DrawPrimFlatTexQuad* CD3DDrawPrim::QuadSetXY(DrawPrimFlatTexQuad* q, float x0, float y0, float x1, float y1,
                                             float x2, float y2, float x3, float y3) {
  return FillXY(q, {x0, y0, x1, y1, x2, y2, x3, y3});
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetXY(DrawPrimTexQuad* q, float x0, float y0, float x1, float y1, float x2,
                                         float y2, float x3, float y3) {
  return FillXY(q, {x0, y0, x1, y1, x2, y2, x3, y3});
}

DrawPrimFlatQuad* CD3DDrawPrim::QuadSetRect(DrawPrimFlatQuad* q, float x, float y, float w, float h) {
  return FillRect(q, x, y, w, h);
}
DrawPrimQuad* CD3DDrawPrim::QuadSetRect(DrawPrimQuad* q, float x, float y, float w, float h) {
  return FillRect(q, x, y, w, h);
}
DrawPrimFlatTexQuad* CD3DDrawPrim::QuadSetRect(DrawPrimFlatTexQuad* q, float x, float y, float w, float h) {
  return FillRect(q, x, y, w, h);
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetRect(DrawPrimTexQuad* q, float x, float y, float w, float h) {
  return FillRect(q, x, y, w, h);
}

DrawPrimFlatTexQuad* CD3DDrawPrim::QuadSetUV(DrawPrimFlatTexQuad* q, float u0, float v0, float u1, float v1,
                                             float u2, float v2, float u3, float v3) {
  return FillUV(q, {u0, v0, u1, v1, u2, v2, u3, v3});
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetUV(DrawPrimTexQuad* q, float u0, float v0, float u1, float v1, float u2,
                                         float v2, float u3, float v3) {
  return FillUV(q, {u0, v0, u1, v1, u2, v2, u3, v3});
}

DrawPrimFlatTexQuad* CD3DDrawPrim::QuadSetUVTexture(DrawPrimFlatTexQuad* q, CTextureData* texture, float x,
                                                    float y, float w, float h) {
  return FillUVTexture(q, texture, x, y, w, h);
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetUVTexture(DrawPrimTexQuad* q, CTextureData* texture, float x, float y,
                                                float w, float h) {
  return FillUVTexture(q, texture, x, y, w, h);
}

DrawPrimFlatTexQuad* CD3DDrawPrim::QuadSetUVRect(DrawPrimFlatTexQuad* q, float u, float v, float du, float dv) {
  return FillUVRect(q, u, v, du, dv);
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetUVRect(DrawPrimTexQuad* q, float u, float v, float du, float dv) {
  return FillUVRect(q, u, v, du, dv);
}

DrawPrimFlatQuad* CD3DDrawPrim::QuadSetRGB(DrawPrimFlatQuad* q, uint32_t rgb) { return FillFlatColor(q, WithRgb, rgb); }
DrawPrimQuad* CD3DDrawPrim::QuadSetRGB(DrawPrimQuad* q, uint32_t rgb) {
  return FillCornerColors(q, WithRgb, {rgb, rgb, rgb, rgb});
}
DrawPrimFlatTexQuad* CD3DDrawPrim::QuadSetRGB(DrawPrimFlatTexQuad* q, uint32_t rgb) {
  return FillFlatColor(q, WithRgb, rgb);
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetRGB(DrawPrimTexQuad* q, uint32_t rgb) {
  return FillCornerColors(q, WithRgb, {rgb, rgb, rgb, rgb});
}

DrawPrimFlatQuad* CD3DDrawPrim::QuadSetColor(DrawPrimFlatQuad* q, uint32_t color) {
  return FillFlatColor(q, Replace, color);
}
DrawPrimQuad* CD3DDrawPrim::QuadSetColor(DrawPrimQuad* q, uint32_t color) {
  return FillCornerColors(q, Replace, {color, color, color, color});
}
DrawPrimFlatTexQuad* CD3DDrawPrim::QuadSetColor(DrawPrimFlatTexQuad* q, uint32_t color) {
  return FillFlatColor(q, Replace, color);
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetColor(DrawPrimTexQuad* q, uint32_t color) {
  return FillCornerColors(q, Replace, {color, color, color, color});
}

DrawPrimQuad* CD3DDrawPrim::QuadSetRGBs(DrawPrimQuad* q, uint32_t rgb0, uint32_t rgb1, uint32_t rgb2, uint32_t rgb3) {
  return FillCornerColors(q, WithRgb, {rgb0, rgb1, rgb2, rgb3});
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetRGBs(DrawPrimTexQuad* q, uint32_t rgb0, uint32_t rgb1, uint32_t rgb2,
                                           uint32_t rgb3) {
  return FillCornerColors(q, WithRgb, {rgb0, rgb1, rgb2, rgb3});
}
DrawPrimQuad* CD3DDrawPrim::QuadSetColors(DrawPrimQuad* q, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3) {
  return FillCornerColors(q, Replace, {c0, c1, c2, c3});
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetColors(DrawPrimTexQuad* q, uint32_t c0, uint32_t c1, uint32_t c2,
                                             uint32_t c3) {
  return FillCornerColors(q, Replace, {c0, c1, c2, c3});
}

DrawPrimFlatQuad* CD3DDrawPrim::QuadSetAlpha(DrawPrimFlatQuad* q, uint32_t alpha) {
  return FillFlatColor(q, WithAlpha, alpha);
}
DrawPrimFlatTexQuad* CD3DDrawPrim::QuadSetAlpha(DrawPrimFlatTexQuad* q, uint32_t alpha) {
  return FillFlatColor(q, WithAlpha, alpha);
}
DrawPrimQuad* CD3DDrawPrim::QuadSetAlpha(DrawPrimQuad* q, uint32_t alpha) {
  return FillCornerColors(q, WithAlpha, {alpha, alpha, alpha, alpha});
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetAlpha(DrawPrimTexQuad* q, uint32_t alpha) {
  return FillCornerColors(q, WithAlpha, {alpha, alpha, alpha, alpha});
}
DrawPrimQuad* CD3DDrawPrim::QuadSetAlphas(DrawPrimQuad* q, uint32_t a0, uint32_t a1, uint32_t a2, uint32_t a3) {
  return FillCornerColors(q, WithAlpha, {a0, a1, a2, a3});
}
DrawPrimTexQuad* CD3DDrawPrim::QuadSetAlphas(DrawPrimTexQuad* q, uint32_t a0, uint32_t a1, uint32_t a2,
                                             uint32_t a3) {
  return FillCornerColors(q, WithAlpha, {a0, a1, a2, a3});
}
