#include "game/warroom/CWarRoom_Map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "game/warroom/Vector_Ops.h"
#include "platform/system/memory.h"
#include "platform/system/random.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "game/core/CGame.h"

using warroom::Add;
using warroom::Cross;
using warroom::Scale;
using warroom::Sub;
using warroom::Unit;

namespace {

constexpr uint32_t kDetail_Texture = 0x2200007f;
constexpr uint32_t kStatic_Texture = 0x22000081;
constexpr uint32_t kMarker_Texture = 0x22000085;
constexpr uint32_t kRing_Texture = 0x22000015;
constexpr uint32_t kMap_Style = 0x22000080;
constexpr uint32_t kStain_Style = 0x220000c6;
constexpr int kMenu_Glow_Style = 1;  // the menu manager's style B
constexpr float kTwo_Pi = 6.28318530718f;
constexpr float kMarker_Size = 2.6f;
constexpr float kRing_Size = 9.0f;
constexpr int kArc_Segments = 32;

float Chance() { return static_cast<float>(plat::Random()) / 32768.0f; }

uint32_t With_Alpha(uint32_t rgb, float alpha) {
  const auto a = static_cast<uint32_t>(std::clamp(alpha, 0.0f, 1.0f) * 255.0f);
  return (a << 24) | (rgb & 0xFFFFFFu);
}

uint32_t Tint(float red, float green, float alpha) {
  const auto r = static_cast<uint32_t>(std::clamp(red, 0.0f, 1.0f) * 255.0f);
  const auto g = static_cast<uint32_t>(std::clamp(green, 0.0f, 1.0f) * 255.0f);
  return With_Alpha((r << 16) | (g << 8) | 0x20, alpha);
}

// Writes a stage's texture transform into the first pass of the style: the coordinates are
// scaled, then moved by the offset (two-float coordinates take their offset from the third row).
void Write_Stage_Transform(CD3DRenderStyle* style, int stage, float su, float sv, float ou, float ov) {
  RenderPassDesc pass{};
  if (!style || !style->GetPass(0, &pass)) return;
  TextureStageDesc& st = pass.Stages[stage];
  const bool was_on = st.TransformOn != 0;
  st.TransformOn = 1;
  std::fill(std::begin(st.Matrix), std::end(st.Matrix), 0.0f);
  st.Matrix[0] = su;
  st.Matrix[5] = sv;
  st.Matrix[8] = ou;
  st.Matrix[9] = ov;
  st.Matrix[10] = 1.0f;
  st.Matrix[15] = 1.0f;
  style->SetPass(0, pass);
  // Texture matrices are applied at every draw; a transform switched on must drop the recorded
  // transitions of the style.
  if (!was_on) style->Rebuild();
}

CTextureData* Get_Texture(uint32_t id) { return g_pTexture ? g_pTexture->GetTexture(id) : nullptr; }
CD3DRenderStyle* Get_Style(uint32_t id) { return g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(id) : nullptr; }

void Release(CTextureData*& texture) {
  if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
  texture = nullptr;
}

void Release(CD3DRenderStyle*& style) {
  if (style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(style);
  style = nullptr;
}

float Screen_Width() { return g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 640.0f; }
float Screen_Height() { return g_pRenderDevice ? g_pRenderDevice->GetScreenHeightF() : 480.0f; }

// A flat quad centred on a point, spanned by two half-side vectors.
DrawPrimTexQuad Quad(const CVector3& centre, const CVector3& half_u, const CVector3& half_v, uint32_t colour) {
  const CVector3 a = Sub(Sub(centre, half_u), half_v);
  const CVector3 b = Sub(Add(centre, half_u), half_v);
  const CVector3 c = Add(Add(centre, half_u), half_v);
  const CVector3 d = Add(Sub(centre, half_u), half_v);
  DrawPrimTexQuad quad;
  quad.v[0] = TexVertex{a.x, a.y, a.z, colour, 0.0f, 1.0f};
  quad.v[1] = TexVertex{b.x, b.y, b.z, colour, 1.0f, 1.0f};
  quad.v[2] = TexVertex{c.x, c.y, c.z, colour, 1.0f, 0.0f};
  quad.v[3] = TexVertex{d.x, d.y, d.z, colour, 0.0f, 0.0f};
  return quad;
}

// The War Room screen reports infected and cleaned cities while it is up.
void Post_Status(int kind, int site) {
  CMenu_WarRoom& screen = g_Menu_Mgr.m_WarRoom;
  if (screen.m_Initialised && screen.m_Visible) screen.Post_Status_Line(kind, site);
}

}  // namespace

bool CWarRoom_Map::Init() {
  if (!g_WarRoom_Sim.m_Initialised) {
    Show_Message("Error in CWarRoom_Map\ng_WarRoom_Sim not initialized");
    Term();
    return false;
  }
  if (!Load_Resources()) {
    Term();
    return false;
  }
  if (!Setup_MiniMap_Data(g_WarRoom_Sim.m_MiniMap_Texture_Id)) {
    Show_Message("Error in CWarRoom_Map\nSetup_MiniMap_Data() failed...");
    Term();
    return false;
  }
  Set_Plane();
  m_Ring_Angle = m_Sweep_Phase = m_Scroll_Phase = m_Overlay_Phase = 0.0f;
  m_Hover_Site = m_Label_Site = -1;
  m_Hover_Time = 0.0f;
  m_Label_Opacity = 0.0f;
  Build_Links();
  Update_Infection(32);
  m_Initialised = true;
  return true;
}

bool CWarRoom_Map::Load_Resources() {
  m_Map_Texture = Get_Texture(g_WarRoom_Sim.m_Map_Texture_Id);
  if (m_Map_Texture) m_Detail_Texture = Get_Texture(kDetail_Texture);
  if (m_Detail_Texture) m_Static_Texture = Get_Texture(kStatic_Texture);
  if (m_Static_Texture) m_Marker_Texture = Get_Texture(kMarker_Texture);
  if (m_Marker_Texture) m_Ring_Texture = Get_Texture(kRing_Texture);
  if (!m_Ring_Texture) {
    Show_Message("Error in CWarRoom_Map\nUnable to load texture...");
    return false;
  }
  m_Map_Style = Get_Style(kMap_Style);
  if (m_Map_Style) m_Stain_Style = Get_Style(kStain_Style);
  if (!m_Stain_Style) {
    Show_Message("Error in CWarRoom_Map\nUnable to load shader...");
    return false;
  }
  return true;
}

void CWarRoom_Map::Term() {
  Release(m_Map_Texture);
  Release(m_MiniMap_Texture);
  Release(m_Detail_Texture);
  Release(m_Static_Texture);
  Release(m_Marker_Texture);
  Release(m_Ring_Texture);
  Release(m_Map_Style);
  Release(m_Stain_Style);
  Counted_Free(m_MiniMap_Bytes);
  m_MiniMap_Bytes = nullptr;
  m_MiniMap_Width = m_MiniMap_Height = 0;
  for (int i = 0; i < kScan_Buffers; ++i) {
    m_Scan_Lines[i].clear();
    m_Scan_Lines[i].shrink_to_fit();
    m_Scan_Filled[i] = false;
  }
  m_Next_Scan = 0;
  m_Links.clear();
  m_Arc_Current = m_Arc_Target = -1;
  m_Arc_Length = 0.0f;
  m_Arc.Clear();
  m_Initialised = false;
}

bool CWarRoom_Map::Setup_MiniMap_Data(uint32_t texture_id) {
  Release(m_MiniMap_Texture);
  m_MiniMap_Texture = Get_Texture(texture_id);
  if (!m_MiniMap_Texture) return false;
  const int width = static_cast<int>(g_pTexture->GetWidth(m_MiniMap_Texture, 0));
  const int height = static_cast<int>(g_pTexture->GetHeight(m_MiniMap_Texture, 0));
  uint8_t* pixels = g_pTexture->LockTexture(m_MiniMap_Texture);
  if (!pixels || width <= 0 || height <= 0) {
    if (pixels) g_pTexture->UnlockTexture(m_MiniMap_Texture);
    return false;
  }
  Counted_Free(m_MiniMap_Bytes);
  m_MiniMap_Bytes = static_cast<uint8_t*>(Counted_Alloc(static_cast<size_t>(width) * height));
  if (!m_MiniMap_Bytes) {
    g_pTexture->UnlockTexture(m_MiniMap_Texture);
    return false;
  }
  m_MiniMap_Width = width;
  m_MiniMap_Height = height;
  // Texels are B, G, R, A bytes, rows from the top of the image.
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < height; ++y) {
      uint8_t* texel = pixels + (static_cast<size_t>(height - 1 - y) * width + x) * 4;
      m_MiniMap_Bytes[x * height + y] = texel[1];
      texel[3] = 0;
    }
  g_pTexture->UnlockTexture(m_MiniMap_Texture);
  for (int i = 0; i < kScan_Buffers; ++i) {
    m_Scan_Lines[i].assign(static_cast<size_t>(height), CVector3{});
    m_Scan_Filled[i] = false;
  }
  m_Next_Scan = 0;
  return true;
}

void CWarRoom_Map::Set_Plane() {
  m_Across = CVector3{277.0f, 0.0f, 0.0f};
  CQuaternion tilt;
  tilt.From_Axis_Angle(CVector3{1.0f, 0.0f, 0.0f}, -kTwo_Pi / 8.0f);
  m_Depth = CVector3{0.0f, 0.0f, 178.0f};
  m_Depth.Rotate_By_Quaternion(tilt);
  m_Normal = Scale(Unit(Cross(m_Across, m_Depth)), -1.0f);
  m_Origin = Add(Add(Scale(m_Across, -0.5f), Scale(m_Depth, -0.55f)), CVector3{0.0f, 0.0f, 300.0f});
}

CVector3 CWarRoom_Map::Get_Site_Position(int site) const {
  if (site < 0 || site >= CWarRoom_Sim::kSite_Count) return m_Origin;
  const CWarRoom_Site& s = g_WarRoom_Sim.m_Sites[site];
  return Add(Add(m_Origin, Scale(m_Across, s.x)), Scale(m_Depth, s.y));
}

void CWarRoom_Map::Build_Links() {
  m_Links.clear();
  const int n = g_WarRoom_Sim.Site_Count();
  for (int i = 0; i < n; ++i)
    for (const int32_t a : g_WarRoom_Sim.m_Sites[i].links)
      if (a > i && a < n && static_cast<int>(m_Links.size()) < kMax_Links) m_Links.emplace_back(i, a);
}

// ---------------------------------------------------------------------------------------------
// The infection

void CWarRoom_Map::Update_Infection(int ticks) {
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  if (!m_MiniMap_Texture || !m_MiniMap_Bytes || !sim.Is_Site(sim.m_Infected_Site)) return;
  if (!sim.m_Disinfection_Mode) Infect_Sites_In_Reach();
  uint8_t* pixels = g_pTexture->LockTexture(m_MiniMap_Texture);
  if (!pixels) return;
  const int n = sim.Site_Count();
  for (int tick = 0; tick < ticks; ++tick)
    for (int site = 0; site < n; ++site) {
      Step_Site(site, ticks);
      Paint_Stain(pixels, site, ticks);
    }
  g_pTexture->UnlockTexture(m_MiniMap_Texture);
}

void CWarRoom_Map::Infect_Sites_In_Reach() {
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  float radius_squared = sim.m_Infection_Radius * sim.m_Infection_Radius;
  const float time = (sim.m_Farthest_Distance - sim.m_Infection_Radius) / std::max(sim.m_Growth_Rate, 0.000001f);
  if (time <= 1.0f) radius_squared *= 2.0f;
  const CWarRoom_Site& source = sim.m_Sites[sim.m_Infected_Site];
  float distance_squared = 0.0f;
  for (int site = sim.Find_Next_Site_Within({source.x, source.y}, radius_squared, distance_squared, -1); site != -1;
       site = sim.Find_Next_Site_Within({source.x, source.y}, radius_squared, distance_squared, site)) {
    CWarRoom_Site& s = sim.m_Sites[site];
    if ((s.flags & CWarRoom_Site::kInfected) || s.infection != 0.0f) continue;
    s.infection = 0.5f;
    s.flags |= CWarRoom_Site::kInfected;
    Post_Status(2, site);
  }
}

void CWarRoom_Map::Step_Site(int site, int ticks) {
  CWarRoom_Sim& sim = g_WarRoom_Sim;
  CWarRoom_Site& s = sim.m_Sites[site];
  const float pace = static_cast<float>(std::min(ticks, 3));
  if (sim.m_Disinfection_Mode) {
    if (s.infection == 0.0f) return;
    s.infection = std::max(s.infection - pace * 0.009f, 0.0f);
    if ((s.flags & CWarRoom_Site::kInfected) && s.infection == 0.0f) {
      s.flags &= ~CWarRoom_Site::kInfected;
      Post_Status(3, site);
    }
    return;
  }
  if (s.infection <= 0.0f || s.infection >= 1.0f) return;
  s.infection = std::min(s.infection + pace * 0.0006f, 1.0f);
  if (!(s.flags & CWarRoom_Site::kInfected) && s.infection >= 0.5f) {
    s.flags |= CWarRoom_Site::kInfected;
    Post_Status(2, site);
  }
}

// Spots scattered around the site (denser near it): alpha rises where the site is infected and
// falls elsewhere, four times as fast while the infection recedes.
void CWarRoom_Map::Paint_Stain(uint8_t* pixels, int site, int ticks) const {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  const CWarRoom_Site& s = sim.m_Sites[site];
  const float spread = s.weight * 0.15f;
  int delta = -16;
  if (s.flags & CWarRoom_Site::kInfected)
    delta = 16;
  else if (sim.m_Disinfection_Mode)
    delta = -64;
  for (int spot = 0; spot < ticks; ++spot) {
    const float u = Chance();
    const float v = Chance();
    const float s1 = plat::Random() > 16382 ? -1.0f : 1.0f;
    const float s2 = plat::Random() > 16382 ? -1.0f : 1.0f;
    const float x = std::max(s.x + u * u * u * spread * s1, 0.0f);
    const float y = std::max(s.y + v * v * v * spread * s2, 0.0f);
    const int column = std::min(m_MiniMap_Width - 1, static_cast<int>(x * static_cast<float>(m_MiniMap_Width) + 0.5f));
    const int row = std::min(m_MiniMap_Height - 1, static_cast<int>(y * static_cast<float>(m_MiniMap_Height) + 0.5f));
    uint8_t& alpha = pixels[(static_cast<size_t>(m_MiniMap_Height - 1 - row) * m_MiniMap_Width + column) * 4 + 3];
    alpha = static_cast<uint8_t>(std::clamp(static_cast<int>(alpha) + delta, 0, 255));
  }
}

// ---------------------------------------------------------------------------------------------
// Animation and picking

void CWarRoom_Map::Update(float dt) {
  m_Scroll_Phase += std::min(0.05f * dt, 0.1f);
  if (m_Scroll_Phase >= 1.0f) m_Scroll_Phase -= 1.0f;
  // The detail texture (the style's second stage) slides across the map with the scan line.
  Write_Stage_Transform(m_Map_Style, 1, 1.0f, 1.0f, 1.0f - m_Scroll_Phase, 0.0f);
  m_Ring_Angle += 0.25f * dt;
  if (m_Ring_Angle >= kTwo_Pi) m_Ring_Angle -= kTwo_Pi;
  m_Sweep_Phase += 15.0f * dt / std::max(m_Arc_Length, 100.0f);
  if (m_Sweep_Phase >= 0.95f) m_Sweep_Phase = 0.0f;
  if (!g_Game_Paused) Fill_Scan_Line();
}

void CWarRoom_Map::Fill_Scan_Line() {
  if (!m_MiniMap_Bytes || m_MiniMap_Height < 2) return;
  const int column = std::clamp(static_cast<int>(std::floor(m_Scroll_Phase * m_MiniMap_Width)), 0, m_MiniMap_Width - 1);
  std::vector<CVector3>& line = m_Scan_Lines[m_Next_Scan];
  line.resize(static_cast<size_t>(m_MiniMap_Height));
  const float x = (static_cast<float>(column) + 0.5f) / static_cast<float>(m_MiniMap_Width);
  for (int y = 0; y < m_MiniMap_Height; ++y) {
    const float height = m_MiniMap_Bytes[column * m_MiniMap_Height + y] * 0.025f;
    const float along = (static_cast<float>(y) + 0.5f) / static_cast<float>(m_MiniMap_Height);
    line[y] = Add(Add(Add(m_Origin, Scale(m_Across, x)), Scale(m_Depth, along)), Scale(m_Normal, height));
  }
  m_Scan_Filled[m_Next_Scan] = true;
  m_Next_Scan = (m_Next_Scan + 1) % kScan_Buffers;
}

int CWarRoom_Map::Pick_Site() const {
  const CVector3 ray = Scale(Unit(g_Camera.Get_Cursor_Ray()), 1000.0f);
  const CVector3 along = Unit(ray);
  const CVector3 eye = g_Camera.Position();
  int best = -1;
  float best_distance = 100.0f;
  const int n = g_WarRoom_Sim.Site_Count();
  for (int site = 0; site < n; ++site) {
    CVector3 d = Sub(Get_Site_Position(site), eye);
    if (d.Dot(ray) > 0.0f) d = Sub(d, Scale(along, d.Dot(along)));
    const float distance = d.Length();
    if (distance < best_distance) {
      best_distance = distance;
      best = site;
    }
  }
  return best;
}

// ---------------------------------------------------------------------------------------------
// Drawing

void CWarRoom_Map::Frame(float dt) {
  if (!m_Initialised) return;
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetRenderStyle(m_Map_Style);
  draw.SetTexture(m_Map_Texture, 0);
  draw.SetTexture(m_Detail_Texture, 1);
  Draw_Map_Quad(0xff88aa88);
  draw.SetTexture(m_Static_Texture, 0);
  Draw_Map_Quad(0xff88ff88);
  draw.SetTexture(nullptr, 1);

  m_Overlay_Phase += 0.03f * dt;
  if (m_Overlay_Phase >= 1.0f) m_Overlay_Phase -= std::floor(m_Overlay_Phase);
  const float stain = (std::sin(kTwo_Pi * m_Overlay_Phase) + 1.0f) / 2.0f * 0.2f + 0.3f;
  draw.SetRenderStyle(m_Stain_Style);
  draw.SetTexture(m_MiniMap_Texture, 0);
  Draw_Map_Quad(With_Alpha(0xff0000, stain));

  // Links, markers and rings glow in the menus' shared glow style (style B).
  draw.SetRenderStyle(g_Menu_Mgr.Style(kMenu_Glow_Style));
  Draw_Links();
  Draw_Markers();
  draw.SetRenderStyle(m_Stain_Style);
  Draw_Scan_Lines();
  Draw_Arc();
  draw.SetTexture(nullptr, 0);
  draw.SetRenderStyle(nullptr);
  Draw_Texts(dt);
}

// The whole map. The first texture goes through the style's first stage transform: the map
// image once, the static of the second draw tiled 8 x 4 times at a random offset.
void CWarRoom_Map::Draw_Map_Quad(uint32_t colour) const {
  const bool tiled = colour == 0xff88ff88;
  const float su = tiled ? 8.0f : 1.0f;
  const float sv = tiled ? 4.0f : 1.0f;
  const float ou = tiled && !g_Game_Paused ? Chance() : 0.0f;
  const float ov = tiled && !g_Game_Paused ? Chance() : 0.0f;
  Write_Stage_Transform(m_Map_Style, 0, su, sv, ou, ov);
  const CVector3 a = m_Origin;
  const CVector3 b = Add(m_Origin, m_Across);
  const CVector3 c = Add(b, m_Depth);
  const CVector3 d = Add(m_Origin, m_Depth);
  DrawPrimTexQuad quad;
  quad.v[0] = TexVertex{a.x, a.y, a.z, colour, 0.0f, 1.0f};
  quad.v[1] = TexVertex{b.x, b.y, b.z, colour, 1.0f, 1.0f};
  quad.v[2] = TexVertex{c.x, c.y, c.z, colour, 1.0f, 0.0f};
  quad.v[3] = TexVertex{d.x, d.y, d.z, colour, 0.0f, 0.0f};
  g_pDrawPrim->DrawTexQuads(&quad, 1);
}

void CWarRoom_Map::Draw_Links() const {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  g_pDrawPrim->SetTexture(m_Marker_Texture, 0);
  auto on_route = [&sim](int a, int b) {
    for (int i = 0; i + 1 < sim.m_Route_Count && i + 1 < CWarRoom_Sim::kSite_Count; ++i)
      if ((sim.m_Route[i] == a && sim.m_Route[i + 1] == b) || (sim.m_Route[i] == b && sim.m_Route[i + 1] == a))
        return true;
    return false;
  };
  const bool has_route = sim.m_Target_Site != -1 && sim.m_Target_Site != sim.m_Current_Site;
  for (const auto& [i, a] : m_Links) {
    const CVector3 from = Get_Site_Position(i);
    const CVector3 to = Get_Site_Position(a);
    const CVector3 half = Scale(Unit(Cross(m_Normal, Sub(to, from))), 0.65f);
    auto band = [&](uint32_t colour, float width) {
      const CVector3 w = Scale(half, width);
      DrawPrimTexQuad quad;
      const CVector3 p0 = Sub(from, w), p1 = Add(from, w), p2 = Add(to, w), p3 = Sub(to, w);
      quad.v[0] = TexVertex{p0.x, p0.y, p0.z, colour, 0.5f, 0.0f};
      quad.v[1] = TexVertex{p1.x, p1.y, p1.z, colour, 0.5f, 0.0f};
      quad.v[2] = TexVertex{p2.x, p2.y, p2.z, colour, 0.5f, 1.0f};
      quad.v[3] = TexVertex{p3.x, p3.y, p3.z, colour, 0.5f, 1.0f};
      g_pDrawPrim->DrawTexQuads(&quad, 1);
    };
    band(0x33444422, 1.0f);
    if (!has_route || !on_route(i, a)) continue;
    const bool infected = (sim.m_Sites[i].flags | sim.m_Sites[a].flags) & CWarRoom_Site::kInfected;
    band(infected ? 0x55ff2222 : 0xcc444422, 1.0f);
  }
}

void CWarRoom_Map::Draw_Markers() {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  const CVector3 u = Unit(m_Across);
  const CVector3 v = Unit(m_Depth);
  g_pDrawPrim->SetTexture(m_Marker_Texture, 0);
  const int n = sim.Site_Count();
  for (int site = 0; site < n; ++site) {
    const CWarRoom_Site& s = sim.m_Sites[site];
    const float size = kMarker_Size * (s.weight + 1.0f) * 0.5f;
    float p = m_Scroll_Phase - s.x + (s.x > m_Scroll_Phase ? 1.0f : 0.0f);
    p = std::clamp(p, 0.0f, 1.0f);
    const float alpha = (1.0f - p) * (1.0f - p) * (1.0f - p) + 0.3f;
    const bool infected = s.flags & CWarRoom_Site::kInfected;
    const uint32_t colour = infected ? Tint(0.9f, 0.3f, alpha) : Tint(0.3f, 0.9f, alpha);
    const DrawPrimTexQuad quad = Quad(Get_Site_Position(site), Scale(u, size), Scale(v, size), colour);
    g_pDrawPrim->DrawTexQuads(&quad, 1);
  }
  g_pDrawPrim->SetTexture(m_Ring_Texture, 0);
  if (sim.Is_Site(sim.m_Current_Site)) Draw_Ring(sim.m_Current_Site, 0xffaaaa33, 1.0f, true);
  if (sim.Is_Site(sim.m_Target_Site)) {
    if (sim.m_Target_Site == sim.m_Current_Site)
      Draw_Ring(sim.m_Target_Site, 0xff343420, 0.35f, false);
    else
      Draw_Ring(sim.m_Target_Site, 0xffffdd44, 0.35f, true);
  }
  const int hover = Pick_Site();
  if (hover != -1 && hover != sim.m_Target_Site) Draw_Ring(hover, 0xff202020, 0.35f, false);
  if (hover != m_Hover_Site) m_Hover_Time = 0.0f;
  m_Hover_Site = hover;
}

void CWarRoom_Map::Draw_Ring(int site, uint32_t colour, float scale, bool animated) const {
  const float angle = animated ? -m_Ring_Angle : 0.0f;
  const CVector3 u = Unit(m_Across);
  const CVector3 v = Unit(m_Depth);
  const float size = kRing_Size * scale;
  const CVector3 su = Scale(Add(Scale(u, std::cos(angle)), Scale(v, std::sin(angle))), size);
  const CVector3 sv = Scale(Sub(Scale(v, std::cos(angle)), Scale(u, std::sin(angle))), size);
  const DrawPrimTexQuad quad = Quad(Get_Site_Position(site), su, sv, colour);
  g_pDrawPrim->DrawTexQuads(&quad, 1);
}

void CWarRoom_Map::Draw_Scan_Lines() const {
  std::vector<ColorVertex> strip;
  for (int i = 0; i < kScan_Buffers; ++i) {
    if (!m_Scan_Filled[i] || m_Scan_Lines[i].size() < 2) continue;
    const int age = (m_Next_Scan - 1 - i + kScan_Buffers) % kScan_Buffers;
    const uint32_t colour = With_Alpha(0x55ff88, 0.6f * (1.0f - static_cast<float>(age) / kScan_Buffers));
    strip.clear();
    for (const CVector3& p : m_Scan_Lines[i]) strip.push_back(ColorVertex{p.x, p.y, p.z, colour});
    g_pDrawPrim->SetTexture(nullptr, 0);
    g_pDrawPrim->DrawLineStrip(strip.data(), static_cast<uint32_t>(strip.size()));
  }
}

void CWarRoom_Map::Rebuild_Arc() {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  m_Arc_Current = sim.m_Current_Site;
  m_Arc_Target = sim.m_Target_Site;
  m_Arc.Clear();
  m_Arc_Length = 0.0f;
  if (!sim.Is_Site(m_Arc_Current) || !sim.Is_Site(m_Arc_Target) || m_Arc_Current == m_Arc_Target) return;
  const CVector3 from = Get_Site_Position(m_Arc_Current);
  const CVector3 to = Get_Site_Position(m_Arc_Target);
  const float distance = Sub(to, from).Length();
  const CVector3 middle = Add(Scale(Add(from, to), 0.5f), Scale(m_Normal, distance * 0.06f + 3.0f));
  m_Arc.AddKey(0.0f, from, 0.0f, 0.0f, 0.0f);
  m_Arc.AddKey(0.5f, middle, 0.0f, 0.0f, 0.0f);
  m_Arc.AddKey(1.0f, to, 0.0f, 0.0f, 0.0f);
  m_Arc.ComputeSpline();
  CVector3 previous = from;
  for (int step = 1; step <= 20; ++step) {
    const CVector3 point = m_Arc.Sample(0.05f * static_cast<float>(step));
    m_Arc_Length += Sub(point, previous).Length();
    previous = point;
  }
}

void CWarRoom_Map::Draw_Arc() {
  const CWarRoom_Sim& sim = g_WarRoom_Sim;
  if (sim.m_Current_Site == sim.m_Target_Site) return;
  if (sim.m_Current_Site != m_Arc_Current || sim.m_Target_Site != m_Arc_Target)
    Rebuild_Arc();
  if (m_Arc.Get_Key_Count() < 3) return;
  auto ribbon = [this](float start, float end, float width, uint32_t colour) {
    const CVector3 side = Scale(Unit(m_Across), width * 0.5f);
    for (int i = 0; i < 16; ++i) {
      const float t0 = start + (end - start) * static_cast<float>(i) / 16.0f;
      const float t1 = start + (end - start) * static_cast<float>(i + 1) / 16.0f;
      const CVector3 a = m_Arc.Sample(std::max(t0, 0.0f));
      const CVector3 b = m_Arc.Sample(std::max(t1, 0.0f));
      const CVector3 across = Scale(Unit(Cross(m_Normal, Sub(b, a))), side.Length());
      DrawPrimTexQuad quad;
      const CVector3 p0 = Sub(a, across), p1 = Add(a, across), p2 = Add(b, across), p3 = Sub(b, across);
      quad.v[0] = TexVertex{p0.x, p0.y, p0.z, colour, 0.5f, 0.5f};
      quad.v[1] = TexVertex{p1.x, p1.y, p1.z, colour, 0.5f, 0.5f};
      quad.v[2] = TexVertex{p2.x, p2.y, p2.z, colour, 0.5f, 0.5f};
      quad.v[3] = TexVertex{p3.x, p3.y, p3.z, colour, 0.5f, 0.5f};
      g_pDrawPrim->DrawTexQuads(&quad, 1);
    }
  };
  g_pDrawPrim->SetTexture(m_Marker_Texture, 0);
  ribbon(0.0f, 1.0f, 1.5f, 0x99ffdd44);
  ribbon(std::max(m_Sweep_Phase - 0.13f, 0.0f), m_Sweep_Phase, 2.0f, 0xffffffaa);
}

void CWarRoom_Map::Draw_Texts(float dt) {
  const float w = Screen_Width();
  const float h = Screen_Height();
  g_Menu_Mgr.Draw_Text(2, g_WarRoom_Sim.m_Region_Name.c_str(), CVector2{0.0f, 0.312f * h - 0.03f * h},
                       CVector2{w, 0.06f * h}, 0x66bbffaa, kText_Centre);
  m_Hover_Time += dt;
  if (m_Hover_Site != m_Label_Site) {
    m_Label_Opacity = std::max(m_Label_Opacity - 1.2f * dt, 0.0f);
    if (m_Label_Opacity == 0.0f) m_Label_Site = m_Hover_Site;
  } else if (m_Hover_Time > 0.1f) {
    m_Label_Opacity = std::min(m_Label_Opacity + 0.75f * dt, 1.0f);
  }
  if (m_Show_All_Labels) {
    const int n = g_WarRoom_Sim.Site_Count();
    for (int site = 0; site < n; ++site) Draw_Label(site, 1.0f);
  } else if (m_Label_Site != -1) {
    Draw_Label(m_Label_Site, m_Label_Opacity);
  }
}

void CWarRoom_Map::Draw_Label(int site, float opacity) const {
  if (!g_WarRoom_Sim.Is_Site(site) || opacity <= 0.0f) return;
  const CWarRoom_Site& s = g_WarRoom_Sim.m_Sites[site];
  const CVector3 at = g_Camera.World_To_Screen(Get_Site_Position(site));
  const float w = Screen_Width();
  const float h = Screen_Height();
  const int width = g_Menu_Mgr.Get_Text_Width(0, s.name);
  float x = at.x + 0.012f * w;
  if (x + static_cast<float>(width) > 0.85f * w) x = at.x - 0.012f * w - static_cast<float>(width);
  const uint32_t rgb = (s.flags & CWarRoom_Site::kInfected) ? 0xff6666 : 0xffff44;
  g_Menu_Mgr.Draw_Text(0, s.name, CVector2{x, at.y - 0.02f * h}, CVector2{static_cast<float>(width) + 4.0f, 0.04f * h},
                       With_Alpha(rgb, opacity * 0.35f), 0);
}
