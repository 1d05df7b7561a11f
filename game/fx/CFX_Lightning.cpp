#include "game/fx/CFX_Lightning.h"

#include <algorithm>
#include <cmath>

#include "game/fx/Beam_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/Launch_Helpers.h"
#include "runtime/src/math/key_track.h"
#include "game/core/CGame.h"

namespace {

constexpr float kPi = 3.14159265f;

struct Lightning_Module {
  bool initialised = false;
  beam::Resources resources;
  CKeyTrack wave;
  CKeyTrack arc;
  CVector3 scratch[CFX_Lightning::kMax_Segments];
};

Lightning_Module& Module() {
  static Lightning_Module module;
  return module;
}

const CVector3 kZero{0.0f, 0.0f, 0.0f};

CVector3 Lerp(const CVector3& a, const CVector3& b, float t) {
  return CVector3{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

}  // namespace

bool CFX_Lightning::Init() {
  Lightning_Module& m = Module();
  if (!beam::Load("CFX_Lightning", m.resources)) {
    Term();
    return false;
  }
  m.wave.Clear();
  m.arc.Clear();
  for (float t : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) m.wave.AddKey(t, kZero, 0, 0, 0);
  for (float t : {0.0f, 0.5f, 1.0f}) m.arc.AddKey(t, kZero, 0, 0, 0);
  m.initialised = true;
  return true;
}

void CFX_Lightning::Term() {
  Lightning_Module& m = Module();
  beam::Release(m.resources);
  m.wave.Clear();
  m.arc.Clear();
  m.initialised = false;
}

bool CFX_Lightning::Is_Initialised() { return Module().initialised; }
CKeyTrack& CFX_Lightning::Wave_Track() { return Module().wave; }
CKeyTrack& CFX_Lightning::Arc_Track() { return Module().arc; }
const CVector3* CFX_Lightning::Scratch_Points() { return Module().scratch; }

bool CFX_Lightning::Setup(const int& kind, const CVector3& start, const CVector3& end, const uint32_t& colour,
                          const float& width, const float& life, const float& scale) {
  Lightning_Module& m = Module();
  m_Kind = kind;
  m_Colour = colour;
  m_Width = width;
  m_Remaining = m_Life = life;
  m_No_Glow = false;
  m_Alpha_Factor = std::clamp(static_cast<float>(colour >> 24) / 255.0f, 0.0f, 1.0f);
  m_Start = start;
  m_End = end;
  CVector3 span;
  end.Subtract(start, span);
  m_Length = std::max(span.Length(), 1.0f);
  span.Scale(1.0f / m_Length, m_Direction);

  if (kind == 0) {
    const float amplitude = m_Length * 0.01f * scale;
    m.wave.Set_Key_Value(0, start);
    for (int i = 1; i <= 3; ++i) {
      CVector3 key = Lerp(start, end, 0.2f * static_cast<float>(i));
      CVector3 push;
      Random_Perpendicular_Vector(m_Direction).Scale(amplitude, push);
      m.wave.Set_Key_Value(i, key.Add_Assign(push));
    }
    m.wave.Set_Key_Value(4, end);
    m.wave.ComputeSpline();
  } else if (kind == 1) {
    const float r1 = fx::Random_Unit(), r2 = fx::Random_Unit(), r3 = fx::Random_Unit();
    CVector3 top = Lerp(start, end, 0.5f);
    top.Add_Assign(CVector3{-25.0f + 50.0f * r2, 65.0f + 85.0f * r1, -25.0f + 50.0f * r3});
    m.arc.Set_Key_Value(0, start);
    m.arc.Set_Key_Value(1, top);
    m.arc.Set_Key_Value(2, end);
    m.arc.ComputeSpline();
  }

  const int n = kind == 1 ? kArc_Segments : std::clamp(static_cast<int>(m_Length * 0.075f), 4, kMax_Segments);
  m_Segment_Count = static_cast<uint32_t>(n);
  const float jitter = (kind == 1 ? 20.0f : 3.0f) * scale;
  float t = 0.0f;
  for (int i = 0; i < n; ++i) {
    t += 1.0f / static_cast<float>(n);
    if (i == n - 1) t = 1.0f;
    CVector3 offset{0.0f, 0.0f, 0.0f};
    if (i != 0 && i != n - 1) {
      const float s = fx::Random_Unit() * jitter;
      Random_Perpendicular_Vector(m_Direction).Scale(s, offset);
    }
    CVector3 base = kind == 0 ? m.wave.Sample(t) : kind == 1 ? m.arc.Sample(t) : Lerp(start, end, t);
    m.scratch[i] = base.Add_Assign(offset);
  }

  CVector3 w{11.0f * width, 0.0f, 0.0f};
  CQuaternion q;
  q.From_Axis_Angle(m_Direction, kPi / 3.0f);
  CMatrix3x3 turn;
  turn.From_Quaternion(q);
  for (int strand = 0; strand < kStrands; ++strand) {
    for (int i = 0; i < n; ++i) {
      const CVector3& a = i == 0 ? start : m.scratch[i - 1];
      beam::Fill_Strip_Quad(m_Strands[strand] + i * 6, a, m.scratch[i], w);
    }
    w.Rotate(turn);
  }
  Set_Colours(colour);
  m_Active = true;
  return true;
}

void CFX_Lightning::Set_Colours(uint32_t colour) {
  for (auto& strand : m_Strands)
    for (uint32_t i = 0; i < m_Segment_Count * 6; ++i) strand[i].color = colour;
}

void CFX_Lightning::Update(float step) {
  if (!beam::Count_Down(m_Remaining, step, m_Active)) return;
  Set_Colours(beam::Faded_Colour(m_Remaining, m_Life, m_Alpha_Factor, m_Colour));
}

void CFX_Lightning::Render() {
  if (!m_Active || !Module().initialised) return;
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  g_pDrawPrim->SetRenderStyle(Module().resources.style);
  g_pDrawPrim->SetTexture(Module().resources.strip, 0);
  const int passes = m_Kind == 0 ? 2 : 1;
  for (auto& strand : m_Strands)
    for (int p = 0; p < passes; ++p)
      g_pDrawPrim->DrawTexTriangles(reinterpret_cast<const DrawPrimTexTriangle*>(strand), 2 * m_Segment_Count);
}

void CFX_Lightning::Render_Glow() {
  if (!m_Active || m_Kind == 1 || m_No_Glow || !Module().initialised) return;
  const float a = m_Kind == 2 ? 0.75f : 1.0f;
  const float f = std::clamp(m_Remaining / m_Life, 0.0f, 1.0f);
  const float v = f * m_Alpha_Factor * a;
  const float s = v * m_Width * a * 0.15f;
  beam::Draw_End_Glow(m_End, s, 10.0f * s, v, m_Colour & 0xFFFFFF, Module().resources);
}
