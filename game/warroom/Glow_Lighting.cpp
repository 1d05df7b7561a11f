#include "game/warroom/Glow_Lighting.h"

#include "game/core/CCamera.h"
#include "runtime/src/render/iks_render_device.h"

namespace {

constexpr int kKept_Lights = 4;
constexpr int kLast_Light = 7;

struct Kept_Lighting {
  LightDesc lights[kKept_Lights] = {};
  uint8_t enabled[kKept_Lights] = {};
  CColor4 ambient{};
  bool held = false;
};

Kept_Lighting g_Kept;

}  // namespace

void Begin_Glow_Lighting(const float& level, const bool& at_origin) {
  if (!g_pRenderDevice) return;
  for (int i = 0; i < kKept_Lights; ++i) {
    g_pRenderDevice->GetLight(i, &g_Kept.lights[i]);
    g_pRenderDevice->IsLightEnabled(i, &g_Kept.enabled[i]);
  }
  g_pRenderDevice->GetAmbientLight(&g_Kept.ambient);
  g_Kept.held = true;

  const float b = 1.0f + 2.5f * level;
  LightDesc glow{};
  glow.Kind = kLightPoint;
  glow.Vector = at_origin ? CVector3{0.0f, 0.0f, 0.0f} : g_Camera.Position();
  glow.Diffuse = CColor4{0.3f * b, 0.25f * b, b, 1.0f};
  glow.Specular = CColor4{0.0f, 0.0f, 0.0f, 0.0f};
  glow.Attenuation[0] = 1.0f;
  glow.Range = 5000.0f;
  g_pRenderDevice->SetLight(0, &glow);
  g_pRenderDevice->EnableLight(0, true);
  const CColor4 ambient{0.03f * b, 0.025f * b, 0.1f * b, 1.0f};
  g_pRenderDevice->SetAmbientLight(&ambient);
  for (int i = 1; i <= kLast_Light; ++i) g_pRenderDevice->EnableLight(i, false);
}

void End_Glow_Lighting() {
  if (!g_pRenderDevice || !g_Kept.held) return;
  for (int i = 0; i < kKept_Lights; ++i) {
    g_pRenderDevice->SetLight(i, &g_Kept.lights[i]);
    g_pRenderDevice->EnableLight(i, g_Kept.enabled[i] != 0);
  }
  g_pRenderDevice->SetAmbientLight(&g_Kept.ambient);
  g_Kept.held = false;
}
