#include "game/warroom/CMenu_EndGame.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CGame_State.h"
#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/fx/Draw_Helpers.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenuItem_Typed_Text.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "game/warroom/Vector_Ops.h"
#include "platform/system/random.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"

namespace {

using warroom::Add;
using warroom::Scale;

constexpr uint32_t kRenderable_Ids[2] = {0x220000d0, 0x220000d2};
constexpr uint32_t kStyle_Ids[3] = {0x22000061, 0x220000d1, 0x2200001f};
constexpr uint32_t kTexture_Ids[4] = {0x2200002c, 0x220000cf, 0x2200005e, 0x22000069};
enum { kPanel_Style, kGlow_Style, kFace_Style };
enum { kPanel_Texture, kBeam_Texture, kStar_Texture, kFace_Texture };
constexpr uint32_t kShow_Sound = 0x220000de;
constexpr uint32_t kLeave_Sound = 0x220000e0;
constexpr float kSilent_Volume = 0.05f;
constexpr float kTwo_Pi = 6.2831855f;
constexpr float kQuarter_Turn = 1.5707964f;
constexpr float kSlide_Time = 15.0f;
constexpr uint32_t kRepeatable = 4;
constexpr uint32_t kLargest_Credits = 0xFFFFFFFFu;
// The glow quads: each reaches its width to either side of its point and its length down.
constexpr float kStar_Width = 12.0f;
constexpr float kStar_Length = 25.0f;
constexpr float kBeam_Width = 126.0f;
constexpr float kBeam_Length = 350.0f;

float W() { return g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 640.0f; }
float H() { return g_pRenderDevice ? g_pRenderDevice->GetScreenHeightF() : 480.0f; }
float Random_Fraction() { return static_cast<float>(plat::Random()) / 32768.0f; }

CVector3 Camera_Point(float ahead, float up, float side) {
  const CMatrix3x3& axes = g_Camera.Rotation();
  CVector3 p = g_Camera.Position();
  p = Add(p, Scale(axes.rows[2], ahead));
  p = Add(p, Scale(axes.rows[1], up));
  return Add(p, Scale(axes.rows[0], side));
}

uint32_t Alpha_Of(float level) {
  return static_cast<uint32_t>(std::clamp(level * 255.0f, 0.0f, 255.0f)) << 24;
}

// The award of a won mission, kept within the 32-bit credits.
uint32_t Mission_Award(uint32_t access_level) {
  const double level = std::max<uint32_t>(access_level, 1);
  const double award = (0.9 + 0.2 * Random_Fraction()) * std::pow(level, 0.35) * g_Difficulty_Factor * 7953.0;
  return static_cast<uint32_t>(std::clamp(std::trunc(award), 0.0, static_cast<double>(kLargest_Credits)));
}

void Add_Text(CMenu_Panel& panel, const char* text, float x, float y, int font, uint32_t flags, uint32_t colour) {
  panel.Add_Item(new CMenuItem_Text(0, text, CVector2{x * W(), y * H()}, colour, font, flags, 1, 0.0f));
}

// When a long career has used every report of its kind, the oldest general one (the first with
// key 0 in the master list, else the kind's first) is told again rather than leaving the line
// empty.
const Master_Record* Oldest_Report(const CCommunications_Mgr& comms, uint32_t kind) {
  if (kind >= kComm_Kinds) return nullptr;
  const uint64_t first = comms.m_Kind_Table[kind][0];
  const uint64_t end = std::min<uint64_t>(first + comms.m_Kind_Table[kind][1], comms.m_Records.size());
  for (uint64_t i = first; i < end; ++i)
    if (comms.m_Records[i].Key == 0) return &comms.m_Records[i];
  return first < end ? &comms.m_Records[first] : nullptr;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Life cycle

bool CMenu_EndGame::Init() {
  for (int i = 0; i < 2; ++i) {
    m_Renderables[i] = g_pRenderObjects ? g_pRenderObjects->GetRenderObject(kRenderable_Ids[i]) : nullptr;
    if (!m_Renderables[i]) {
      Show_Message("Error in CMenu_EndGame\nUnable to rendable object...");
      Term();
      return false;
    }
  }
  for (int i = 0; i < 3; ++i) {
    m_Styles[i] = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kStyle_Ids[i]) : nullptr;
    if (!m_Styles[i]) {
      Show_Message(i == kFace_Style ? "Error in CMenu_EndGame\nUnable to shader..."
                                    : "Error in CMenu_EndGame\nUnable to load shader...");
      Term();
      return false;
    }
  }
  for (int i = 0; i < 4; ++i) {
    m_Textures[i] = g_pTexture ? g_pTexture->GetTexture(kTexture_Ids[i]) : nullptr;
    if (!m_Textures[i]) {
      Show_Message(i == kPanel_Texture ? "Error in CMenu_EndGame\nUnable to load texture..."
                                       : "Error in CMenu_EndGame\nUnable to create texture...");
      Term();
      return false;
    }
  }
  m_Visible = m_Leaving = false;
  m_Initialised = true;
  return true;
}

void CMenu_EndGame::Release_Resources() {
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

void CMenu_EndGame::Term() {
  Release_Resources();
  m_Panel.Clear_Items();
  m_Initialised = false;
  m_Visible = false;
}

void CMenu_EndGame::Activate(bool show, bool success) {
  if (!m_Initialised || show == m_Visible) return;
  if (show) {
    m_E1 = Camera_Point(200.0f, 95.0f, -73.0f);
    m_E2 = Camera_Point(200.0f, 95.0f, 62.0f);
    m_E3 = Camera_Point(200.0f, 85.0f, -68.0f);
    m_E4 = Camera_Point(200.0f, 85.0f, 68.0f);
    m_Turn[0] = m_Turn[1] = kQuarter_Turn;
    m_Elapsed = 0.0f;
    m_Success = success;
    Build_Report();
    Play_Sound_FX(kShow_Sound, 1.0f);
  } else {
    m_Panel.Clear_Items();
  }
  m_Leaving = false;
  m_Visible = show;
}

// ---------------------------------------------------------------------------------------------
// The report

bool CMenu_EndGame::Book_Mission(CClient_Data& account) {
  ++account.m_Missions_Flown;
  if (m_Success) ++account.m_Missions_Won;
  account.Push_Mission_Result(m_Success);
  m_Award = 0;
  if (m_Success) {
    m_Award = Mission_Award(account.m_Access_Level);
    account.m_Credits = m_Award > kLargest_Credits - account.m_Credits ? kLargest_Credits : account.m_Credits + m_Award;
  }
  account.Save();
  return true;
}

std::string CMenu_EndGame::Pick_Message(uint32_t missions_won, uint32_t missions_lost) {
  CCommunications_Mgr& comms = g_Communications_Mgr;
  const uint32_t kind = m_Success ? kComm_Mission_Won : kComm_Mission_Lost;
  const uint32_t key = m_Success ? missions_won : missions_lost;
  const bool allow_repeat = false;
  const Master_Record* record = comms.Pick_Record(kind, key, 0.0f, 0, allow_repeat);
  if (!record) record = comms.Pick_Record(kind, 0, 0.0f, 0, allow_repeat);
  if (!record) record = Oldest_Report(comms, kind);
  if (!record) return "";
  Communication_Header header;
  std::string text;
  if (!CCommunications_Mgr::Read_Communication(*record, header, text)) return "";
  comms.Expand_Text(text);
  if (header.Flags != kRepeatable && comms.m_Forum_Data.m_Loaded) comms.m_Forum_Data.m_Delivered.insert(record->Id);
  return text;
}

void CMenu_EndGame::Build_Report() {
  m_Panel.Clear_Items();
  m_Panel.Init(CVector2{0.5f * W(), 0.5f * H()}, 0);
  Add_Text(m_Panel, m_Success ? "Mission Successful" : "Mission Failed", 0.5f, 0.185f, 2, 13, 0xddffff00);

  CCommunications_Mgr& comms = g_Communications_Mgr;
  const bool started_here = !comms.Is_Running() && comms.Init();
  // Books into the running manager's account, or through a load of its own when the manager
  // could not start; with no account to load nothing is written.
  uint32_t won = 0, flown = 0;
  const bool booked = comms.m_Client_Data.Use_Loaded([&](CClient_Data& account) {
    Book_Mission(account);
    won = account.m_Missions_Won;
    flown = account.m_Missions_Flown;
  });
  if (!booked) m_Award = 0;
  const uint32_t lost = flown >= won ? flown - won : 0;
  m_Message = comms.Is_Running() ? Pick_Message(won, lost) : "";
  if (started_here) comms.Term();
  Lay_Out(won, lost);
}

void CMenu_EndGame::Lay_Out(uint32_t missions_won, uint32_t missions_lost) {
  m_Panel.Add_Item(new CMenuItem_Typed_Text(kMessage_Item, m_Message.c_str(), CVector2{0.185f * W(), 0.22f * H()},
                                            0xaaaaee88, 0, 0, 12, 0.63f * W()));
  Add_Text(m_Panel, "Cumulative Mission Record", 0.18f, 0.588f, 1, 12, 0xaaffff00);
  Add_Text(m_Panel, "Successful Missions:", 0.2f, 0.623f, 0, 12, 0x88888866);
  Add_Text(m_Panel, Format_Number_Grouped(missions_won), 0.815f, 0.623f, 0, 14, 0x8877bbcc);
  Add_Text(m_Panel, "Failed Missions:", 0.2f, 0.656f, 0, 12, 0x88888866);
  Add_Text(m_Panel, Format_Number_Grouped(missions_lost), 0.815f, 0.656f, 0, 14, 0x8877bbcc);
  Add_Text(m_Panel, "Mission Difficulty Rating:", 0.18f, 0.706f, 0, 12, 0xaaffff00);
  char rating[8];
  std::snprintf(rating, sizeof rating, "%.2f", (5.7564 + 1.6760998 * Random_Fraction()) * g_Difficulty_Factor);
  Add_Text(m_Panel, rating, 0.815f, 0.706f, 0, 14, 0xaa77bbcc);
  if (m_Success) {
    Add_Text(m_Panel, "Credits Awarded For Mission:", 0.18f, 0.74f, 0, 12, 0xaaffff00);
    Add_Text(m_Panel, Format_Number_Grouped(m_Award), 0.815f, 0.74f, 0, 14, 0xaa77bbcc);
  }
  auto* button = new CMenuItem_Button(kReturn_Item, "Return to QOR Trainer", CVector2{0.499f * W(), 0.78f * H()},
                                      0xaaeeccff, 1, 13 | CMenuItem_Button::kHidden, 0.61f * W());
  button->m_On_Click = [this](CMenuItem_Button*) { Return_To_Trainer(); };
  m_Panel.Add_Item(button);
}

// ---------------------------------------------------------------------------------------------
// Input, update and drawing

bool CMenu_EndGame::On_Left_Down() {
  if (m_Panel.m_Initialised) m_Panel.On_Mouse_Down();
  return true;
}

bool CMenu_EndGame::On_Left_Up() {
  if (m_Panel.m_Initialised) m_Panel.On_Mouse_Up();
  return true;
}

void CMenu_EndGame::Update(float step) {
  m_Phase += 0.2f * step;
  if (m_Phase >= kTwo_Pi) m_Phase -= kTwo_Pi;
  m_Brightness = 0.75f + 0.2f * std::sin(m_Phase) + 0.015f * (2.0f * Random_Fraction() - 1.0f);
  m_Elapsed += std::min(step, 0.05f);
  auto* message = static_cast<CMenuItem_Typed_Text*>(m_Panel.Find_Item(kMessage_Item, kItem_Typed_Text));
  auto* button = static_cast<CMenuItem_Button*>(m_Panel.Find_Item(kReturn_Item, kItem_Button));
  if (button && (!message || message->Pending_Count() == 0)) button->m_Flags &= ~CMenuItem_Button::kHidden;
}

void CMenu_EndGame::Return_To_Trainer() {
  if (m_Leaving) return;
  m_Leaving = true;
  if (g_Game_State.SoundFX_Volume > kSilent_Volume) Play_Sound_FX(kLeave_Sound, 1.0f);
  g_Sequence_Mgr.Start_Sequence(5, 0, 0, 0, 0);
}

void CMenu_EndGame::Draw_Panel_Meshes() {
  const float offset = m_Elapsed < kSlide_Time ? 300.0f * (kSlide_Time - m_Elapsed) / kSlide_Time : 0.0f;
  const CMatrix3x3& axes = g_Camera.Rotation();
  CVector3 place = Add(g_Camera.Position(), Scale(axes.rows[2], 225.0f));
  place.y += offset;
  CMatrix4x4 world{};
  world.m[0][0] = world.m[1][1] = world.m[2][2] = world.m[3][3] = 1.0f;
  world.m[3][0] = place.x, world.m[3][1] = place.y, world.m[3][2] = place.z;
  auto draw = [&world](CRenderableObject* renderable, CD3DRenderStyle* style, CTextureData* texture,
                       const float* colour) {
    auto* mesh = renderable ? static_cast<CRigidMesh*>(renderable->GetRenderObject()) : nullptr;
    if (!mesh) return;
    CDeviceTexture* textures[4] = {texture ? texture->m_pDeviceTexture : nullptr, nullptr, nullptr, nullptr};
    mesh->Render(&world, style, textures, colour, nullptr);
  };
  const uint32_t face = m_Success ? 0xff221122u : 0xff200000u;
  const float colour[4] = {static_cast<float>((face >> 16) & 0xff) / 255.0f,
                           static_cast<float>((face >> 8) & 0xff) / 255.0f, static_cast<float>(face & 0xff) / 255.0f,
                           1.0f};
  draw(m_Renderables[0], m_Styles[kPanel_Style], m_Textures[kPanel_Texture], nullptr);
  draw(m_Renderables[1], m_Styles[kFace_Style], m_Textures[kFace_Texture], colour);
}

void CMenu_EndGame::Draw_Glow() {
  const CMatrix3x3& axes = g_Camera.Rotation();
  // The glows hang down from their points, which lie at the top edge of the view.
  const CVector3 down = Scale(axes.rows[1], -1.0f);
  const CVector3 stars[2] = {m_E3, m_E4};
  for (int i = 0; i < 2; ++i) {
    // The star's first spoke: the camera's side axis turned about the vertical by its turn.
    const float c = std::cos(m_Turn[i]), s = std::sin(m_Turn[i]);
    const CVector3 spoke = Add(Scale(axes.rows[0], c), Scale(axes.rows[2], s));
    Draw_Axis_Quads(stars[i], spoke, axes.rows[2], down, 5, kStar_Width, kStar_Length,
                    Alpha_Of(m_Brightness * 0.4f) | 0xffffffu, m_Styles[kGlow_Style], m_Textures[kStar_Texture]);
  }
  const CVector3 beams[2] = {m_E1, m_E2};
  for (const CVector3& beam : beams)
    Draw_Axis_Quads(beam, axes.rows[0], axes.rows[2], down, 1, kBeam_Width, kBeam_Length,
                    Alpha_Of(m_Brightness * 0.75f) | 0xffffffu, m_Styles[kGlow_Style], m_Textures[kBeam_Texture]);
}

void CMenu_EndGame::Render(const CFrame_Info& frame) {
  if (!m_Visible || !g_pRenderDevice) return;
  LightDesc kept[4] = {};
  uint8_t enabled[4] = {};
  for (int i = 0; i < 4; ++i) {
    g_pRenderDevice->GetLight(i, &kept[i]);
    g_pRenderDevice->IsLightEnabled(i, &enabled[i]);
  }
  const float b = m_Brightness * 3.0f;
  const CVector3 lamps[2] = {m_E3, m_E4};
  for (int i = 0; i < 2; ++i) {
    LightDesc lamp{};
    lamp.Kind = kLightPoint;
    lamp.Vector = CVector3{lamps[i].x, lamps[i].y, lamps[i].z * 0.5f};
    lamp.Diffuse = CColor4{0.3f * b, 0.25f * b, 0.3f * b, 1.0f};
    lamp.Attenuation[0] = 1.0f;
    lamp.Range = 1500.0f;
    g_pRenderDevice->SetLight(i, &lamp);
    g_pRenderDevice->EnableLight(i, true);
  }
  Draw_Panel_Meshes();
  for (int i = 0; i < 4; ++i) {
    g_pRenderDevice->SetLight(i, &kept[i]);
    g_pRenderDevice->EnableLight(i, enabled[i] != 0);
  }
  if (m_Elapsed >= kSlide_Time) m_Panel.Render_Items(frame.Unpaused_Delta);
  Draw_Glow();
}
