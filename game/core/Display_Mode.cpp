#include "game/core/Display_Mode.h"

#include "game/core/CGame_State.h"
#include "game/core/CRender_Mode_List.h"
#include "game/core/WinMain.h"
#include "game/menu/CMenu_Mgr.h"
#include "platform/window/window.h"
#include "runtime/src/render/sys/pc/d3d_renderdevice.h"
#include "runtime/src/render/sys/pc/render_cvars.h"

namespace {

// Fills the device request for a mode: the window, the windowed flag, the window kept as placed
// by the program and no preferred device.
void Fill_Request(CRenderInitRequest& request, const RenderMode& mode, bool windowed) {
  request.Mode = mode;
  request.Mode.Next = nullptr;
  request.Window = g_Main_Window;
  request.Windowed = windowed ? 1 : 0;
  request.KeepWindow = 1;
  request.DeviceName[0] = '\0';
}

void Note_Device(const CRenderInitRequest& request) {
  g_Device_Windowed = request.Windowed != 0;
  g_Device_Bit_Depth = static_cast<int>(request.Mode.BitDepth);
}

// The highest resolution level below 'level' whose size the desktop exceeds in both directions.
int Fit_Level_To_Desktop(int level) {
  const int desktop_width = GetSystemMetrics(SM_CXSCREEN);
  const int desktop_height = GetSystemMetrics(SM_CYSCREEN);
  if (level < 0 || level >= CRender_Mode_List::kLevel_Count) level = CRender_Mode_List::kDefault_Level;
  while (level > 0) {
    uint32_t width = 0, height = 0;
    CRender_Mode_List::Level_Size(level, width, height);
    if (desktop_width > static_cast<int>(width) && desktop_height > static_cast<int>(height)) break;
    --level;
  }
  return level;
}

bool Device_Exists() {
  return g_pD3DRenderDevice && g_pD3DRenderDevice->GetState() != CD3DRenderDevice::kNoDevice;
}

bool Device_Working() { return g_pD3DRenderDevice && g_pD3DRenderDevice->GetState() == CD3DRenderDevice::kReady; }

}  // namespace

bool Check_Render_Device() {
  if (g_pRenderDevice) return true;
  Show_Message("Could not get pointer to the render device!\n");
  return false;
}

bool Pick_Render_Mode(RenderMode& mode) {
  CRender_Mode_List list;
  if (!list.Fetch()) {
    Show_Message("Could not query render modes!\n");
    return false;
  }
  const RenderMode* picked = list.Pick_Mode(g_Game_State.Display_Resolution, g_Game_State.Display_BitDepth);
  if (!picked) {
    Show_Message("Could not pick a render mode!\n");
    return false;
  }
  mode = *picked;
  mode.Next = nullptr;
  return true;
}

bool Init_Render() {
  Lockable_BackBuffer.Set(1);
  ForceSwapEffectBlt.Set(1);
  if (!g_Main_Window) {
    Show_Message("Error: hWnd is NULL\n");
    return false;
  }
  if (!Check_Render_Device()) {
    Show_Message("Error: Initial error checking failed.\n");
    return false;
  }
  if (g_Game_State.Display_Windowed)
    g_Game_State.Display_Resolution = Fit_Level_To_Desktop(g_Game_State.Display_Resolution);
  RenderMode mode{};
  if (!Pick_Render_Mode(mode)) {
    Show_Message("Error: Couldn't pick initial render mode\n");
    return false;
  }
  CRenderInitRequest request;
  Fill_Request(request, mode, true);
  if (!g_pRenderDevice->CreateDevice(&request)) {
    Show_Message("Error: Render initialization failed!\n");
    return false;
  }
  g_pRenderDevice->SetDeviceRestoreCallback(On_Render_Device_Event);
  Note_Device(request);
  Center_Window();
  return true;
}

bool Reset_Render_Mode() {
  if (!g_pRenderDevice || !Device_Exists()) return false;
  if (g_Menu_Mgr.Is_Initialised()) g_Menu_Mgr.Release_Fonts();
  if (Device_Working()) g_pRenderDevice->FreeForReset();
  RenderMode mode{};
  if (!Pick_Render_Mode(mode)) {
    Debug_Printf("Error: Couldn't pick render mode\n");
    return false;
  }
  CRenderInitRequest request;
  Fill_Request(request, mode, g_Game_State.Display_Windowed);
  if (!g_pRenderDevice->RestoreDevice(&request)) {
    Debug_Printf("Error in Renderer initialization\n");
    return false;
  }
  if (g_Menu_Mgr.Is_Initialised()) g_Menu_Mgr.Create_Fonts();
  Note_Device(request);
  return true;
}

void Center_Window() {
  if (!g_Game_State.Display_Windowed || !g_Main_Window || !g_pRenderDevice) return;
  RECT desktop{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  const int width = g_pRenderDevice->GetScreenWidth();
  const int height = g_pRenderDevice->GetScreenHeight();
  RECT rect;
  rect.left = desktop.left + ((desktop.right - desktop.left) - width) / 2;
  rect.top = desktop.top + ((desktop.bottom - desktop.top) - height) / 2;
  rect.right = rect.left + width;
  rect.bottom = rect.top + height;
  AdjustWindowRect(&rect, WS_SYSMENU | WS_MINIMIZEBOX, FALSE);
  if (rect.left < 0) {
    rect.right -= rect.left;
    rect.left = 0;
  }
  if (rect.top < 0) {
    rect.bottom -= rect.top;
    rect.top = 0;
  }
  SetWindowPos(g_Main_Window, nullptr, rect.left, rect.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}
