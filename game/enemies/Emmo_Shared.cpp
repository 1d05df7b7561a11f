#include "game/enemies/Emmo_Shared.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CDebris_Dirt.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/Target_Shared.h"
#include "platform/system/random.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/renderable_object.h"
#include "runtime/src/render/sys/pc/rigid_mesh.h"

namespace emmo {

namespace {

float R() { return static_cast<float>(plat::Random()) / 32768.0f; }

uint32_t Byte_Of(float value) {
  const float scaled = value * 255.0f;
  if (!(scaled > 0.0f)) return 0;
  if (scaled >= 255.0f) return 255;
  return static_cast<uint32_t>(scaled);
}

}  // namespace

CColor4 Variant_Color(int variant, bool hit) {
  if (hit) return CColor4{0.0f, 0.0f, 0.0f, 1.0f};
  return targets::Get_Variant_Color(variant);
}

uint32_t Pack_Scaled(const CColor4& colour, float factor) {
  return Byte_Of(colour.a * factor) << 24 | Byte_Of(colour.r * factor) << 16 | Byte_Of(colour.g * factor) << 8 |
         Byte_Of(colour.b * factor);
}

float Reach_Sq(float radius) { return radius * radius + kReach_Margin_Sq; }

float Box_Radius(const CVector3& half_size) { return half_size.Length(); }

float Camera_Distance_Sq(const CVector3& position) {
  CVector3 offset;
  position.Subtract(g_Camera.Position(), offset);
  return offset.Length_Squared();
}

bool Strike_On_Reach(CWorld_Object& object, float radius, uint32_t sound, float strength) {
  if (object.m_Kill_Timer != 0.0f || (object.m_Kind_Flags & kKind_Spent)) return false;
  if (!(Camera_Distance_Sq(object.m_Position) < Reach_Sq(radius))) return false;
  Play_Sound(sound, object.m_Position);
  Hit_Player(strength, false);
  object.m_Kill_Timer = 0.001f;
  return true;
}

bool Pass_Or_Strike(CWorld_Object& ammo, float radius, float passed_kill, uint32_t sound) {
  if (ammo.m_Kill_Timer == 0.0f && ammo.m_Position.z < g_Camera.Position().z) ammo.m_Kill_Timer = passed_kill;
  return Strike_On_Reach(ammo, radius, sound, kReach_Strength);
}

bool Fade_Started(CWorld_Object& ammo, float age, float life) {
  if (age > life && ammo.m_Kill_Timer == 0.0f) ammo.m_Kill_Timer = 0.0001f;
  if (ammo.m_Kill_Timer == 0.0f && ammo.m_Value1 <= 0.0f) ammo.m_Kill_Timer = 0.001f;
  return ammo.m_Kill_Timer != 0.0f;
}

void Fade_Box(CWorld_Object& ammo, const CVector3& full_half, float rate, float dt) {
  CVector3 half;
  full_half.Scale(Shrink_Factor(ammo.m_Kill_Timer), half);
  ammo.Set_Box_Extents(half);
  ammo.m_Kill_Timer += rate * dt;
}

void Fade_Sphere(CWorld_Object& ammo, float full_radius, float rate, float dt) {
  ammo.Set_Sphere_Radius(full_radius * Shrink_Factor(ammo.m_Kill_Timer));
  ammo.m_Kill_Timer += rate * dt;
}

void Grow_Old(CWorld_Object& ammo, float& age, float dt, float youth, float life) {
  const bool was_young = age < youth;
  age += dt;
  if (was_young && age >= youth) ammo.m_State_Flags &= ~kState_Young;
  if (age > life && ammo.m_Kill_Timer == 0.0f) ammo.m_Kill_Timer = 0.001f;
}

bool Blast_Step(CWorld_Object& ammo, float& blast, float blast_rate, float full_radius, float fade_rate, float dt) {
  if (blast != 0.0f) blast += blast_rate * dt;
  if (ammo.m_Kill_Timer != 0.0f) {
    Fade_Sphere(ammo, full_radius, fade_rate, dt);
    if (ammo.m_Kill_Timer >= 1.0f && blast != 0.0f && blast < 1.0f) blast = 1.0f;
  }
  return blast >= 1.0f;
}

void Blast_Strike(const CVector3& point, float strength) {
  g_Screen_FX_Mgr.Add_Effect(15, 3.0f, CColor4{0.6f, 0.4f, 0.4f, 1.0f}, CColor4{0.0f, 0.0f, 0.0f, 0.0f}, 0.0f, 0.0f);
  g_Screen_FX_Mgr.Add_Effect_2(CScreen_FX_Mgr::kCamera_Shake, 4.0f, 0.35f);
  Play_Sound(kSound_Impact, point);
  Hit_Player(strength, false);
}

void Play_Sound(uint32_t id, const CVector3& position, float scale) { Play_Sound_3D(id, position, scale); }

void Register_Hit(CWorld_Object& object, CWorld_Object* hitter) {
  g_Sim_Stats.Register_Hit(&object, hitter, nullptr, 0);
}

bool Has_Kind(const CWorld_Object* hitter, uint32_t flags) {
  return hitter && (hitter->m_Kind_Flags & flags) != 0;
}

bool Is_Player_Shot(const CWorld_Object* hitter) { return Has_Kind(hitter, kKind_Player_Shot); }

int Burst_Count(const CVector3& position) {
  return Camera_Distance_Sq(position) < kNear_Burst_Distance_Sq ? kNear_Burst_Count : kFar_Burst_Count;
}

int Hit_Burst(const CWorld_Object& object, const CVector3& velocity, uint32_t packed_colour,
              const Burst_Shape& shape) {
  const int count = Burst_Count(object.m_Position);
  const CMatrix3x3& axes = object.m_Orientation;
  int added = 0;
  for (int i = 0; i < count; ++i) {
    const float s = 0.025f * (1.0f + R());
    const float a = shape.range_x * R() - 0.5f * shape.range_x;
    const float b = shape.range_y * R() - 0.5f * shape.range_y;
    const float c = shape.range_z * R() - 0.5f * shape.range_z;
    CVector3 v{velocity.x * s + axes.rows[0].x * a + axes.rows[1].x * b + axes.rows[2].x * c,
               velocity.y * s + axes.rows[0].y * a + axes.rows[1].y * b + axes.rows[2].y * c,
               velocity.z * s + axes.rows[0].z * a + axes.rows[1].z * b + axes.rows[2].z * c};
    const CVector3 start{object.m_Position.x + shape.start * v.x, object.m_Position.y + shape.start * v.y,
                         object.m_Position.z + shape.start * v.z};
    const float size = 35.0f + 40.0f * R();
    const float life = 0.15f + 1.85f * R();
    const float gravity = 0.1f + 0.15f * R();
    if (!g_Particle_Sparkle_Mgr.Add_Particle(start, v, size, life, packed_colour, gravity, 2)) break;
    ++added;
  }
  return added;
}

CVector3 Unit_Towards(const CVector3& from, const CVector3& to, float floor) {
  CVector3 d;
  to.Subtract(from, d);
  const float length = std::max(d.Length(), floor);
  return CVector3{d.x / length, d.y / length, d.z / length};
}

void Pull_Towards(CVector3& velocity, const CVector3& d, const CVector3& pull, const CVector3& damping, float dt) {
  velocity.x = (1.0f - damping.x * dt) * (velocity.x + pull.x * dt * d.x);
  velocity.y = (1.0f - damping.y * dt) * (velocity.y + pull.y * dt * d.y);
  velocity.z = (1.0f - damping.z * dt) * (velocity.z + pull.z * dt * d.z);
}

float Shrink_Factor(float kill_timer) { return std::clamp(1.0f - kill_timer, 0.001f, 1.0f); }

float Alpha_Factor(float kill_timer) { return std::clamp(1.0f - kill_timer, 0.0f, 1.0f); }

void Turn_Towards(CMatrix3x3& orientation, const CVector3& direction, float floor, float factor) {
  const float length = direction.Length();
  if (!(length >= floor)) return;
  const CVector3 u{direction.x / length, direction.y / length, direction.z / length};
  const CVector3 up = std::fabs(u.y) >= 0.95f ? CVector3{1.0f, 0.0f, 0.0f} : CVector3{0.0f, 1.0f, 0.0f};
  // The facing's rows are its local axes: side, the up vector made square to u, and u itself.
  CVector3 along, square_up, side;
  up.Subtract(u.Scale(up.Dot(u), along), square_up);
  square_up.Divide_Assign(square_up.Length());
  square_up.Cross(u, side);
  CMatrix3x3 facing;
  facing.Set_Rows(side, square_up, u);
  CQuaternion from, to, turned;
  from.From_Matrix3(orientation);
  to.From_Matrix3(facing);
  turned.Slerp(from, to, std::clamp(factor, 0.0f, 1.0f));
  turned.Normalize();
  CMatrix3x3 result;
  result.From_Quaternion(turned);
  bool finite = true;
  for (const CVector3& row : result.rows) finite = finite && std::isfinite(row.x + row.y + row.z);
  if (finite) orientation = result;
}

int Throw_Dirt_Clods(const CVector3& point, int count, float scale) {
  CObject_Pool* pool = g_Object_Pools[CDebris_Dirt::kType];
  int thrown = 0;
  for (int i = 0; i < count; ++i) {
    CWorld_Object* object = pool ? pool->Alloc_Object() : nullptr;
    if (!object) continue;
    CDebris_Dirt* clod = static_cast<CDebris_Dirt*>(object);
    const CVector3 q{1.35f * (80.0f * R() - 40.0f), 1.35f * (65.0f + 30.0f * R()), 1.35f * (80.0f * R() - 40.0f)};
    clod->Spawn(scale);
    g_World.Add_Object(2, clod);
    clod->Set_Position(CVector3{point.x + 0.5f * q.x, point.y + 0.5f * q.y, point.z + 0.5f * q.z});
    clod->m_Orientation = CMatrix3x3::Identity;
    const float speed = 1.5f * (1.0f + R());
    clod->m_Sphere.velocity = CVector3{q.x * speed, q.y * speed, q.z * speed};
    clod->m_Sphere.spin = CVector3{20.0f * R() - 10.0f, 20.0f * R() - 10.0f, 20.0f * R() - 10.0f};
    ++thrown;
  }
  return thrown;
}

int Raise_Dust(const CVector3& point, int count) {
  int added = 0;
  for (int i = 0; i < count; ++i) {
    const CVector3 v{7.0f * (20.0f * R() - 10.0f), 7.0f * (15.0f * R() + 5.0f), 7.0f * (20.0f * R() - 10.0f)};
    const CVector3 start{point.x + 0.75f * v.x, point.y + 0.75f * v.y, point.z + 0.75f * v.z};
    const float life = 3.0f * (1.0f + R());
    if (!g_Particle_Basic_Mgr.Add_Particle(start, v, 95.0f, life, kDirt_Colour, 0.2f, 2)) break;
    ++added;
  }
  return added;
}

void Draw(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* first,
          CTextureData* second, const CColor4* tint, const uint32_t* factor) {
  CRenderObject* object = renderable ? renderable->GetRenderObject() : nullptr;
  if (!object || !style || object->GetType() != CRigidMesh::kType) return;
  CDeviceTexture* textures[3] = {fx::Device_Texture(first), fx::Device_Texture(second), nullptr};
  if (!textures[0]) textures[1] = nullptr;
  const float* colour = tint ? &tint->r : nullptr;
  static_cast<CRigidMesh*>(object)->Render(&world, style, textures, colour, reinterpret_cast<const DWORD*>(factor));
}

CMatrix4x4 World_Matrix(const CMatrix3x3& orientation, const CVector3& position, const CVector3& scale) {
  CMatrix3x3 scaled;
  scaled.Set_Rows(orientation.rows[0].Scale(scale.x, scaled.rows[0]), orientation.rows[1].Scale(scale.y, scaled.rows[1]),
                  orientation.rows[2].Scale(scale.z, scaled.rows[2]));
  CMatrix4x4 world;
  world.From_Matrix3(scaled, position);
  return world;
}

CMatrix4x4 Mirrored(const CMatrix4x4& world, const CWorld_Mirror& mirror) {
  CMatrix4x4 out;
  world.Multiply(mirror.transform, out);
  return out;
}

void Normalize_Normals(bool on) { fx::Set_Normalize_Normals(on); }

CMatrix4x4 Shrunk_Box_World(const CWorld_Object& ammo, const CVector3& full_half) {
  CVector3 scale{1.0f, 1.0f, 1.0f};
  if (ammo.m_Kill_Timer != 0.0f) ammo.m_Box.half_size.Divide_Components(full_half, scale);
  return World_Matrix(ammo.m_Orientation, ammo.m_Position, scale);
}

void Draw_Blast(CRenderableObject* renderable, const CVector3& point, float blast, CD3DRenderStyle* style,
                CTextureData* texture, uint32_t colour) {
  const float s = 225.0f * blast * blast * blast;
  Normalize_Normals(true);
  Draw(renderable, World_Matrix(CMatrix3x3::Identity, point, CVector3{s, s, s}), style, texture, nullptr, nullptr,
       &colour);
  Normalize_Normals(false);
}

void Draw_Reflection(CRenderableObject* renderable, const CMatrix4x4& world, const CWorld_Mirror& mirror,
                     CD3DRenderStyle* style, CTextureData* texture, const CColor4& tint) {
  Normalize_Normals(true);
  Draw(renderable, Mirrored(world, mirror), style, texture, nullptr, &tint);
  Normalize_Normals(false);
}

uint32_t Glow_Alpha_Byte(float alpha, int copy) {
  for (int i = 0; i <= copy; ++i) alpha *= 0.75f;
  return Byte_Of(alpha);
}

void Draw_Glow(CRenderableObject* renderable, CMatrix4x4 world, const CMatrix4x4& step, int copies, float alpha,
               const CColor4& colour, CD3DRenderStyle* style) {
  const uint32_t rgb = Byte_Of(colour.r) << 16 | Byte_Of(colour.g) << 8 | Byte_Of(colour.b);
  for (int copy = 0; copy < copies; ++copy) {
    alpha *= 0.75f;
    const uint32_t factor = Byte_Of(alpha) << 24 | rgb;
    const CColor4 tint{colour.r, colour.g, colour.b, static_cast<float>(factor >> 24) / 255.0f};
    Draw(renderable, world, style, nullptr, nullptr, &tint, &factor);
    CMatrix4x4 next;
    step.Multiply(world, next);
    world = next;
  }
}

}  // namespace emmo
