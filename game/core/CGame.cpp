#include "game/core/CGame.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CCursor_Mgr.h"
#include "game/core/CGame_State.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Frame_Trace.h"
#include "game/enemies/Enemy_Pools.h"
#include "runtime/src/core/interface_db.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/render_state_warm_up.h"
#include "game/fx/CFX_Laser.h"
#include "game/fx/CFX_Lightning.h"
#include "game/fx/CFX_Poly_Trail.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/CSpark_Mgr.h"
#include "game/fx/Debris_Pools.h"
#include "game/menu/CMenuItem.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "game/player/CBullet_Machine_Mgr.h"
#include "game/player/CPlayer.h"
#include "game/sim/CBrain.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/sim/CText_Mgr.h"
#include "game/sim/Score_Callouts.h"
#include "game/targets/Target_Pools.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/clock.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

CGame g_Game;
CD3DDrawPrim* g_pDrawPrim = nullptr;

namespace {
CInterfaceHolder<CD3DDrawPrim> g_DrawPrim_Holder("IKSDrawPrim.Default", &g_pDrawPrim);
}  // namespace
float g_Time_Factor = 0.0f;

namespace {

constexpr float kFade_Snap = 0.01f;
constexpr float kFog_Still = 0.5f;
constexpr float kFog_Max_Move = 50.0f;
constexpr float kFog_Speed = 25.0f;
constexpr float kColor_Speed = 0.5f;
constexpr float kDefault_View_Distance = 0.25f;
constexpr float kField_Of_View = 0.7853982f;
constexpr float kNear = 1.0f;
constexpr float kFar = 5000.0f;
constexpr int kMenu_Popups = 0;
constexpr int kWarRoom_Popups = 1;
constexpr int kSim_Popups = 3;

// Key and character codes the game handles.
constexpr int kKey_Enter = 13;
constexpr int kKey_Pause = 19;
constexpr int kKey_Esc = 27;
constexpr int kKey_Left = 37;
constexpr int kKey_Up = 38;
constexpr int kKey_Right = 39;
constexpr int kKey_Down = 40;
constexpr int kKey_Menu = 77;     // "M"
constexpr int kKey_Quit = 81;     // "Q"
constexpr int kKey_Restart = 82;  // "R"

float Screen_Aspect() {
  if (!g_pRenderDevice || g_pRenderDevice->GetScreenHeight() <= 0) return 4.0f / 3.0f;
  return g_pRenderDevice->GetScreenWidthF() / g_pRenderDevice->GetScreenHeightF();
}

// Moves value toward target by step, stopping at the target, and snaps within 0.01.
float Approach(float value, float target, float step) {
  if (value < target)
    value = std::min(value + step, target);
  else
    value = std::max(value - step, target);
  if (std::fabs(target - value) <= kFade_Snap) value = target;
  return value;
}

bool Move_Fog(float& current, float target, float delta) {
  if (std::fabs(target - current) <= kFog_Still) return false;
  const float step = std::min(std::fabs(target - current), kFog_Max_Move) * delta * kFog_Speed;
  current = Approach(current, target, step);
  return true;
}

uint32_t Pack_Fade_Color(const float color[4]) {
  uint32_t packed = 0;
  for (int i = 2; i >= 0; --i) {
    const float scaled = color[i] * 255.0f;
    const uint32_t byte = scaled <= 0.0f ? 0u : std::min(static_cast<uint32_t>(scaled), 255u);
    packed = (packed << 8) | byte;
  }
  return packed;
}

bool Start_Link_Pool();
void Stop_Link_Pool();

}  // namespace

CGame::CGame() {
  m_Current_Desc.clear_color = 0xFF000000;
}

bool CGame::Init() {
  m_Mode = kMode_None;
  if (!Start_Link_Pool()) {
    Term();
    return false;
  }
  if (!g_Menu_Mgr.Init()) return false;
  if (!g_Game_State.Init()) return false;
  if (!g_World.Init_Managers()) return false;
  Register_Target_Pools();
  Register_Enemy_Pools();
  Register_Debris_Pools();
  Register_Player_Ammo_Pools();
  for (CObject_Pool* pool : g_Object_Pools)
    if (pool && !pool->Is_Initialised()) pool->Init();
  if (!g_Camera.Init()) return false;
  if (!g_Cursor_Mgr.Init()) return false;
  if (!g_Sequence_Mgr.Init()) return false;
  if (!g_Screen_FX_Mgr.Init()) return false;
  m_Last_Time = timeGetTime();
  m_Smoothed_Step = kInitial_Step_Ms;
  m_Fog_Near_Target = m_Fog_Near = m_Fog_Far_Target = m_Fog_Far = 0.0f;
  std::fill(std::begin(m_Fade_Target), std::end(m_Fade_Target), 0.0f);
  std::fill(std::begin(m_Fade_Color), std::end(m_Fade_Color), 0.0f);
  m_Target_Color = 0;
  m_Clear_Color = 0;
  m_Initialised = true;
  return true;
}

void CGame::Term() {
  const int none = kMode_None;
  Set_Mode(none, 0, nullptr);
  m_Mode = kMode_None;
  g_World.Term();
  g_Game_State.Term();
  // The account and the other stores are saved on the way out: the manager's destructor
  // drops them unsaved.
  if (g_Communications_Mgr.Is_Running()) g_Communications_Mgr.Term();
  g_Menu_Mgr.Term();
  Stop_Link_Pool();
  if (g_Modal_Dlg.Is_Open()) g_Modal_Dlg.Term();
  g_Cursor_Mgr.Term();
  g_Sequence_Mgr.Clear();
  g_Screen_FX_Mgr.Term();
  Free_Deferred_Items();
  m_Initialised = false;
}

// ---------------------------------------------------------------------------------------------
// Modes

void CGame::Tear_Down() {
  Frame_Trace("tear-down");
  g_Player.Release_Gun();
  g_Text_Mgr.Term();
  g_Particle_Basic_Mgr.Term();
  g_Particle_Add_Mgr.Term();
  g_Particle_Sparkle_Mgr.Term();
  g_Bullet_Machine_Mgr.Term();
  g_Spark_Mgr.Term();
  CFX_Poly_Trail::Term();
  CFX_Lightning::Term();
  CFX_Laser::Term();
  g_Popup_Mgr.Term();
  g_Music_Track.Term();
  g_Popup_Mgr.Close_All(true);
}

bool CGame::Set_Mode(const int& mode, unsigned kind, const CSim_Desc* desc) {
  const int old_mode = m_Mode;
  Tear_Down();
  if (old_mode == kMode_Menus || old_mode == kMode_Simulation) g_Game_State.Load_Sim(0, nullptr);
  if (old_mode == kMode_Simulation) g_World.Reset();
  m_Mode = kMode_None;
  if (mode == kMode_None) return true;

  bool started = false;
  if (mode == kMode_Menus)
    started = Start_Menus();
  else if (mode == kMode_Simulation)
    started = desc != nullptr && Start_Simulation(kind, *desc);
  if (!started) {
    Frame_Trace("mode failed");
    return false;
  }
  // Everything the new mode draws is loaded. A run's draw states are prepared now, while the
  // player waits for the launch anyway, rather than in the frames that first show them; the
  // menus' a slice a frame from their next frame on (at start-up the first menu frame then comes
  // at once, compiling only what it draws).
  Frame_Trace("warm up");
  if (mode == kMode_Simulation)
    Warm_Up_Render_States();
  else
    Spread_Warm_Up_Render_States();
  m_Mode = mode;
  if (g_Game_Paused) Set_Game_Paused(false);
  return true;
}

void CGame::Aim_Fade(uint32_t packed_color, float view_distance_factor) {
  m_Target_Color = packed_color;
  FogEnable.Set(1);
  const float far_distance = g_Camera.Far();
  m_Fog_Near_Target = view_distance_factor * far_distance;
  m_Fog_Far_Target = far_distance;
  for (int i = 0; i < 3; ++i) {
    const float component = static_cast<float>((packed_color >> (8 * i)) & 0xFF) / 255.0f;
    m_Fade_Target[i] = std::clamp(component, 0.0f, 1.0f);
  }
  m_Fade_Target[3] = 0.0f;
  if (g_pRenderDevice) g_pRenderDevice->ApplyFogSettings();
}

bool CGame::Start_Menus() {
  Frame_Trace("start menus");
  Aim_Fade(g_Menu_Mgr.Background_Color(), kDefault_View_Distance);
  m_Time_Scale = kMenu_Time_Scale;
  g_Camera.Look_At(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 1.0f});
  g_Camera.Set_Projection(kField_Of_View, Screen_Aspect(), kNear, kFar);
  if (!g_Popup_Mgr.Init(g_WarRoom_Sim.m_Initialised ? kWarRoom_Popups : kMenu_Popups)) return false;
  return g_Game_State.Load_Sim(0, nullptr);
}

bool CGame::Start_Simulation(unsigned kind, const CSim_Desc& desc) {
  Frame_Trace("start simulation");
  m_Current_Desc = desc;
  const float factor = desc.view_distance_factor > 0.0f ? desc.view_distance_factor : kDefault_View_Distance;
  Aim_Fade(desc.clear_color, factor);
  m_Time_Scale = kSim_Time_Scale;
  g_Camera.Look_At(desc.camera_position, desc.camera_target);
  g_Camera.Set_Projection(kField_Of_View, Screen_Aspect(), kNear, kFar);
  if (!g_Popup_Mgr.Init(kSim_Popups)) return false;
  if (!Start_Run_Managers(desc)) return false;
  // From here on the world is loaded: a failure must take it down again.
  if (Set_Up_Weapon() && g_Game_State.Load_Sim(kind, &desc)) return true;
  Abandon_Launch();
  return false;
}

bool CGame::Start_Run_Managers(const CSim_Desc& desc) {
  if (!g_Text_Mgr.Init()) return false;
  if (!g_Particle_Basic_Mgr.Init()) return false;
  if (!g_Particle_Add_Mgr.Init()) return false;
  if (!g_Particle_Sparkle_Mgr.Init()) return false;
  if (!CFX_Poly_Trail::Init()) return false;
  if (!CFX_Lightning::Init()) return false;
  if (!CFX_Laser::Init()) return false;
  if (!g_Bullet_Machine_Mgr.Init()) return false;
  if (!g_Spark_Mgr.Init()) return false;
  Frame_Trace("world init");
  return g_World.Init(desc.world_desc);
}

namespace {

// Selects the account's gun with its attachment and their upgrade levels for a launch.
bool Set_Up_Weapon_From(const CClient_Data& account) {
  int gun_kind = static_cast<int>(account.m_Current_Gun);
  // Only kinds inside the account's tables have a level there.
  const bool gun_in_table = gun_kind >= 0 && gun_kind < CClient_Data::kKind_Slots;
  const int gun_level = gun_in_table ? account.m_Gun_Levels[gun_kind] : 0;
  const int attachment_kind = static_cast<int>(account.m_Current_Attachment);
  const bool attachment_in_table = attachment_kind >= 1 && attachment_kind < CClient_Data::kKind_Slots;
  const int attachment_level = attachment_in_table ? account.m_Attachment_Levels[attachment_kind] : 0;
  if (gun_kind <= 0 || gun_kind > CPlayer::kLast_Gun) gun_kind = CPlayer::kDefault_Gun;

  float factor1 = 1.0f, factor2 = 1.0f;
  int value = 0;
  CPlayer::Get_Upgrade_Factors(gun_kind, gun_level, attachment_kind, attachment_level, factor1, factor2, value);
  g_Player.Set_Upgrade_Factors(factor1, factor2, value);
  g_Player.m_Attachment_Kind = attachment_kind;
  g_Player.m_Attachment_Level = attachment_level;
  return g_Player.Select_Weapon(gun_kind);
}

}  // namespace

bool CGame::Set_Up_Weapon() {
  // The gun's start reads the account's attachment too, so the whole set-up runs while the
  // account is loaded; one loaded for the launch is let go only after it.
  CClient_Data& account = g_Communications_Mgr.m_Client_Data;
  bool selected = false;
  const bool ran = account.Use_Loaded([&](CClient_Data& loaded) { selected = Set_Up_Weapon_From(loaded); });
  // An account that cannot be read launches with the gun of a new one.
  if (!ran) selected = Set_Up_Weapon_From(account);
  return selected;
}

void CGame::Abandon_Launch() {
  Frame_Trace("abandon launch");
  g_Game_State.Load_Sim(0, nullptr);
  g_World.Reset();
}

// ---------------------------------------------------------------------------------------------
// Frame

// A War Room site simulation runs faster at a higher difficulty.
float CGame::Current_Time_Scale() const {
  if (g_WarRoom_Sim.m_Initialised && g_Music_Track.Is_Running()) return m_Time_Scale * g_Difficulty_Factor;
  return m_Time_Scale;
}

void CGame::Step_Time() {
  const uint32_t now = timeGetTime();
  const uint32_t raw = now - m_Last_Time;
  m_Last_Time = now;
  const float scaled = std::clamp(static_cast<float>(raw) * Current_Time_Scale(), kMin_Step_Ms, kMax_Step_Ms);
  m_Smoothed_Step += (scaled - m_Smoothed_Step) * kStep_Smoothing;
  m_Step_Ms = static_cast<unsigned>(m_Smoothed_Step);
  const float step = static_cast<float>(m_Step_Ms);
  m_Frame.Unpaused_Delta = step * kTime_Factor_Per_Ms;
  g_Time_Factor = g_Game_Paused ? 0.0f : kTime_Factor_Per_Ms;
  m_Frame.Delta = step * g_Time_Factor;
  m_Frame.Reserved = 0;
}

void CGame::Update_All() {
  const CFrame_Info& frame = m_Frame;
  Frame_Trace("callouts");
  Update_Callouts(frame.Delta);
  if (g_World.m_World_Ready) {
    Frame_Trace("world");
    g_World.Update(g_Time_Factor, m_Step_Ms, frame.Delta, frame.Unpaused_Delta);
  }
  if (g_Popup_Mgr.Is_Initialised()) {
    Frame_Trace("popups");
    g_Popup_Mgr.Frame(frame, frame.Unpaused_Delta);
  }
  Frame_Trace("camera");
  g_Camera.Update(frame.Delta);
  Frame_Trace("player");
  g_Player.Update(frame);
  if (g_Bullet_Machine_Mgr.Is_Initialised()) {
    Frame_Trace("bullets");
    g_Bullet_Machine_Mgr.Update(frame);
  }
  if (g_Spark_Mgr.Is_Initialised()) {
    Frame_Trace("sparks");
    g_Spark_Mgr.Update(frame);
  }
  if (g_Game_State.m_Brain) {
    Frame_Trace("brain");
    g_Game_State.m_Brain->Update(frame.Delta);
  }
  Frame_Trace("fade");
  Update_Fade(frame);
  Frame_Trace("menus");
  g_Menu_Mgr.Update(frame.Delta);
  Frame_Trace("sequencer");
  g_Sequence_Mgr.Update(frame);
  Frame_Trace("screen effects");
  g_Screen_FX_Mgr.Update(frame);
}

void CGame::Render_All() {
  const CFrame_Info& frame = m_Frame;
  g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, m_Clear_Color, 0);
  g_pRenderDevice->BeginScene();
  if (m_Mode == kMode_Menus) {
    Frame_Trace("render menus");
    g_Menu_Mgr.Render(frame);
  } else {
    Frame_Trace("render world");
    g_World.Render(frame, frame.Unpaused_Delta);
    if (g_Game_State.m_Brain) {
      Frame_Trace("render brain");
      g_Game_State.m_Brain->Render();
    }
  }
  Frame_Trace("render screen effects");
  g_Screen_FX_Mgr.Render();
  Frame_Trace("render camera effects");
  g_Camera.Render_Effects(frame);
  if (g_Popup_Mgr.Is_Initialised()) {
    Frame_Trace("render popups");
    g_Popup_Mgr.Render(frame.Unpaused_Delta);
  }
  if (g_Modal_Dlg.Is_Open()) {
    Frame_Trace("render dialog");
    g_Modal_Dlg.Update(frame.Unpaused_Delta);
  }
  Frame_Trace("render cursor");
  g_Cursor_Mgr.Render();
  g_pRenderDevice->EndScene();
  Frame_Trace("present");
  g_pRenderDevice->Present(nullptr);
}

void CGame::Frame() {
  // Menu items a callback took out of their panel are freed now that their event has returned.
  Free_Deferred_Items();
  if (m_Mode == kMode_None) return;
  Step_Time();
  Update_All();
  // A device freed for a reset (a failed restore on reactivation) takes no drawing.
  const bool device_ready =
      g_pD3DRenderDevice && g_pD3DRenderDevice->GetState() == CD3DRenderDevice::kReady;
  if (!device_ready || !g_pRenderDevice->Begin_Render()) {
    Frame_Trace("frame skipped");
    return;
  }
  Render_All();
  if (g_World.m_World_Ready) {
    Frame_Trace("sweep");
    g_World.End_Frame();
  }
  // After the frame is shown, the next slice of the menus' warm-up.
  if (Warm_Up_Pending()) {
    Frame_Trace("warm up slice");
    Warm_Up_Render_States_Slice();
  }
}

void CGame::Update_Fade(const CFrame_Info& frame) {
  const float d = frame.Delta;
  bool changed = Move_Fog(m_Fog_Near, m_Fog_Near_Target, d);
  changed = Move_Fog(m_Fog_Far, m_Fog_Far_Target, d) || changed;
  if (m_Clear_Color != m_Target_Color) {
    for (int i = 2; i >= 0; --i)
      m_Fade_Color[i] = Approach(m_Fade_Color[i], m_Fade_Target[i],
                                 std::fabs(m_Fade_Target[i] - m_Fade_Color[i]) * d * kColor_Speed);
    m_Clear_Color = Pack_Fade_Color(m_Fade_Color);
    changed = true;
  }
  if (changed) Apply_Fog();
}

void CGame::Set_Clear_Color(uint32_t packed) {
  m_Clear_Color = m_Target_Color = packed;
  for (int i = 0; i < 3; ++i)
    m_Fade_Color[i] = m_Fade_Target[i] = static_cast<float>((packed >> (8 * i)) & 0xFF) / 255.0f;
  Apply_Fog();
}

void CGame::Set_Render_Distances(float near_z, float far_z) {
  m_Fog_Near = m_Fog_Near_Target = near_z;
  m_Fog_Far = m_Fog_Far_Target = far_z;
  Apply_Fog();
}

void CGame::Apply_Fog() {
  FogR.Set(static_cast<int32_t>((m_Clear_Color >> 16) & 0xFF));
  FogG.Set(static_cast<int32_t>((m_Clear_Color >> 8) & 0xFF));
  FogB.Set(static_cast<int32_t>(m_Clear_Color & 0xFF));
  FogNearZ.Set(m_Fog_Near);
  FogFarZ.Set(m_Fog_Far);
  if (g_pRenderDevice) g_pRenderDevice->ApplyFogSettings();
}

// ---------------------------------------------------------------------------------------------
// Input

void CGame::Set_Capture(CMenuItem* item) {
  if (m_Capture_Holder && m_Capture_Holder != item) m_Capture_Holder->On_Mouse_Up();
  m_Capture_Holder = item;
}

bool CGame::On_Left_Down() {
  Set_Capture(nullptr);
  if (m_Mode != kMode_Menus && m_Mode != kMode_Simulation) return false;
  if (g_Modal_Dlg.Is_Open()) {
    m_Left_Receiver = kReceiver_Modal_Dlg;
    g_Modal_Dlg.On_Left_Down();
    return false;
  }
  if (g_Popup_Mgr.On_Left_Down()) {
    m_Left_Receiver = kReceiver_Popup_Mgr;
    return false;
  }
  if (m_Mode == kMode_Menus) {
    m_Left_Receiver = kReceiver_Menu_Mgr;
    g_Menu_Mgr.On_Left_Down();
    return false;
  }
  m_Left_Receiver = kReceiver_Player;
  return g_Player.Fire();
}

bool CGame::On_Left_Up() {
  if (m_Capture_Holder) {
    CMenuItem* holder = m_Capture_Holder;
    m_Capture_Holder = nullptr;
    holder->On_Mouse_Up();
    return true;
  }
  switch (m_Left_Receiver) {
    case kReceiver_Modal_Dlg:
      g_Modal_Dlg.On_Left_Up();
      break;
    case kReceiver_Menu_Mgr:
      g_Menu_Mgr.On_Left_Up();
      break;
    case kReceiver_Popup_Mgr:
      g_Popup_Mgr.On_Left_Up();
      break;
    case kReceiver_Player:
      g_Player.Release_Fire();
      break;
    default:
      break;
  }
  return true;
}

bool CGame::On_Right_Down() {
  Set_Capture(nullptr);
  if (g_Modal_Dlg.Is_Open()) {
    g_Modal_Dlg.On_Right_Down();
    return false;
  }
  if (g_Popup_Mgr.On_Right_Down()) return false;
  if (m_Mode == kMode_Menus) {
    g_Menu_Mgr.On_Right_Down();
    return false;
  }
  if (m_Mode == kMode_Simulation) return g_Player.Fire_Attachment();
  return false;
}

void CGame::On_Right_Up() {
  if (m_Mode == kMode_Simulation) g_Player.Release_Fire_Attachment();
}

bool CGame::On_Mouse_Wheel(const int& notches) {
  if (g_Modal_Dlg.Is_Open() || g_Popup_Mgr.Is_Open()) return false;
  if (m_Mode == kMode_Menus) return g_Menu_Mgr.On_Mouse_Wheel(notches);
  return false;
}

namespace {

// The console, or an edit field with the focus in the dialog's panel, takes what is typed.
bool Text_Entry_Has_Keyboard() {
  const CMenu_Console& console = g_Menu_Mgr.m_Console;
  if (console.m_Initialised && console.m_Visible) return true;
  const CMenu_Panel& panel = g_Modal_Dlg.m_Panel;
  return g_Modal_Dlg.Is_Open() && panel.m_Initialised && panel.Get_Focus() != nullptr;
}

}  // namespace

void CGame::On_Key(const int& code, const bool& is_key) {
  if (g_Modal_Dlg.Is_Open() && g_Modal_Dlg.Mode() == CModal_Dlg::kMode_Message) {
    g_Modal_Dlg.Activate_Selected();
    return;
  }
  if (m_Mode == kMode_Menus) {
    On_Key_Menus(code, is_key);
  } else if (m_Mode == kMode_Simulation) {
    // M, Q and R typed as text are letters, not the in-run keys.
    const bool in_run_letter = code == kKey_Menu || code == kKey_Quit || code == kKey_Restart;
    if (in_run_letter && Text_Entry_Has_Keyboard()) return;
    On_Key_Simulation(code);
  }
}

// The arrow keys: the dialog first, then an open pop-up, then (in the menus) the screens.
void CGame::On_Arrow(int code, bool to_menus) {
  const bool previous = code == kKey_Up || code == kKey_Left;
  int direction = 0;
  if (code == kKey_Right) direction = 1;
  if (code == kKey_Up) direction = 2;
  if (code == kKey_Down) direction = 3;
  if (g_Modal_Dlg.Is_Open()) {
    if (previous)
      g_Modal_Dlg.Select_Previous();
    else
      g_Modal_Dlg.Select_Next();
  } else if (g_Popup_Mgr.Is_Open()) {
    g_Popup_Mgr.Move_Highlight(direction);
  } else if (to_menus) {
    g_Menu_Mgr.On_Arrow_Key(direction);
  }
}

void CGame::On_Key_Menus(int code, bool is_key) {
  const bool arrow = code >= kKey_Left && code <= kKey_Down;
  if (code == kKey_Pause) {
    if (!g_Modal_Dlg.Is_Open() && !g_Popup_Mgr.Is_Open()) Set_Game_Paused(!g_Game_Paused);
  } else if (arrow && is_key) {
    On_Arrow(code, true);
  } else if (code == kKey_Esc) {
    if (g_Popup_Mgr.Is_Open())
      g_Popup_Mgr.Close_All(false);
    else
      g_Popup_Mgr.Close_First_Open();
  } else if (code == kKey_Enter) {
    if (g_Modal_Dlg.Is_Open())
      g_Modal_Dlg.Activate_Selected();
    else if (g_Popup_Mgr.Is_Open())
      g_Popup_Mgr.On_Enter_Key();
    else
      g_Menu_Mgr.On_Enter_Key();
  } else if (!g_Modal_Dlg.Is_Open()) {
    g_Menu_Mgr.On_Char(code, is_key);
  }
}

void CGame::On_Key_Simulation(int code) {
  switch (code) {
    case kKey_Pause:
      if (!g_Modal_Dlg.Is_Open() && !g_Popup_Mgr.Is_Open()) Set_Game_Paused(!g_Game_Paused);
      break;
    case kKey_Esc:
      if (g_Popup_Mgr.Is_Open())
        g_Popup_Mgr.Close_All(false);
      else
        g_Popup_Mgr.Close_First_Open();
      break;
    case kKey_Left:
    case kKey_Up:
    case kKey_Right:
    case kKey_Down:
      On_Arrow(code, false);
      break;
    case kKey_Enter:
      if (g_Modal_Dlg.Is_Open())
        g_Modal_Dlg.Activate_Selected();
      else if (g_Popup_Mgr.Is_Open())
        g_Popup_Mgr.On_Enter_Key();
      break;
    case kKey_Menu:
      g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kSim_Menu);
      break;
    case kKey_Quit:
      if (g_Popup_Mgr.Is_Initialised() && g_Popup_Mgr.Sim_Menu_Ready() && !g_WarRoom_Sim.m_Initialised)
        g_Popup_Mgr.Do_Action(CPopup_Mgr::kAction_Leave);
      break;
    case kKey_Restart:
      if (g_Popup_Mgr.Is_Initialised() && g_Popup_Mgr.Sim_Menu_Ready() &&
          g_Popup_Mgr.Menu_Has_Item(CPopup_Mgr::kSim_Menu, 2))
        g_Popup_Mgr.Do_Action(CPopup_Mgr::kAction_Restart);
      break;
    default:
      break;
  }
}

namespace {

bool Start_Link_Pool() { return g_Target_Link_Pool.Init(); }
void Stop_Link_Pool() { g_Target_Link_Pool.Term(); }

}  // namespace
