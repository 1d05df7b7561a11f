#include "game/player/CAttach_Laser.h"

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/core/World_Queries.h"
#include "game/fx/Draw_Helpers.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/Attachment_Strikes.h"
#include "game/player/CPlayer.h"
#include "game/player/CPlayer_Weapon_Gun.h"
#include "game/sim/CSim_Stats.h"

CAttach_Laser g_Weapon_Attachment_Laser;

namespace {

using arsenal::Add;
using arsenal::Dot;
using arsenal::Length;
using arsenal::Mul;
using arsenal::Random01;
using arsenal::Sub;
using arsenal::Turn;

constexpr uint32_t kShot_Sound = 0x2200014A;
constexpr float kMuzzle_Rise = 150.0f;
constexpr float kTilt = 0.08f;
constexpr float kFirst_Tolerance = 1000.0f, kSegment_Tolerance = 1.0f;
constexpr uint32_t kBeam_Colour = 0xFFFF6666;
constexpr float kBeam_Life = 0.75f;
constexpr uint32_t kScored = 0x01 | 0x02 | 0x08 | 0x20;
constexpr uint32_t kUnscored = 0x40;
constexpr int kSegments_After_First = 2;

void Scorch(const CVector3& point) {
  const uint32_t kind = 1;
  Place_World_Decal_Random(kind, point, 25.0f, 2.0f + Random01(), 0xFFA99477);
}

}  // namespace

void CAttach_Laser::Clear_Effects() {
  m_Shot_Counter = 0;
  for (CFX_Laser& beam : m_Beams) beam.m_Active = false;
}

CFX_Laser* CAttach_Laser::Free_Beam() {
  for (CFX_Laser& beam : m_Beams)
    if (!beam.m_Active) return &beam;
  return nullptr;
}

// Scored objects are registered (unless spared from scoring) and struck; others only end the
// beam.
void CAttach_Laser::Strike(CWorld_Object* object, const CVector3& start, const CVector3& hit) {
  if (!(object->m_Kind_Flags & kScored)) return;
  if (!(object->m_Kind_Flags & kUnscored)) {
    const CShot_Source source = CShot_Source::Numbered(CShot_Source::kLaser);
    g_Sim_Stats.Register_Hit(object, nullptr, &source, static_cast<uint32_t>(m_Shot_Counter));
  }
  const CShot_Line contact{start, Sub(hit, start)};
  arsenal::Hit_By_Body_Kind(object, &contact);
}

void CAttach_Laser::Shoot() {
  ++m_Shot_Counter;
  arsenal::Play_Use_Sound(kShot_Sound);
  const CVector3 start = Add(g_Player.m_Mount_Position, Mul(g_Camera.Rotation().rows[1], kMuzzle_Rise));
  const CMatrix3x3 axes = m_Gun ? m_Gun->m_Orientation : CMatrix3x3::Identity;
  const CVector3 direction = arsenal::Unit_Or(Turn(axes.rows[2], axes.rows[0], kTilt), axes.rows[2]);
  CVector3 hit;
  CWorld_Object* object = nullptr;
  const int result = World_Cast_Ray(start, direction, hit, kFirst_Tolerance, object);
  if (result == kRay_Object && object) Strike(object, start, hit);
  if (CFX_Laser* beam = Free_Beam()) {
    beam->Setup(start, direction, Length(Sub(hit, start)), kBeam_Colour, 1.0f, kBeam_Life);
    if (result == kRay_Object) {
      beam->m_Glow = true;
      return;
    }
  }
  if (result == kRay_Object) return;
  if (result == kRay_Wall) Reflect(hit, direction, kSegments_After_First);
  if (result == kRay_Terrain) Scorch(hit);
}

void CAttach_Laser::Reflect(const CVector3& hit, const CVector3& direction, int segments_left) {
  if (segments_left <= 0) return;
  CVector3 normal{0.0f, 0.0f, -1.0f};
  if (hit.x < 0.1f)
    normal = CVector3{1.0f, 0.0f, 0.0f};
  else if (hit.x > g_World.m_Terrain.size_x - 0.1f)
    normal = CVector3{-1.0f, 0.0f, 0.0f};
  const CVector3 turned = Sub(direction, Mul(normal, 2.0f * Dot(direction, normal)));
  Shoot_Segment(Add(hit, turned), turned, segments_left - 1);
}

void CAttach_Laser::Shoot_Segment(const CVector3& start, const CVector3& direction, int segments_left) {
  CVector3 hit;
  CWorld_Object* object = nullptr;
  const int result = World_Cast_Ray(start, direction, hit, kSegment_Tolerance, object);
  CFX_Laser* beam = Free_Beam();
  if (!beam) return;
  beam->Setup(start, direction, Length(Sub(hit, start)), kBeam_Colour, (segments_left + 1) / 3.0f, kBeam_Life);
  if (result == kRay_Object && object) {
    beam->m_Glow = true;
    Strike(object, start, hit);
  } else if (result == kRay_Wall) {
    Reflect(hit, direction, segments_left);
  } else if (result == kRay_Terrain) {
    Scorch(hit);
  }
}

void CAttach_Laser::Update_Effects(float dt) {
  for (CFX_Laser& beam : m_Beams)
    if (beam.m_Active) beam.Update(dt);
}

void CAttach_Laser::Render() {
  for (CFX_Laser& beam : m_Beams)
    if (beam.m_Active) beam.Render();
  Render_Display();
  for (CFX_Laser& beam : m_Beams)
    if (beam.m_Active && beam.m_Glow) beam.Render_Glow();
}
