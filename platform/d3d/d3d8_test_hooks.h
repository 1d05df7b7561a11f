#pragma once
// Hooks that let tests and the run harness drive the OpenGL-backed device through situations an
// OpenGL context never reaches by itself.
#include <string>
#include <vector>

#include "platform/d3d/d3d8.h"

// Makes every device answer TestCooperativeLevel (and Present) as if it had been lost:
// D3DERR_DEVICELOST while the device cannot be reset, D3DERR_DEVICENOTRESET once it can.
// D3D_OK clears the injection. A successful Reset while D3DERR_DEVICENOTRESET is injected clears
// it as well, as a real reset would.
void D3D8Test_InjectCooperativeLevel(HRESULT level);
HRESULT D3D8Test_InjectedCooperativeLevel();

// The back buffer as the window shows it after Present (through the gamma ramp): 0xAARRGGBB
// pixels, top row first. False for a device that is not the OpenGL one.
bool D3D8Test_ReadPresentedPixels(IDirect3DDevice8* device, std::vector<DWORD>* pixels, UINT* width, UINT* height);

// Whether the device draws its back buffer straight into the window (which happens when the
// window can show it unchanged) rather than into its own framebuffer. False for a device that is
// not the OpenGL one.
bool D3D8Test_BackBufferInWindow(IDirect3DDevice8* device);

// Counts the distinct draw states (see gl_draw_state_log.h) the device draws with from now on;
// false turns counting off and forgets them. False for a device that is not the OpenGL one.
bool D3D8Test_CountDrawStates(IDirect3DDevice8* device, bool on);
// Devices made from now on count their draw states from their first draw, as if
// D3D8Test_CountDrawStates(device, true) had been called at once: what a program's start-up draws
// and warms is then counted too.
void D3D8Test_CountDrawStatesOfNewDevices(bool on);
// The number of distinct draw states counted so far; 0 for a device that is not the OpenGL one.
UINT D3D8Test_DrawStatesSeen(IDirect3DDevice8* device);
// While counting, also keeps a readable line for each draw state met for the first time; the
// lines kept since the last call, oldest first (none for a device that is not the OpenGL one).
bool D3D8Test_DescribeDrawStates(IDirect3DDevice8* device, bool on);
std::vector<std::string> D3D8Test_TakeDrawStateDescriptions(IDirect3DDevice8* device);
