#pragma once
// The render device service: the one object through which the rest of the program starts,
// stops, resets and feeds the graphics device. Registered as "IKSRenderDevice.Default"; game
// code reaches it through g_pRenderDevice.
#include <cstdint>

#include "platform/d3d/d3d8.h"
#include "runtime/src/core/interface_db.h"
#include "runtime/src/math/math_types.h"

class CStream;
class CRenderObject;
class CD3DRenderStyle;
class CTextureData;
class CDeviceTexture;
class CDeviceSurface;
struct CTexturePalette;

// A display mode offered by the machine (a GetDeviceList chain) or in use (GetRenderMode).
struct RenderMode {
  char Name[64];          // list: the adapter's driver name; in use: the adapter's description
  char Description[256];  // list: the adapter's description; in use: the device name
  uint32_t Width;
  uint32_t Height;
  uint32_t BitDepth;  // 16, 24 or 32; 0 for other formats
  RenderMode* Next;   // next record of a list; null in use
};

// What CreateDevice and RestoreDevice are asked for.
class CRenderInitRequest {
 public:
  virtual ~CRenderInitRequest() = default;

  RenderMode Mode{};  // width, height and bit depth requested
  HWND Window = nullptr;
  uint8_t Windowed = 0;
  // The device never hides the cursor nor moves the window; it only sizes it.
  uint8_t KeepWindow = 0;
  // When not empty, the device of this name ("HAL" or "REF") is preferred.
  char DeviceName[64] = {};
};

struct ProjectionDesc {
  uint8_t Orthographic;
  float AspectOrWidth;   // perspective: aspect ratio; orthographic: view width
  float FovOrHeight;     // perspective: vertical field of view (radians); orthographic: view height
  float Near;
  float Far;
};

struct ProjectionOffCenterDesc {
  uint8_t Orthographic;
  int32_t Left, Top, Right, Bottom;
  float Near;
  float Far;
};

struct CameraTransform {
  CQuaternion Rotation;
  CVector3 Position;
};

enum ELightKind : int32_t {
  kLightDirectional = 1,
  kLightPoint = 2,
};

struct LightDesc {
  int32_t Kind;       // ELightKind
  CVector3 Vector;    // direction of a directional light, position of a point light
  CColor4 Diffuse;
  CColor4 Specular;
  float Attenuation[3];
  float Range;
};

// ReadBackBuffer output forms: bytes per pixel written.
enum EReadBackForm : int32_t {
  kReadBackFourBytes = 1,
  kReadBackThreeBytes = 3,
};

struct ReadBackRequest {
  CStream* Stream;
  int32_t Form;  // EReadBackForm
  uint32_t* Width;
  uint32_t* Height;
};

// Clear flags beyond the two device ones.
enum EClearFlags : uint32_t {
  kClearTarget = 1,
  kClearDepth = 2,           // and the stencil when the depth format has stencil bits
  kClearKeepViewport = 4,    // use the current viewport instead of the full screen
  kClearNoInvalidate = 8,    // do not invalidate the window
};

using DeviceRestoreCallbackFn = void (*)(int lost);

class IKSRenderDevice : public CInterfaceImpl {
 public:
  ~IKSRenderDevice() override = default;

  virtual bool CreateDevice(const CRenderInitRequest* request) = 0;
  virtual bool ReleaseDevice() = 0;
  virtual bool Begin_Render() = 0;
  virtual bool FreeForReset() = 0;
  virtual bool RestoreDevice(const CRenderInitRequest* request) = 0;
  virtual RenderMode* GetDeviceList() = 0;
  virtual bool FreeDeviceList(RenderMode* list) = 0;
  virtual bool GetRenderMode(RenderMode* mode) = 0;
  virtual CRenderObject* CreateRenderObject(uint32_t type) = 0;
  virtual uint32_t DestroyRenderObject(CRenderObject* object) = 0;
  virtual CD3DRenderStyle* CreateRenderStyle() = 0;
  virtual bool DestroyRenderStyle(CD3DRenderStyle* style) = 0;
  // colour: packed, blue in the lowest byte, then green and red; alpha is ignored.
  virtual bool Clear(const RECT* rect, uint32_t flags, uint32_t color, uint32_t stencil) = 0;
  virtual uint32_t Present(void* unused) = 0;
  virtual CDeviceTexture* CreateTexture(const void* pixels, uint32_t width, uint32_t height, int32_t format_code,
                                        uint8_t mipmap, uint32_t flags, const PALETTEENTRY* palette) = 0;
  virtual CDeviceTexture* CreateDeviceTexture(CTextureData* texture) = 0;
  virtual bool ReleaseDeviceTexture(CDeviceTexture* texture) = 0;
  virtual bool UploadTexture(CTextureData* texture) = 0;
  virtual bool SetTexturePalette(CTextureData* texture) = 0;
  virtual CTexturePalette* CreatePalette(const PALETTEENTRY* entries) = 0;
  virtual bool ReleasePalette(CTexturePalette* palette) = 0;
  virtual bool AttachPalette(CTexturePalette* palette, CDeviceTexture* texture) = 0;
  virtual bool IsTextureFormatSupported(int32_t format_code) = 0;
  virtual bool SetRenderTarget(CDeviceTexture* texture) = 0;
  virtual CDeviceSurface* Create2DSurface(const void* pixels, uint32_t width, uint32_t height,
                                          int32_t format_code) = 0;
  virtual bool Release2DSurface(CDeviceSurface* surface) = 0;
  virtual bool Reserved0() = 0;
  virtual bool Reserved1() = 0;
  virtual bool Reserved2() = 0;
  virtual bool BeginScene() = 0;
  virtual bool EndScene() = 0;
  virtual bool SetViewport(const D3DVIEWPORT8* viewport) = 0;
  virtual bool GetViewport(D3DVIEWPORT8* viewport) = 0;
  virtual bool SetProjectionOffCenter(const ProjectionOffCenterDesc* desc) = 0;
  virtual bool SetProjection(const ProjectionDesc* desc) = 0;
  virtual bool GetProjectionOffCenter(ProjectionOffCenterDesc* desc) = 0;
  virtual bool GetProjection(ProjectionDesc* desc) = 0;
  virtual bool GetViewMatrix(CMatrix4x4* matrix) = 0;
  virtual bool GetProjectionMatrix(CMatrix4x4* matrix) = 0;
  virtual bool SetCameraTransform(const CameraTransform* camera) = 0;
  virtual bool GetCameraTransform(CameraTransform* camera) = 0;
  virtual bool SetStencilState(bool enable, uint32_t reference, uint32_t function, uint32_t fail,
                               uint32_t z_fail, uint32_t pass, uint32_t read_mask, uint32_t write_mask) = 0;
  virtual bool SetLight(uint32_t index, const LightDesc* light) = 0;
  virtual bool GetLight(uint32_t index, LightDesc* light) = 0;
  virtual bool EnableLight(uint32_t index, bool on) = 0;
  virtual bool IsLightEnabled(uint32_t index, uint8_t* on) = 0;
  virtual bool SetAmbientLight(const CColor4* color) = 0;
  virtual bool GetAmbientLight(CColor4* color) = 0;
  virtual bool SetDefaultView() = 0;
  virtual int GetScreenWidth() = 0;
  virtual float GetScreenWidthF() = 0;
  virtual int GetScreenHeight() = 0;
  virtual float GetScreenHeightF() = 0;
  virtual void SetUserValue(int value) { m_UserValue = value; }
  virtual int GetUserValue() { return m_UserValue; }
  virtual uint32_t GetRenderState(uint32_t state) = 0;
  virtual bool ApplyFogSettings() = 0;
  virtual bool ResetRenderStates() = 0;
  virtual bool ReadBackBuffer(const ReadBackRequest* request) = 0;
  virtual bool SetDeviceRestoreCallback(DeviceRestoreCallbackFn callback) = 0;

 private:
  int m_UserValue = 0;
};

// The service, once registered; null before static initialisation and after exit.
extern IKSRenderDevice* g_pRenderDevice;
