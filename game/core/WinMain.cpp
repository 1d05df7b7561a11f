#include "game/core/WinMain.h"

#include <unistd.h>

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "game/core/CCursor_Mgr.h"
#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CSplash_Window.h"
#include "game/core/CWorld.h"
#include "game/core/Display_Mode.h"
#include "game/core/Frame_Trace.h"
#include "game/core/Settings.h"
#include "game/menu/CMenu_Mgr.h"
#include "platform/audio/bass.h"
#include "platform/d3d/d3d8.h"
#include "platform/system/debug.h"
#include "platform/system/clock.h"
#include "platform/system/instance_lock.h"
#include "platform/system/message_box.h"
#include "platform/system/random.h"
#include "platform/system/thread.h"
#include "platform/window/cursor.h"
#include "platform/window/message_queue.h"
#include "platform/window/window.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/render_cvars.h"
#include "runtime/src/libksresource/rez_prefetch.h"
#include "runtime/src/sound/sound_mgr.h"

namespace {

constexpr size_t kMessageBufferSize = 256;

constexpr DWORD kRequiredMusicVersion = 0x80001;
constexpr int kDefaultOutputDevice = -1;
constexpr DWORD kMusicOutputRate = 44100;

}  // namespace

bool g_Music_Available = false;
int g_Music_Output_Device = kDefaultOutputDevice;

const char kMusic_Init_Warning[] =
    "Warning: Music system could not be initialized.\n\nCheck bass.dll (BASS version 1.8)";

int Show_Message(const char* format, ...) {
  char text[kMessageBufferSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  return plat::Show_Message_Box("Message", text);
}

void Debug_Printf(const char* format, ...) {
  char text[kMessageBufferSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  plat::Debug_Output(text);
}

bool Init_Music() {
  if (BASS_GetVersion() != kRequiredMusicVersion) return false;
  // The output device is not tied to a window on this platform.
  if (!BASS_Init(g_Music_Output_Device, kMusicOutputRate, 0, nullptr)) return false;
  BASS_Start();
  g_Music_Available = true;
  return true;
}

void Term_Music() {
  BASS_Stop();
  BASS_Free();
  g_Music_Available = false;
}

// ---------------------------------------------------------------------------------------------
// The application frame

const char kInstance_Lock_Name[] = "Global\\BraskLin_Launched6443_Mutex";
const char kAlready_Running_Message[] = "Application is already running.\nShutting down.";
const char kRez_Init_Failure_Message[] =
    "Initialization failure.\n\nDouble check that the program is started in correct directory.";
const char kRez_Init_Failure_Title[] = "Initialization failure.\n\n";
const char kWorld_Init_Failure_Message[] = "Error: Could not initialize world";

HWND g_Main_Window = nullptr;
bool g_App_Active = true;
bool g_Startup_Done = false;
bool g_Paused_By_Deactivation = false;
bool g_Right_Button_Captured = false;
char g_Working_Dir[4096] = "";
bool g_Device_Windowed = false;
int g_Device_Bit_Depth = 32;

namespace {

// What WinMain returns when the start fails.
constexpr int kStart_Failed = -1;
constexpr int kMain_Width = 640;
constexpr int kMain_Height = 480;
constexpr int kSplash_Bitmap = 104;
constexpr int kSplash_Width = 300;
constexpr int kSplash_Height = 120;
constexpr uint32_t kStartup_Sound = 0x220000DB;
constexpr uint32_t kSettle_Ms = 500;
constexpr uint32_t kType_Render_Style = 1;
constexpr uint32_t kType_Texture = 2;
constexpr uint32_t kType_Renderable = 4;
const char kProduct_Name[] = "Vorthane";
const char kDirectX_Missing_Message[] =
    "DirectX 8.1 not detected.\n\nDirectX version 8.1 or above is required.\nYou can get the latest DirectX "
    "version from...\nhttps://www.mesa3d.org/\n";
const char kDirect3D_Failure_Message[] = "Error: Could not initialize Direct3D.\n";

// The sound effects loaded at start-up, each with the most voices of it that may sound at once.
struct Preload {
  uint32_t id;
  uint32_t voices;
};

constexpr Preload kPreloads[] = {
    {0x220000DC, 2}, {0x220000DF, 2}, {0x220000DD, 1}, {0x220000E1, 4}, {0x220000EE, 3}, {0x220000FB, 2},
    {0x220000F0, 3}, {0x220000F1, 1}, {0x220000F2, 2}, {0x220000F3, 2}, {0x220000F4, 2}, {0x220000F5, 2},
    {0x220000F7, 3}, {0x220000F9, 5}, {0x2200012C, 1}, {0x220000F6, 3}, {0x22000156, 1}, {0x22000159, 2},
    {0x2200014A, 2}, {0x220000F8, 2}, {0x2200014F, 2}, {0x2200014E, 3}, {0x2200015E, 2}, {0x2200016A, 1},
    {0x22000169, 3}, {0x2200016B, 3}, {0x2200011D, 1}, {0x2200011E, 1}, {0x2200011F, 1}, {0x220000EF, 1},
    {0x22000123, 1}, {0x220000FC, 1}, {0x2200012B, 1}, {0x22000125, 1}, {0x220000FA, 1},
};
static_assert(sizeof(kPreloads) / sizeof(kPreloads[0]) == 35);

// What the running program holds between its start and its shut-down.
struct App_State {
  plat::Instance_Lock instance_lock;
  CSplash_Window splash;
  HCURSOR cross_hair = nullptr;
  MSG message{};
  bool quit = false;
};

App_State& App() {
  static App_State state;
  return state;
}

void Clip_If_Capturing() { Clip_Cursor_To_Window(g_App_Active && g_Game_State.Mouse_Cap_Enable); }

void Remember_Working_Dir() {
  char path[sizeof(g_Working_Dir) - 1];
  if (!getcwd(path, sizeof(path))) path[0] = '\0';
  std::snprintf(g_Working_Dir, sizeof(g_Working_Dir), "%s/", path);
}

// Texture data, render styles and renderables load through the resource manager.
void Install_Type_Handlers() {
  g_pRezMgr->SetTypeHandler(kType_Texture, &g_TextureDataFactory);
  g_pRezMgr->SetTypeHandler(kType_Render_Style, &g_RenderStyleFactory);
  g_pRezMgr->SetTypeHandler(kType_Renderable, &g_RenderableFactory);
}

void Set_Engine_Variables() {
  ZBitDepth.Set(24);
  StencilBitDepth.Set(8);
  ForceSW_Quad_SprAry.Set(1);
  RezMgr_Run_Prefetch_LoaderThread.Set(0);
  WorldClumpMgr_VB_Count.Set(0);
  VBSubAllocator_VB_Count.Set(0);
}

void Preload_Sounds() {
  if (!g_pSoundMgr) return;
  for (const Preload& preload : kPreloads) g_pSoundMgr->Preload(&preload.id, &preload.voices);
}

void Play_Startup_Sound() {
  if (!g_pSoundMgr) return;
  const uint32_t id = kStartup_Sound;
  const float volume = 1.0f;
  const uint8_t flags = 0;
  g_pSoundMgr->Play(&id, &volume, &flags);
}

// The second line of a start that found no content: where the program looked, and for what.
void Report_Missing_Content() {
  char folder[4096];
  if (!getcwd(folder, sizeof(folder))) std::snprintf(folder, sizeof(folder), "%s", "(unknown)");
  const char* packed = "packed_rezmap_0.pck";
  const char* listing = "rezmap_0.ksa";
  if (access(packed, F_OK) != 0 && access(listing, F_OK) != 0) {
    std::fprintf(stderr, "Vorthane: no content in the working directory %s: neither %s nor %s is there\n", folder,
                 packed, listing);
  } else {
    std::fprintf(stderr, "Vorthane: the content in the working directory %s could not be opened\n", folder);
  }
}

// The start-up failure of the resource manager: where the content is there but cannot be used
// its own reason (said on stderr already) replaces the hint to check the working directory.
void Report_Rez_Init_Failure() {
  const bool content_there = access("packed_rezmap_0.pck", F_OK) == 0 || access("rezmap_0.ksa", F_OK) == 0;
  std::string reason = g_pRezMgr ? g_pRezMgr->Init_Failure() : std::string();
  if (!content_there || reason.empty()) {
    Show_Message("%s", kRez_Init_Failure_Message);
    Report_Missing_Content();
    return;
  }
  reason[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(reason[0])));
  Show_Message("%s%s.", kRez_Init_Failure_Title, reason.c_str());
}

void Report_Render_Failure() {
  IDirect3D8* direct3d = Direct3DCreate8(D3D_SDK_VERSION);
  if (!direct3d) {
    Show_Message("%s", kDirectX_Missing_Message);
    return;
  }
  Show_Message("%s", kDirect3D_Failure_Message);
  direct3d->Release();
}

void Forget_Windows() {
  App().splash.Destroy();
  if (g_Main_Window) DestroyWindow(g_Main_Window);
  g_Main_Window = nullptr;
}

void Stop_Engine_Services() {
  Term_Music();
  if (g_pSoundMgr) g_pSoundMgr->Term();
  if (g_pRezMgr) g_pRezMgr->Term();
}

// Shut-down steps 2 to 8.
int Finish() {
  App_State& app = App();
  if (g_Main_Window && GetCapture() == g_Main_Window) ReleaseCapture();
  Stop_Engine_Services();
  Frame_Trace("release device");
  if (g_pRenderDevice) g_pRenderDevice->ReleaseDevice();
  Frame_Trace("save settings");
  Save_Settings();
  if (app.cross_hair) DestroyCursor(app.cross_hair);
  app.cross_hair = nullptr;
  Forget_Windows();
  g_Startup_Done = false;
  app.instance_lock.Release();
  return 0;
}

int Fail_Early() {
  Forget_Windows();
  App().instance_lock.Release();
  return kStart_Failed;
}

void On_Activate_App(bool active) {
  const bool was_active = g_App_Active;
  g_App_Active = active;
  if (g_Startup_Done) Clip_If_Capturing();
  if (active) {
    Reset_Render_Mode();
    if (g_Paused_By_Deactivation) {
      Set_Game_Paused(false);
      g_Paused_By_Deactivation = false;
    }
    return;
  }
  if (was_active) {
    if (g_Game_Paused) {
      g_Paused_By_Deactivation = false;
    } else {
      Set_Game_Paused(true);
      g_Paused_By_Deactivation = true;
    }
  }
  if (g_Menu_Mgr.Is_Initialised()) g_Menu_Mgr.Release_Fonts();
  if (g_pD3DRenderDevice && g_pD3DRenderDevice->GetState() == CD3DRenderDevice::kReady)
    g_pRenderDevice->FreeForReset();
}

// Only these virtual keys reach the game; characters come through WM_CHAR.
bool Is_Game_Key(WPARAM key) {
  switch (key) {
    case VK_PAUSE:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_DELETE:
    case VK_SCROLL:
      return true;
    default:
      return false;
  }
}

}  // namespace

void Clip_Cursor_To_Window(bool clip) {
  if (!clip || !g_Main_Window) {
    ClipCursor(nullptr);
    return;
  }
  RECT client{};
  GetClientRect(g_Main_Window, &client);
  POINT top_left{client.left, client.top};
  POINT bottom_right{client.right, client.bottom};
  ClientToScreen(g_Main_Window, &top_left);
  ClientToScreen(g_Main_Window, &bottom_right);
  const RECT screen{top_left.x, top_left.y, bottom_right.x, bottom_right.y};
  ClipCursor(&screen);
}

// Only a lock another process holds means a second copy; a lock file that cannot be used is
// reported and the program starts.
bool Is_Already_Running(const char* name) {
  plat::Instance_Lock& lock = App().instance_lock;
  const plat::Instance_Lock::Result result = lock.Acquire(name);
  if (!lock.Problem().empty()) std::fprintf(stderr, "Vorthane: instance lock: %s\n", lock.Problem().c_str());
  return result == plat::Instance_Lock::Result::Held_Elsewhere;
}

void On_Render_Device_Event(int lost) {
  if (!g_Menu_Mgr.Is_Initialised()) return;
  if (lost)
    g_Menu_Mgr.Release_Fonts();
  else
    g_Menu_Mgr.Create_Fonts();
}

LRESULT Main_Window_Proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_ACTIVATEAPP:
      On_Activate_App(wparam != 0);
      break;
    case WM_MOVE:
      if (g_Game_State.Mouse_Cap_Enable) {
        Clip_Cursor_To_Window(true);
        Center_Window();
      } else {
        Clip_Cursor_To_Window(false);
      }
      break;
    case WM_SIZE:
      Clip_Cursor_To_Window(g_Game_State.Mouse_Cap_Enable);
      break;
    case WM_DESTROY:
    case WM_QUIT:
      Clip_Cursor_To_Window(false);
      break;
    case WM_CLOSE:
      PostQuitMessage(0);
      break;
    case WM_KEYDOWN:
      if (Is_Game_Key(wparam)) g_Game.On_Key(static_cast<int>(wparam), true);
      break;
    case WM_CHAR:
      g_Game.On_Key(static_cast<int>(wparam), false);
      break;
    case WM_SYSKEYDOWN:
      if (wparam == VK_MENU) return 0;
      break;
    case WM_LBUTTONDOWN:
      g_Game.On_Left_Down();
      break;
    case WM_LBUTTONUP:
      g_Game.On_Left_Up();
      break;
    case WM_RBUTTONDOWN:
      if (g_Game.On_Right_Down() && !g_Right_Button_Captured) {
        SetCapture(g_Main_Window);
        g_Cursor_Mgr.m_Show = false;
        g_Right_Button_Captured = true;
      }
      break;
    case WM_RBUTTONUP:
      g_Game.On_Right_Up();
      if (g_Right_Button_Captured) {
        ReleaseCapture();
        g_Cursor_Mgr.m_Show = true;
        g_Right_Button_Captured = false;
      }
      break;
    case WM_MOUSEWHEEL:
      g_Game.On_Mouse_Wheel(GET_WHEEL_DELTA_WPARAM(wparam) / WHEEL_DELTA);
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

bool App_Start(int show_command, int& exit_code) {
  App_State& app = App();
  app.quit = false;
  exit_code = kStart_Failed;
  if (Is_Already_Running(kInstance_Lock_Name)) {
    Show_Message("%s", kAlready_Running_Message);
    return false;
  }
  g_App_Active = true;
  g_Paused_By_Deactivation = false;
  g_Right_Button_Captured = false;
  g_Main_Window = Create_Main_Window(kProduct_Name, kMain_Width, kMain_Height, Main_Window_Proc);
  // Without a window (no display) there is nothing to run in; the window layer said why.
  if (!g_Main_Window) {
    exit_code = Fail_Early();
    return false;
  }
  plat::Seed_Random(timeGetTime());
  if (!g_pRezMgr || !g_pRezMgr->Init(nullptr)) {
    Report_Rez_Init_Failure();
    exit_code = Fail_Early();
    return false;
  }
  Install_Type_Handlers();
  Remember_Working_Dir();
  Load_Settings();
  if (!Init_Music()) Show_Message("%s", kMusic_Init_Warning);
  if (g_pSoundMgr) g_pSoundMgr->Init();
  if (app.splash.Create(g_Main_Window, nullptr, kSplash_Bitmap, kSplash_Width, kSplash_Height)) app.splash.Show();
  Play_Startup_Sound();
  Set_Engine_Variables();
  if (!Init_Render()) {
    Report_Render_Failure();
    Stop_Engine_Services();
    exit_code = Fail_Early();
    return false;
  }
  Preload_Sounds();
  g_Startup_Done = true;
  Clip_If_Capturing();
  app.cross_hair = LoadCursorA(nullptr, IDC_CROSS);
  if (app.cross_hair) SetCursor(app.cross_hair);
  if (!g_Game.Init()) {
    Show_Message("%s", kWorld_Init_Failure_Message);
    // What did start is stopped before the device goes. The shut-down is that of a quit, but
    // the start failed, and whatever started the program is told so.
    g_Game.Term();
    Finish();
    exit_code = kStart_Failed;
    return false;
  }
  Set_Game_Paused(true);
  g_Menu_Mgr.Command(kCommand_Console, 0);
  app.splash.Hide();
  app.splash.Destroy();
  if (!g_Game_State.Display_Windowed) Reset_Render_Mode();
  ShowWindow(g_Main_Window, show_command);
  UpdateWindow(g_Main_Window);
  plat::Sleep_Ms(kSettle_Ms);
  Set_Game_Paused(false);
  PeekMessageA(&app.message, nullptr, 0, 0, PM_NOREMOVE);
  exit_code = 0;
  return true;
}

bool App_Loop_Turn() {
  App_State& app = App();
  if (app.quit) return false;
  if (PeekMessageA(&app.message, nullptr, 0, 0, PM_REMOVE)) {
    if (app.message.message == WM_QUIT) {
      app.quit = true;
      return false;
    }
    TranslateMessage(&app.message);
    DispatchMessageA(&app.message);
  } else if (g_App_Active) {
    g_Game.Frame();
  } else {
    WaitMessage();
  }
  return true;
}

bool App_Dispatch_Messages() {
  App_State& app = App();
  while (!app.quit && PeekMessageA(&app.message, nullptr, 0, 0, PM_REMOVE)) {
    if (app.message.message == WM_QUIT) {
      app.quit = true;
      break;
    }
    TranslateMessage(&app.message);
    DispatchMessageA(&app.message);
  }
  return !app.quit;
}

void App_Frame() {
  if (g_App_Active) g_Game.Frame();
}

int App_Shut_Down() {
  g_Game.Term();
  return Finish();
}

int WinMain() {
  int exit_code = 0;
  if (!App_Start(SW_SHOWNORMAL, exit_code)) return exit_code;
  while (App_Loop_Turn()) {
  }
  return App_Shut_Down();
}
