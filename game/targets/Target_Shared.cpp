#include "game/targets/Target_Shared.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/Debris_Rules.h"
#include "game/fx/FX_Resources.h"
#include "game/player/Gun_Resources.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "platform/system/random.h"

namespace targets {

namespace {

constexpr CColor4 kVariant_Colors[4] = {
    {0.2f, 0.9f, 0.2f, 1.0f},
    {1.0f, 1.0f, 0.1f, 1.0f},
    {1.0f, 0.1f, 1.0f, 1.0f},
    {0.9f, 0.2f, 0.2f, 1.0f},
};
constexpr CColor4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};

float Unit_Draw() { return static_cast<float>(plat::Random()) / 32768.0f; }

constexpr float kFast_Hitter_Speed_Sq = 1000000.0f;
constexpr float kPrecision_Radius_Sq = 100.0f;

}  // namespace

CColor4 Get_Variant_Color(int index) {
  if (index < 0 || index > 3) return kWhite;
  return kVariant_Colors[index];
}

CColor4 Color_To_ARGB_Order(const CColor4& colour) { return CColor4{colour.a, colour.r, colour.g, colour.b}; }

uint32_t Pack_Scaled_ARGB(const CColor4& colour, float factor) {
  const float argb[4] = {colour.a * factor, colour.r * factor, colour.g * factor, colour.b * factor};
  return fx::Pack_Color(argb);
}

int Emit_Sparkle_Burst(const CWorld_Object& target, uint32_t packed_colour, const Sparkle_Burst& burst) {
  const CVector3 velocity = target.Body_Velocity();
  const CMatrix3x3& axes = target.m_Orientation;
  const float width = 2.0f * burst.spread;
  int added = 0;
  for (; added < burst.count; ++added) {
    const float s = (1.0f + Unit_Draw()) * 0.025f;
    const float a = Unit_Draw() * width - burst.spread;
    const float b = Unit_Draw() * width - burst.spread;
    const float c = Unit_Draw() * width - burst.spread;
    CVector3 offset;
    velocity.Scale(s, offset);
    offset.x += axes.rows[0].x * a + axes.rows[1].x * b + axes.rows[2].x * c;
    offset.y += axes.rows[0].y * a + axes.rows[1].y * b + axes.rows[2].y * c;
    offset.z += axes.rows[0].z * a + axes.rows[1].z * b + axes.rows[2].z * c;
    const float size = burst.size_base + Unit_Draw() * burst.size_range;
    const float life = burst.life_base + Unit_Draw() * burst.life_range;
    const float gravity = 0.1f + Unit_Draw() * 0.15f;
    CVector3 start;
    offset.Scale(burst.offset_factor, start);
    start.Add_Assign(target.m_Position);
    if (!g_Particle_Sparkle_Mgr.Add_Particle(start, offset, size, life, packed_colour, gravity, 2)) break;
  }
  return added;
}

float Point_Line_Dist_Sq(const CVector3& centre, const CVector3& point, const CVector3& direction, float* t) {
  CVector3 w;
  centre.Subtract(point, w);
  float along = w.Dot(direction);
  const float length_sq = direction.Length_Squared();
  if (along > 0.0f && length_sq > 0.0f) {
    CVector3 part;
    direction.Scale(along / length_sq, part);
    w.Subtract_Assign(part);
  } else {
    along = 0.0f;
  }
  if (t) *t = along;
  return w.Length_Squared();
}

CVector3 Hitter_Velocity(const CWorld_Object* hitter) {
  if (!hitter) return CVector3{0.0f, 0.0f, 0.0f};
  return hitter->Body_Velocity();
}

bool Precision_Line(const CWorld_Object* hitter, const CShot_Line* shot, CShot_Line& line) {
  if (shot) {
    line = *shot;
  } else {
    const CVector3 v = Hitter_Velocity(hitter);
    if (!(v.Length_Squared() > kFast_Hitter_Speed_Sq)) return false;
    line.point = hitter->m_Position;
    line.direction = v;
  }
  const float length = std::max(line.direction.Length(), 0.0001f);
  line.direction.Divide_Assign(length);
  return std::isfinite(line.direction.x) && std::isfinite(line.point.x);
}

bool Award_Precision(const CVector3& centre, const CWorld_Object* hitter, const CShot_Line* shot) {
  CShot_Line line;
  if (!Precision_Line(hitter, shot, line)) return false;
  if (!(Point_Line_Dist_Sq(centre, line.point, line.direction) < kPrecision_Radius_Sq)) return false;
  g_Score_Board_Mgr.Award_Target_Hit();
  return true;
}

// The family of target classes, as data.
const Target_Member kTarget_Members[kTarget_Member_Count] = {
    {"CTarget_Ball", 10, Target_Base::kSphere, 14, 0.5f, Registers::kPlayer_Shot_Or_Hit, 25, 3.0f, 35, 40, 0x220000f5, true},
    {"CTarget_Bar", 22, Target_Base::kBox, 12, 0.85f, Registers::kPlayer_Shot, 25, 2.5f, 45, 50, 0x220000f0, false},
    {"CTarget_Glower_B", 27, Target_Base::kSphere, 6, 0.85f, Registers::kPlayer_Shot, 25, 2.5f, 45, 50, 0x220000f7, true},
    {"CTarget_Boomer", 20, Target_Base::kBox, 8, 0.85f, Registers::kPlayer_Shot, 25, 2.5f, 45, 50, 0x220000f0, true},
    {"CTarget_Box", 9, Target_Base::kBox, 12, 0.5f, Registers::kPlayer_Shot, 25, 3.0f, 35, 40, 0x220000f0, false},
    {"CTarget_Brick", 17, Target_Base::kBox, 8, 0.5f, Registers::kPlayer_Shot, 25, 2.5f, 45, 50, 0x220000f0, false},
    {"CTarget_Buster", 29, Target_Base::kSphere, 6, 0.5f, Registers::kPlayer_Shot, 25, 1.25f, 35, 40, 0x220000f7, true},
    {"CTarget_Death_Vial", 13, Target_Base::kBox, 4, 0.5f, Registers::kPlayer_Shot, 35, 0.0f, 75, 80, 0x220000f7, false},
    {"CTarget_Exclaim", 30, Target_Base::kBox, 12, kNo_Guard, Registers::kPlayer_Shot, 35, 1.15f, 45, 50, 0x220000f0, true},
    {"CTarget_Flare", 23, Target_Base::kSphere, 32, 0.5f, Registers::kPlayer_Shot_Exactly, 25, 0.0f, 25, 20, 0x220000f9, false},
    {"CTarget_Flier", 19, Target_Base::kSphere, 6, 1.5f, Registers::kPlayer_Shot_Or_Hit, 25, 1.25f, 35, 40, 0x220000f2, true},
    {"CTarget_Target", 11, Target_Base::kFixed, 16, kNo_Guard, Registers::kPlayer_Shot, 25, 0.0f, 35, 40, 0x220000f4, false},
    {"CTarget_Glower", 25, Target_Base::kSphere, 6, 0.5f, Registers::kPlayer_Shot_Or_Hit, 25, 1.25f, 35, 40, 0x220000f7, true},
    {"CTarget_Goo", 24, Target_Base::kSphere, 12, 0.5f, Registers::kPlayer_Shot, 25, 3.0f, 35, 40, 0x220000fb, true},
    {"CTarget_Jumper", 28, Target_Base::kSphere, 8, 0.5f, Registers::kPlayer_Shot, 25, 3.0f, 35, 40, 0x220000f5, true},
    {"CTarget_Leaf", 21, Target_Base::kSphere, 64, 0.5f, Registers::kPlayer_Shot_Exactly, 25, 0.0f, 25, 20, 0x220000f9, false},
    {"CTarget_Line", 26, Target_Base::kBox, 16, 1.15f, Registers::kPlayer_Shot, 35, 1.15f, 45, 50, 0x220000f0, true},
    {"CTarget_Pill", 18, Target_Base::kBox, 8, 0.85f, Registers::kPlayer_Shot, 25, 2.5f, 45, 50, 0x220000f0, true},
    {"CTarget_Star", 12, Target_Base::kBox, 8, 0.5f, Registers::kPlayer_Shot, 25, 2.5f, 45, 50, 0x220000f0, true},
    {"CTarget_Roller", 16, Target_Base::kSphere, 8, 0.5f, Registers::kPlayer_Shot, 25, 3.0f, 35, 40, 0x220000f5, true},
    {"CTarget_Sparkler", 14, Target_Base::kSphere, 8, kNo_Guard, Registers::kPlayer_Shot, 0, 0.0f, 0, 0, 0x220000f2, false},
    {"CTarget_Twirler", 15, Target_Base::kSphere, 12, 1.5f, Registers::kPlayer_Shot_Or_Hit, 25, 1.25f, 35, 40, 0x220000f2, true},
};

const Target_Member* Find_Target_Member(uint32_t type) {
  for (const Target_Member& member : kTarget_Members)
    if (member.type == type) return &member;
  return nullptr;
}

bool Registers_Hit(const Target_Member& member, const CWorld_Object* hitter) {
  if (!hitter) return false;
  const uint32_t kind = hitter->m_Kind_Flags;
  switch (member.registers) {
    case Registers::kPlayer_Shot: return (kind & kKind_Shot) != 0;
    case Registers::kPlayer_Shot_Or_Hit:
      return (kind & kKind_Shot) != 0 ||
             (kind & (kKind_Counted_Target | kKind_Excluded)) == (kKind_Counted_Target | kKind_Excluded);
    case Registers::kPlayer_Shot_Exactly: return kind == kKind_Shot;
  }
  return false;
}

Sparkle_Burst Member_Burst(const Target_Member& member) {
  Sparkle_Burst burst;
  burst.count = member.sparkles;
  burst.size_base = member.sparkle_size_base;
  burst.size_range = member.sparkle_size_range;
  return burst;
}

void Register_First_Hit(const Target_Member& member, CWorld_Object& target, CWorld_Object* hitter) {
  if (Registers_Hit(member, hitter)) g_Sim_Stats.Register_Hit(&target, hitter, nullptr, 0);
}

void Lift_Half_Gravity(CWorld_Object& target) {
  CVector3 half;
  g_World.m_Gravity.Scale(0.5f, half);
  target.m_Motion.acceleration.Subtract_Assign(half);
}

bool Life_Step(CWorld_Object& target, float& life, float& age, float dt, float guard_age) {
  float& kill = target.m_Kill_Timer;
  life -= dt;
  if (life < 0.0f) {
    life = 0.0f;
    if (kill == 0.0f) kill = 0.0001f;
  }
  const float before = age;
  age += dt;
  if (before < guard_age && age >= guard_age)
    target.m_State_Flags &= ~(kState_No_Object_Collision | kState_No_World_Contact);
  if (kill == 0.0f && !(target.m_Value1 > 0.0f)) kill = 0.001f;
  return kill != 0.0f;
}

void Shrink_Sphere(CWorld_Object& target, float full_radius) {
  target.Set_Sphere_Radius(full_radius * std::clamp(1.0f - target.m_Kill_Timer, 0.001f, 1.0f));
}

bool Is_Boundary_Wall(const CVector3& normal) { return debris::Is_Wall(normal); }

void Box_Floor_Contact(CWorld_Object& target) {
  target.m_State_Flags &= ~(kState_No_Object_Collision | kState_No_Gravity | kState_No_Damping);
  if (target.m_Kill_Timer == 0.0f) target.m_Kill_Timer = 0.01f;
}

void Sphere_Floor_Contact(CWorld_Object& target, const CVector3& normal) {
  if (Is_Boundary_Wall(normal)) return;
  Box_Floor_Contact(target);
}

// ---------------------------------------------------------------------------------------------
// Resources

const char* const kNo_Renderable = "\nUnable to create renderable object...";
const char* const kNo_Texture = "\nUnable to load texture...";
const char* const kNo_Created_Texture = "\nUnable to create texture...";
const char* const kNo_Shader = "\nUnable to load shader...";

Resource Resource::Renderable(uint32_t id, CRenderableObject*& handle, const char* ending) {
  return Resource(Kind::kRenderable, id, &handle, ending);
}
Resource Resource::Texture(uint32_t id, CTextureData*& handle, const char* ending) {
  return Resource(Kind::kTexture, id, &handle, ending);
}
Resource Resource::Style(uint32_t id, CD3DRenderStyle*& handle, const char* ending) {
  return Resource(Kind::kStyle, id, &handle, ending);
}

bool Resource::Load() const {
  switch (m_Kind) {
    case Kind::kRenderable: {
      auto& held = *static_cast<CRenderableObject**>(m_Handle);
      fx::Release(held);
      held = fx::Get_Renderable(m_Id);
      return held != nullptr;
    }
    case Kind::kTexture: {
      auto& held = *static_cast<CTextureData**>(m_Handle);
      fx::Release(held);
      held = fx::Get_Texture(m_Id);
      return held != nullptr;
    }
    case Kind::kStyle: {
      auto& held = *static_cast<CD3DRenderStyle**>(m_Handle);
      fx::Release(held);
      held = fx::Get_Style(m_Id);
      return held != nullptr;
    }
  }
  return false;
}

void Resource::Release() const {
  switch (m_Kind) {
    case Kind::kRenderable: fx::Release(*static_cast<CRenderableObject**>(m_Handle)); return;
    case Kind::kTexture: fx::Release(*static_cast<CTextureData**>(m_Handle)); return;
    case Kind::kStyle: fx::Release(*static_cast<CD3DRenderStyle**>(m_Handle)); return;
  }
}

bool Load_Resources(const char* class_name, std::initializer_list<Resource> resources) {
  for (const Resource& resource : resources) {
    if (resource.Load()) continue;
    Show_Message("%s", (std::string("Error in ") + class_name + resource.Ending()).c_str());
    Release_Resources(resources);
    return false;
  }
  return true;
}

void Release_Resources(std::initializer_list<Resource> resources) {
  for (const Resource& resource : resources) resource.Release();
}

void Release_Handles(CRenderableObject** renderables, size_t renderable_count, CTextureData** textures,
                     size_t texture_count, CD3DRenderStyle** styles, size_t style_count) {
  for (size_t i = 0; i < renderable_count; ++i) fx::Release(renderables[i]);
  for (size_t i = 0; i < texture_count; ++i) fx::Release(textures[i]);
  for (size_t i = 0; i < style_count; ++i) fx::Release(styles[i]);
}

// ---------------------------------------------------------------------------------------------
// Drawing

CMatrix4x4 World_Matrix(const CWorld_Object& object, const CVector3& scale) {
  return debris::World_Matrix(object, scale);
}

CMatrix4x4 Mirrored(const CMatrix4x4& world, const CWorld_Mirror& mirror) { return debris::Mirrored(world, mirror); }

void Draw(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture,
          const CColor4* colour, bool renormalise, const uint32_t* factor) {
  if (!renderable) return;
  const float rgba[4] = {colour ? colour->r : 1.0f, colour ? colour->g : 1.0f, colour ? colour->b : 1.0f,
                         colour ? colour->a : 1.0f};
  debris::Draw(renderable, world, style, texture, colour ? rgba : nullptr, factor, renormalise);
}

void Draw_Shader_Pass(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style,
                      CTextureData* given, CTextureData* own, bool renormalise) {
  // The texture list ends at its first empty entry: without a given texture the pass reads none.
  if (renormalise) fx::Set_Normalize_Normals(true);
  arsenal::Draw_Model(renderable, world, style, given, own);
  if (renormalise) fx::Set_Normalize_Normals(false);
}

}  // namespace targets
