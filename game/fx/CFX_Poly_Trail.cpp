#include "game/fx/CFX_Poly_Trail.h"

#include <algorithm>

#include "game/core/WinMain.h"
#include "game/fx/FX_Resources.h"
#include "game/core/CGame.h"

namespace {

struct Trail_Module {
  bool initialised = false;
  CTextureData* texture = nullptr;
  CD3DRenderStyle* style = nullptr;
};

Trail_Module& Module() {
  static Trail_Module module;
  return module;
}

uint32_t Slot(int n) { return static_cast<uint32_t>((n % CFX_Poly_Trail::kRing + CFX_Poly_Trail::kRing) % CFX_Poly_Trail::kRing); }

}  // namespace

bool CFX_Poly_Trail::Init() {
  Trail_Module& m = Module();
  m.texture = fx::Get_Texture(0x22000064);
  if (!m.texture) {
    Show_Message("Error in CFX_Poly_Trail\nUnable to load texture...");
    Term();
    return false;
  }
  m.style = fx::Get_Style(0x22000031);
  if (!m.style) {
    Show_Message("Error in CFX_Poly_Trail\nUnable to load shader...");
    Term();
    return false;
  }
  m.initialised = true;
  return true;
}

void CFX_Poly_Trail::Term() {
  Trail_Module& m = Module();
  fx::Release(m.texture);
  fx::Release(m.style);
  m.initialised = false;
}

bool CFX_Poly_Trail::Is_Initialised() { return Module().initialised; }

CFX_Poly_Trail::CFX_Poly_Trail() { m_Curve.Clear(); }

// The module belongs to the game, which starts and ends it: a trail going away leaves it alone.
CFX_Poly_Trail::~CFX_Poly_Trail() = default;

bool CFX_Poly_Trail::Setup(const CVector3& position, const uint32_t& colour, const float& life, const float& width) {
  m_Colour = colour;
  m_Life = life;
  m_Width = width;
  m_Head = 0;
  for (Point& p : m_Ring) p = Point{position, 0.0f};
  m_Curve.Clear();
  float time = 0.0f;
  for (int k = 0; k < kKeys; ++k) {
    m_Curve.AddKey(time, CVector3{0, 0, 0}, 0, 0, 0);
    time += life * 0.04347826f;
  }
  for (int k = 0; k < kKeys; ++k) m_Curve.Set_Key_Value(k, position);
  m_Curve.ComputeSpline();
  m_Active = true;
  return true;
}

void CFX_Poly_Trail::Update(float step, const CVector3& position) {
  for (Point& p : m_Ring) p.age += step;
  const Point& newest = m_Ring[Slot(static_cast<int>(m_Head) - 1)];
  if (newest.age <= m_Life * 0.03125f) return;
  m_Head = (m_Head + 1) % kRing;
  m_Ring[Slot(static_cast<int>(m_Head) - 1)] = Point{position, 0.0f};
}

void CFX_Poly_Trail::Build_Ribbons(const CVector3& position, float fade) {
  if (fade == 1.0f) {
    m_Ring[m_Head] = Point{position, 0.0f};
    for (int k = 0; k < kKeys; ++k) {
      const CTrackKey* key = m_Curve.Get_Key(k);
      if (!key) break;
      int n = static_cast<int>(m_Head) - 1;
      for (int walked = 0; walked < 30 && m_Ring[Slot(n)].age <= key->time; ++walked) --n;
      const Point& older = m_Ring[Slot(n)];
      const Point& newer = m_Ring[Slot(n + 1)];
      const float l = std::clamp((key->time - newer.age) / std::max(older.age - newer.age, 0.0001f), 0.0f, 1.0f);
      m_Curve.Set_Key_Value(k, CVector3{newer.position.x + l * (older.position.x - newer.position.x),
                                        newer.position.y + l * (older.position.y - newer.position.y),
                                        newer.position.z + l * (older.position.z - newer.position.z)});
    }
    m_Curve.ComputeSpline();
  }
  const uint32_t rgb = m_Colour & 0xFFFFFF;
  const CVector3 halves[2] = {CVector3{0.0f, m_Width, 0.0f}, CVector3{m_Width, 0.0f, 0.0f}};
  int out = 0;
  for (const CVector3& h : halves) {
    const float s = m_Life / static_cast<float>(kSegments);
    CVector3 q = m_Curve.Sample(0.0f);
    float v = std::clamp(static_cast<float>(m_Colour >> 24) / 255.0f, 0.0f, 1.0f) * fade;
    uint32_t b = rgb | std::min(255u, fx::Clamp_Byte(v * 255.0f)) << 24;
    float t = 0.0f;
    for (int i = 0; i < kSegments; ++i) {
      t += s;
      const CVector3 p = m_Curve.Sample(t);
      const uint32_t c = rgb | std::min(255u, fx::Clamp_Byte(v * 255.0f)) << 24;
      auto at = [](const CVector3& base, const CVector3& half, float sign, uint32_t colour, float u, float vv) {
        return TexVertex{base.x + sign * half.x, base.y + sign * half.y, base.z + sign * half.z, colour, u, vv};
      };
      m_Vertices[out++] = at(q, h, -1, b, 0.4f, 0.1f);
      m_Vertices[out++] = at(q, h, 1, c, 0.4f, 0.9f);
      m_Vertices[out++] = at(p, h, 1, c, 0.6f, 0.9f);
      m_Vertices[out++] = at(q, h, -1, b, 0.4f, 0.1f);
      m_Vertices[out++] = at(p, h, 1, c, 0.6f, 0.9f);
      m_Vertices[out++] = at(p, h, -1, b, 0.6f, 0.1f);
      q = p;
      v = std::max(v - 1.0f / 64.0f, 0.0f);
      b = c;
    }
  }
}

void CFX_Poly_Trail::Render(const CVector3& position, float fade) {
  Build_Ribbons(position, fade);
  if (!Module().initialised) return;
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  g_pDrawPrim->SetTexture(Module().texture, 0);
  g_pDrawPrim->SetRenderStyle(Module().style);
  g_pDrawPrim->DrawTexTriangles(reinterpret_cast<const DrawPrimTexTriangle*>(m_Vertices), kVertices / 3);
}
