#pragma once
// Shadow copies of the device state the renderer sets, so that a value reaches the device only
// when it differs from what the device already has. 0xFFFFFFFF (every byte 0xFF for matrices and
// the material) marks an entry as not yet set, so the next set of any value goes through.
#include <cstdint>

#include "platform/d3d/d3d8.h"

class CD3DRenderStyle;

constexpr DWORD kShadowUnset = 0xFFFFFFFFu;
constexpr int kWorldMatrixCount = 64;
constexpr int kTextureMatrixCount = 4;
constexpr int kLightCount = 8;
constexpr int kTextureShadowStages = 8;

class CRenderStateMgr {
 public:
  CRenderStateMgr() { ResetShadows(); }

  bool Init();
  void Term();

  // Re-applies the shadow transforms, viewport, material, lights and ambient colour to the
  // device, marks every render and texture-stage shadow as unset and has the device wrapper
  // re-apply its standard states.
  void ResetDeviceState();
  // Stores the viewport and sets it on the device (width = right - left, height = bottom - top).
  void SetViewport(DWORD left, DWORD top, DWORD right, DWORD bottom, float min_z, float max_z);
  void GetViewport(D3DVIEWPORT8* viewport) const;
  // Drops whatever refers to the style.
  void InvalidateStyle(CD3DRenderStyle* style);

  // Cached setters: the device is called only when the value differs from the shadow. Render
  // states, texture-stage states and the material also forget the last applied style pass.
  void SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
  void SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value);
  void SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX& matrix);
  void SetMaterial(const D3DMATERIAL8& material);
  void SetTexture(DWORD stage, IDirect3DBaseTexture8* texture);
  void SetCurrentTexturePalette(UINT palette);

  DWORD GetRenderState(DWORD state) const { return state < D3DRS_STATE_COUNT ? m_RenderStates[state] : kShadowUnset; }
  DWORD GetTextureStageState(DWORD stage, DWORD type) const;
  // The shadow of a kept transform (view, projection, texture 0-3, world 0-63); null otherwise.
  const D3DMATRIX* GetTransform(D3DTRANSFORMSTATETYPE type) const;

  // Light shadows, written by the render device.
  D3DLIGHT8 Lights[kLightCount];
  uint8_t LightEnabled[kLightCount];
  float Ambient[4];  // r, g, b, a

  // The style and pass applied last; none after a cached setter changed a state.
  CD3DRenderStyle* PreviousStyle() const { return m_pPreviousStyle; }

 private:
  void ResetShadows();
  void ForgetStylePass() { m_pPreviousStyle = nullptr; }
  D3DMATRIX* TransformShadow(D3DTRANSFORMSTATETYPE type);

  DWORD m_RenderStates[D3DRS_STATE_COUNT];
  DWORD m_StageStates[kTextureShadowStages][D3DTSS_STATE_COUNT];
  D3DMATRIX m_World[kWorldMatrixCount];
  D3DMATRIX m_View;
  D3DMATRIX m_Projection;
  D3DMATRIX m_TextureMatrices[kTextureMatrixCount];
  D3DMATERIAL8 m_Material;
  // Left, top, right, bottom and the depth range (-1 after a reset).
  DWORD m_Viewport[4];
  float m_ViewportMinZ;
  float m_ViewportMaxZ;
  UINT m_Palette;
  IDirect3DBaseTexture8* m_Textures[kTextureShadowStages];
  CD3DRenderStyle* m_pPreviousStyle = nullptr;
  uint32_t m_PreviousPass = 0;
};

// Packs four colour components of 0..1 into ARGB bytes, each clamped to 0..255.
DWORD PackColorARGB(float r, float g, float b, float a);

extern CRenderStateMgr* g_pRenderStateMgr;
