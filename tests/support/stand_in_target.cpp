#include "tests/support/stand_in_target.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

namespace vt_test {

namespace {

constexpr uint32_t kWhite = 0xFFF0F0F0;
constexpr uint32_t kRed = 0xFFE02020;

std::vector<Stand_In_Target*>& Live() {
  static std::vector<Stand_In_Target*> live;
  return live;
}

float Ground(float x, float z) { return g_World.Has_Terrain() ? g_World.Get_Height(x, z) : 0.0f; }

CVector3 Corner(const CVector3& centre, const CMatrix3x3& axes, const CVector3& extent, float a, float b, float c) {
  CVector3 p = centre;
  const float s[3] = {a * extent.x, b * extent.y, c * extent.z};
  for (int i = 0; i < 3; ++i) {
    p.x += axes.rows[i].x * s[i];
    p.y += axes.rows[i].y * s[i];
    p.z += axes.rows[i].z * s[i];
  }
  return p;
}

}  // namespace

Stand_In_Target* Stand_In_Target::Spawn_Sphere(float x, float height, float z, float radius) {
  Stand_In_Target* target = new Stand_In_Target();
  target->Setup_Object(72, 100.0f, 100.0f, 0, kKind_Counted_Target);
  target->Setup_Sphere_Body(50.0f, radius, 0.3f);
  target->m_Sphere.hit_flag = 1;
  target->m_Start = CVector3{x, Ground(x, z) + height + radius, z};
  target->Set_Position(target->m_Start);
  g_World.Add_Object(2, target);
  Live().push_back(target);
  return target;
}

Stand_In_Target* Stand_In_Target::Spawn_Box(float x, float height, float z, float half_size) {
  Stand_In_Target* target = new Stand_In_Target();
  target->Setup_Object(72, 100.0f, 100.0f, 0, kKind_Counted_Target);
  target->Setup_Box_Body(80.0f, CVector3{half_size, half_size, half_size}, 0.2f);
  target->m_Box.hit_flag = 1;
  target->m_Start = CVector3{x, Ground(x, z) + height + half_size, z};
  target->Set_Position(target->m_Start);
  g_World.Add_Object(2, target);
  Live().push_back(target);
  return target;
}

Stand_In_Target::~Stand_In_Target() {
  std::vector<Stand_In_Target*>& live = Live();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

const std::vector<Stand_In_Target*>& Stand_In_Target::All() { return Live(); }

float Stand_In_Target::Moved() const {
  CVector3 d;
  m_Position.Subtract(m_Start, d);
  return d.Length();
}

void Stand_In_Target::Update(const float& dt) {
  if (m_Body_Kind == kBody_Sphere) {
    Collide_Sphere_World(m_Motion);
    Integrate_Sphere(m_Motion, dt);
  } else {
    Collide_Box_World(m_Motion);
    Integrate_Box(m_Motion, dt);
  }
}

bool Stand_In_Target::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  (void)shot;
  // What the track throws about (targets, ejectors) bumps into a stand-in: only the player's
  // shots count as hits.
  const uint32_t thrown = kKind_Counted_Target | 0x04;
  if (other && (other->m_Kind_Flags & thrown)) return true;
  ++m_Hits;
  return true;
}

void Stand_In_Target::Render(const float& step) {
  (void)step;
  if (!g_pWorldDrawPrim) return;
  const uint32_t color = m_Hits > 0 ? kRed : kWhite;
  CD3DDrawPrim& draw = *g_pWorldDrawPrim;
  draw.SetRenderStyle(nullptr);
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetTexture(nullptr, 0);
  draw.SetColorOp(0);
  draw.SetAlphaBlendMode(0);
  draw.SetZBufferMode(0);
  draw.SetCullMode(0);
  if (m_Body_Kind == kBody_Box) {
    // Six faces, each shaded a little differently so the edges read.
    const CVector3 e = m_Box.half_size;
    const CMatrix3x3& a = m_Orientation;
    const float faces[6][4][3] = {
        {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}}, {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},
        {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}}, {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},
        {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},     {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}}};
    const float shade[6] = {0.8f, 0.7f, 0.65f, 0.75f, 1.0f, 0.5f};
    for (int f = 0; f < 6; ++f) {
      const uint32_t r = static_cast<uint32_t>(((color >> 16) & 0xFF) * shade[f]);
      const uint32_t g = static_cast<uint32_t>(((color >> 8) & 0xFF) * shade[f]);
      const uint32_t b = static_cast<uint32_t>((color & 0xFF) * shade[f]);
      DrawPrimFlatQuad quad{};
      for (int v = 0; v < 4; ++v) quad.v[v] = Corner(m_Position, a, e, faces[f][v][0], faces[f][v][1], faces[f][v][2]);
      quad.color = 0xFF000000 | r << 16 | g << 8 | b;
      draw.DrawFlatQuads(&quad, 1);
    }
    return;
  }
  // A sphere: a camera-facing disc of eight quads fanned round the centre.
  const CMatrix3x3& axes = g_Camera.Rotation();
  const float r = m_Collision_Radius;
  for (int i = 0; i < 8; ++i) {
    const float a0 = 0.785398f * float(i), a1 = 0.785398f * float(i + 1);
    auto at = [&](float angle, float scale) {
      const float c = std::cos(angle) * r * scale, s = std::sin(angle) * r * scale;
      return CVector3{m_Position.x + axes.rows[0].x * c + axes.rows[1].x * s,
                      m_Position.y + axes.rows[0].y * c + axes.rows[1].y * s,
                      m_Position.z + axes.rows[0].z * c + axes.rows[1].z * s};
    };
    DrawPrimFlatQuad quad{{m_Position, at(a1, 1.0f), at(0.5f * (a0 + a1), 1.04f), at(a0, 1.0f)}, color};
    draw.DrawFlatQuads(&quad, 1);
  }
}

}  // namespace vt_test
