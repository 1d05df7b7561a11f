#include "game/core/CGame.h"
#include "game/core/CCursor_Mgr.h"

#include "game/core/CGame_State.h"
#include "game/core/WinMain.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "platform/window/cursor.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"

CCursor_Mgr g_Cursor_Mgr;

namespace {

constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr float kArrow_Half_Width = 0.0354f;
constexpr float kArrow_Half_Height = 0.045f;
constexpr float kMarker_Half_Width = 0.0236f;
constexpr float kMarker_Half_Height = 0.03f;
constexpr float kCross_Hair_Scale = 1.25f;
constexpr float kMarker_Scale = 1.5f;

const char kMissing_Texture_Message[] = "Error in CCursor_Mgr\nUnable to load texture...";
const char kMissing_Style_Message[] = "Error in CCursor_Mgr\nUnable to load shader...";

CTextureData* Load_Texture(uint32_t id) { return g_pTexture ? g_pTexture->GetTexture(id) : nullptr; }
CD3DRenderStyle* Load_Style(uint32_t id) { return g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(id) : nullptr; }

void Release_Texture(CTextureData*& texture) {
  if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
  texture = nullptr;
}

void Release_Style(CD3DRenderStyle*& style) {
  if (style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(style);
  style = nullptr;
}

uint8_t Channel(uint32_t colour, int shift) { return static_cast<uint8_t>((colour >> shift) & 0xFF); }

}  // namespace

bool CCursor_Mgr::Init() {
  m_Show = true;
  if (!Load()) {
    Term();
    return false;
  }
  const float corners[4][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};
  for (int i = 0; i < 4; ++i) m_Quad[i] = Vertex{0.0f, 0.0f, 0.0f, kWhite, corners[i][0], corners[i][1]};
  ShowCursor(FALSE);
  m_System_Cursor_Hidden = true;
  m_Initialised = true;
  return true;
}

bool CCursor_Mgr::Load() {
  m_Cross_Hair_Texture = Load_Texture(kCross_Hair_Texture_Id);
  m_Marker_Texture = Load_Texture(kMarker_Texture_Id);
  m_Cursor_Texture = Load_Texture(kCursor_Texture_Id);
  if (!m_Cross_Hair_Texture || !m_Marker_Texture || !m_Cursor_Texture) {
    Show_Message("%s", kMissing_Texture_Message);
    return false;
  }
  m_Default_Style = Load_Style(kDefault_Style_Id);
  m_Marker_Style = Load_Style(kMarker_Style_Id);
  if (!m_Default_Style || !m_Marker_Style) {
    Show_Message("%s", kMissing_Style_Message);
    return false;
  }
  m_Marker_Colour_Set = false;
  return true;
}

void CCursor_Mgr::Release() {
  Release_Texture(m_Cross_Hair_Texture);
  Release_Texture(m_Marker_Texture);
  Release_Texture(m_Cursor_Texture);
  Release_Style(m_Default_Style);
  Release_Style(m_Marker_Style);
}

void CCursor_Mgr::Term() {
  Release();
  if (m_System_Cursor_Hidden) ShowCursor(TRUE);
  m_System_Cursor_Hidden = false;
  m_Initialised = false;
}

void CCursor_Mgr::Marker_Half_Extents(int kind, float scale, float screen_width, float screen_height,
                                      float& half_width, float& half_height) {
  if (kind == kArrow) {
    half_width = kArrow_Half_Width * screen_width;
    half_height = kArrow_Half_Height * screen_height;
    return;
  }
  const float grow = (kind == kCross_Hair ? kCross_Hair_Scale : kMarker_Scale) * scale;
  half_width = kMarker_Half_Width * screen_width * grow;
  half_height = kMarker_Half_Height * screen_height * grow;
}

void CCursor_Mgr::Draw_Marker(const int& kind, const CVector3& point, const unsigned& colour, const float& scale) {
  if (!g_pRenderDevice) return;
  float half_width = 0.0f, half_height = 0.0f;
  Marker_Half_Extents(kind, scale, g_pRenderDevice->GetScreenWidthF(), g_pRenderDevice->GetScreenHeightF(),
                      half_width, half_height);
  const float xs[4] = {point.x - half_width, point.x + half_width, point.x + half_width, point.x - half_width};
  const float ys[4] = {point.y - half_height, point.y - half_height, point.y + half_height, point.y + half_height};
  for (int i = 0; i < 4; ++i) {
    m_Quad[i].x = xs[i];
    m_Quad[i].y = ys[i];
  }
  m_Marker_Color = kind == kMarker ? colour : kWhite;
  m_Last_Kind = kind;
  if (m_Initialised) Draw_Quad(kind, colour);
}

// The quad as a two-triangle list in screen space, with the kind's texture and style; the
// transform type goes back to world space afterwards.
void CCursor_Mgr::Draw_Quad(int kind, uint32_t colour) {
  CTextureData* texture = nullptr;
  CD3DRenderStyle* style = nullptr;
  Texture_And_Style(kind, texture, style);
  if (kind == kMarker) Set_Marker_Colour(colour);
  DrawPrimTexTriangle triangles[2];
  const int corners[2][3] = {{0, 1, 2}, {0, 2, 3}};
  for (int t = 0; t < 2; ++t)
    for (int c = 0; c < 3; ++c) {
      const Vertex& q = m_Quad[corners[t][c]];
      triangles[t].v[c] = TexVertex{q.x, q.y, q.z, q.color, q.u, q.v};
    }
  if (!g_pDrawPrim) return;
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.SetTransformType(kDrawPrimScreen);
  draw.SetTexture(texture, 0);
  draw.SetRenderStyle(style);
  draw.DrawTexTriangles(triangles, 2);
  draw.SetRenderStyle(nullptr);
  draw.SetTexture(nullptr, 0);
  draw.SetTransformType(kDrawPrimWorld);
}

void CCursor_Mgr::Texture_And_Style(int kind, CTextureData*& texture, CD3DRenderStyle*& style) const {
  style = m_Default_Style;
  if (kind == kCross_Hair) {
    texture = m_Cross_Hair_Texture;
  } else if (kind == kMarker) {
    texture = m_Marker_Texture;
    style = m_Marker_Style;
  } else {
    texture = m_Cursor_Texture;
  }
}

// The colour, alpha included, goes into the style's colour parameter (alpha, red, green,
// blue). The state manager keeps recorded transitions into a style; they carry the old colour,
// so they are dropped when it changes.
void CCursor_Mgr::Set_Marker_Colour(uint32_t colour) {
  if (m_Marker_Colour_Set && colour == m_Marker_Color_In_Style) return;
  const float argb[4] = {Channel(colour, 24) / 255.0f, Channel(colour, 16) / 255.0f, Channel(colour, 8) / 255.0f,
                         Channel(colour, 0) / 255.0f};
  m_Marker_Style->SetParamVector(kMarker_Colour_Key, argb);
  if (g_pRenderStateMgr) g_pRenderStateMgr->InvalidateStyle(m_Marker_Style);
  m_Marker_Colour_Set = true;
  m_Marker_Color_In_Style = colour;
}

int CCursor_Mgr::Cursor_Kind() const {
  if (!m_Initialised || !m_Show) return kNo_Cursor;
  const bool in_simulation = g_Game_State.m_Sim_Kind != 0;
  if (g_Game_State.Hide_Cursor_In_Sims && in_simulation && !g_Popup_Mgr.Is_Open()) return kNo_Cursor;
  return in_simulation && !g_Modal_Dlg.Is_Open() ? kCross_Hair : kArrow;
}

void CCursor_Mgr::Render() {
  const int kind = Cursor_Kind();
  if (kind == kNo_Cursor) return;
  POINT cursor{0, 0};
  GetCursorPos(&cursor);
  if (g_Main_Window) ScreenToClient(g_Main_Window, &cursor);
  const float scale = 1.0f;
  const unsigned colour = kWhite;
  Draw_Marker(kind, CVector3{static_cast<float>(cursor.x), static_cast<float>(cursor.y), 0.0f}, colour, scale);
}
