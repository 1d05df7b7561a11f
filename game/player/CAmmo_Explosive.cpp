#include "game/player/CAmmo_Explosive.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/fx/CDebris_Dirt.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CPlayer.h"
#include "game/player/Gun_Resources.h"

using namespace arsenal;

namespace {

enum { kShell_A, kShell_B, kBlast_Model };
enum { kShell_Texture, kBlast_Texture };
enum { kShell_Style, kBlast_Style, kGlow_Style, kReflection_Style };
constexpr uint32_t kShell_A_Id = 0x22000170, kShell_B_Id = 0x22000171, kBlast_Model_Id = 0x22000000;
constexpr uint32_t kShell_Texture_Id = 0x22000045, kBlast_Texture_Id = 0x2200010E;
constexpr uint32_t kShell_Style_Id = 0x2200004D, kBlast_Style_Id = 0x22000050, kGlow_Style_Id = 0x22000149,
                   kReflection_Style_Id = 0x22000020;
constexpr uint32_t kStrike_Sound = 0x22000173;
constexpr uint32_t kBlast_Sound = 0x22000172;
constexpr uint32_t kSets_Off = kKind_Counted_Target | kKind_Target | 0x04;
constexpr uint32_t kPushed = kKind_Counted_Target | kKind_Target | 0x04 | 0x20;
constexpr uint32_t kStruck = kKind_Counted_Target | kKind_Target | 0x20;
// The strike and the blast are played by one positional volume rule, at this scale.
constexpr float kSound_Scale = 0.45f;
constexpr float kBlast_Radius = 400.0f;

constexpr float kShadow_Fade = 0.003f;
constexpr int kDirt_Clods = 3;

// Clods thrown from the shell's position; a clod is skipped when its pool has none free.
void Throw_Dirt_Clods(const CVector3& from) {
  CObject_Pool* pool = g_Object_Pools[CDebris_Dirt::kType];
  for (int i = 0; i < kDirt_Clods; ++i) {
    CDebris_Dirt* clod = pool ? static_cast<CDebris_Dirt*>(pool->Alloc_Object()) : nullptr;
    if (!clod) continue;
    const CVector3 e = Mul(CVector3{80.0f * Random01() - 40.0f, 60.0f * Random01() - 40.0f, 80.0f * Random01() - 40.0f}, 4.0f);
    clod->Spawn(0.65f);
    g_World.Add_Object(2, clod);
    clod->Set_Position(Add(from, Mul(e, 0.5f)));
    clod->m_Orientation = CMatrix3x3::Identity;
    clod->m_Sphere.velocity = Mul(e, 1.5f * (1.0f + Random01()));
    clod->m_Sphere.spin = CVector3{20.0f * Random01() - 10.0f, 20.0f * Random01() - 10.0f, 20.0f * Random01() - 10.0f};
  }
}

bool Fail(CAmmo_Explosive& shell, const char* message) {
  Show_Message("%s", message);
  shell.Term();
  return false;
}

float Random_Signed() { return 2.0f * Random01() - 1.0f; }

}  // namespace

CObject_Pool* CAmmo_Explosive::Pool() {
  static CObject_Pool_Of<CAmmo_Explosive, kType> pool;
  if (g_Object_Pools[kType] != &pool) Register_Object_Pool(kType, &pool);
  return &pool;
}

bool CAmmo_Explosive::Init() {
  if (!(m_Models[kShell_A] = Get_Model(kShell_A_Id)) || !(m_Models[kShell_B] = Get_Model(kShell_B_Id)) ||
      !(m_Models[kBlast_Model] = Get_Model(kBlast_Model_Id)))
    return Fail(*this, "Error in CAmmo_Explosive\nUnable to create renderable object...");
  if (!(m_Textures[kShell_Texture] = Get_Texture(kShell_Texture_Id)) ||
      !(m_Styles[kShell_Style] = Get_Style(kShell_Style_Id)) ||
      !(m_Textures[kBlast_Texture] = Get_Texture(kBlast_Texture_Id)))
    return Fail(*this, "Error in CAmmo_Explosive\nUnable to load texture...");
  if (!(m_Styles[kBlast_Style] = Get_Style(kBlast_Style_Id)) || !(m_Styles[kGlow_Style] = Get_Style(kGlow_Style_Id)) ||
      !(m_Styles[kReflection_Style] = Get_Style(kReflection_Style_Id)))
    return Fail(*this, "Error in CAmmo_Explosive\nUnable to load shader...");
  m_Loaded = 1;
  return true;
}

void CAmmo_Explosive::Term() {
  for (CRenderableObject*& model : m_Models) Release(model);
  for (CTextureData*& texture : m_Textures) Release(texture);
  for (CD3DRenderStyle*& style : m_Styles) Release(style);
  m_Loaded = 0;
  m_Live = 0;
}

void CAmmo_Explosive::Spawn(int variant) {
  m_Variant = variant;
  Setup_Object(kType, 100.0f, 100.0f, kState_Reflected | kState_Translucent, kKind_Shot);
  if (!Setup_Sphere_Body(75.0f, kRadius, 0.1f)) return;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation.Set_Rows(CVector3{1.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 1.0f}, CVector3{0.0f, -1.0f, 0.0f});
  m_Motion.Clear();
  m_Sphere.velocity = CVector3{0.0f, 0.0f, 0.0f};
  m_Sphere.spin = CVector3{0.0f, 0.0f, 0.0f};
  m_Has_Hit = m_Touched_Floor = m_Exploded = m_Blasted = 0;
  m_Hit_Count = 0;
  m_Life = kLife;
  m_Live = 1;
}

bool CAmmo_Explosive::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  (void)shot;
  m_Has_Hit = 1;
  if (!other || !(other->m_Kind_Flags & kSets_Off) || (other->m_Kind_Flags & kKind_Excluded)) return true;
  if (!(other->m_Kind_Flags & 0x04)) ++m_Hit_Count;
  if (m_Exploded) return true;
  Play_Sound_3D(kStrike_Sound, m_Position, kSound_Scale);
  m_Exploded = 1;
  m_Blast_Centre = m_Position;
  m_Blast_Radius = kBlast_Radius * g_Player.m_Factor2;
  m_Kill_Timer += 0.01f;
  return true;
}

void CAmmo_Explosive::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  (void)normal;
  m_Has_Hit = 1;
  m_Touched_Floor = 1;
}

void CAmmo_Explosive::Update(const float& dt) {
  if (m_Blasted) return;
  if (m_Exploded) {
    Set_Position(m_Blast_Centre);
  } else {
    Collide_Sphere_World(m_Motion);
    if (!m_Has_Hit) m_Motion.acceleration = Sub(m_Motion.acceleration, Mul(g_World.m_Gravity, 0.8f));
    Integrate_Sphere(m_Motion, dt);
  }
  m_Life -= dt;
  if (m_Life < 0.0f) {
    if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
    m_Life = 0.0f;
  }
  if (m_Kill_Timer == 0.0f && !(m_Value1 > 0.0f)) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer == 0.0f) return;
  Set_Sphere_Radius(kRadius * std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f));
  m_Kill_Timer += dt * (m_Exploded ? 1.35f : 0.25f);
  if (m_Kill_Timer >= 1.0f && m_Exploded) {
    m_Blasted = 1;
    Blast();
  }
}

void CAmmo_Explosive::Blast() {
  const float r = m_Blast_Radius;
  CWorld_Query query;
  g_World.Query_Radius(m_Blast_Centre, kReach * r, query);
  for (int i = 0; i < query.count; ++i) {
    CWorld_Object* object = query.objects[i];
    if (object == this || !(object->m_Kind_Flags & kPushed)) continue;
    const CVector3 away = Sub(object->m_Position, m_Blast_Centre);
    const CVector3 direction = Mul(away, 1.0f / std::max(Length(away), 0.0001f));
    const float push = (object->m_Kind_Flags & 0x04) ? 200.0f : 300.0f;
    const CVector3 spin{5.0f * Random_Signed(), 5.0f * Random_Signed(), 5.0f * Random_Signed()};
    if (object->m_Body_Kind == kBody_Sphere) {
      object->m_Sphere.velocity = Add(object->m_Sphere.velocity, Mul(direction, push));
      object->m_Sphere.spin = Add(object->m_Sphere.spin, spin);
    } else if (object->m_Body_Kind == kBody_Box) {
      object->m_Box.velocity = Add(object->m_Box.velocity, Mul(direction, push));
      object->m_Box.spin = Add(object->m_Box.spin, spin);
    } else if (object->m_Body_Kind == 4) {
      object->m_Motion.acceleration = Add(object->m_Motion.acceleration, Mul(direction, push));
    }
    if ((object->m_Kind_Flags & kStruck) && !(object->m_Kind_Flags & kKind_Excluded)) {
      ++m_Hit_Count;
      if (object->m_Body_Kind == kBody_Sphere)
        object->Hit_Sphere_Body(this, nullptr);
      else if (object->m_Body_Kind == kBody_Box)
        object->Hit_Box_Body(this, nullptr);
      else if (object->m_Body_Kind == kBody_Fixed)
        object->Hit_Kind5_Body(this, nullptr);
    }
  }
  Play_Sound_3D(kBlast_Sound, m_Blast_Centre, kSound_Scale);
  const float ground = g_World.Has_Terrain() ? g_World.Get_Height(m_Blast_Centre.x, m_Blast_Centre.z) : 0.0f;
  const float h = m_Blast_Centre.y - ground;
  if (h < 0.5f * r) {
    const float intensity = std::clamp((r - h) / std::max(r, 0.1f), 0.0f, 1.0f);
    const uint32_t kind = 2;
    const CVector3 below{m_Blast_Centre.x, ground, m_Blast_Centre.z};
    const float size = 0.25f * r, life = 4.0f * intensity;
    const uint32_t color = Alpha_Over(intensity, 0xA99477);
    Place_World_Decal_Random(kind, below, size, life, color);
  }
  g_Screen_FX_Mgr.Add_Effect_2(CScreen_FX_Mgr::kCamera_Shake, 2.5f, 0.05f);
  Throw_Dirt_Clods(m_Position);
  for (int i = 0; i < 25; ++i) {
    const CVector3 v = Mul(CVector3{20.0f * Random01() - 10.0f, 12.0f * Random01() - 2.0f, 20.0f * Random01() - 10.0f}, 7.0f);
    if (!g_Particle_Basic_Mgr.Add_Particle(Add(m_Blast_Centre, Mul(v, 0.75f)), v, 95.0f, 1.0f + Random01(), 0xFFA99477,
                                           0.035f, 2))
      break;
  }
}

CMatrix4x4 CAmmo_Explosive::World_Matrix() const {
  const float scale = m_Kill_Timer != 0.0f ? m_Collision_Radius / kRadius : 1.0f;
  return Scaled_Frame(m_Orientation, m_Position, scale, scale, scale);
}

void CAmmo_Explosive::Draw_Shell(const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* first,
                                 CTextureData* second) {
  Draw_Model(m_Models[kShell_A], world, style, first, second);
  Draw_Model(m_Models[kShell_B], world, style, first, second);
}

void CAmmo_Explosive::Render(const float& step) {
  (void)step;
  if (m_Collision_Radius < 0.1f) return;
  const CMatrix4x4 world = World_Matrix();
  const bool scaled = m_Kill_Timer != 0.0f;
  if (scaled) Normalize_Normals(true);
  Draw_Shell(world, m_Styles[kShell_Style], m_Textures[kShell_Texture], nullptr);
  if (scaled) Normalize_Normals(false);
  float alpha = 0.35f * std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  float grow = 1.0f;
  for (int i = 0; i < 6; ++i) {
    grow *= 1.03f;
    alpha *= 0.85f;
    const uint32_t color = Alpha_Over(alpha, 0xFFFF55);
    const float s = grow * (scaled ? m_Collision_Radius / kRadius : 1.0f);
    Draw_Model(m_Models[kShell_B], Scaled_Frame(m_Orientation, m_Position, s, s, s), m_Styles[kGlow_Style],
               m_Textures[kShell_Texture], nullptr, &color);
  }
  CShadowProjector::Cast_Sphere_Shadow(*this, kShadow_Fade);
  if (!m_Exploded) return;
  const float a = std::clamp(m_Kill_Timer, 0.01f, 1.0f);
  const float b = 1.0f - a * a;
  float size = 0.15f * m_Blast_Radius * b;
  float blast_alpha = (1.0f - b) * 0.75f + 0.15f;
  for (int i = 0; i < 4; ++i) {
    size *= 1.0f + 0.05f * b;
    blast_alpha *= 0.85f;
    const uint32_t color = Alpha_Over(blast_alpha, 0xFFFF44);
    Draw_Model(m_Models[kBlast_Model], Scaled_Frame(m_Orientation, m_Position, size, size, size),
               m_Styles[kBlast_Style], m_Textures[kBlast_Texture], nullptr, &color);
  }
}

void CAmmo_Explosive::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Collision_Radius < 0.1f) return;
  CMatrix4x4 world;
  World_Matrix().Multiply(mirror.transform, world);
  Draw_Shell(world, m_Styles[kReflection_Style], m_Textures[kShell_Texture], nullptr);
}

void CAmmo_Explosive::Render_With_Shader(void* style, void* texture) {
  if (m_Collision_Radius < 0.1f) return;
  Draw_Shell(World_Matrix(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
             m_Textures[kShell_Texture]);
}
