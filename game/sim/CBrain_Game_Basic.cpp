#include "game/sim/CBrain_Game_Basic.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/core/Sound_FX.h"
#include "game/player/Gun_Resources.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/trainer/Format_Minutes_Seconds.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"

namespace {

constexpr float kTwo_Pi = 6.28318531f;
constexpr float kLowest_Infection = 0.01f;
constexpr float kPoint_Worth = 0.000125f;
constexpr uint32_t kRenderable_Ids[CBrain_Game_Basic::kRenderable_Count] = {0x220000c9, 0x220000cc, 0x220000cd};
constexpr uint32_t kStyle_Ids[CBrain_Game_Basic::kStyle_Count] = {0x22000043, 0x2200002e, 0x22000038, 0x22000039,
                                                                  0x220000ce};
constexpr uint32_t kTexture_Ids[CBrain_Game_Basic::kTexture_Count] = {0x22000029, 0x220000cb, 0x22000037};
constexpr uint32_t kUrgent_Colour = 0x44ff8888;
constexpr int kTime_Font = 3;
constexpr uint32_t kCalm_Colour = 0x4477bbcc;

// Moves value toward target by at most up (rising) or down (falling), without passing it.
float Ease(float value, float target, float up, float down) {
  if (value < target) return std::min(value + up, target);
  return std::max(value - down, target);
}

enum { kPanel_Style, kLabel_Style, kGauge_Style, kGlow_Style, kInfection_Style };

void Draw_Mesh(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture) {
  CRenderObject* object = renderable ? renderable->GetRenderObject() : nullptr;
  if (!object || object->GetType() != CRigidMesh::kType || !style) return;
  CDeviceTexture* textures[4] = {texture ? texture->m_pDeviceTexture : nullptr, nullptr, nullptr, nullptr};
  static_cast<CRigidMesh*>(object)->Render(&world, style, textures, nullptr, nullptr);
}

// A gauge's alpha reference for a fill of 0-1: above 1 (nothing drawn) when empty, below 0
// (the whole ramp drawn) when full.
float Gauge_Value(float fill) { return 1.025f - 1.05f * fill; }

// A texture factor from alpha, red, green and blue, each 0-1.
uint32_t Argb(float a, float r, float g, float b) { return Pack_Color_ARGB(CColor4{r, g, b, a}); }

// The panel's matrix moved by an offset along its own axes.
CMatrix4x4 Moved(const CMatrix4x4& panel, float a, float b, float c) {
  CMatrix4x4 out = panel;
  for (int col = 0; col < 3; ++col)
    out.m[3][col] = panel.m[3][col] + a * panel.m[0][col] + b * panel.m[1][col] + c * panel.m[2][col];
  return out;
}

// The shield bar's two glow passes: the bar again, a little above and below itself, so that
// its halo rims it.
constexpr float kGlow_Offsets[2][3] = {{0.0f, 0.06f, 0.0f}, {0.0f, -0.06f, 0.0f}};

// The shield label: a white quad at (-1.9, 0, -0.25) in the panel's axes, half-sizes 1.0 and 0.5.
void Draw_Label_Quad(const CMatrix3x3& axes, const CVector3& panel, CD3DRenderStyle* style, CTextureData* texture) {
  if (!g_pWorldDrawPrim || !style || !texture) return;
  const auto at = [&](float a, float b, float c) {
    return CVector3{panel.x + axes.rows[0].x * a + axes.rows[1].x * b + axes.rows[2].x * c,
                    panel.y + axes.rows[0].y * a + axes.rows[1].y * b + axes.rows[2].y * c,
                    panel.z + axes.rows[0].z * a + axes.rows[1].z * b + axes.rows[2].z * c};
  };
  const float corners[4][4] = {{-1.0f, 0.5f, 0.0f, 0.0f}, {1.0f, 0.5f, 1.0f, 0.0f}, {1.0f, -0.5f, 1.0f, 1.0f},
                               {-1.0f, -0.5f, 0.0f, 1.0f}};
  DrawPrimFlatTexQuad quad{};
  for (int i = 0; i < 4; ++i) {
    const CVector3 p = at(-1.9f + corners[i][0], corners[i][1], -0.25f);
    quad.v[i] = TexPosition{p.x, p.y, p.z, corners[i][2], corners[i][3]};
  }
  quad.color = 0xFFFFFFFF;
  CD3DDrawPrim& draw = *g_pWorldDrawPrim;
  draw.SetRenderStyle(style);
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetTexture(texture, 0);
  draw.DrawFlatTexQuads(&quad, 1);
  draw.SetTexture(nullptr, 0);
  draw.SetRenderStyle(nullptr);
}

// The pulse of the camera's breathing zoom: 0 while it is idle, else its level times
// (sin(phase) + 1) / 2. It pushes the panel outward.
float Camera_Pulse() {
  const float level = g_Camera.m_Zoom_Level;
  if (level <= 0.0f) return 0.0f;
  return level * (std::sin(g_Camera.m_Zoom_Phase) + 1.0f) * 0.5f;
}

float Difficulty() { return std::max(g_Difficulty_Factor, 0.001f); }

CWarRoom_Site* Current_Site() {
  const int site = g_WarRoom_Sim.m_Current_Site;
  if (site < 0 || site >= CWarRoom_Sim::kSite_Count) return nullptr;
  return &g_WarRoom_Sim.m_Sites[site];
}

float Time_Left() {
  const CWarRoom_Sim& war_room = g_WarRoom_Sim;
  return (war_room.m_Farthest_Distance - war_room.m_Infection_Radius) / std::max(war_room.m_Growth_Rate, 0.000001f);
}

void End_Mission(bool success) {
  const bool result = success;
  g_Music_Track.End_Sim(result);
}

}  // namespace

bool CBrain_Game_Basic::Init(const CSim_Desc& desc) {
  if (!g_Music_Track.Init(desc)) {
    Term();
    return false;
  }
  if (!Acquire_Resources()) {
    Term();
    return false;
  }
  m_Ended = 0;
  m_End_Time = m_Clock = m_Shown_Shield = m_Shown_Projected = m_Shown_Infection = 0.0f;
  m_Pulse_Phase = m_Commit_Flash = m_Loss_Flash = 0.0f;
  m_Shown_Seconds = -1;
  m_Initialised = 1;
  return true;
}

bool CBrain_Game_Basic::Acquire_Resources() {
  for (int i = 0; i < kRenderable_Count; ++i) {
    m_Renderables[i] = g_pRenderObjects ? g_pRenderObjects->GetRenderObject(kRenderable_Ids[i]) : nullptr;
    if (!m_Renderables[i]) {
      Show_Message("Error in CBrain_Game_Basic\nUnable to create renderable object...");
      return false;
    }
  }
  for (int i = 0; i < kStyle_Count; ++i) {
    m_Styles[i] = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kStyle_Ids[i]) : nullptr;
    if (!m_Styles[i]) {
      Show_Message(i == 1 ? "Error in CBrain_Game_Basic\nUnable to load shader..."
                          : "Error in CBrain_Game_Basic\nUnable to create render shader...");
      return false;
    }
  }
  for (int i = 0; i < kTexture_Count; ++i) {
    m_Textures[i] = g_pTexture ? g_pTexture->GetTexture(kTexture_Ids[i]) : nullptr;
    if (!m_Textures[i]) {
      Show_Message("Error in CBrain_Game_Basic\nUnable to create texture...");
      return false;
    }
  }
  return true;
}

void CBrain_Game_Basic::Release_Resources() {
  for (CRenderableObject*& renderable : m_Renderables) {
    if (renderable && g_pRenderObjects) g_pRenderObjects->ReleaseRenderObject(renderable);
    renderable = nullptr;
  }
  for (CD3DRenderStyle*& style : m_Styles) {
    if (style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(style);
    style = nullptr;
  }
  for (CTextureData*& texture : m_Textures) {
    if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
    texture = nullptr;
  }
}

void CBrain_Game_Basic::Term() {
  g_Music_Track.Term();
  Release_Resources();
  m_Initialised = 0;
}

float CBrain_Game_Basic::Projected_Infection() const {
  const CScore_Board_Mgr& board = g_Score_Board_Mgr;
  const float pending = static_cast<float>(board.m_Pending_Points);
  const float closing = static_cast<float>(board.m_Closing_Points);
  const float in_play = pending + std::trunc(static_cast<float>(board.m_Pending_Multiplier) * 0.0100001f * pending) +
                        closing + std::trunc(static_cast<float>(board.m_Closing_Multiplier) * 0.0100001f * closing);
  const float c = Difficulty();
  const float m = std::clamp(in_play * (1.0f / c) * (1.0f / c) * kPoint_Worth, 0.0f, 1.0f);
  const CWarRoom_Site* site = Current_Site();
  const float level = site ? site->infection : 0.0f;
  return std::clamp(level - m, 0.0f, 1.0f);
}

void CBrain_Game_Basic::Update(const float& dt) {
  m_Clock += dt;
  m_Pulse_Phase += dt;
  if (m_Pulse_Phase > kTwo_Pi) m_Pulse_Phase -= kTwo_Pi;
  const float shield_step = 0.15f * dt;
  m_Shown_Shield = Ease(m_Shown_Shield, g_WarRoom_Sim.m_Shield_Level, shield_step, shield_step);
  const float projected = Projected_Infection();
  const CWarRoom_Site* site = Current_Site();
  const float level = site ? site->infection : 0.0f;
  m_Shown_Projected = Ease(m_Shown_Projected, projected, 0.15f * dt, 0.11f * dt);
  m_Shown_Infection = Ease(m_Shown_Infection, level, 0.15f * dt, 0.11f * dt);
  if (projected == 0.0f) g_Score_Board_Mgr.Commit_Points();
  m_Commit_Flash = std::max(m_Commit_Flash - 0.35f * dt, 0.0f);
  m_Loss_Flash = std::max(m_Loss_Flash - 0.2f * dt, 0.0f);
  if (m_Ended || g_WarRoom_Sim.m_Disinfection_Mode) return;
  if (Time_Left() < 1.0f && g_WarRoom_Sim.m_Current_Site != g_WarRoom_Sim.m_Infected_Site) {
    m_Ended = 1;
    End_Mission(true);
  }
}

void CBrain_Game_Basic::On_Points_Committed(const uint32_t& amount) {
  CWarRoom_Site* site = Current_Site();
  if (!site) return;
  const float c = Difficulty();
  site->infection =
      std::max(site->infection - (1.0f / c) * (1.0f / c) * static_cast<float>(amount) * kPoint_Worth, kLowest_Infection);
  if (m_Ended || site->infection != kLowest_Infection) return;
  m_Ended = 1;
  m_End_Time = m_Clock;
  const uint32_t boss = 0x08;
  if (g_World.Find_Object_By_Flags(boss, 0)) g_WarRoom_Sim.m_Disinfection_Mode = true;
  site->flags &= ~CWarRoom_Site::kInfected;
  End_Mission(true);
}

void CBrain_Game_Basic::Check_Shields() {
  if (m_Ended || g_WarRoom_Sim.m_Shield_Level > 0.0f) return;
  m_Ended = 1;
  m_End_Time = m_Clock;
  g_WarRoom_Sim.Pop_History();
  const int previous = g_WarRoom_Sim.Pop_History();
  const CWarRoom_Site* site = Current_Site();
  bool linked = false;
  if (site && previous >= 0) {
    for (int32_t link : site->links) {
      if (link == -1) break;
      if (link == previous) linked = true;
    }
  }
  if (linked)
    g_WarRoom_Sim.Set_Target_Site(previous);
  else
    g_WarRoom_Sim.m_Growth_Rate = 100.0f;
  End_Mission(false);
}

int CBrain_Game_Basic::Time_Left_Units() {
  float t = Time_Left();
  if (g_WarRoom_Sim.m_Disinfection_Mode) t = std::max(t, 1.0f);
  // Clamped before it becomes a whole number: a rate near 0 gives a time far past any int.
  if (!(t > 0.0f)) return 0;
  return static_cast<int>(std::min(t, 2.0e9f));
}

CVector3 CBrain_Game_Basic::Panel_Position() const {
  const float slide = std::max(m_Ended ? 2.0f * (m_Clock - m_End_Time) : 7.0f - m_Clock, 0.0f);
  float lateral = slide + 5.15f;
  float vertical = 5.5f;
  const float pulse = Camera_Pulse();
  if (pulse != 0.0f) {
    lateral += 4.83f * pulse;
    vertical = 5.5f + 1.83f * pulse;
  }
  const CMatrix3x3& axes = g_Camera.Rotation();
  const CVector3 eye = g_Camera.Get_Eye_Position();
  return CVector3{eye.x + axes.rows[0].x * lateral + axes.rows[1].x * vertical + axes.rows[2].x * 15.0f,
                  eye.y + axes.rows[0].y * lateral + axes.rows[1].y * vertical + axes.rows[2].y * 15.0f,
                  eye.z + axes.rows[0].z * lateral + axes.rows[1].z * vertical + axes.rows[2].z * 15.0f};
}

void CBrain_Game_Basic::Build_Time_Text() {
  const int units = Time_Left_Units();
  m_Time_Colour = units < 60 ? kUrgent_Colour : kCalm_Colour;
  if (units == m_Shown_Seconds) return;
  m_Shown_Seconds = units;
  std::strncpy(m_Time_Text, Format_Minutes_Seconds(units), sizeof(m_Time_Text) - 1);
  m_Time_Text[sizeof(m_Time_Text) - 1] = '\0';
  m_Time_Text_Width = static_cast<float>(g_Menu_Mgr.Get_Text_Width(kTime_Font, m_Time_Text));
}

void CBrain_Game_Basic::Draw_Label(const CMatrix3x3& axes, const CVector3& panel) const {
  Draw_Label_Quad(axes, panel, m_Styles[kLabel_Style], m_Textures[1]);
}

void CBrain_Game_Basic::Render() {
  Build_Time_Text();
  Draw_Panel();
  const float width = g_Camera.Screen_Width(), height = g_Camera.Screen_Height();
  const CVector2 place{(width - m_Time_Text_Width) * 0.5f, 0.0075f * height};
  const CVector2 box{m_Time_Text_Width + 1.0f, 0.08f * height};
  g_Menu_Mgr.Draw_Text(kTime_Font, m_Time_Text, place, box, m_Time_Colour, 0);
}

// The panel and its gauges, facing the camera like the camera itself.
void CBrain_Game_Basic::Draw_Panel() {
  const CMatrix3x3& axes = g_Camera.Rotation();
  const CVector3 place = Panel_Position();
  CMatrix4x4 panel;
  for (int row = 0; row < 3; ++row) {
    panel.m[row][0] = axes.rows[row].x;
    panel.m[row][1] = axes.rows[row].y;
    panel.m[row][2] = axes.rows[row].z;
    panel.m[row][3] = 0.0f;
  }
  panel.m[3][0] = place.x;
  panel.m[3][1] = place.y;
  panel.m[3][2] = place.z;
  panel.m[3][3] = 1.0f;
  Draw_Mesh(m_Renderables[0], panel, m_Styles[kPanel_Style], m_Textures[0]);
  Draw_Label(axes, place);
  Draw_Shield_Gauge(panel);
  Draw_Infection_Gauges(panel);
}

// The shield bar fills from its foot as the alpha reference falls; two copies in the glow
// style, which takes only its colour, make its halo.
void CBrain_Game_Basic::Draw_Shield_Gauge(const CMatrix4x4& panel) const {
  const float s = m_Shown_Shield;
  arsenal::Set_First_Pass(m_Styles[kGauge_Style], Gauge_Value(s), Argb(1.0f, 0.1f, 0.1f, 0.6f + 0.25f * s));
  const float glow_level = 0.2f + 0.25f * s;
  arsenal::Set_First_Pass_Colour(m_Styles[kGlow_Style], Argb(0.7f + 0.05f * std::sin(m_Pulse_Phase),
                                                             std::clamp(glow_level, 0.0f, 1.0f), glow_level,
                                                             0.4f + 0.4f * s));
  Draw_Mesh(m_Renderables[1], panel, m_Styles[kGauge_Style], m_Textures[2]);
  for (const auto& offset : kGlow_Offsets)
    Draw_Mesh(m_Renderables[1], Moved(panel, offset[0], offset[1], offset[2]), m_Styles[kGlow_Style], m_Textures[2]);
}

// One crystal below the shield bar shows the site's infection, dim, and over it, bright and
// pulsing, the infection left once the points now in play are committed.
void CBrain_Game_Basic::Draw_Infection_Gauges(const CMatrix4x4& panel) const {
  const float pulse = 0.5f + 0.15f * std::sin(m_Pulse_Phase);
  CD3DRenderStyle* style = m_Styles[kInfection_Style];
  arsenal::Set_First_Pass(style, Gauge_Value(0.05f + 0.95f * m_Shown_Infection),
                          Argb(1.0f, 0.45f * pulse, 0.1f, 0.35f * pulse));
  Draw_Mesh(m_Renderables[2], panel, style, m_Textures[2]);
  arsenal::Set_First_Pass(style, Gauge_Value(0.05f + 0.95f * m_Shown_Projected),
                          Argb(1.0f, 0.4f + pulse, 0.25f * pulse, 0.3f * pulse));
  Draw_Mesh(m_Renderables[2], panel, style, m_Textures[2]);
}
