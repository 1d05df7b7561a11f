#include "game/targets/Ejector_Shared.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/Debris_Rules.h"
#include "platform/system/random.h"

namespace ejectors {

namespace {
float Unit_Draw() { return static_cast<float>(plat::Random()) / 32768.0f; }
constexpr int kPuff_Particles = 30;
}  // namespace

bool Setup_Fixed_Ejector(CWorld_Object& ejector, uint32_t type, uint32_t state_flags, uint32_t kind_flags,
                         const CVector3& size) {
  ejector.Setup_Object(type, 1.0f, 1.0f, state_flags, kind_flags);
  return ejector.Setup_Kind5_Body(size);
}

bool Setup_Box_Ejector(CWorld_Object& ejector, uint32_t type, uint32_t state_flags, uint32_t kind_flags,
                       const CVector3& half_size, float mass, float bounce) {
  ejector.Setup_Object(type, 1.0f, 1.0f, state_flags, kind_flags);
  return ejector.Setup_Box_Body(mass, half_size, bounce);
}

float Rise_Fraction(float kill_timer, float age, float speed) {
  const float raw = kill_timer > 0.0f ? 1.0f - kill_timer : speed * age;
  return std::clamp(raw, 0.0f, 1.0f);
}

float Next_Rise(float current, float kill_timer, float age, float speed) {
  const float next = Rise_Fraction(kill_timer, age, speed);
  return kill_timer > 0.0f ? std::min(next, current) : next;
}

CVector3 Raised_Position(const CVector3& base, const CVector3& axis, float distance) {
  return CVector3{base.x + axis.x * distance, base.y + axis.y * distance, base.z + axis.z * distance};
}

void Death_Step(CWorld_Object& ejector, float dt, float rate, bool health_test) {
  if (health_test && ejector.m_Kill_Timer == 0.0f && !(ejector.m_Value1 > 0.0f)) ejector.m_Kill_Timer = 0.001f;
  if (ejector.m_Kill_Timer != 0.0f) ejector.m_Kill_Timer += rate * dt;
}

int Spawner_Colour_Variant(int variant) {
  if (variant >= 0 && variant <= 3) return variant;
  return std::min(plat::Random() * 4 / 32768, 3);
}

int Launch_Colour_Variant(uint32_t variant) {
  if (variant <= 3) return static_cast<int>(variant);
  const int drawn = plat::Random() * 4 / 32768;
  return drawn > 3 ? 0 : drawn;
}

bool Emit_Launch_Puff(const CVector3& position, const CVector3& velocity, uint32_t packed_colour,
                      const Puff_Constants& constants) {
  const float s = velocity.Length();
  bool answer = true;
  for (int i = 0; i < kPuff_Particles; ++i) {
    const float r = Unit_Draw() * 0.4f * s - 0.2f * s;
    const float k = Unit_Draw() * 0.70000005f + 0.15f;
    const float dy = Unit_Draw() * 2.0f - 1.0f;
    const float dx = Unit_Draw() * 2.0f - 1.0f;
    const float dz = Unit_Draw() * 2.0f - 1.0f;
    const CVector3 v{k * velocity.x + r * dx, k * velocity.y + r * dy, k * velocity.z + r * dz};
    const CVector3 at{position.x + 0.05f * v.x, position.y + 0.05f * v.y, position.z + 0.05f * v.z};
    const float size = Unit_Draw() * 50.0f + 35.0f;
    const float life = Unit_Draw() * constants.life_range + constants.life_base;
    answer = g_Particle_Add_Mgr.Add_Particle(at, v, size, life, packed_colour, constants.gravity, 0);
    if (!answer) break;
  }
  return answer;
}

void Give_Back_Unspawned(CWorld_Object* object) {
  if (!object || object->m_Type >= static_cast<uint32_t>(kObject_Type_Count)) return;
  // A set-up that failed after placing the object filed it in the world's grid: a free pooled
  // object must not be met there (as the world's own return takes it out).
  g_World.Grid().Remove(object);
  if (CObject_Pool* pool = g_Object_Pools[object->m_Type]) pool->Free_Object(object);
}

CMatrix4x4 Scaled_World(const CWorld_Object& ejector, const CVector3& scale) {
  return debris::World_Matrix(ejector, scale);
}

}  // namespace ejectors
