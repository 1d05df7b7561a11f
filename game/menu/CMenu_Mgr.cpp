#include "game/menu/CMenu_Mgr.h"

#include <cmath>

#include "game/core/CGame.h"
#include "game/core/CSim_Desc.h"
#include "game/menu/CPopup_Mgr.h"
#include "platform/window/message_queue.h"

CMenu_Mgr g_Menu_Mgr;

namespace {

// The look of one environment variant of a launch.
struct Environment {
  uint32_t clear_color;
  uint32_t world_id;
  CVector3 ambient;
  CVector3 light_color;
  uint32_t training_textures[3];
  uint32_t site_textures[3];
};

constexpr Environment kEnvironments[4] = {
    {0x00101040, 0x22000048, {0.3f, 0.3f, 0.45f}, {0.52f, 0.455f, 0.325f},
     {0x22000104, 0x22000008, 0x2200006d}, {0x2200000a, 0x22000008, 0x22000009}},
    {0x00402030, 0x2200000b, {0.39f, 0.26f, 0.325f}, {0.54f, 0.63f, 0.72f},
     {0x2200000a, 0x220000b0, 0x2200006d}, {0x2200000a, 0x220000b0, 0x22000009}},
    {0x00203020, 0x22000108, {0.19f, 0.19f, 0.2375f}, {0.69f, 0.69f, 0.69f},
     {0x22000105, 0x220000b6, 0x2200006d}, {0x22000105, 0x220000b6, 0x22000009}},
    {0x00403010, 0x22000107, {0.2f, 0.16f, 0.16f}, {0.945f, 0.81f, 0.675f},
     {0x22000106, 0x220000b0, 0x2200006d}, {0x22000106, 0x220000b0, 0x22000009}},
};

}  // namespace

bool CMenu_Mgr::Init() {
  m_Initialised = true;
  Create_Fonts();
  return true;
}

void CMenu_Mgr::Term() {
  Release_Fonts();
  m_Initialised = false;
}

void CMenu_Mgr::Create_Fonts() { m_Fonts_Created = true; }
void CMenu_Mgr::Release_Fonts() { m_Fonts_Created = false; }

void CMenu_Mgr::Build_Sim_Desc(int code, int variant, uint32_t track_id, uint32_t music_id, CSim_Desc& desc) {
  const bool site = code == kCommand_Launch_Site;
  if (variant < 0 || variant > 3) variant = 0;
  // A site simulation in variant 0 borrows the colours of variant 2.
  const Environment& look = kEnvironments[variant];
  const Environment& colors = (site && variant == 0) ? kEnvironments[2] : look;
  desc = CSim_Desc();
  desc.environment_variant = variant;
  desc.mode_flags = site ? kSim_Flags_WarRoom : kSim_Flags_Training;
  desc.brain_kind = site ? 2 : 1;
  desc.gravity.Set(0.0f, -150.0f, 0.0f);
  desc.clear_color = colors.clear_color;
  desc.view_distance_factor = -1.0f;
  desc.camera_position.Set(800.0f, 1500.0f, -500.0f);
  desc.camera_target.Set(800.0f, 900.0f, 1000.0f);
  desc.track_file_id = track_id;
  desc.music_id = music_id;
  CWorld_Desc& world = desc.world_desc;
  world.world_id = look.world_id;
  world.world_flags = kWorld_Mirror_Walls;
  world.ambient_color = colors.ambient;
  world.light_color = colors.light_color;
  const float inv_length = 1.0f / std::sqrt(0.59f);
  world.light_direction.Set((variant == 1 ? -0.5f : 0.5f) * inv_length, -0.5f * inv_length, 0.3f * inv_length);
  const uint32_t* textures = site ? look.site_textures : look.training_textures;
  for (int i = 0; i < 3; ++i) world.texture_ids[i] = textures[i];
  const float scales[4] = {0.65f, 0.65f, 1.15f, 0.95f};
  for (int i = 0; i < 4; ++i) world.texture_scales[i] = scales[i];
}

bool CMenu_Mgr::Launch(int code, int variant, uint32_t track_id, uint32_t music_id) {
  CSim_Desc desc;
  Build_Sim_Desc(code, variant, track_id, music_id, desc);
  const int mode = 2;
  if (g_Game.Set_Mode(mode, static_cast<unsigned>(desc.brain_kind), &desc)) return true;
  const int menus = 1;
  g_Game.Set_Mode(menus, 0, nullptr);
  return false;
}

bool CMenu_Mgr::Command(const int& code, int argument, uint32_t track_id, uint32_t music_id) {
  switch (code) {
    case kCommand_Console:
    case kCommand_Simulator:
    case kCommand_WarRoom:
    case kCommand_End_Mission: {
      if (g_Game.Get_Mode() == 1) return true;
      const int menus = 1;
      return g_Game.Set_Mode(menus, 0, nullptr);
    }
    case kCommand_Launch_Training:
    case kCommand_Launch_Site:
      return Launch(code, argument, track_id, music_id);
    case kCommand_Quit:
      PostQuitMessage(0);
      return true;
    case kCommand_Close_Popup:
      g_Popup_Mgr.Close_All(false);
      return true;
    default:
      return true;
  }
}

void CMenu_Mgr::Update(float delta) { (void)delta; }
void CMenu_Mgr::Render(const CFrame_Info& frame) { (void)frame; }

void CMenu_Mgr::On_Left_Down() {}
void CMenu_Mgr::On_Left_Up() {}
void CMenu_Mgr::On_Right_Down() {}
bool CMenu_Mgr::On_Mouse_Wheel(const int& notches) {
  (void)notches;
  return false;
}
void CMenu_Mgr::On_Arrow_Key(int direction) { (void)direction; }
void CMenu_Mgr::On_Enter_Key() {}
void CMenu_Mgr::On_Char(int code, const bool& is_key) {
  (void)code;
  (void)is_key;
}
void CMenu_Mgr::On_Pause(const bool& paused) { m_Last_Pause = paused; }

// Least forms until the menu fonts exist: no text is measured or drawn, and the scene has no
// frame.
float CMenu_Mgr::Get_Text_Width(int font, const char* text) const {
  (void)font;
  (void)text;
  return 0.0f;
}

void CMenu_Mgr::Draw_Text(int font, const char* text, const CVector2& position, const CVector2& size,
                          uint32_t colour, uint32_t flags) const {
  (void)font;
  (void)text;
  (void)position;
  (void)size;
  (void)colour;
  (void)flags;
}

CVector3 CMenu_Mgr::Scene_Point(int index) const {
  (void)index;
  return CVector3{0.0f, 0.0f, 0.0f};
}
