#include "game/sim/CText_Mgr.h"

#include <algorithm>
#include <cstring>

#include "game/core/CCamera.h"
#include "game/core/WinMain.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "game/core/CGame.h"

CText_Mgr g_Text_Mgr;

namespace {

static_assert(sizeof(DrawPrimTexTriangle) == 3 * sizeof(CGlyph_Vertex), "glyph vertices are drawn as triangles");

// A 4 x 4 grid of the characters "0123456789+-.,:x" on the texture, then the blank glyph.
constexpr CText_Mgr::Glyph kGlyph_Table[CText_Mgr::kGlyph_Count] = {
    {0.0145f, 0.08f, 0.05f, 0.17f, 0.2f},  {0.0145f, 0.33f, 0.05f, 0.42f, 0.2f},
    {0.0145f, 0.58f, 0.05f, 0.67f, 0.2f},  {0.0145f, 0.83f, 0.05f, 0.92f, 0.2f},
    {0.0145f, 0.08f, 0.3f, 0.17f, 0.45f},  {0.0145f, 0.33f, 0.3f, 0.42f, 0.45f},
    {0.0145f, 0.58f, 0.3f, 0.67f, 0.45f},  {0.0145f, 0.83f, 0.3f, 0.92f, 0.45f},
    {0.0145f, 0.08f, 0.55f, 0.17f, 0.7f},  {0.0145f, 0.33f, 0.55f, 0.42f, 0.7f},
    {0.0145f, 0.58f, 0.55f, 0.67f, 0.7f},  {0.0145f, 0.83f, 0.55f, 0.92f, 0.7f},
    {0.0059f, 0.11f, 0.8f, 0.16f, 0.95f},  {0.0059f, 0.36f, 0.8f, 0.41f, 0.95f},
    {0.0145f, 0.58f, 0.8f, 0.67f, 0.95f},  {0.0145f, 0.83f, 0.8f, 0.92f, 0.95f},
    {0.008f, 0.0f, 0.0f, 0.0f, 0.0f},
};
constexpr char kGlyph_Characters[] = "0123456789+-.,:x";

constexpr float kGlyph_Height = 0.025f;
constexpr float kLine_Glyph_Height = 0.02f;
constexpr float kTop_Lift = 0.09f;
constexpr float kGlyph_Gap = 0.0005f;

// The screen size as the camera maps to it (a fallback size before the device has one).
float Screen_Width() { return g_Camera.Screen_Width(); }
float Screen_Height() { return g_Camera.Screen_Height(); }

// The glyphs of a text from x, with the glyph height h; the pen advance goes to width.
int Lay_Glyphs(CGlyph_Vertex* out, int max_glyphs, const char* text, const CVector3& position, uint32_t colour,
               uint32_t flags, float scale, float h, float& width) {
  width = 0.0f;
  if (!out || !text || max_glyphs <= 0) return 0;
  float top = position.y - kTop_Lift * h;
  if (flags & CText_Mgr::kCentre_Y)
    top -= h * 0.5f;
  else if (flags & CText_Mgr::kBottom_Y)
    top -= h;
  const float bottom = top + h;
  const int n = static_cast<int>(std::min<size_t>(static_cast<size_t>(max_glyphs), std::strlen(text)));
  const float sw = Screen_Width();
  float x = position.x;
  for (int i = 0; i < n; ++i) {
    const CText_Mgr::Glyph& g = CText_Mgr::Glyph_Info(CText_Mgr::Glyph_Of(text[i]));
    const float w = sw * g.width * scale;
    const CGlyph_Vertex tl{x, top, position.z, colour, g.u0, g.v0};
    const CGlyph_Vertex tr{x + w, top, position.z, colour, g.u1, g.v0};
    const CGlyph_Vertex br{x + w, bottom, position.z, colour, g.u1, g.v1};
    const CGlyph_Vertex bl{x, bottom, position.z, colour, g.u0, g.v1};
    CGlyph_Vertex* v = out + i * CText_Mgr::kVertices_Per_Glyph;
    v[0] = tl, v[1] = tr, v[2] = br, v[3] = tl, v[4] = br, v[5] = bl;
    const float advance = w + (i + 1 < n ? sw * scale * kGlyph_Gap : 0.0f);
    x += advance;
    width += advance;
  }
  float shift = 0.0f;
  if (flags & CText_Mgr::kCentre_X)
    shift = width * 0.5f;
  else if (flags & CText_Mgr::kRight_X)
    shift = width;
  for (int i = 0; i < n * CText_Mgr::kVertices_Per_Glyph; ++i) out[i].x -= shift;
  return n;
}

// Counts a slot's delay, then its time, down; false once the time has run out.
template <typename Slot>
bool Count_Down(Slot& slot, float delta, float second_delta) {
  if (slot.flags & CText_Mgr::kSlot_Untimed) return true;
  const float d = (slot.flags & CText_Mgr::kSlot_Second_Clock) ? second_delta : delta;
  if (slot.delay > 0.0f) {
    slot.delay -= d;
    return true;
  }
  slot.time_left -= d;
  return slot.time_left >= 0.0f;
}

}  // namespace

int CText_Mgr::Glyph_Of(char character) {
  const char* at = character ? std::strchr(kGlyph_Characters, character) : nullptr;
  return at ? static_cast<int>(at - kGlyph_Characters) : kBlank_Glyph;
}

const CText_Mgr::Glyph& CText_Mgr::Glyph_Info(int glyph) {
  return kGlyph_Table[glyph >= 0 && glyph < kGlyph_Count ? glyph : kBlank_Glyph];
}

bool CText_Mgr::Init() {
  if (m_Initialised) Term();
  m_Texture = g_pTexture ? g_pTexture->GetTexture(kTexture_Id) : nullptr;
  if (!m_Texture) {
    Show_Message("Error in CText_Mgr\nUnable to load texture...");
    Term();
    return false;
  }
  m_Style = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kStyle_Id) : nullptr;
  if (!m_Style) {
    Show_Message("Error in CText_Mgr\nUnable to load shader...");
    Term();
    return false;
  }
  std::copy(std::begin(kGlyph_Table), std::end(kGlyph_Table), m_Glyphs);
  Clear_Slots();
  m_Initialised = true;
  return true;
}

void CText_Mgr::Term() {
  if (m_Texture && g_pTexture) g_pTexture->ReleaseTexture(m_Texture);
  m_Texture = nullptr;
  if (m_Style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(m_Style);
  m_Style = nullptr;
  Clear_Slots();
  m_Initialised = false;
}

void CText_Mgr::Clear_Slots() {
  for (Label_Slot& label : m_Labels) {
    if (label.texture && g_pTexture) g_pTexture->ReleaseTexture(label.texture);
    label = Label_Slot();
  }
  for (Line_Slot& line : m_Lines) line = Line_Slot();
}

int CText_Mgr::Layout_Text(CGlyph_Vertex* vertices, int max_glyphs, const char* text, const CVector3& position,
                           uint32_t colour, uint32_t flags, float* total_width, float scale) const {
  float width = 0.0f;
  const float h = Screen_Height() * scale * kGlyph_Height;
  const int n = Lay_Glyphs(vertices, max_glyphs, text, position, colour, flags, scale, h, width);
  if (total_width) *total_width = width;
  return n;
}

float CText_Mgr::Draw_Text(const char* text, const CVector3& position, uint32_t colour, uint32_t flags,
                           float scale) const {
  constexpr int kMax_Glyphs = 32;
  CGlyph_Vertex vertices[kMax_Glyphs * kVertices_Per_Glyph];
  float width = 0.0f;
  const int n = Layout_Text(vertices, kMax_Glyphs, text, position, colour, flags, &width, scale);
  if (m_Initialised) Draw_Glyphs(vertices, n, m_Texture);
  return width;
}

void CText_Mgr::Draw_Glyphs(const CGlyph_Vertex* vertices, int glyph_count, CTextureData* texture) const {
  if (glyph_count <= 0) return;
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.SetTransformType(kDrawPrimScreen);
  draw.SetTexture(texture, 0);
  draw.SetRenderStyle(m_Style);
  draw.DrawTexTriangles(reinterpret_cast<const DrawPrimTexTriangle*>(vertices),
                        static_cast<uint32_t>(glyph_count * 2));
  draw.SetRenderStyle(nullptr);
  draw.SetTexture(nullptr, 0);
  draw.SetTransformType(kDrawPrimWorld);
}

void CText_Mgr::Update(float delta, float second_delta) {
  for (Label_Slot& label : m_Labels) {
    if (!label.active || Count_Down(label, delta, second_delta)) continue;
    label.active = false;
    if (label.texture && g_pTexture) g_pTexture->ReleaseTexture(label.texture);
    label.texture = nullptr;
  }
  for (Line_Slot& line : m_Lines)
    if (line.active && !Count_Down(line, delta, second_delta)) line.active = false;
}

void CText_Mgr::Render() {
  if (!m_Initialised) return;
  for (const Label_Slot& label : m_Labels) {
    if (!label.active || label.delay > 0.0f) continue;
    const float x0 = label.position.x, y0 = label.position.y, x1 = x0 + label.width, y1 = y0 + label.height;
    const float z = label.position.z;
    const CGlyph_Vertex quad[6] = {{x0, y0, z, label.colour, 0, 0}, {x1, y0, z, label.colour, 1, 0},
                                   {x1, y1, z, label.colour, 1, 1}, {x0, y0, z, label.colour, 0, 0},
                                   {x1, y1, z, label.colour, 1, 1}, {x0, y1, z, label.colour, 0, 1}};
    Draw_Glyphs(quad, 1, label.texture);
  }
  for (Line_Slot& line : m_Lines) {
    if (!line.active || line.delay > 0.0f) continue;
    float width = 0.0f;
    const float h = Screen_Height() * line.scale * kLine_Glyph_Height;
    const int n = Lay_Glyphs(line.vertices, kLine_Text_Size, line.text, line.position, line.colour, 0, line.scale, h,
                             width);
    Draw_Glyphs(line.vertices, n, m_Texture);
  }
}
