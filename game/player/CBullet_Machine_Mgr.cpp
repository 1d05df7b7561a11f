#include "game/player/CBullet_Machine_Mgr.h"

#include <algorithm>
#include <cmath>

#include "game/core/CFrame_Info.h"
#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/CSpark_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/Gun_Resources.h"
#include "game/sim/CSim_Stats.h"
#include "game/sim/Launch_Helpers.h"
#include "platform/system/random.h"
#include "runtime/src/math/geometry.h"
#include "runtime/src/sound/sound_mgr.h"

using namespace arsenal;

CBullet_Machine_Mgr g_Bullet_Machine_Mgr;

namespace {

constexpr uint32_t kModel_Id = 0x2200004E;
constexpr uint32_t kStyle_Id = 0x22000050;
constexpr uint32_t kTexture_Id = 0x2200004F;
constexpr uint32_t kFire_Sound = 0x220000EE;
constexpr float kLife_Per_Step = 0.5f;
constexpr float kGraze = 2.5f;           // squared distance within which a shape is struck
constexpr float kTerrain_Reach = 100.0f;  // squared distance to a terrain triangle
constexpr float kImpulse = 12000.0f;
constexpr float kWall_Height = 15000.0f;
constexpr uint32_t kSpark_Color = 0xFFFFFF44;
constexpr uint32_t kBoss_Type = 68;
constexpr uint32_t kTarget_Kinds = 0x01 | 0x02 | 0x20;

struct Tracer_Pass {
  float width, length;
  uint32_t color;
};
constexpr Tracer_Pass kTracer_Passes[] = {
    {1.0f, 0.5f, 0xAAFFEE22}, {2.0f, 0.75f, 0x88FFEE22}, {3.0f, 0.85f, 0x44FFEE22}, {6.0f, 1.0f, 0x28FFEE22}};

int Spark_Count() { return plat::Random() * 3 / 32768 + 1; }

bool Is_Target(const CWorld_Object* object) {
  return (object->m_Kind_Flags & kTarget_Kinds) && !(object->m_Kind_Flags & kKind_Excluded);
}

CVector3 Box_Extents(const CWorld_Object* object) {
  return object->m_Body_Kind == kBody_Box ? object->m_Box.half_size : object->m_Fixed.half_size;
}

}  // namespace

bool CBullet_Machine_Mgr::Init() {
  if (m_Initialised) Term();
  m_Live_Count = 0;
  for (Bullet& bullet : m_Bullets) bullet = Bullet();
  if (!(m_Model = Get_Model(kModel_Id))) {
    Show_Message("%s", "Error in CPlayer_Weapon_Gun_Machine_0\nUnable to create renderable object...");
    Term();
    return false;
  }
  if (!(m_Texture = Get_Texture(kTexture_Id)) || !(m_Style = Get_Style(kStyle_Id))) {
    Show_Message("%s", "Error in CBullet_Machine_Mgr\nUnable to load texture...");
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CBullet_Machine_Mgr::Term() {
  Release(m_Model);
  Release(m_Texture);
  Release(m_Style);
  m_Initialised = false;
}

bool CBullet_Machine_Mgr::Fire(const CVector3& start, const CVector3& velocity) {
  if (m_Live_Count >= kMax_Bullets) return false;
  int slot = 0;
  while (slot < kMax_Bullets && (m_Bullets[slot].flags & kLive)) ++slot;
  if (slot == kMax_Bullets) return false;
  const uint32_t tag = static_cast<uint32_t>(slot);
  g_Sim_Stats.Record_Shot(CShot_Source::Numbered(CShot_Source::kBullets), tag);
  ++m_Live_Count;
  Bullet& bullet = m_Bullets[slot];
  bullet.flags = kLive;
  bullet.position = start;
  bullet.velocity = velocity;
  bullet.life = 1.0f;
  const float r = Random01();
  const float user_volume = g_Game_State.SoundFX_Volume;
  if (user_volume > 0.05f && g_pSoundMgr) {
    uint32_t id = kFire_Sound;
    float volume = std::clamp((0.8f + 0.2f * r) * user_volume * g_Game_State.m_FX_Volume_Factor, 0.0f, 1.0f);
    const uint8_t flags = 0;
    g_pSoundMgr->Play(&id, &volume, &flags);
  }
  return true;
}

void CBullet_Machine_Mgr::Update(const CFrame_Info& frame) {
  if (m_Live_Count != 0) Update_Bullets(frame.Delta);
}

void CBullet_Machine_Mgr::Update_Bullets(float step) {
  for (int i = 0; i < kMax_Bullets; ++i) {
    Bullet& bullet = m_Bullets[i];
    if (!(bullet.flags & kLive)) continue;
    Move_Bullet(i, step);
    bullet.life -= step * kLife_Per_Step;
    if (bullet.life <= 0.0f) {
      bullet.flags = 0;
      --m_Live_Count;
    }
  }
}

void CBullet_Machine_Mgr::Move_Bullet(int index, float step) {
  Bullet& bullet = m_Bullets[index];
  const CVector3 d = Mul(bullet.velocity, step);
  const CVector3 p0 = bullet.position;
  const CVector3 p1 = Add(p0, d);
  if (bullet.flags & kSpent) {
    bullet.position = p1;
    return;
  }
  if (Hit_Objects(index, p0, d, p1)) return;
  if (Hit_Terrain(index, p0, d, p1)) return;
  Hit_Walls(index, p0, d, p1);
  bullet.position = p1;
}

bool CBullet_Machine_Mgr::Hit_Objects(int index, const CVector3& p0, const CVector3& d, const CVector3& p1) {
  Bullet& bullet = m_Bullets[index];
  const float length_sq = Dot(d, d);
  CWorld_Query query;
  g_World.Query_Radius(Add(p0, Mul(d, 0.5f)), std::sqrt(length_sq), query);
  for (int q = 0; q < query.count; ++q) {
    CWorld_Object* object = query.objects[q];
    const bool target = Is_Target(object);
    const int32_t body = object->m_Body_Kind;
    float t = 0.0f;
    bool hit = false;
    if (body == kBody_Sphere) {
      const float along = Dot(Sub(object->m_Position, p0), d);
      t = along <= 0.0f || length_sq <= 0.0f ? 0.0f : along >= length_sq ? 1.0f : along / length_sq;
      const CVector3 nearest = Add(p0, Mul(d, t));
      const CVector3 off = Sub(object->m_Position, nearest);
      hit = Dot(off, off) < object->m_Sphere.radius_sq + kGraze;
    } else if (body == kBody_Box || body == kBody_Fixed) {
      const CMatrix3x3& axes = object->m_Orientation;
      hit = SegmentBoxDistanceSq(p0, d, object->m_Position, axes.rows[0], axes.rows[1], axes.rows[2],
                                 Box_Extents(object), &t) < kGraze;
    }
    if (!hit) continue;
    const CVector3 point = Add(p0, Mul(d, t));
    const CVector3 push = Mul(Unit_Or(d, CVector3{0.0f, 0.0f, 1.0f}), kImpulse);
    if (body == kBody_Sphere) object->Apply_Sphere_Impulse(Sub(point, object->m_Position), push);
    if (body == kBody_Box) object->Apply_Box_Impulse(Sub(point, object->m_Position), push);
    if (object->Body_Hit_Flag()) {
      const CShot_Line line{p1, d};
      object->On_Hit(nullptr, &line);
    }
    const CShot_Source source = CShot_Source::Numbered(CShot_Source::kBullets);
    const uint32_t tag = static_cast<uint32_t>(index);
    const bool registers = body == kBody_Sphere ? target && (object->m_Kind_Flags & kKind_Excluded) : target;
    if (registers) g_Sim_Stats.Register_Hit(object, nullptr, &source, tag);
    const bool plain = !target && !(object->m_Kind_Flags & kTarget_Kinds);
    if (plain || object->m_Type == kBoss_Type) {
      const CVector3 dir = Mul(d, 1.0f / std::max(std::sqrt(length_sq), 0.0001f));
      const int count = Spark_Count();
      for (int s = 0; s < count; ++s) {
        const CVector3 spread = Mul(Random_Perpendicular_Vector(dir), 0.5f + 1.5f * Random01());
        const CVector3 direction = Unit_Or(Sub(spread, dir), Mul(dir, -1.0f));
        const CVector3 velocity = Mul(direction, 100.0f + 300.0f * Random01());
        if (!g_Spark_Mgr.Add_Spark(Sub(point, Mul(dir, 22.0f)), velocity, kSpark_Color)) break;
      }
    }
    bullet.life = 0.0f;
    bullet.position = p1;
    return true;
  }
  return false;
}

bool CBullet_Machine_Mgr::Hit_Terrain(int index, const CVector3& p0, const CVector3& d, const CVector3& p1) {
  if (!g_World.Has_Terrain()) return false;
  Bullet& bullet = m_Bullets[index];
  const int vx = g_World.m_Terrain.vertices_x;
  const int vz = g_World.m_Terrain.vertices_z;
  if (vx < 2 || vz < 2) return false;
  auto cell = [](float coordinate, float per_unit, int vertices) {
    const float c = std::floor(coordinate * per_unit);
    if (!(c > 0.0f)) return 0;
    return static_cast<int>(std::min(c, static_cast<float>(vertices - 2)));
  };
  const int x0 = cell(std::min(p0.x, p1.x), g_World.m_Cells_Per_Unit_X, vx);
  const int x1 = cell(std::max(p0.x, p1.x), g_World.m_Cells_Per_Unit_X, vx);
  const int z0 = cell(std::min(p0.z, p1.z), g_World.m_Cells_Per_Unit_Z, vz);
  const int z1 = cell(std::max(p0.z, p1.z), g_World.m_Cells_Per_Unit_Z, vz);
  const CVector3* v = g_World.m_Positions;
  for (int z = z0; z <= z1; ++z) {
    for (int x = x0; x <= x1; ++x) {
      const CVector3& a = v[x + vx * z];
      const CVector3& b = v[x + vx * (z + 1)];
      const CVector3& c = v[x + 1 + vx * z];
      const CVector3& e = v[x + 1 + vx * (z + 1)];
      float t = 0.0f;
      bool hit = SegmentTriangleDistanceSq(p0, d, a, b, c, &t) < kTerrain_Reach;
      if (!hit) hit = SegmentTriangleDistanceSq(p0, d, c, e, a, &t) < kTerrain_Reach;
      if (!hit) continue;
      const CVector3 point = Add(p0, Mul(d, t));
      const uint32_t kind = 2;
      const float size = 12.0f, life = 0.5f;
      const uint32_t color = 0xFFFFFFFF;
      Place_World_Decal(kind, point, size, life, color);
      const CVector3 normal = g_World.m_Normals[x + vx * z];
      const CVector3 n = Unit_Or(Sub(normal, Mul(d, 1.0f / std::max(Length(d), 0.1f))), CVector3{0.0f, 1.0f, 0.0f});
      CVector3 t1{1.0f, 0.0f, 0.0f}, t2{0.0f, 0.0f, 1.0f};
      if (n.y <= 0.99f) {
        t1 = Unit_Or(Cross(CVector3{0.0f, 1.0f, 0.0f}, n), CVector3{1.0f, 0.0f, 0.0f});
        t2 = Cross(n, t1);
      }
      for (int i = 0; i < 10; ++i) {
        // The draws in the order written (out, first side, second side): as call arguments
        // their order would be the compiler's.
        const float out = 50.0f * Random01();
        const float side1 = 100.0f * Random01() - 50.0f;
        const float side2 = 100.0f * Random01() - 50.0f;
        const CVector3 velocity = Add(Add(Mul(n, out), Mul(t1, side1)), Mul(t2, side2));
        const float dust_life = 0.5f * (1.0f + Random01());
        if (!g_Particle_Basic_Mgr.Add_Particle(Add(point, Mul(velocity, 0.15f)), velocity, 15.0f, dust_life,
                                               0x33AAAAAA, 0.15f, 0))
          break;
      }
      bullet.flags |= kSpent;
      bullet.position = p1;
      return true;
    }
  }
  return false;
}

bool CBullet_Machine_Mgr::Hit_Walls(int index, const CVector3& p0, const CVector3& d, const CVector3& p1) {
  Bullet& bullet = m_Bullets[index];
  if (bullet.flags & (kSpent | 0x04)) return false;
  const float wx = g_World.m_Terrain.size_x;
  const float wz = g_World.m_Terrain.size_z;
  // A wall as two triangles of the vertical quad between two ground corners.
  auto hit_wall = [&](const CVector3& a, const CVector3& b, float& t) {
    const CVector3 a_top{a.x, kWall_Height, a.z}, b_top{b.x, kWall_Height, b.z};
    if (SegmentTriangleDistanceSq(p0, d, a, b, a_top, &t) < kGraze) return true;
    return SegmentTriangleDistanceSq(p0, d, b, b_top, a_top, &t) < kGraze;
  };
  auto strike = [&](float t, const CVector3& normal) {
    const CVector3 point = Add(p0, Mul(d, t));
    Burst_Sparks(index, point, normal);
  };
  float t = 0.0f;
  if (p1.x <= 0.0f) {
    if (hit_wall(CVector3{0.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, wz}, t)) {
      strike(t, CVector3{1.0f, 0.0f, 0.0f});
      return true;
    }
  } else if (p1.x >= wx) {
    if (hit_wall(CVector3{wx, 0.0f, 0.0f}, CVector3{wx, 0.0f, wz}, t)) {
      strike(t, CVector3{-1.0f, 0.0f, 0.0f});
      return true;
    }
  }
  if (p1.z >= wz && hit_wall(CVector3{0.0f, 0.0f, wz}, CVector3{wx, 0.0f, wz}, t)) {
    strike(t, CVector3{0.0f, 0.0f, -1.0f});
    return true;
  }
  return false;
}

void CBullet_Machine_Mgr::Burst_Sparks(int index, const CVector3& point, const CVector3& normal) {
  m_Bullets[index].flags |= kSpent;
  const int count = Spark_Count();
  for (int s = 0; s < count; ++s) {
    const CVector3 spread = Mul(Random_Perpendicular_Vector(normal), 0.5f + 2.5f * Random01());
    const CVector3 direction = Unit_Or(Add(normal, spread), normal);
    if (!g_Spark_Mgr.Add_Spark(point, Mul(direction, 100.0f + 300.0f * Random01()), kSpark_Color)) break;
  }
}

void CBullet_Machine_Mgr::Render() {
  if (m_Live_Count == 0) return;
  for (const Bullet& bullet : m_Bullets) {
    if (!(bullet.flags & kLive)) continue;
    const CVector3 d = Unit_Or(bullet.velocity, CVector3{0.0f, 0.0f, 1.0f});
    const CMatrix3x3 axes = Basis_From_Aim(d, CVector3{1.0f, 0.0f, 0.0f});
    const float f = std::clamp((1.0f - bullet.life) * 4.25f, 0.0f, 1.0f) * 20.0f;
    for (const Tracer_Pass& pass : kTracer_Passes) {
      Draw_Model(m_Model, Scaled_Frame(axes, bullet.position, pass.width, pass.width, pass.length * f), m_Style,
                 m_Texture, nullptr, &pass.color);
    }
  }
}
