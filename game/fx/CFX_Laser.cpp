#include "game/fx/CFX_Laser.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/WinMain.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"

namespace {

struct Laser_Module {
  bool initialised = false;
  CTextureData* beam = nullptr;
  CTextureData* glow = nullptr;
  CD3DRenderStyle* style = nullptr;
};

Laser_Module& Module() {
  static Laser_Module module;
  return module;
}

constexpr float kPi = 3.14159265f;

TexVertex At(const CVector3& p, float v) { return TexVertex{p.x, p.y, p.z, 0, 0.1f, v}; }

}  // namespace

bool CFX_Laser::Init() {
  Laser_Module& m = Module();
  m.beam = fx::Get_Texture(0x2200008A);
  m.glow = fx::Get_Texture(0x2200005C);
  if (!m.beam || !m.glow) {
    Show_Message("Error in CFX_Laser\nUnable to load texture...");
    Term();
    return false;
  }
  m.style = fx::Get_Style(0x22000031);
  if (!m.style) {
    Show_Message("Error in CFX_Laser\nUnable to load shader...");
    Term();
    return false;
  }
  m.initialised = true;
  return true;
}

void CFX_Laser::Term() {
  Laser_Module& m = Module();
  fx::Release(m.beam);
  fx::Release(m.glow);
  fx::Release(m.style);
  m.initialised = false;
}

bool CFX_Laser::Is_Initialised() { return Module().initialised; }

bool CFX_Laser::Setup(const CVector3& origin, const CVector3& direction, float length, uint32_t colour, float width,
                      float life) {
  m_Origin = origin;
  m_Direction = direction;
  m_Length = length;
  m_Width = width;
  m_Colour = colour;
  m_Remaining = m_Life = life;
  m_End = CVector3{origin.x + direction.x * length, origin.y + direction.y * length, origin.z + direction.z * length};
  m_Alpha_Factor = std::clamp(static_cast<float>(colour >> 24) * (1.0f / 255.0f), 0.0f, 1.0f);
  CVector3 w{11.0f * width, 0.0f, 0.0f};
  CMatrix3x3 turn;
  turn.From_Axis_Angle(direction, kPi / 5.0f);
  for (int strip = 0; strip < kStrips; ++strip) {
    const CVector3 o_minus{m_Origin.x - w.x, m_Origin.y - w.y, m_Origin.z - w.z};
    const CVector3 o_plus{m_Origin.x + w.x, m_Origin.y + w.y, m_Origin.z + w.z};
    const CVector3 e_plus{m_End.x + w.x, m_End.y + w.y, m_End.z + w.z};
    const CVector3 e_minus{m_End.x - w.x, m_End.y - w.y, m_End.z - w.z};
    TexVertex* v = m_Vertices + strip * 6;
    v[0] = At(o_minus, 0.0f);
    v[1] = At(o_plus, 1.0f);
    v[2] = At(e_plus, 1.0f);
    v[3] = At(o_minus, 0.0f);
    v[4] = At(e_plus, 1.0f);
    v[5] = At(e_minus, 0.0f);
    w.Rotate(turn);
  }
  Set_Color(colour);
  m_Active = true;
  m_Glow = false;
  return true;
}

void CFX_Laser::Set_Color(uint32_t colour) {
  for (TexVertex& v : m_Vertices) v.color = colour;
}

void CFX_Laser::Update(float step) {
  m_Remaining -= step;
  if (m_Remaining <= 0.0f) {
    m_Active = false;
    return;
  }
  if (step == 0.0f) return;
  const float f = std::clamp(m_Remaining / m_Life, 0.0f, 1.0f);
  const uint32_t alpha = std::min(255u, fx::Clamp_Byte(std::sqrt(f) * m_Alpha_Factor * 255.0f));
  Set_Color(alpha << 24 | (m_Colour & 0xFFFFFF));
}

void CFX_Laser::Render() {
  if (!m_Active || !Module().initialised) return;
  g_D3DDrawPrim.SetTransformType(kDrawPrimWorld);
  g_D3DDrawPrim.SetRenderStyle(Module().style);
  g_D3DDrawPrim.SetTexture(Module().beam, 0);
  const auto* triangles = reinterpret_cast<const DrawPrimTexTriangle*>(m_Vertices);
  for (int i = 0; i < 5; ++i) {
    g_D3DDrawPrim.DrawTexTriangles(triangles, kVertices / 3);
    g_D3DDrawPrim.DrawTexTriangles(triangles, kVertices / 3);
  }
}

void CFX_Laser::Render_Glow() {
  if (!m_Active || !m_Glow || !Module().initialised) return;
  const CVector3 eye = g_Camera.Get_Eye_Position();
  CVector3 n;
  m_End.Subtract(eye, n);
  n.Scale(1.0f / std::max(n.Length(), 0.01f), n);
  const CVector3 p{eye.x + 10.0f * n.x, eye.y + 10.0f * n.y, eye.z + 10.0f * n.z};
  const float f = std::clamp(m_Remaining / m_Life, 0.0f, 1.0f);
  const float s = f * m_Alpha_Factor * m_Width * 1.5f;
  const uint32_t rgb = m_Colour & 0xFFFFFF;
  const uint32_t a1 = std::min(255u, fx::Clamp_Byte(f * m_Alpha_Factor * 255.0f));
  const uint32_t a2 = std::min(255u, fx::Clamp_Byte(f * m_Alpha_Factor * 0.35f * 255.0f));
  const float big = 6.0f * s;
  Draw_Billboard(p, s, s, a1 << 24 | rgb, Module().style, Module().glow);
  Draw_Billboard(p, s, s, a1 << 24 | rgb, Module().style, Module().glow);
  Draw_Billboard(p, big, big, a2 << 24 | rgb, Module().style, Module().glow);
}
