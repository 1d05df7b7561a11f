#include "runtime/src/render/sys/pc/mesh_pass_loop.h"

#include <cstring>

#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"

namespace {

D3DMATRIX ToD3D(const CMatrix4x4* m) {
  D3DMATRIX out{};
  if (m == nullptr) {
    for (int i = 0; i < 4; ++i) out.m[i][i] = 1.0f;
    return out;
  }
  std::memcpy(&out, m->m, sizeof(out));
  return out;
}

// Moves a hardware mesh to software processing, or builds the style's shaders for software.
void MatchShaderProcessing(CD3DRenderStyle* style, MeshPassTarget& target) {
  const bool software = *target.Software;
  if (!software && style->UsesSoftwareShaders()) {
    *target.Software = true;
    if (target.SwitchToSoftware != nullptr) target.SwitchToSoftware(target.Mesh);
    g_pRenderStateMgr->SetSoftwareVertexProcessing(true);
  } else if (software && !style->UsesSoftwareShaders()) {
    style->SetSoftwareShaders(true);
    style->ReleaseShaders();
    style->CreateShaders();
  }
}

bool SetVertexShaderOf(CD3DRenderStyle* style, uint32_t pass, MeshPassTarget& target) {
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  DWORD shader = style->GetPassVertexShader(pass, target.ShaderVariant);
  if (shader != 0) {
    MatchShaderProcessing(style, target);
    shader = style->GetPassVertexShader(pass, target.ShaderVariant);
    PassShaderDesc block{};
    if (shader == 0 || !rs.SetVertexShader(shader) || !style->GetPassShader(pass, &block)) return false;
    return rs.LoadShaderConstants(style, block, nullptr, target.BoneCount);
  }
  if (target.FixedFormat == 0) return false;
  if (target.ShaderOnly && target.RejectShaderOnly) return false;
  return rs.SetVertexShader(target.FixedFormat);
}

bool SetPixelShaderOf(CD3DRenderStyle* style, uint32_t pass) {
  CRenderStateMgr& rs = *g_pRenderStateMgr;
  const DWORD shader = style->GetPassPixelShader(pass);
  rs.SetPixelShader(shader);
  if (shader == 0) return true;
  PassShaderDesc block{};
  if (!style->GetPassShader(pass, &block)) return false;
  rs.LoadPixelShaderConstants(block);
  return true;
}

}  // namespace

uint32_t StylePassCount(const CD3DRenderStyle* style) {
  return style != nullptr && g_pRenderStateMgr != nullptr ? style->GetPassCount() : 0;
}

namespace mesh_pass {

void SetWorld(const CMatrix4x4* world) {
  if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->SetTransform(D3DTS_WORLD, ToD3D(world));
}

void SetSoftware(bool software) {
  if (g_pRenderStateMgr != nullptr) g_pRenderStateMgr->SetSoftwareVertexProcessing(software);
}

bool PreparePass(CD3DRenderStyle* style, uint32_t pass, MeshPassTarget& target) {
  if (style == nullptr || g_pRenderStateMgr == nullptr || target.Software == nullptr) return false;
  return SetVertexShaderOf(style, pass, target) && SetPixelShaderOf(style, pass);
}

bool ApplyPass(CD3DRenderStyle* style, uint32_t pass, CDeviceTexture* const* textures) {
  return g_pRenderStateMgr != nullptr && g_pRenderStateMgr->ApplyStylePass(style, pass, textures);
}

namespace {

// The device's material, which the state manager keeps in step with its shadow.
bool CurrentMaterial(D3DMATERIAL8* material) {
  return g_pDirect3DDevice != nullptr && SUCCEEDED(g_pDirect3DDevice->GetMaterial(material));
}

}  // namespace

void CDrawOverrides::ColourWholeDiffuse(const float* colour) {
  if (colour == nullptr || g_pRenderStateMgr == nullptr || !CurrentMaterial(&m_Material)) return;
  D3DMATERIAL8 changed = m_Material;
  changed.Diffuse = {colour[0], colour[1], colour[2], colour[3]};
  changed.Ambient.r = colour[0];
  changed.Ambient.g = colour[1];
  changed.Ambient.b = colour[2];
  g_pRenderStateMgr->SetMaterial(changed);
  m_bMaterial = true;
}

void CDrawOverrides::ColourAmbientAndAlpha(const float* colour) {
  if (colour == nullptr || g_pRenderStateMgr == nullptr || !CurrentMaterial(&m_Material)) return;
  D3DMATERIAL8 changed = m_Material;
  changed.Ambient.r = colour[0];
  changed.Ambient.g = colour[1];
  changed.Ambient.b = colour[2];
  changed.Diffuse.a = colour[3];
  g_pRenderStateMgr->SetMaterial(changed);
  m_bMaterial = true;
}

void CDrawOverrides::TextureFactor(const DWORD* factor) {
  if (factor == nullptr || g_pRenderStateMgr == nullptr || g_pDirect3DDevice == nullptr) return;
  if (FAILED(g_pDirect3DDevice->GetRenderState(D3DRS_TEXTUREFACTOR, &m_Factor))) return;
  g_pRenderStateMgr->SetRenderState(D3DRS_TEXTUREFACTOR, *factor);
  m_bFactor = true;
}

void CDrawOverrides::Restore() {
  if (g_pRenderStateMgr == nullptr) return;
  if (m_bMaterial) g_pRenderStateMgr->SetMaterial(m_Material);
  if (m_bFactor) g_pRenderStateMgr->SetRenderState(D3DRS_TEXTUREFACTOR, m_Factor);
  m_bMaterial = m_bFactor = false;
}

}  // namespace mesh_pass
