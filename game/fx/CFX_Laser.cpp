#include "game/fx/CFX_Laser.h"

#include <algorithm>
#include <cmath>

#include "game/fx/Beam_Helpers.h"
#include "game/core/CGame.h"

namespace {

struct Laser_Module {
  bool initialised = false;
  beam::Resources resources;
};

Laser_Module& Module() {
  static Laser_Module module;
  return module;
}

constexpr float kPi = 3.14159265f;

}  // namespace

bool CFX_Laser::Init() {
  Laser_Module& m = Module();
  if (!beam::Load("CFX_Laser", m.resources)) {
    Term();
    return false;
  }
  m.initialised = true;
  return true;
}

void CFX_Laser::Term() {
  Laser_Module& m = Module();
  beam::Release(m.resources);
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
    beam::Fill_Strip_Quad(m_Vertices + strip * 6, m_Origin, m_End, w);
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
  if (!beam::Count_Down(m_Remaining, step, m_Active)) return;
  Set_Color(beam::Faded_Colour(m_Remaining, m_Life, m_Alpha_Factor, m_Colour));
}

void CFX_Laser::Render() {
  if (!m_Active || !Module().initialised) return;
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  g_pDrawPrim->SetRenderStyle(Module().resources.style);
  g_pDrawPrim->SetTexture(Module().resources.strip, 0);
  const auto* triangles = reinterpret_cast<const DrawPrimTexTriangle*>(m_Vertices);
  for (int i = 0; i < 5; ++i) {
    g_pDrawPrim->DrawTexTriangles(triangles, kVertices / 3);
    g_pDrawPrim->DrawTexTriangles(triangles, kVertices / 3);
  }
}

void CFX_Laser::Render_Glow() {
  if (!m_Active || !m_Glow || !Module().initialised) return;
  const float f = std::clamp(m_Remaining / m_Life, 0.0f, 1.0f);
  const float alpha = f * m_Alpha_Factor;
  const float s = alpha * m_Width * 1.5f;
  beam::Draw_End_Glow(m_End, s, 6.0f * s, alpha, m_Colour & 0xFFFFFF, Module().resources);
}
