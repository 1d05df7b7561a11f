#pragma once
// The render device service over the device wrapper: start, stop, reset and loss of the device,
// projections, camera, lights, fog, viewport and the frame gate.
#include <cstdint>

#include "runtime/src/render/iks_render_device.h"

class CD3DRenderDevice : public IKSRenderDevice {
 public:
  // Device states.
  enum EState : uint32_t { kNoDevice = 0, kReady = 1, kFreedForReset = 2 };

  CD3DRenderDevice();
  ~CD3DRenderDevice() override;

  const char* GetClassName() const override { return "CD3DRenderDevice"; }

  bool CreateDevice(const CRenderInitRequest* request) override;
  bool ReleaseDevice() override;
  bool Begin_Render() override;
  bool FreeForReset() override;
  bool RestoreDevice(const CRenderInitRequest* request) override;
  RenderMode* GetDeviceList() override;
  bool FreeDeviceList(RenderMode* list) override;
  bool GetRenderMode(RenderMode* mode) override;
  CRenderObject* CreateRenderObject(uint32_t type) override;
  uint32_t DestroyRenderObject(CRenderObject* object) override;
  CD3DRenderStyle* CreateRenderStyle() override;
  bool DestroyRenderStyle(CD3DRenderStyle* style) override;
  bool Clear(const RECT* rect, uint32_t flags, uint32_t color, uint32_t stencil) override;
  uint32_t Present(void* unused) override;
  CDeviceTexture* CreateTexture(const void* pixels, uint32_t width, uint32_t height, int32_t format_code,
                                uint8_t mipmap, uint32_t flags, const PALETTEENTRY* palette) override;
  CDeviceTexture* CreateDeviceTexture(CTextureData* texture) override;
  bool ReleaseDeviceTexture(CDeviceTexture* texture) override;
  bool UploadTexture(CTextureData* texture) override;
  bool SetTexturePalette(CTextureData* texture) override;
  CTexturePalette* CreatePalette(const PALETTEENTRY* entries) override;
  bool ReleasePalette(CTexturePalette* palette) override;
  bool AttachPalette(CTexturePalette* palette, CDeviceTexture* texture) override;
  bool IsTextureFormatSupported(int32_t format_code) override;
  bool SetRenderTarget(CDeviceTexture* texture) override;
  CDeviceSurface* Create2DSurface(const void* pixels, uint32_t width, uint32_t height,
                                  int32_t format_code) override;
  bool Release2DSurface(CDeviceSurface* surface) override;
  bool Reserved0() override { return false; }
  bool Reserved1() override { return false; }
  bool Reserved2() override { return false; }
  bool BeginScene() override;
  bool EndScene() override;
  bool SetViewport(const D3DVIEWPORT8* viewport) override;
  bool GetViewport(D3DVIEWPORT8* viewport) override;
  bool SetProjectionOffCenter(const ProjectionOffCenterDesc* desc) override;
  bool SetProjection(const ProjectionDesc* desc) override;
  bool GetProjectionOffCenter(ProjectionOffCenterDesc* desc) override;
  bool GetProjection(ProjectionDesc* desc) override;
  bool GetViewMatrix(CMatrix4x4* matrix) override;
  bool GetProjectionMatrix(CMatrix4x4* matrix) override;
  bool SetCameraTransform(const CameraTransform* camera) override;
  bool GetCameraTransform(CameraTransform* camera) override;
  bool SetStencilState(bool enable, uint32_t reference, uint32_t function, uint32_t fail, uint32_t z_fail,
                       uint32_t pass, uint32_t read_mask, uint32_t write_mask) override;
  bool SetLight(uint32_t index, const LightDesc* light) override;
  bool GetLight(uint32_t index, LightDesc* light) override;
  bool EnableLight(uint32_t index, bool on) override;
  bool IsLightEnabled(uint32_t index, uint8_t* on) override;
  bool SetAmbientLight(const CColor4* color) override;
  bool GetAmbientLight(CColor4* color) override;
  bool SetDefaultView() override;
  int GetScreenWidth() override { return m_ScreenWidth; }
  float GetScreenWidthF() override { return m_ScreenWidthF; }
  int GetScreenHeight() override { return m_ScreenHeight; }
  float GetScreenHeightF() override { return m_ScreenHeightF; }
  uint32_t GetRenderState(uint32_t state) override;
  bool ApplyFogSettings() override;
  bool ResetRenderStates() override;
  bool ReadBackBuffer(const ReadBackRequest* request) override;
  bool SetDeviceRestoreCallback(DeviceRestoreCallbackFn callback) override;

  // For the device wrapper.
  HWND GetWindow() const { return m_hWnd; }
  bool IsWindowed() const { return m_bWindowed != 0; }
  int GetScreenWidthConst() const { return m_ScreenWidth; }
  int GetScreenHeightConst() const { return m_ScreenHeight; }
  EState GetState() const { return m_State; }
  uint32_t GetFrameCount() const { return m_FrameCount; }
  const char* GetDeviceName() const { return m_DeviceName; }
  const char* GetAdapterDescription() const { return m_AdapterDescription; }

 private:
  bool HasDevice() const;
  void TakeRequest(const CRenderInitRequest& request);
  bool Fail(const char* message);
  void CopyDeviceNames();
  void PlaceWindow(bool keep_window);
  void HideSystemCursor();
  void ShowSystemCursor();
  void ReportLost();
  void ReportRestored();
  void SetProjectionMatrix(const D3DMATRIX& matrix);

  EState m_State = kNoDevice;
  float m_LastCameraPosition[3] = {};
  float m_One = 1.0f;
  HWND m_hWnd = nullptr;
  uint8_t m_bWindowed = 0;
  uint8_t m_bKeepWindow = 0;
  int m_ScreenWidth = 0;
  int m_ScreenHeight = 0;
  float m_ScreenWidthF = 0.0f;
  float m_ScreenHeightF = 0.0f;
  uint32_t m_FrameCount = 0;
  char m_AdapterDescription[512] = {};
  char m_DeviceName[512] = {};
  ProjectionDesc m_Projection{};
  ProjectionOffCenterDesc m_ProjectionOffCenter{};
  uint8_t m_LastProjectionOffCenter = 0;
  CameraTransform m_Camera{};
  // Whether this service has the system cursor hidden, so shows and hides stay paired.
  bool m_bCursorHidden = false;
  // Whether the restore callback was told the device is lost and not yet told it is back.
  bool m_bReportedLost = false;
};

extern CD3DRenderDevice* g_pD3DRenderDevice;
// The application's restore callback: 1 before the device is reset, 0 after; null when none.
extern DeviceRestoreCallbackFn DeviceRestoreCallback;
