#include "game/targets/CMarker_Object.h"

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

bool CMarker_Object::Init() {
  m_Spawn_Calls = 0;
  m_Launch_Requested = 0;
  return true;
}

void CMarker_Object::Start_Marker(const CVector3& place) {
  Setup_Object(m_Marker_Type, 1.0f, 0.0f, kState_No_Gravity | kState_No_World_Contact, m_Marker_Kind);
  Setup_Sphere_Body(1.0f, m_Marker_Radius, 0.0f);
  m_Orientation = CMatrix3x3::Identity;
  m_Spawn_Place = place;
  m_Spawn_Velocity.Set(0.0f, 0.0f, 0.0f);
  m_Spawn_Variant = 0;
  m_Spawn_Colour = 0;
  m_Spawn_Argument = 0;
  m_Spawn_Count = 0;
  m_Launch_Requested = 0;
  m_Age = 0.0f;
  ++m_Spawn_Calls;
}

void CMarker_Object::Start_Ejector(const CEjector_Params& params, const CVector3& place) {
  Start_Marker(place);
  m_Spawn_Variant = params.variant;
  m_Spawn_Colour = params.colour;
  m_Spawn_Count = params.count;
}

void CMarker_Object::Start_Thrown(const CVector3& place, const CVector3& velocity, int argument) {
  Start_Marker(place);
  m_Spawn_Velocity = velocity;
  m_Spawn_Argument = argument;
}

bool CMarker_Object::Leaves_By_Itself() const {
  return (m_Marker_Kind & (kMarker_Target | kMarker_Enemy_Shot)) != 0;
}

void CMarker_Object::Update(const float& dt) {
  m_Age += dt;
  m_Launch_Requested = 0;
  if (m_Kill_Timer > 0.0f || (Leaves_By_Itself() && m_Age > kShort_Life)) m_Kill_Timer = 1.0f;
}

uint32_t CMarker_Object::Marker_Colour() const {
  if (m_Marker_Kind & kMarker_Boss) return 0xFFB040FF;
  if (m_Marker_Kind & kMarker_Ejector) return 0xFF3070F0;
  if (m_Marker_Kind & kMarker_Enemy_Shot) return 0xFFFF9020;
  return 0xFFE03030;
}

void CMarker_Object::Render(const float& step) {
  (void)step;
  if (!g_pWorldDrawPrim) return;
  const CMatrix3x3& axes = g_Camera.Rotation();
  const float r = m_Collision_Radius;
  const auto corner = [&](float a, float b) {
    return CVector3{m_Position.x + (axes.rows[0].x * a + axes.rows[1].x * b) * r,
                    m_Position.y + (axes.rows[0].y * a + axes.rows[1].y * b) * r,
                    m_Position.z + (axes.rows[0].z * a + axes.rows[1].z * b) * r};
  };
  DrawPrimFlatQuad quad{{corner(-1, -1), corner(-1, 1), corner(1, 1), corner(1, -1)}, Marker_Colour()};
  CD3DDrawPrim& draw = *g_pWorldDrawPrim;
  draw.SetRenderStyle(nullptr);
  draw.SetTransformType(kDrawPrimWorld);
  draw.SetTexture(nullptr, 0);
  draw.SetColorOp(0);
  draw.SetAlphaBlendMode(0);
  draw.SetZBufferMode(0);
  draw.SetCullMode(0);
  draw.DrawFlatQuads(&quad, 1);
}
