#pragma once
// Immediate primitives: short lists of lines, triangles, quads, points, fans and strips drawn
// straight from the caller's memory with DrawPrimitiveUP, under the drawer's own small state or
// under a render style. World-space data already in the device layout is sent as it is; the
// rest is converted into fixed staging arrays and sent in batches.
#include <cstdint>

#include "platform/d3d/d3d8.h"
#include "runtime/src/core/interface_db.h"
#include "runtime/src/math/math_types.h"

class CD3DRenderStyle;
class CDeviceTexture;
class CTextureData;

struct ColorVertex {
  float x, y, z;
  uint32_t color;
};
struct TexPosition {
  float x, y, z, u, v;
};
struct TexVertex {
  float x, y, z;
  uint32_t color;
  float u, v;
};
struct ScreenColorVertex {
  float x, y, z, rhw;
  uint32_t color;
};
struct ScreenTexVertex {
  float x, y, z, rhw;
  uint32_t color;
  float u, v;
};

struct DrawPrimFlatLine { CVector3 v[2]; uint32_t color; };
struct DrawPrimLine { ColorVertex v[2]; };
struct DrawPrimFlatTexLine { TexPosition v[2]; uint32_t color; };
struct DrawPrimTexLine { TexVertex v[2]; };
struct DrawPrimFlatQuad { CVector3 v[4]; uint32_t color; };
struct DrawPrimQuad { ColorVertex v[4]; };
struct DrawPrimFlatTexQuad { TexPosition v[4]; uint32_t color; };
struct DrawPrimTexQuad { TexVertex v[4]; };
struct DrawPrimFlatTriangle { CVector3 v[3]; uint32_t color; };
struct DrawPrimTriangle { ColorVertex v[3]; };
struct DrawPrimFlatTexTriangle { TexPosition v[3]; uint32_t color; };
struct DrawPrimTexTriangle { TexVertex v[3]; };

constexpr int kDrawPrimStaging = 128;
constexpr int kDrawPrimStages = 8;

enum EDrawPrimTransform { kDrawPrimCamera = 0, kDrawPrimScreen = 1, kDrawPrimWorld = 2, kDrawPrimWorldMatrix = 3 };

class CD3DDrawPrim : public CInterfaceImpl {
 public:
  CD3DDrawPrim();
  const char* GetClassName() const override { return "CD3DDrawPrim"; }

  bool ResetState();
  bool BeginDrawPrim();
  bool EndDrawPrim();
  bool SetTexture(CTextureData* texture, int stage = 0);
  // Binds a device texture directly (the texture service's record is not needed).
  bool SetDeviceTexture(CDeviceTexture* texture, int stage = 0);
  bool SetRenderStyle(CD3DRenderStyle* style) { m_pRenderStyle = style; return true; }
  bool SetTransformType(int type) { m_TransformType = type; return true; }
  bool SetWorldMatrix(const CMatrix4x4* matrix);
  bool SetColorOp(int op) { m_ColorOp = op; return true; }
  bool SetAlphaBlendMode(int mode) { m_AlphaBlendMode = mode; return true; }
  bool SetZBufferMode(int mode) { m_ZBufferMode = mode; return true; }
  bool SetAlphaTestMode(int mode) { m_AlphaTestMode = mode; return true; }
  bool SetClipMode(int mode) { m_ClipMode = mode; return true; }
  bool SetFillMode(int mode) { m_FillMode = mode; return true; }
  bool SetCullMode(int mode) { m_CullMode = mode; return true; }

  bool DrawFlatLines(const DrawPrimFlatLine* lines, uint32_t count);
  bool DrawLines(const DrawPrimLine* lines, uint32_t count);
  bool DrawFlatTexLines(const DrawPrimFlatTexLine* lines, uint32_t count);
  bool DrawTexLines(const DrawPrimTexLine* lines, uint32_t count);
  bool DrawFlatQuads(const DrawPrimFlatQuad* quads, uint32_t count);
  bool DrawQuads(const DrawPrimQuad* quads, uint32_t count);
  bool DrawFlatTexQuads(const DrawPrimFlatTexQuad* quads, uint32_t count);
  bool DrawTexQuadPtrs(const DrawPrimTexQuad* const* quads, uint32_t count);
  bool DrawTexQuads(const DrawPrimTexQuad* quads, uint32_t count);
  bool DrawFlatTriangles(const DrawPrimFlatTriangle* tris, uint32_t count);
  bool DrawTriangles(const DrawPrimTriangle* tris, uint32_t count);
  bool DrawFlatTexTriangles(const DrawPrimFlatTexTriangle* tris, uint32_t count);
  bool DrawTexTriangles(const DrawPrimTexTriangle* tris, uint32_t count);
  bool DrawPoints(const ColorVertex* points, uint32_t count);
  bool DrawTexPoints(const TexVertex* points, uint32_t count);
  bool DrawFlatFan(const CVector3* v, uint32_t count, uint32_t color);
  bool DrawFan(const ColorVertex* v, uint32_t count);
  bool DrawFlatTexFan(const TexPosition* v, uint32_t count, uint32_t color);
  bool DrawTexFan(const TexVertex* v, uint32_t count);
  bool DrawFlatStrip(const CVector3* v, uint32_t count, uint32_t color);
  bool DrawStrip(const ColorVertex* v, uint32_t count);
  bool DrawFlatTexStrip(const TexPosition* v, uint32_t count, uint32_t color);
  bool DrawTexStrip(const TexVertex* v, uint32_t count);
  bool DrawFlatLineStrip(const CVector3* v, uint32_t count, uint32_t color);
  bool DrawLineStrip(const ColorVertex* v, uint32_t count);
  bool DrawFlatTexLineStrip(const TexPosition* v, uint32_t count, uint32_t color);
  bool DrawTexLineStrip(const TexVertex* v, uint32_t count);

  // Quad fillers: each fills part of a quad record in place and returns it; a null record is
  // returned unchanged. Corners go around the quad: (x, y), (x + w, y), (x + w, y + h), (x, y + h).
  DrawPrimFlatQuad* QuadSetXY(DrawPrimFlatQuad* q, float x0, float y0, float x1, float y1, float x2, float y2,
                              float x3, float y3);
  DrawPrimQuad* QuadSetXY(DrawPrimQuad* q, float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                          float y3);
  DrawPrimFlatTexQuad* QuadSetXY(DrawPrimFlatTexQuad* q, float x0, float y0, float x1, float y1, float x2,
                                 float y2, float x3, float y3);
  DrawPrimTexQuad* QuadSetXY(DrawPrimTexQuad* q, float x0, float y0, float x1, float y1, float x2, float y2,
                             float x3, float y3);
  DrawPrimFlatQuad* QuadSetRect(DrawPrimFlatQuad* q, float x, float y, float w, float h);
  DrawPrimQuad* QuadSetRect(DrawPrimQuad* q, float x, float y, float w, float h);
  DrawPrimFlatTexQuad* QuadSetRect(DrawPrimFlatTexQuad* q, float x, float y, float w, float h);
  DrawPrimTexQuad* QuadSetRect(DrawPrimTexQuad* q, float x, float y, float w, float h);
  DrawPrimFlatTexQuad* QuadSetUV(DrawPrimFlatTexQuad* q, float u0, float v0, float u1, float v1, float u2,
                                 float v2, float u3, float v3);
  DrawPrimTexQuad* QuadSetUV(DrawPrimTexQuad* q, float u0, float v0, float u1, float v1, float u2, float v2,
                             float u3, float v3);
  // u and v from a pixel rectangle of the texture, over its width - 1 and height - 1 (a side of
  // one pixel or less divides by 1); all zero without a texture.
  DrawPrimFlatTexQuad* QuadSetUVTexture(DrawPrimFlatTexQuad* q, CTextureData* texture, float x, float y, float w,
                                        float h);
  DrawPrimTexQuad* QuadSetUVTexture(DrawPrimTexQuad* q, CTextureData* texture, float x, float y, float w,
                                    float h);
  DrawPrimFlatTexQuad* QuadSetUVRect(DrawPrimFlatTexQuad* q, float u, float v, float du, float dv);
  DrawPrimTexQuad* QuadSetUVRect(DrawPrimTexQuad* q, float u, float v, float du, float dv);
  // Red, green and blue from 0x00RRGGBB; the alpha stays.
  DrawPrimFlatQuad* QuadSetRGB(DrawPrimFlatQuad* q, uint32_t rgb);
  DrawPrimQuad* QuadSetRGB(DrawPrimQuad* q, uint32_t rgb);
  DrawPrimFlatTexQuad* QuadSetRGB(DrawPrimFlatTexQuad* q, uint32_t rgb);
  DrawPrimTexQuad* QuadSetRGB(DrawPrimTexQuad* q, uint32_t rgb);
  DrawPrimFlatQuad* QuadSetColor(DrawPrimFlatQuad* q, uint32_t color);
  DrawPrimQuad* QuadSetColor(DrawPrimQuad* q, uint32_t color);
  DrawPrimFlatTexQuad* QuadSetColor(DrawPrimFlatTexQuad* q, uint32_t color);
  DrawPrimTexQuad* QuadSetColor(DrawPrimTexQuad* q, uint32_t color);
  DrawPrimQuad* QuadSetRGBs(DrawPrimQuad* q, uint32_t rgb0, uint32_t rgb1, uint32_t rgb2, uint32_t rgb3);
  DrawPrimTexQuad* QuadSetRGBs(DrawPrimTexQuad* q, uint32_t rgb0, uint32_t rgb1, uint32_t rgb2, uint32_t rgb3);
  DrawPrimQuad* QuadSetColors(DrawPrimQuad* q, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3);
  DrawPrimTexQuad* QuadSetColors(DrawPrimTexQuad* q, uint32_t c0, uint32_t c1, uint32_t c2, uint32_t c3);
  // Alpha 0-255 (the low byte is used).
  DrawPrimFlatQuad* QuadSetAlpha(DrawPrimFlatQuad* q, uint32_t alpha);
  DrawPrimFlatTexQuad* QuadSetAlpha(DrawPrimFlatTexQuad* q, uint32_t alpha);
  DrawPrimQuad* QuadSetAlpha(DrawPrimQuad* q, uint32_t alpha);
  DrawPrimTexQuad* QuadSetAlpha(DrawPrimTexQuad* q, uint32_t alpha);
  DrawPrimQuad* QuadSetAlphas(DrawPrimQuad* q, uint32_t a0, uint32_t a1, uint32_t a2, uint32_t a3);
  DrawPrimTexQuad* QuadSetAlphas(DrawPrimTexQuad* q, uint32_t a0, uint32_t a1, uint32_t a2, uint32_t a3);

  // A vertex of any input layout, read one at a time by the converters.
  struct Source {
    const void* data;
    uint32_t stride;
    int kind;  // 0 position, 1 ColorVertex, 2 TexPosition, 3 TexVertex
    uint32_t color;  // for positions and TexPositions
    // For records: vertices per record and the record size (the flat colour follows them).
    uint32_t per_record;
    uint32_t record_size;
  };

 private:
  struct Batch;
  bool Draw(D3DPRIMITIVETYPE type, const Source& src, uint32_t count, bool textured, int shape);
  bool DrawPass(D3DPRIMITIVETYPE type, const Source& src, uint32_t count, bool textured, int shape);
  bool DrawQuadList(const Source& src, uint32_t count, const DrawPrimTexQuad* const* ptrs);
  bool SendAsIs(D3DPRIMITIVETYPE type, const Source& src, uint32_t count, int shape);
  void ReadVertex(const Source& src, uint32_t index, TexVertex* out,
                  const DrawPrimTexQuad* const* ptrs = nullptr) const;
  bool Stage(uint32_t slot, const TexVertex& v, bool textured);
  bool Flush(D3DPRIMITIVETYPE type, uint32_t prims, uint32_t vertices, bool textured);
  void ApplyOwnState();
  void SetUpTransforms();
  void RestoreTransforms();
  bool IsScreen() const { return m_TransformType == kDrawPrimScreen; }

  CTextureData* m_Textures[kDrawPrimStages] = {};
  CD3DRenderStyle* m_pRenderStyle = nullptr;
  int m_TransformType = kDrawPrimWorld;
  CMatrix4x4 m_World{};
  int m_ColorOp = 0, m_AlphaBlendMode = 0, m_ZBufferMode = 0, m_AlphaTestMode = 0;
  int m_ClipMode = 1, m_FillMode = 1, m_CullMode = 0;
  TexVertex m_TexStaging[kDrawPrimStaging] = {};
  ColorVertex m_ColorStaging[kDrawPrimStaging] = {};
  ScreenColorVertex m_ScreenColorStaging[kDrawPrimStaging] = {};
  ScreenTexVertex m_ScreenTexStaging[kDrawPrimStaging] = {};
  CDeviceTexture* m_DeviceTextures[kDrawPrimStages] = {};
  bool m_bInBlock = false;
  D3DMATRIX m_SavedWorld{}, m_SavedView{}, m_SavedProjection{};
  bool m_bTexturedFormat = false;
};

extern CD3DDrawPrim g_D3DDrawPrim;
extern CD3DDrawPrim g_D3DDrawPrim_Internal;
