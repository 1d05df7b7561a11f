#include "game/player/Shot_Effects.h"

#include <algorithm>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/player/Arsenal_Math.h"

namespace arsenal {

namespace {

constexpr float kMark_Angle = 0.06f;
constexpr float kMark_Size = 35.0f;
constexpr int kSmoke_Particles = 30;

}  // namespace

CVector3 Mark_Impact(const CVector3& aim) {
  const float tilt = aim.y + 0.3f;
  const float angle = tilt > 0.0f ? kMark_Angle - kMark_Angle * std::clamp(2.0f * tilt, 0.0f, 1.0f) : kMark_Angle;
  const CVector3 turned = Turn(aim, g_Camera.Rotation().rows[0], angle);
  CVector3 hit;
  if (g_World.Has_Terrain() &&
      g_World.Intersect_Terrain(g_Camera.Position(), Mul(turned, 2.0f * g_World.m_Terrain.size_x), hit)) {
    const uint32_t kind = 0;
    const float life = 1.0f;
    const uint32_t color = 0xFFFFFFFF;
    Place_World_Decal(kind, hit, kMark_Size, life, color);
  }
  return turned;
}

int Puff_Muzzle_Smoke(const CVector3& muzzle, const CVector3& shot_velocity, const CMatrix3x3& gun_axes) {
  for (int i = 0; i < kSmoke_Particles; ++i) {
    const float s1 = 0.025f + 0.475f * Random01();
    const float s2 = 11.0f * Random01() - 5.5f;
    const float s3 = 11.0f * Random01() - 5.5f;
    const CVector3 velocity =
        Add(Add(Mul(shot_velocity, s1), Mul(gun_axes.rows[0], s2)), Mul(gun_axes.rows[1], s3));
    const CVector3 position = Add(muzzle, Mul(velocity, 0.15f));
    const float life = 0.25f + 7.75f * Random01();
    const float gravity = -0.03f * Random01();
    if (!g_Particle_Basic_Mgr.Add_Particle(position, velocity, 15.0f, life, 0x33666688, gravity, 0)) return i;
  }
  return kSmoke_Particles;
}

}  // namespace arsenal
