#include "runtime/src/render/sys/pc/d3d_renderdevice.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/d3dx/d3dx8_math.h"
#include "platform/window/cursor.h"
#include "platform/window/window.h"
#include "runtime/src/core/streams.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_formats.h"
#include "runtime/src/render/sys/pc/d3d_gamma.h"
#include "runtime/src/render/sys/pc/d3d_shell.h"
#include "runtime/src/render/sys/pc/render_cvars.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "runtime/src/render/sys/pc/texturemgr.h"
#include "runtime/src/render/sys/pc/vb_suballocator.h"
#include "runtime/src/render/sys/pc/world_clump_mgr.h"

IKSRenderDevice* g_pRenderDevice = nullptr;
CD3DRenderDevice* g_pD3DRenderDevice = nullptr;
DeviceRestoreCallbackFn DeviceRestoreCallback = nullptr;

namespace {

CD3DRenderDevice g_D3DRenderDevice;
CInterfaceRegistration g_RenderDeviceRegistration(&g_D3DRenderDevice, "IKSRenderDevice.Default", 0);

constexpr const char* kNoD3DObject =
    "Couldn't create the D3D Object\nMake sure your compiled DX version matches your runtime DX version\n";
constexpr const char* kNoDeviceMessage = "Can't find any d3d devices to use!\n";
constexpr const char* kNoModeMessage = "Can't find an appropriate display mode!\n";
constexpr float kDefaultFov = 1.5707964f;
constexpr float kDefaultNear = 7.0f;
constexpr float kDefaultFar = 10000.0f;

DWORD FloatBits(float value) {
  DWORD bits;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

void CopyText(char* dest, size_t size, const char* text) {
  const size_t length = std::min(strnlen(text, size - 1), size - 1);
  std::memcpy(dest, text, length);
  dest[length] = '\0';
}

// Bit depth asked for when the device is restored in its current mode.
uint32_t RestoreBitDepth(D3DFORMAT format) {
  if (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8) return 32;
  if (format == D3DFMT_R8G8B8) return 24;
  return 16;
}

IDirect3DDevice8* Device() { return g_pD3DDevice != nullptr ? g_pD3DDevice->GetDevice() : nullptr; }

}  // namespace

CD3DRenderDevice::CD3DRenderDevice() {
  g_pRenderDevice = this;
  g_pD3DRenderDevice = this;
}

CD3DRenderDevice::~CD3DRenderDevice() {
  if (g_pRenderDevice == this) g_pRenderDevice = nullptr;
  if (g_pD3DRenderDevice == this) g_pD3DRenderDevice = nullptr;
}

bool CD3DRenderDevice::HasDevice() const { return Device() != nullptr; }

// ---------------------------------------------------------------------------------------------
// Start, stop, reset
// ---------------------------------------------------------------------------------------------

void CD3DRenderDevice::TakeRequest(const CRenderInitRequest& request) {
  m_hWnd = request.Window;
  m_bWindowed = request.Windowed;
  m_ScreenWidth = static_cast<int>(request.Mode.Width);
  m_ScreenHeight = static_cast<int>(request.Mode.Height);
  m_ScreenWidthF = static_cast<float>(m_ScreenWidth);
  m_ScreenHeightF = static_cast<float>(m_ScreenHeight);
}

bool CD3DRenderDevice::Fail(const char* message) {
  ReleaseDevice();
  Render_DebugPrintf(0, "%s", message);
  return false;
}

void CD3DRenderDevice::CopyDeviceNames() {
  const D3DDeviceInfo* device = g_pD3DDevice->GetDeviceInfo();
  const D3DAdapterInfo* adapter = g_pD3DDevice->GetAdapter();
  CopyText(m_DeviceName, sizeof(m_DeviceName), device->Name);
  const size_t length = std::min(strnlen(adapter->Identifier.Description, sizeof(adapter->Identifier.Description)),
                                 sizeof(m_AdapterDescription) - 1);
  std::memcpy(m_AdapterDescription, adapter->Identifier.Description, length);
  m_AdapterDescription[length] = '\0';
}

void CD3DRenderDevice::HideSystemCursor() {
  if (m_bKeepWindow || m_bCursorHidden) return;
  ShowCursor(FALSE);
  m_bCursorHidden = true;
}

void CD3DRenderDevice::ShowSystemCursor() {
  if (!m_bCursorHidden) return;
  ShowCursor(TRUE);
  m_bCursorHidden = false;
}

// Windowed: the client area of the screen size is centred on the desktop and kept on it. The
// window layer keeps no stacking order, so the top-most changes of full screen have no call.
void CD3DRenderDevice::PlaceWindow(bool keep_window) {
  if (m_hWnd == nullptr || !m_bWindowed) return;
  RECT rect;
  rect.left = (GetSystemMetrics(SM_CXSCREEN) - m_ScreenWidth) >> 1;
  rect.top = (GetSystemMetrics(SM_CYSCREEN) - m_ScreenHeight) >> 1;
  rect.right = rect.left + m_ScreenWidth;
  rect.bottom = rect.top + m_ScreenHeight;
  AdjustWindowRect(&rect, 0, FALSE);
  if (rect.left < 0) {
    rect.right -= rect.left;
    rect.left = 0;
  }
  if (rect.top < 0) {
    rect.bottom -= rect.top;
    rect.top = 0;
  }
  SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOOWNERZORDER | (keep_window ? SWP_NOMOVE : 0));
}

bool CD3DRenderDevice::CreateDevice(const CRenderInitRequest* request) {
  if (request == nullptr) return false;
  if (g_pD3DDevice != nullptr || g_pRenderStateMgr != nullptr) ReleaseDevice();
  if (g_D3DShell.GetD3D() == nullptr && !g_D3DShell.Create()) {
    Render_DebugPrintf(0, "%s", kNoD3DObject);
    return false;
  }
  TakeRequest(*request);
  m_bKeepWindow = request->KeepWindow;

  D3DDeviceChoice choice;
  if (request->DeviceName[0] != '\0') choice = g_D3DShell.FindDeviceByName(request->DeviceName);
  if (choice.Device == nullptr) choice = g_D3DShell.FindDefaultDevice(m_bWindowed != 0);
  if (choice.Device == nullptr) return Fail(kNoDeviceMessage);
  D3DModeInfo* mode = g_D3DShell.FindMode(choice.Device, static_cast<int>(request->Mode.BitDepth), m_bWindowed != 0,
                                          request->Mode.Width, request->Mode.Height);
  if (mode == nullptr) return Fail(kNoModeMessage);

  g_pRenderStateMgr = new CRenderStateMgr;
  g_pD3DDevice = new CD3DDevice;
  if (!g_pD3DDevice->CreateDevice(choice.Adapter, choice.Device, mode)) return Fail("Couldn't create D3D Device!\n");

  HideSystemCursor();
  CopyDeviceNames();
  Render_DebugPrintf(0, "Using Direct3D Device %s\n", m_DeviceName);
  m_FrameCount = 0;
  m_One = 1.0f;
  PlaceWindow(m_bKeepWindow != 0);

  g_pRenderStateMgr->Term();
  g_pRenderStateMgr->Init();
  SetDefaultView();
  SetGammaRampFromFile(kGammaFileName);
  if (!g_TextureMgr.Init()) return Fail("Couldn't initialize the texture manager!\n");
  if (!g_WorldClumpMgr.Init() || !g_VBSubAllocator.Init())
    return Fail("Couldn't initialize the world clump manager!\n");
  g_pD3DDevice->SetDefaultDeviceStates();
  m_State = kReady;
  return true;
}

bool CD3DRenderDevice::ReleaseDevice() {
  if (g_pD3DDevice != nullptr) g_pD3DDevice->FreeObjects();
  g_WorldClumpMgr.Term();
  g_VBSubAllocator.Term();
  g_TextureMgr.Term();
  if (g_pD3DDevice != nullptr) g_pD3DDevice->Term();
  g_D3DShell.Release();
  delete g_pD3DDevice;
  g_pD3DDevice = nullptr;
  delete g_pRenderStateMgr;
  g_pRenderStateMgr = nullptr;
  ShowSystemCursor();
  m_State = kNoDevice;
  m_bReportedLost = false;
  return true;
}

bool CD3DRenderDevice::FreeForReset() {
  if (!HasDevice()) return false;
  g_pD3DDevice->FreeObjects();
  g_TextureMgr.ReleaseDefaultPoolTextures();
  g_WorldClumpMgr.FreeForReset();
  g_VBSubAllocator.FreeForReset();
  ShowSystemCursor();
  m_State = kFreedForReset;
  return true;
}

bool CD3DRenderDevice::RestoreDevice(const CRenderInitRequest* request) {
  if (!HasDevice()) {
    Render_DebugPrintf(1, "Error in CD3DRenderDevice::RestoreDevice.\nD3D Device does not exist.\n");
    return false;
  }
  if (request != nullptr) {
    TakeRequest(*request);
    D3DModeInfo* mode = g_D3DShell.FindMode(g_pD3DDevice->GetDeviceInfo(), static_cast<int>(request->Mode.BitDepth),
                                            m_bWindowed != 0, request->Mode.Width, request->Mode.Height);
    if (mode == nullptr || !g_pD3DDevice->Reset(mode)) {
      Render_DebugPrintf(0, "%s", kNoModeMessage);
      return false;
    }
    CopyDeviceNames();
    Render_DebugPrintf(1, "Using Direct3D Device %s\n", m_DeviceName);
    PlaceWindow(request->KeepWindow != 0);
    SetGammaRampFromFile(kGammaFileName);
  }
  HideSystemCursor();
  g_pD3DDevice->RestoreObjects();
  g_TextureMgr.RestoreDefaultPoolTextures();
  g_WorldClumpMgr.Restore();
  g_VBSubAllocator.Restore();
  ResetRenderStates();
  m_State = kReady;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Frame gate
// ---------------------------------------------------------------------------------------------

void CD3DRenderDevice::ReportLost() {
  if (m_bReportedLost) return;
  m_bReportedLost = true;
  if (DeviceRestoreCallback != nullptr) DeviceRestoreCallback(1);
}

void CD3DRenderDevice::ReportRestored() {
  if (!m_bReportedLost) return;
  m_bReportedLost = false;
  if (DeviceRestoreCallback != nullptr) DeviceRestoreCallback(0);
}

// A device that can be reset is freed and restored here, with the application's restore
// callback around it, once at the current bit depth and once more at the other. A device left
// freed by a failed restore draws no frame until a restore succeeds, even when the device
// itself reports that it works.
bool CD3DRenderDevice::Begin_Render() {
  IDirect3DDevice8* device = Device();
  if (device == nullptr) return false;
  const HRESULT level = device->TestCooperativeLevel();
  if (SUCCEEDED(level)) return m_State == kReady;
  if (level != D3DERR_DEVICENOTRESET) return false;

  ReportLost();
  FreeForReset();
  const D3DModeInfo* mode = g_pD3DDevice->GetMode();
  CRenderInitRequest request;
  request.Mode.BitDepth = RestoreBitDepth(mode->Format);
  request.Mode.Width = m_bWindowed ? static_cast<uint32_t>(m_ScreenWidth) : mode->Width;
  request.Mode.Height = m_bWindowed ? static_cast<uint32_t>(m_ScreenHeight) : mode->Height;
  request.Window = m_hWnd;
  request.Windowed = m_bWindowed;
  request.KeepWindow = 1;
  if (!RestoreDevice(&request)) {
    Render_DebugPrintf(1, "Attempting to try alternative color depth in Begin_Render()\n");
    const uint32_t depth = request.Mode.BitDepth;
    request.Mode.BitDepth = (depth == 32 || depth == 24) ? 16 : 24;
    if (!RestoreDevice(&request)) return false;
  }
  g_pRenderStateMgr->ResetDeviceState();
  ReportRestored();
  return true;
}

// A lost device is not waited for here: the next Begin_Render finds it and restores it.
uint32_t CD3DRenderDevice::Present(void*) {
  IDirect3DDevice8* device = Device();
  if (device != nullptr) device->Present(nullptr, nullptr, nullptr, nullptr);
  return ++m_FrameCount;
}

bool CD3DRenderDevice::Clear(const RECT* rect, uint32_t flags, uint32_t color, uint32_t stencil) {
  IDirect3DDevice8* device = Device();
  if (device == nullptr || g_pRenderStateMgr == nullptr) return false;
  const bool keep_viewport = (flags & kClearKeepViewport) != 0;
  D3DVIEWPORT8 saved{};
  if (!keep_viewport) {
    g_pRenderStateMgr->GetViewport(&saved);
    g_pRenderStateMgr->SetViewport(0, 0, static_cast<DWORD>(m_ScreenWidth), static_cast<DWORD>(m_ScreenHeight),
                                   0.0f, 1.0f);
  }
  D3DRECT area{};
  DWORD count = 0;
  if (rect != nullptr && (rect->left != 0 || rect->top != 0 || rect->right != m_ScreenWidth ||
                          rect->bottom != m_ScreenHeight)) {
    area = {rect->left, rect->top, rect->right, rect->bottom};
    count = 1;
  }
  DWORD device_flags = 0;
  if (flags & kClearTarget) device_flags |= D3DCLEAR_TARGET;
  if (flags & kClearDepth) {
    device_flags |= D3DCLEAR_ZBUFFER;
    if (g_pD3DDevice->DepthHasStencil()) device_flags |= D3DCLEAR_STENCIL;
  }
  const HRESULT hr = device->Clear(count, count ? &area : nullptr, device_flags, color & 0x00FFFFFFu, 1.0f, stencil);
  if (!keep_viewport)
    g_pRenderStateMgr->SetViewport(saved.X, saved.Y, saved.X + saved.Width, saved.Y + saved.Height, saved.MinZ,
                                   saved.MaxZ);
  return SUCCEEDED(hr);
}

bool CD3DRenderDevice::BeginScene() { return g_pD3DDevice != nullptr && g_pD3DDevice->BeginScene(); }
bool CD3DRenderDevice::EndScene() { return g_pD3DDevice != nullptr && g_pD3DDevice->EndScene(); }

// ---------------------------------------------------------------------------------------------
// Modes
// ---------------------------------------------------------------------------------------------

RenderMode* CD3DRenderDevice::GetDeviceList() {
  if (g_D3DShell.GetD3D() == nullptr && !g_D3DShell.Create()) {
    Render_DebugPrintf(0, "%s", kNoD3DObject);
    return nullptr;
  }
  RenderMode* head = nullptr;
  g_D3DShell.BuildModeList(&head);
  return head;
}

bool CD3DRenderDevice::FreeDeviceList(RenderMode* list) {
  while (list != nullptr) {
    RenderMode* next = list->Next;
    delete list;
    list = next;
  }
  return true;
}

bool CD3DRenderDevice::GetRenderMode(RenderMode* mode) {
  if (!HasDevice()) {
    Render_DebugPrintf(1, "Error in CD3DRenderDevice::GetRenderMode.\nDevice has not been created.\n");
    return false;
  }
  if (mode == nullptr) return false;
  CopyText(mode->Name, sizeof(mode->Name), m_AdapterDescription);
  CopyText(mode->Description, sizeof(mode->Description), m_DeviceName);
  const D3DPRESENT_PARAMETERS& params = g_pD3DDevice->GetPresentParameters();
  mode->Width = params.BackBufferWidth;
  mode->Height = params.BackBufferHeight;
  DWORD bits = 0;
  GetFormatBits(g_pD3DDevice->GetMode()->Format, &bits, nullptr, nullptr, nullptr, nullptr);
  mode->BitDepth = bits;
  mode->Next = nullptr;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Objects, styles and textures
// ---------------------------------------------------------------------------------------------

CRenderObject* CD3DRenderDevice::CreateRenderObject(uint32_t type) {
  return g_pD3DDevice != nullptr ? g_pD3DDevice->CreateRenderObject(type) : nullptr;
}

uint32_t CD3DRenderDevice::DestroyRenderObject(CRenderObject* object) {
  if (!HasDevice()) return 0;
  return g_pD3DDevice->DestroyRenderObject(object, false) ? 1 : 0;
}

CD3DRenderStyle* CD3DRenderDevice::CreateRenderStyle() {
  return g_pD3DDevice != nullptr ? g_pD3DDevice->CreateRenderStyle() : nullptr;
}

bool CD3DRenderDevice::DestroyRenderStyle(CD3DRenderStyle* style) {
  return g_pD3DDevice != nullptr && g_pD3DDevice->DestroyRenderStyle(style);
}

CDeviceTexture* CD3DRenderDevice::CreateTexture(const void* pixels, uint32_t width, uint32_t height,
                                                int32_t format_code, uint8_t mipmap, uint32_t flags,
                                                const PALETTEENTRY* palette) {
  return g_TextureMgr.CreateTextureSurface(pixels, width, height, format_code, mipmap, flags, palette);
}

CDeviceTexture* CD3DRenderDevice::CreateDeviceTexture(CTextureData* texture) {
  return g_TextureMgr.CreateDeviceTexture(texture);
}

bool CD3DRenderDevice::ReleaseDeviceTexture(CDeviceTexture* texture) {
  return g_TextureMgr.ReleaseDeviceTexture(texture, false);
}

bool CD3DRenderDevice::UploadTexture(CTextureData* texture) { return g_TextureMgr.UploadTexture(texture); }
bool CD3DRenderDevice::SetTexturePalette(CTextureData* texture) { return g_TextureMgr.SetTexturePalette(texture); }
CTexturePalette* CD3DRenderDevice::CreatePalette(const PALETTEENTRY* entries) {
  return g_TextureMgr.CreatePalette(entries);
}
bool CD3DRenderDevice::ReleasePalette(CTexturePalette* palette) { return g_TextureMgr.ReleasePalette(palette); }
bool CD3DRenderDevice::AttachPalette(CTexturePalette* palette, CDeviceTexture* texture) {
  return g_TextureMgr.AttachPalette(palette, texture);
}
bool CD3DRenderDevice::IsTextureFormatSupported(int32_t format_code) {
  return g_TextureMgr.IsTextureFormatSupported(format_code);
}
CDeviceSurface* CD3DRenderDevice::Create2DSurface(const void* pixels, uint32_t width, uint32_t height,
                                                  int32_t format_code) {
  return g_TextureMgr.Create2DSurface(pixels, width, height, format_code);
}
bool CD3DRenderDevice::Release2DSurface(CDeviceSurface* surface) { return g_TextureMgr.Release2DSurface(surface); }

bool CD3DRenderDevice::SetRenderTarget(CDeviceTexture* texture) {
  if (g_pD3DDevice == nullptr) return false;
  if (texture != nullptr && texture->m_pTexture == nullptr) return false;
  return g_pD3DDevice->SetRenderTarget(texture != nullptr ? texture->m_pTexture : nullptr);
}

// ---------------------------------------------------------------------------------------------
// Viewport, projections, camera
// ---------------------------------------------------------------------------------------------

bool CD3DRenderDevice::SetViewport(const D3DVIEWPORT8* viewport) {
  if (viewport == nullptr || g_pRenderStateMgr == nullptr) return false;
  g_pRenderStateMgr->SetViewport(viewport->X, viewport->Y, viewport->X + viewport->Width,
                                 viewport->Y + viewport->Height, viewport->MinZ, viewport->MaxZ);
  return true;
}

bool CD3DRenderDevice::GetViewport(D3DVIEWPORT8* viewport) {
  if (viewport == nullptr || g_pRenderStateMgr == nullptr) return false;
  g_pRenderStateMgr->GetViewport(viewport);
  return true;
}

void CD3DRenderDevice::SetProjectionMatrix(const D3DMATRIX& matrix) {
  if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->SetTransform(D3DTS_PROJECTION, matrix);
}

bool CD3DRenderDevice::SetProjection(const ProjectionDesc* desc) {
  if (desc == nullptr) return false;
  D3DMATRIX m;
  if (desc->Orthographic)
    D3DXMatrixOrthoLH(&m, desc->AspectOrWidth, desc->FovOrHeight, desc->Near, desc->Far);
  else
    D3DXMatrixPerspectiveFovLH(&m, desc->FovOrHeight, desc->AspectOrWidth, desc->Near, desc->Far);
  SetProjectionMatrix(m);
  m_Projection = *desc;
  m_LastProjectionOffCenter = 0;
  return true;
}

// The rectangle's top edge is the bottom plane.
bool CD3DRenderDevice::SetProjectionOffCenter(const ProjectionOffCenterDesc* desc) {
  if (desc == nullptr) return false;
  const float l = static_cast<float>(desc->Left), r = static_cast<float>(desc->Right);
  const float b = static_cast<float>(desc->Top), t = static_cast<float>(desc->Bottom);
  D3DMATRIX m;
  if (desc->Orthographic)
    D3DXMatrixOrthoOffCenterLH(&m, l, r, b, t, desc->Near, desc->Far);
  else
    D3DXMatrixPerspectiveOffCenterLH(&m, l, r, b, t, desc->Near, desc->Far);
  SetProjectionMatrix(m);
  m_ProjectionOffCenter = *desc;
  m_LastProjectionOffCenter = 1;
  return true;
}

bool CD3DRenderDevice::GetProjection(ProjectionDesc* desc) {
  if (desc == nullptr || m_LastProjectionOffCenter) return false;
  *desc = m_Projection;
  return true;
}

bool CD3DRenderDevice::GetProjectionOffCenter(ProjectionOffCenterDesc* desc) {
  if (desc == nullptr || !m_LastProjectionOffCenter) return false;
  *desc = m_ProjectionOffCenter;
  return true;
}

namespace {
bool CopyShadowMatrix(D3DTRANSFORMSTATETYPE type, CMatrix4x4* matrix) {
  if (matrix == nullptr || g_pRenderStateMgr == nullptr) return false;
  static_assert(sizeof(CMatrix4x4) == sizeof(D3DMATRIX), "both are 16 floats row by row");
  std::memcpy(matrix, g_pRenderStateMgr->GetTransform(type), sizeof(*matrix));
  return true;
}
}  // namespace

bool CD3DRenderDevice::GetViewMatrix(CMatrix4x4* matrix) { return CopyShadowMatrix(D3DTS_VIEW, matrix); }
bool CD3DRenderDevice::GetProjectionMatrix(CMatrix4x4* matrix) { return CopyShadowMatrix(D3DTS_PROJECTION, matrix); }

// The view is the inverse of the camera's world transform (rotation, then translation). A
// camera whose transform cannot be inverted leaves the view as it was.
bool CD3DRenderDevice::SetCameraTransform(const CameraTransform* camera) {
  if (camera == nullptr) return false;
  const D3DXQUATERNION q{camera->Rotation.x, camera->Rotation.y, camera->Rotation.z, camera->Rotation.w};
  D3DMATRIX rotation, translation, world, view;
  D3DXMatrixRotationQuaternion(&rotation, &q);
  D3DXMatrixTranslation(&translation, camera->Position.x, camera->Position.y, camera->Position.z);
  D3DXMatrixMultiply(&world, &rotation, &translation);
  if (D3DXMatrixInverse(&view, nullptr, &world) == nullptr) return false;
  if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->SetTransform(D3DTS_VIEW, view);
  m_Camera = *camera;
  m_LastCameraPosition[0] = camera->Position.x;
  m_LastCameraPosition[1] = camera->Position.y;
  m_LastCameraPosition[2] = camera->Position.z;
  return true;
}

bool CD3DRenderDevice::GetCameraTransform(CameraTransform* camera) {
  if (camera == nullptr) return false;
  *camera = m_Camera;
  return true;
}

bool CD3DRenderDevice::SetDefaultView() {
  if (g_pRenderStateMgr == nullptr) return false;
  g_pRenderStateMgr->SetViewport(0, 0, static_cast<DWORD>(m_ScreenWidth), static_cast<DWORD>(m_ScreenHeight), 0.0f,
                                 1.0f);
  const ProjectionDesc projection{0, m_ScreenWidthF / m_ScreenHeightF, kDefaultFov, kDefaultNear, kDefaultFar};
  SetProjection(&projection);
  const CameraTransform camera{CQuaternion::Identity, CVector3::Zero};
  SetCameraTransform(&camera);
  std::fill(std::begin(g_pRenderStateMgr->Ambient), std::end(g_pRenderStateMgr->Ambient), 0.0f);
  g_pRenderStateMgr->SetRenderState(D3DRS_AMBIENT, 0);
  IDirect3DDevice8* device = Device();
  for (DWORD i = 0; i < kLightCount; ++i) {
    g_pRenderStateMgr->LightEnabled[i] = 0;
    if (device != nullptr) device->LightEnable(i, FALSE);
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// States, lights, fog
// ---------------------------------------------------------------------------------------------

bool CD3DRenderDevice::SetStencilState(bool enable, uint32_t reference, uint32_t function, uint32_t fail,
                                       uint32_t z_fail, uint32_t pass, uint32_t read_mask, uint32_t write_mask) {
  CRenderStateMgr* rs = g_pRenderStateMgr;
  if (rs == nullptr) return false;
  rs->SetRenderState(D3DRS_STENCILENABLE, enable ? TRUE : FALSE);
  rs->SetRenderState(D3DRS_STENCILREF, reference);
  rs->SetRenderState(D3DRS_STENCILMASK, read_mask);
  rs->SetRenderState(D3DRS_STENCILWRITEMASK, write_mask);
  if (function <= 7) rs->SetRenderState(D3DRS_STENCILFUNC, function + 1);
  if (fail <= 5) rs->SetRenderState(D3DRS_STENCILFAIL, fail + 1);
  if (z_fail <= 5) rs->SetRenderState(D3DRS_STENCILZFAIL, z_fail + 1);
  if (pass <= 5) rs->SetRenderState(D3DRS_STENCILPASS, pass + 1);
  return true;
}

bool CD3DRenderDevice::SetLight(uint32_t index, const LightDesc* light) {
  if (index >= kLightCount || light == nullptr || g_pRenderStateMgr == nullptr) return false;
  D3DLIGHT8 l{};
  if (light->Kind == kLightDirectional) l.Type = D3DLIGHT_DIRECTIONAL;
  if (light->Kind == kLightPoint) l.Type = D3DLIGHT_POINT;
  l.Position = l.Direction = {light->Vector.x, light->Vector.y, light->Vector.z};
  l.Diffuse = {light->Diffuse.r, light->Diffuse.g, light->Diffuse.b, light->Diffuse.a};
  l.Specular = {light->Specular.r, light->Specular.g, light->Specular.b, light->Specular.a};
  l.Range = light->Range;
  l.Attenuation0 = light->Attenuation[0];
  l.Attenuation1 = light->Attenuation[1];
  l.Attenuation2 = light->Attenuation[2];
  g_pRenderStateMgr->Lights[index] = l;
  if (IDirect3DDevice8* device = Device()) device->SetLight(index, &l);
  return true;
}

bool CD3DRenderDevice::GetLight(uint32_t index, LightDesc* light) {
  if (index >= kLightCount || light == nullptr || g_pRenderStateMgr == nullptr) return false;
  const D3DLIGHT8& l = g_pRenderStateMgr->Lights[index];
  if (l.Type == D3DLIGHT_POINT) {
    light->Kind = kLightPoint;
    light->Vector.Set(l.Position.x, l.Position.y, l.Position.z);
  } else if (l.Type == D3DLIGHT_DIRECTIONAL) {
    light->Kind = kLightDirectional;
    light->Vector.Set(l.Direction.x, l.Direction.y, l.Direction.z);
  }
  light->Diffuse.Set(l.Diffuse.r, l.Diffuse.g, l.Diffuse.b, l.Diffuse.a);
  light->Specular.Set(l.Specular.r, l.Specular.g, l.Specular.b, l.Specular.a);
  light->Attenuation[0] = l.Attenuation0;
  light->Attenuation[1] = l.Attenuation1;
  light->Attenuation[2] = l.Attenuation2;
  light->Range = l.Range;
  return true;
}

bool CD3DRenderDevice::EnableLight(uint32_t index, bool on) {
  if (index >= kLightCount || g_pRenderStateMgr == nullptr) return false;
  g_pRenderStateMgr->LightEnabled[index] = on ? 1 : 0;
  if (IDirect3DDevice8* device = Device()) device->LightEnable(index, on ? TRUE : FALSE);
  return true;
}

bool CD3DRenderDevice::IsLightEnabled(uint32_t index, uint8_t* on) {
  if (index >= kLightCount || on == nullptr || g_pRenderStateMgr == nullptr) return false;
  *on = g_pRenderStateMgr->LightEnabled[index];
  return true;
}

// Each component is clamped to 0..1 when packed for the device.
bool CD3DRenderDevice::SetAmbientLight(const CColor4* color) {
  if (color == nullptr || g_pRenderStateMgr == nullptr) return false;
  float* ambient = g_pRenderStateMgr->Ambient;
  ambient[0] = color->r;
  ambient[1] = color->g;
  ambient[2] = color->b;
  ambient[3] = color->a;
  g_pRenderStateMgr->SetRenderState(D3DRS_AMBIENT, PackColorARGB(color->r, color->g, color->b, color->a));
  return true;
}

bool CD3DRenderDevice::GetAmbientLight(CColor4* color) {
  if (color == nullptr || g_pRenderStateMgr == nullptr) return false;
  const float* ambient = g_pRenderStateMgr->Ambient;
  color->Set(ambient[0], ambient[1], ambient[2], ambient[3]);
  return true;
}

uint32_t CD3DRenderDevice::GetRenderState(uint32_t state) {
  return g_pRenderStateMgr != nullptr ? g_pRenderStateMgr->GetRenderState(state) : kShadowUnset;
}

bool CD3DRenderDevice::ApplyFogSettings() {
  CRenderStateMgr* rs = g_pRenderStateMgr;
  if (rs == nullptr) return false;
  rs->SetRenderState(D3DRS_FOGENABLE, static_cast<DWORD>(FogEnable.Value));
  rs->SetRenderState(D3DRS_FOGSTART, FloatBits(FogNearZ.Value));
  rs->SetRenderState(D3DRS_FOGEND, FloatBits(FogFarZ.Value));
  rs->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000u | (static_cast<DWORD>(FogR.Value) & 0xFF) << 16 |
                                         (static_cast<DWORD>(FogG.Value) & 0xFF) << 8 |
                                         (static_cast<DWORD>(FogB.Value) & 0xFF));
  return true;
}

bool CD3DRenderDevice::ResetRenderStates() {
  if (g_pRenderStateMgr == nullptr) return false;
  g_pRenderStateMgr->ResetDeviceState();
  return true;
}

bool CD3DRenderDevice::SetDeviceRestoreCallback(DeviceRestoreCallbackFn callback) {
  DeviceRestoreCallback = callback;
  return true;
}

// ---------------------------------------------------------------------------------------------
// Read-back
// ---------------------------------------------------------------------------------------------

namespace {

// One row of the locked surface into `out`, in the request's form. The padding byte of
// X8R8G8B8 reads as an opaque alpha.
void ConvertRow(const BYTE* src, D3DFORMAT format, uint32_t width, int32_t form, std::vector<BYTE>& out) {
  out.clear();
  for (uint32_t x = 0; x < width; ++x) {
    BYTE c[4];  // alpha (form 1 only), then three colour bytes
    if (format == D3DFMT_R5G6B5) {
      const unsigned pixel = src[2 * x] | (src[2 * x + 1] << 8);
      c[0] = 255;
      c[1] = static_cast<BYTE>((pixel >> 11) & 0x1F);
      c[2] = static_cast<BYTE>((pixel >> 5) & 0x3F);
      c[3] = static_cast<BYTE>(pixel & 0x1F);
    } else {
      const uint32_t size = format == D3DFMT_R8G8B8 ? 3 : 4;
      const BYTE* p = src + size * x;
      c[0] = format == D3DFMT_A8R8G8B8 ? p[3] : 255;
      c[1] = p[0];
      c[2] = p[1];
      c[3] = p[2];
    }
    if (form == kReadBackFourBytes) out.push_back(c[0]);
    out.insert(out.end(), c + 1, c + 4);
  }
}

}  // namespace

bool CD3DRenderDevice::ReadBackBuffer(const ReadBackRequest* request) {
  IDirect3DDevice8* device = Device();
  if (device == nullptr || request == nullptr || request->Stream == nullptr) return false;
  if (request->Form != kReadBackFourBytes && request->Form != kReadBackThreeBytes) return false;
  IDirect3DSurface8* surface = nullptr;
  if (FAILED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface)) || surface == nullptr) return false;
  D3DSURFACE_DESC desc{};
  if (FAILED(surface->GetDesc(&desc))) {
    surface->Release();
    return false;
  }
  if (request->Width != nullptr) *request->Width = desc.Width;
  if (request->Height != nullptr) *request->Height = desc.Height;
  if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_R8G8B8 &&
      desc.Format != D3DFMT_R5G6B5) {
    surface->Release();
    return false;
  }
  D3DLOCKED_RECT locked{};
  if (FAILED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
    surface->Release();
    return false;
  }
  bool written = true;
  std::vector<BYTE> row;
  for (uint32_t y = 0; y < desc.Height && written; ++y) {
    ConvertRow(static_cast<const BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch, desc.Format,
               desc.Width, request->Form, row);
    written = request->Stream->Write(row.data(), static_cast<uint32_t>(row.size())) == row.size();
  }
  surface->UnlockRect();
  surface->Release();
  return written;
}
