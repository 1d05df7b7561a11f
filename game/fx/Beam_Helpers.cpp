#include "game/fx/Beam_Helpers.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "game/core/CCamera.h"
#include "game/core/WinMain.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"

namespace beam {

namespace {

constexpr uint32_t kStrip_Texture = 0x2200008A;
constexpr uint32_t kGlow_Texture = 0x2200005C;
constexpr uint32_t kStyle = 0x22000031;

TexVertex At(const CVector3& p, float v) { return TexVertex{p.x, p.y, p.z, 0, 0.1f, v}; }

}  // namespace

bool Load(const char* owner, Resources& resources) {
  const std::string name = owner;
  resources.strip = fx::Get_Texture(kStrip_Texture);
  resources.glow = fx::Get_Texture(kGlow_Texture);
  if (!resources.strip || !resources.glow) {
    Show_Message("%s", ("Error in " + name + "\nUnable to load texture...").c_str());
    return false;
  }
  resources.style = fx::Get_Style(kStyle);
  if (!resources.style) {
    Show_Message("%s", ("Error in " + name + "\nUnable to load shader...").c_str());
    return false;
  }
  return true;
}

void Release(Resources& resources) {
  fx::Release(resources.strip);
  fx::Release(resources.glow);
  fx::Release(resources.style);
}

void Fill_Strip_Quad(TexVertex* six, const CVector3& a, const CVector3& b, const CVector3& w) {
  six[0] = At(CVector3{a.x - w.x, a.y - w.y, a.z - w.z}, 0.0f);
  six[1] = At(CVector3{a.x + w.x, a.y + w.y, a.z + w.z}, 1.0f);
  six[2] = At(CVector3{b.x + w.x, b.y + w.y, b.z + w.z}, 1.0f);
  six[3] = six[0];
  six[4] = six[2];
  six[5] = At(CVector3{b.x - w.x, b.y - w.y, b.z - w.z}, 0.0f);
}

bool Count_Down(float& remaining, float step, bool& active) {
  remaining -= step;
  if (remaining <= 0.0f) {
    active = false;
    return false;
  }
  return step != 0.0f;
}

uint32_t Faded_Colour(float remaining, float life, float alpha_factor, uint32_t colour) {
  const float f = std::clamp(remaining / life, 0.0f, 1.0f);
  const uint32_t alpha = std::min(255u, fx::Clamp_Byte(std::sqrt(f) * alpha_factor * 255.0f));
  return alpha << 24 | (colour & 0xFFFFFF);
}

void Draw_End_Glow(const CVector3& end, float size, float big, float alpha, uint32_t rgb,
                   const Resources& resources) {
  const CVector3 eye = g_Camera.Get_Eye_Position();
  CVector3 n;
  end.Subtract(eye, n);
  n.Scale(1.0f / std::max(n.Length(), 0.01f), n);
  const CVector3 p{eye.x + 10.0f * n.x, eye.y + 10.0f * n.y, eye.z + 10.0f * n.z};
  const uint32_t a1 = std::min(255u, fx::Clamp_Byte(alpha * 255.0f));
  const uint32_t a2 = std::min(255u, fx::Clamp_Byte(alpha * 0.35f * 255.0f));
  Draw_Billboard(p, size, size, a1 << 24 | rgb, resources.style, resources.glow);
  Draw_Billboard(p, size, size, a1 << 24 | rgb, resources.style, resources.glow);
  Draw_Billboard(p, big, big, a2 << 24 | rgb, resources.style, resources.glow);
}

}  // namespace beam
