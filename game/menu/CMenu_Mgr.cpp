#include "game/menu/CMenu_Mgr.h"

#include <cmath>
#include <cstring>
#include <string>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CRender_Mode_List.h"
#include "game/core/CSim_Desc.h"
#include "game/core/Display_Mode.h"
#include "game/core/WinMain.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/trainer/CClient_Data.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/sound/sound_mgr.h"

CMenu_Mgr g_Menu_Mgr;

namespace {

constexpr float kFont_Width_Fractions[CMenu_Mgr::kFont_Count] = {0.022f, 0.027f, 0.0325f, 0.062f};
constexpr uint32_t kMenu_Textures[4] = {0x22000084, 0x22000083, 0x22000069, 0x2200006c};
constexpr uint32_t kStyle_A = 0x2200002e;
constexpr uint32_t kStyle_B = 0x22000031;
constexpr float kSilent_Volume = 0.05f;
constexpr int kWidest_Resolution = 4;

// Screens for "show only".
enum { kScreen_Simulator, kScreen_WarRoom, kScreen_EndGame };

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

float Screen_Width() { return g_pRenderDevice ? g_pRenderDevice->GetScreenWidthF() : 640.0f; }

// A device context with a font selected, released when it goes.
class Selected_Font {
 public:
  explicit Selected_Font(HFONT font) : m_Dc(GetDC(g_Main_Window)) { m_Previous = SelectObject(m_Dc, font); }
  ~Selected_Font() {
    SelectObject(m_Dc, m_Previous);
    ReleaseDC(g_Main_Window, m_Dc);
  }
  Selected_Font(const Selected_Font&) = delete;
  Selected_Font& operator=(const Selected_Font&) = delete;
  HDC Dc() const { return m_Dc; }

 private:
  HDC m_Dc;
  HGDIOBJ m_Previous = nullptr;
};

bool Device_Full_Screen() { return !g_Device_Windowed; }

bool Mode_Differs(int index) {
  uint32_t width = 0, height = 0;
  CRender_Mode_List::Level_Size(index, width, height);
  if (!g_pRenderDevice) return true;
  if (static_cast<uint32_t>(g_pRenderDevice->GetScreenWidth()) != width ||
      static_cast<uint32_t>(g_pRenderDevice->GetScreenHeight()) != height)
    return true;
  if (g_Game_State.Display_BitDepth == 0) return g_Device_Bit_Depth != 16;
  return g_Device_Bit_Depth != 32 && g_Device_Bit_Depth != 24;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Start and end

bool CMenu_Mgr::Init() {
  if (!Create_Fonts()) {
    Term();
    return false;
  }
  for (int slot = 0; slot < 4; ++slot) {
    m_Textures[slot] = g_pTexture ? g_pTexture->GetTexture(kMenu_Textures[slot]) : nullptr;
    if (!m_Textures[slot]) {
      Show_Message("Error in CMenu_Mgr\nUnable to load texture...");
      Term();
      return false;
    }
  }
  m_Styles[1] = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kStyle_B) : nullptr;
  m_Styles[0] = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kStyle_A) : nullptr;
  if (!m_Styles[0] || !m_Styles[1]) {
    Show_Message("Error in CMenu_Mgr\nUnable to load shader...");
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CMenu_Mgr::Term() {
  m_Grid.Term();
  m_Console.Term();
  m_Simulator.Term();
  m_WarRoom.Term();
  m_EndGame.Term();
  Release_Fonts();
  for (CTextureData*& texture : m_Textures) {
    if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
    texture = nullptr;
  }
  for (CD3DRenderStyle*& style : m_Styles) {
    if (style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(style);
    style = nullptr;
  }
  Free_Deferred_Items();
  m_Initialised = false;
}

// ---------------------------------------------------------------------------------------------
// Fonts and text

bool CMenu_Mgr::Create_Fonts() {
  const float width = Screen_Width();
  for (int k = 0; k < kFont_Count; ++k) {
    if (m_Fonts[k]) continue;
    if (!m_Gdi_Fonts[k]) {
      const int height = static_cast<int>(width * kFont_Width_Fractions[k]);
      m_Gdi_Fonts[k] = CreateFontA(height, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x22, "Times New Roman");
      if (!m_Gdi_Fonts[k]) {
        Show_Message("Error in CMenu_Mgr\nUnable to create font (tried %s)", D3DXFont_Files_Tried().c_str());
        return false;
      }
    }
    if (FAILED(D3DXCreateFont(g_pDirect3DDevice, m_Gdi_Fonts[k], &m_Fonts[k]))) return false;
  }
  return true;
}

void CMenu_Mgr::Release_Fonts() {
  for (int k = 0; k < kFont_Count; ++k) {
    if (m_Fonts[k]) m_Fonts[k]->Release();
    m_Fonts[k] = nullptr;
    if (m_Gdi_Fonts[k]) DeleteObject(m_Gdi_Fonts[k]);
    m_Gdi_Fonts[k] = nullptr;
  }
}

bool CMenu_Mgr::Fonts_Created() const {
  for (const ID3DXFont* font : m_Fonts)
    if (!font) return false;
  return true;
}

int CMenu_Mgr::Get_Text_Width(int font, const char* text) const {
  if (!text || font < 0 || font >= kFont_Count || !m_Gdi_Fonts[font]) return 0;
  Selected_Font selected(m_Gdi_Fonts[font]);
  SIZE size{0, 0};
  GetTextExtentPoint32A(selected.Dc(), text, static_cast<int>(std::strlen(text)), &size);
  // "&" prefixes: each "&" with at least two characters after it counts once, and the search
  // goes on two characters later, so "&&" counts once and a trailing "&" not at all.
  int prefixes = 0;
  const char* found = std::strchr(text, '&');
  while (found && std::strlen(found) >= 3) {
    ++prefixes;
    found = std::strchr(found + 2, '&');
  }
  if (prefixes != 0) {
    SIZE ampersand{0, 0};
    GetTextExtentPoint32A(selected.Dc(), "&", 1, &ampersand);
    size.cx -= prefixes * ampersand.cx;
  }
  return size.cx;
}

int CMenu_Mgr::Get_Text_Fit(int font, const char* text, int width) const {
  if (!text || font < 0 || font >= kFont_Count || !m_Gdi_Fonts[font]) return 0;
  Selected_Font selected(m_Gdi_Fonts[font]);
  int fit = 0;
  SIZE size{0, 0};
  GetTextExtentExPointA(selected.Dc(), text, static_cast<int>(std::strlen(text)), width, &fit, nullptr, &size);
  return fit;
}

void CMenu_Mgr::Draw_Text(int font, const char* text, const CVector2& position, const CVector2& size,
                          uint32_t colour, uint32_t flags) const {
  if (!text || font < 0 || font >= kFont_Count || !m_Fonts[font]) return;
  RECT rect;
  rect.left = static_cast<LONG>(position.x);
  rect.top = static_cast<LONG>(position.y);
  rect.right = rect.left + static_cast<LONG>(size.x);
  rect.bottom = rect.top + static_cast<LONG>(size.y);
  DWORD format = DT_VCENTER;
  if (flags & kText_Centre) format |= DT_CENTER;
  if (flags & kText_Right) format |= DT_RIGHT;
  if (flags & kText_Shadow) {
    RECT shadow{rect.left + 1, rect.top + 1, rect.right + 1, rect.bottom + 1};
    m_Fonts[font]->DrawText(text, -1, &shadow, format, colour & 0xFF000000u);
  }
  m_Fonts[font]->DrawText(text, -1, &rect, format, colour);
}

// ---------------------------------------------------------------------------------------------
// Display settings

int CMenu_Mgr::Fit_Resolution_To_Desktop(int index, int desktop_width, int desktop_height) {
  if (index < 0 || index > kWidest_Resolution) index = CRender_Mode_List::kDefault_Level;
  while (index > 0) {
    uint32_t width = 0, height = 0;
    CRender_Mode_List::Level_Size(index, width, height);
    if (desktop_width > static_cast<int>(width) && desktop_height > static_cast<int>(height)) break;
    --index;
  }
  return index;
}

bool CMenu_Mgr::Reset_Display_Mode() {
  const bool was_full_screen = Device_Full_Screen();
  int& index = g_Game_State.Display_Resolution;
  if (index < 0 || index > kWidest_Resolution) index = CRender_Mode_List::kDefault_Level;
  if (g_Game_State.Display_Windowed)
    index = Fit_Resolution_To_Desktop(index, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  const bool change = Mode_Differs(index);
  if (g_Game_State.Display_Windowed == g_Device_Windowed && !change) return false;
  RenderMode mode{};
  if (!Pick_Render_Mode(mode)) {
    Show_Message("Error: Couldn't pick render mode\n");
    return false;
  }
  Release_Fonts();
  if (g_pRenderDevice) g_pRenderDevice->FreeForReset();
  CRenderInitRequest request;
  request.Mode = mode;
  request.Mode.Next = nullptr;
  request.Window = g_Main_Window;
  request.Windowed = g_Game_State.Display_Windowed ? 1 : 0;
  if (!g_pRenderDevice || !g_pRenderDevice->RestoreDevice(&request)) {
    Show_Message("Error in Renderer initialization\n");
    return false;
  }
  Create_Fonts();
  g_Device_Bit_Depth = static_cast<int>(mode.BitDepth);
  g_Device_Windowed = g_Game_State.Display_Windowed;
  if (was_full_screen && g_Device_Windowed) return Reset_Display_Mode();
  return true;
}

// ---------------------------------------------------------------------------------------------
// Input

bool CMenu_Mgr::On_Enter_Key() {
  if (Console_Up()) return m_Console.On_Char(13, 0);
  if (Simulator_Up()) return m_Simulator.On_Enter();
  return false;
}

void CMenu_Mgr::Toggle_Console() { m_Console.Show(!Console_Up(), false); }

// The console's pull tab takes a press unless the War Room screen or the report is up.
bool CMenu_Mgr::Console_Tab_Taken() {
  return m_Console.m_Initialised && m_Console.Is_Mouse_Over_Tab() && !WarRoom_Up() && !EndGame_Up();
}

bool CMenu_Mgr::On_Left_Down() {
  if (Console_Tab_Taken()) {
    Toggle_Console();
    return true;
  }
  if (Simulator_Up()) return m_Simulator.On_Left_Down();
  if (WarRoom_Up()) return m_WarRoom.On_Left_Down();
  if (EndGame_Up()) return m_EndGame.On_Left_Down();
  return false;
}

// A release over the tab is taken without toggling again, so one click toggles once.
bool CMenu_Mgr::On_Left_Up() {
  if (Console_Tab_Taken()) return true;
  if (Simulator_Up()) return m_Simulator.On_Left_Up();
  if (WarRoom_Up()) return m_WarRoom.On_Left_Up();
  if (EndGame_Up()) return m_EndGame.On_Left_Up();
  return false;
}

bool CMenu_Mgr::On_Right_Down() {
  if (WarRoom_Up()) {
    m_WarRoom.On_Right_Down();
    return true;
  }
  return EndGame_Up();
}

bool CMenu_Mgr::On_Mouse_Wheel(int wheel_data) {
  return Simulator_Up() ? m_Simulator.On_Mouse_Wheel(wheel_data) : false;
}

void CMenu_Mgr::On_Arrow_Key(int direction) {
  if (Simulator_Up()) m_Simulator.On_Arrow_Key(direction);
}

void CMenu_Mgr::On_Char(int code, int key_data) {
  if (code == '`' || code == '~') {
    if (m_Console.m_Initialised) Toggle_Console();
    return;
  }
  if (Console_Up()) m_Console.On_Char(code, key_data);
  if (Simulator_Up()) m_Simulator.On_Char(code, key_data);
}

// ---------------------------------------------------------------------------------------------
// Lighting, ambience, suspend and pause

void CMenu_Mgr::Set_Menu_Lighting(bool on) {
  if (!g_pRenderDevice) return;
  if (on) {
    m_Background_Color = 0x00000020;
    const float inv = 1.0f / std::sqrt(0.75f);
    LightDesc light{};
    light.Kind = 1;
    light.Vector = CVector3{0.5f * inv, -0.5f * inv, 0.5f * inv};
    light.Diffuse = CColor4{0.84f, 0.804f, 0.78f, 1.2f};
    light.Specular = light.Diffuse;
    light.Attenuation[0] = 1.0f;
    light.Attenuation[1] = 0.0f;
    light.Attenuation[2] = 8.444444e-06f;
    light.Range = 1500.0f;
    g_pRenderDevice->SetLight(0, &light);
    g_pRenderDevice->EnableLight(0, true);
    const CColor4 ambient{0.15f, 0.15f, 0.15f, 0.5f};
    g_pRenderDevice->SetAmbientLight(&ambient);
  } else {
    g_pRenderDevice->EnableLight(0, true);
    const CColor4 ambient{0.0f, 0.0f, 0.0f, 1.0f};
    g_pRenderDevice->SetAmbientLight(&ambient);
  }
}

void CMenu_Mgr::Play_Ambience() {
  if (!g_pSoundMgr) return;
  const uint32_t id = kAmbience_Sound;
  const float volume = g_Game_State.SoundFX_Volume;
  const uint8_t loop = 1;
  g_pSoundMgr->Play(&id, &volume, &loop);
}

void CMenu_Mgr::Suspend(bool suspend) {
  const uint32_t ambience = kAmbience_Sound;
  if (suspend) {
    if (m_Grid.m_Initialised) m_Grid.Term();
    if (m_Console.m_Initialised) m_Console.Term();
    if (m_Simulator.m_Initialised) m_Simulator.Term();
    if (m_WarRoom.m_Initialised) m_WarRoom.Term();
    if (m_EndGame.m_Initialised) m_EndGame.Term();
    Set_Menu_Lighting(false);
    if (g_pSoundMgr) {
      g_pSoundMgr->Stop(&ambience);
      g_pSoundMgr->Unload(&ambience);
    }
    m_Suspended = true;
    return;
  }
  g_Camera.Reset_Effects();
  g_Screen_FX_Mgr.Clear_Sim_Effects();
  if (!m_Grid.m_Initialised) m_Grid.Init();
  if (!m_Console.m_Initialised) m_Console.Init();
  if (!m_Simulator.m_Initialised) m_Simulator.Init();
  if (!m_WarRoom.m_Initialised) m_WarRoom.Init();
  if (!m_EndGame.m_Initialised) m_EndGame.Init();
  Set_Menu_Lighting(true);
  // Every resume starts the ambience again; the sample's one voice keeps it from doubling.
  if (g_Game_State.SoundFX_Volume > kSilent_Volume) Play_Ambience();
  m_Suspended = false;
}

void CMenu_Mgr::On_Pause(const bool& paused) {
  if (m_Suspended || paused == m_Last_Pause) return;
  const uint32_t ambience = kAmbience_Sound;
  if (paused) {
    if (g_pSoundMgr) g_pSoundMgr->Stop(&ambience);
  } else if (g_Game_State.SoundFX_Volume > kSilent_Volume) {
    if (g_pSoundMgr) g_pSoundMgr->Stop(&ambience);
    Play_Ambience();
  }
  if (m_Simulator.m_Initialised) m_Simulator.On_Pause(paused);
  m_Last_Pause = paused;
}

// Before a launch: the screens go. The modal dialog is its opener's to close.
void CMenu_Mgr::Close_All() {
  Suspend(true);
  m_Console.Show(false, false);
  if (m_Grid.m_Initialised) m_Grid.Set_Mode(0);
  if (m_Console.m_Initialised) m_Console.Show(false, false);
  if (Simulator_Up()) m_Simulator.Show(false);
  if (WarRoom_Up()) m_WarRoom.Show(false);
  if (EndGame_Up()) m_EndGame.Activate(false, false);
}

// ---------------------------------------------------------------------------------------------
// The command dispatcher

void CMenu_Mgr::Command(const int& code, int argument, const int& track_id, const int& music_id) {
  Clip_Cursor_To_Window(g_App_Active && g_Game_State.Mouse_Cap_Enable);
  // Codes that change no screen leave the camera alone (a cancelled confirmation during a run).
  const bool changes_screen = code != kCommand_None && code != kCommand_Close && code != kCommand_Quit &&
                              code != kCommand_Close_Popup;
  if (changes_screen) g_Camera.Look_At(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 1.0f});
  Run_Action(code, argument, track_id, music_id);
  if (g_Game.Get_Mode() == kMode_None) {
    const int menus = kMode_Menus;
    g_Game.Set_Mode(menus, 0, nullptr);
  }
  if (code != kCommand_None && code != kCommand_Close && g_Game_Paused) Set_Game_Paused(false);
}

void CMenu_Mgr::Build_Popups(int menu) {
  if (g_Game.Get_Mode() == kMode_Menus) {
    g_Popup_Mgr.Term();
    g_Popup_Mgr.Init(menu);
  } else {
    const int menus = kMode_Menus;
    g_Game.Set_Mode(menus, 0, nullptr);
  }
}

void CMenu_Mgr::Show_Only(int screen, bool success) {
  if (!m_Console.m_Initialised) m_Console.Init();
  m_Console.Show(false, false);
  m_Simulator.Show(screen == kScreen_Simulator);
  m_WarRoom.Show(screen == kScreen_WarRoom);
  m_EndGame.Activate(screen == kScreen_EndGame, screen == kScreen_EndGame && success);
}

void CMenu_Mgr::Start_WarRoom() {
  int region = g_WarRoom_Target_Region;
  if (region <= 0 || region > 8) {
    region = 1 + plat::Random() * 8 / 32768;
    if (region < 1 || region > 8) region = 1;
  }
  g_WarRoom_Target_Region = region;
  g_WarRoom_Sim.Init(region);
}

void CMenu_Mgr::Run_Action(int code, int argument, int track_id, int music_id) {
  switch (code) {
    case kCommand_Console:
      Suspend(false);
      if (g_WarRoom_Sim.m_Initialised) g_WarRoom_Sim.Clear_Region();
      Build_Popups(0);
      m_Grid.Set_Mode(1);
      m_Console.Show(true, false);
      if (Simulator_Up()) m_Simulator.Show(false);
      break;
    case kCommand_Simulator:
      Suspend(false);
      if (g_WarRoom_Sim.m_Initialised) g_WarRoom_Sim.Clear_Region();
      Build_Popups(0);
      if (argument >= 1 && argument <= 5) m_Simulator.m_Requested_Tab = argument;
      m_Grid.Set_Mode(2);
      Show_Only(kScreen_Simulator, false);
      break;
    case kCommand_WarRoom:
      Suspend(false);
      if (!g_WarRoom_Sim.m_Initialised) Start_WarRoom();
      Build_Popups(1);
      m_Grid.Set_Mode(0);
      Show_Only(kScreen_WarRoom, false);
      break;
    case kCommand_End_Mission:
      Suspend(false);
      Build_Popups(1);
      m_Grid.Set_Mode(argument != 0 ? 4 : 3);
      Show_Only(kScreen_EndGame, argument != 0);
      break;
    case kCommand_Launch_Training:
    case kCommand_Launch_Site:
      Launch(code, argument, track_id, music_id);
      break;
    case kCommand_Quit:
      PostQuitMessage(0);
      break;
    case kCommand_Close_Popup:
      g_Popup_Mgr.Close_All(false);
      break;
    default:
      break;
  }
}

bool CMenu_Mgr::Build_Sim_Desc(int code, int variant, uint32_t track_id, uint32_t music_id, CSim_Desc& desc) {
  if (variant < 0 || variant > 3) return false;
  const bool site = code == kCommand_Launch_Site;
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
  return true;
}

// A variant outside 0-3 launches nothing: the menus stay as they are.
void CMenu_Mgr::Launch(int code, int variant, int track_id, int music_id) {
  CSim_Desc desc;
  if (!Build_Sim_Desc(code, variant, static_cast<uint32_t>(track_id), static_cast<uint32_t>(music_id), desc)) return;
  // A dialog still open over the menus (a finished run's summary, a message) would stay over
  // the new run and hold its input: a launch closes it with the screens.
  if (g_Modal_Dlg.Is_Open()) g_Modal_Dlg.Term();
  Close_All();
  desc.user_name = m_Console.m_User_Name;
  desc.access_level = m_Console.Get_Access_Level();
  const int mode = kMode_Simulation;
  g_Game.Set_Mode(mode, static_cast<unsigned>(desc.brain_kind), &desc);
}

// ---------------------------------------------------------------------------------------------
// Frame

void CMenu_Mgr::Update(float step) {
  if (m_Grid.m_Initialised) m_Grid.Update(step);
  if (m_Console.m_Initialised) m_Console.Frame(step);
  if (m_Simulator.m_Initialised && m_Simulator.m_Anim_State != 0) m_Simulator.Update(step);
  if (m_WarRoom.m_Initialised && m_WarRoom.m_Page != 0) m_WarRoom.Update(step);
  if (EndGame_Up()) m_EndGame.Update(step);
  if (g_WarRoom_Sim.m_Initialised) g_WarRoom_Sim.Update_Timers(step);
}

void CMenu_Mgr::Render(const CFrame_Info& frame) {
  if (m_Grid.m_Initialised) m_Grid.Render(frame);
  if (m_Simulator.m_Initialised && m_Simulator.m_Anim_State != 0) m_Simulator.Render(frame);
  if (m_WarRoom.m_Initialised && m_WarRoom.m_Page != 0)
    m_WarRoom.Render(frame);
  else if (EndGame_Up())
    m_EndGame.Render(frame);
  else if (m_Console.m_Initialised)
    m_Console.Render(frame);
  if (g_pRenderDevice) g_pRenderDevice->ResetRenderStates();
}

CVector3 CMenu_Mgr::Scene_Point(int index) const {
  if (!m_Grid.m_Initialised) return CVector3{0.0f, 0.0f, 0.0f};
  switch (index) {
    case 0: return m_Grid.m_Origin;
    case 1: return m_Grid.m_Across;
    case 2: return m_Grid.m_Down;
    default: return CVector3{0.0f, 0.0f, 0.0f};
  }
}
