#include "game/player/CAmmo_Missile_0.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/CParticle_Basic_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CPlayer.h"
#include "game/player/Gun_Resources.h"

using namespace arsenal;

namespace {

constexpr uint32_t kPart_Ids[CAmmo_Missile_0::kPart_Count] = {0x22000057, 0x22000059, 0x2200005A};
constexpr uint32_t kPart_Texture_Ids[3] = {0x2200002C, 0x2200002C, 0x2200002A};
constexpr uint32_t kPart_Style_Ids[4] = {0x22000058, 0x22000058, 0x22000043, 0x22000020};
constexpr uint32_t kGlow_Style_Id = 0x22000031;
constexpr uint32_t kFlame_Texture_Ids[2] = {0x2200005C, 0x22000032};
enum { kReflection_Style = 3, kGlow_Style = 4 };
enum { kFlame_Texture = 3, kFlame_Glow_Texture = 4 };
constexpr uint32_t kLaunch_Sound = 0x2200014E;
constexpr uint32_t kBlast_Sound = 0x22000172;
constexpr uint32_t kState_Flags = 0x76;
constexpr uint32_t kCounted = kKind_Counted_Target | kKind_Target | 0x20;
constexpr uint32_t kNot_Counted = 0x04 | kKind_Excluded;
constexpr float kThrust = 2000.0f;
constexpr float kDecal_Height = 125.0f;
constexpr float kBlast_Reach = 150.0f;
constexpr float kNear_Ratio = 75.0f;
// Light-grey parts: body, fins, nose.
constexpr CColor4 kPart_Colors[3] = {{0.85f, 0.85f, 0.87f, 1.0f}, {0.75f, 0.76f, 0.8f, 1.0f}, {0.9f, 0.9f, 0.9f, 1.0f}};

bool Fail(CAmmo_Missile_0& missile, const char* message) {
  Show_Message("%s", message);
  missile.Term();
  return false;
}

}  // namespace

CObject_Pool* CAmmo_Missile_0::Pool() {
  static CObject_Pool_Of<CAmmo_Missile_0, kType> pool;
  if (g_Object_Pools[kType] != &pool) Register_Object_Pool(kType, &pool);
  return &pool;
}

bool CAmmo_Missile_0::Init() {
  for (int i = 0; i < kPart_Count; ++i)
    if (!(m_Far_Models[i] = Get_Model(kPart_Ids[i])))
      return Fail(*this, "Error in CAmmo_Missile_0\nUnable to create renderable object...");
  for (int i = 0; i < kPart_Count; ++i)
    if (!(m_Near_Models[i] = Get_Model(kPart_Ids[i])))
      return Fail(*this, "Error in CAmmo_Missile_0\nUnable to create renderable object...");
  for (int i = 0; i < 3; ++i)
    if (!(m_Textures[i] = Get_Texture(kPart_Texture_Ids[i])))
      return Fail(*this, "Error in CAmmo_Missile_0\nUnable to load texture...");
  for (int i = 0; i < 4; ++i)
    if (!(m_Styles[i] = Get_Style(kPart_Style_Ids[i])))
      return Fail(*this, "Error in CAmmo_Missile_0\nUnable to load shader...");
  if (!(m_Styles[kGlow_Style] = Get_Style(kGlow_Style_Id))) return Fail(*this, "Error in CMissile\nUnable to load shader...");
  for (int i = 0; i < 2; ++i)
    if (!(m_Textures[3 + i] = Get_Texture(kFlame_Texture_Ids[i])))
      return Fail(*this, "Error in CMissile\nUnable to load texture...");
  for (int i = 0; i < kPart_Count; ++i) {
    m_Part_Colors[i] = kPart_Colors[i];
    m_Packed_Colors[i] = Pack_Color_ARGB(kPart_Colors[i]);
  }
  m_Loaded = 1;
  return true;
}

void CAmmo_Missile_0::Term() {
  for (CRenderableObject*& model : m_Far_Models) Release(model);
  for (CRenderableObject*& model : m_Near_Models) Release(model);
  for (CTextureData*& texture : m_Textures) Release(texture);
  for (CD3DRenderStyle*& style : m_Styles) Release(style);
  m_Loaded = 0;
  m_Live = 0;
}

bool CAmmo_Missile_0::Spawn(const CVector3& start, int variant) {
  m_Variant = variant;
  Setup_Object(kType, 100.0f, 100.0f, kState_Flags, kKind_Shot);
  if (!Setup_Sphere_Body(50.0f, kRadius, 0.15f)) return false;
  m_Sphere.hit_flag = 1;
  m_Sphere.floor_contact_flag = 1;
  Set_Position(start);
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Sphere.velocity = CVector3{0.0f, 0.0f, 0.0f};
  m_Sphere.spin = CVector3{0.0f, 0.0f, 0.0f};
  m_Launched = 0;
  m_Flight_Time = 0.0f;
  m_Struck_Count = 0;
  m_Life = kLife;
  m_Trail.Setup(start, 0xFFFFFF88, 2.0f, 7.0f);
  m_Seeker.Start(this);
  m_Live = 1;
  return true;
}

void CAmmo_Missile_0::Launch(CWorld_Object* target) {
  m_Launched = 1;
  m_Flight_Time = 0.0f;
  Play_Sound_3D(kLaunch_Sound, m_Position, 0.15f);
  if (target) {
    if (m_Seeker.m_Link_Chain) g_Target_Link_Pool.Remove_Link(m_Seeker.m_Link_Chain);
    g_Target_Link_Pool.Add_Link(target, &m_Seeker);
  }
  Launch_Smoke();
}

void CAmmo_Missile_0::Launch_Smoke() {
  const CVector3 &side = m_Orientation.rows[0], &up = m_Orientation.rows[1], &forward = m_Orientation.rows[2];
  // Every term takes its own draw, in the order written, so the puffs fill a cone behind the
  // missile rather than one line.
  for (int i = 0; i < 20; ++i) {
    const float along = -100.0f - 25.0f * Random01();
    const float lift = 31.0f * Random01() - 15.5f;
    const float aside = 31.0f * Random01() - 15.5f;
    const CVector3 velocity = Add(Add(Mul(forward, along), Mul(up, lift)), Mul(side, aside));
    const float behind = 100.0f * (1.0f + Random01());
    const CVector3 position = Add(Add(m_Position, Mul(forward, behind)), Mul(velocity, 0.15f));
    const float life = 4.0f * (1.0f + Random01());
    const float gravity = 0.03f * Random01();
    if (!g_Particle_Basic_Mgr.Add_Particle(position, velocity, 15.0f, life, 0x88333333, gravity, 0)) break;
  }
}

void CAmmo_Missile_0::Release_Attachments() {
  m_Seeker.Clear();
  CWorld_Object::Release_Attachments();
}

void CAmmo_Missile_0::Update(const float& dt) {
  if (m_Launched) {
    const float k = std::min(2.0f * dt, 0.1f);
    m_Sphere.velocity = Sub(m_Sphere.velocity, Mul(m_Sphere.velocity, k));
    if (Length(m_Sphere.velocity) < kCruise_Speed)
      m_Sphere.velocity = Add(m_Sphere.velocity, Mul(m_Orientation.rows[2], kThrust * dt));
    Collide_Sphere_World(m_Motion);
    Integrate_Sphere(m_Motion, dt);
    if (m_Flight_Time <= kWorld_Free_Time && m_Flight_Time + dt > kWorld_Free_Time)
      m_State_Flags &= ~uint32_t(kState_No_Object_Collision | kState_No_World_Contact);
    m_Flight_Time += dt;
    m_Life -= dt;
    if (m_Life < 0.0f) {
      if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
      m_Life = 0.0f;
    }
  }
  m_Seeker.Update(&m_Motion, dt);
  if (m_Kill_Timer == 0.0f && !(m_Value1 > 0.0f)) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer > 0.0f) m_Kill_Timer += 0.1f * dt;
}

bool CAmmo_Missile_0::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  (void)other;
  (void)shot;
  if (m_Kill_Timer < 1.0f) Explode();
  return true;
}

void CAmmo_Missile_0::On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) {
  (void)strength;
  (void)contact;
  (void)normal;
  if (m_Kill_Timer < 1.0f) Explode();
}

void CAmmo_Missile_0::Explode() {
  m_Kill_Timer = 1.0f;
  const CVector3 &side = m_Orientation.rows[0], &up = m_Orientation.rows[1], &forward = m_Orientation.rows[2];
  const CVector3 blast = Add(m_Position, Mul(forward, 1.5f * kRadius));
  const float ground = g_World.Has_Terrain() ? g_World.Get_Height(blast.x, blast.z) : 0.0f;
  if (blast.y - ground < kDecal_Height) Place_World_Decal(1, blast, 55.0f * g_Player.m_Factor2, 3.0f, 0xFFFFFFFF);
  CWorld_Query query;
  g_World.Query_Radius(m_Position, kBlast_Reach * g_Player.m_Factor2, query);
  for (int i = 0; i < query.count; ++i) {
    CWorld_Object* object = query.objects[i];
    if (object == this) continue;
    if ((object->m_Kind_Flags & kCounted) && !(object->m_Kind_Flags & kNot_Counted)) ++m_Struck_Count;
    if (object->Body_Hit_Flag()) object->On_Hit(this, nullptr);
  }
  // Smoke and fire: each term its own draw, in the order written, so the smoke fills a ball and
  // the fire a disc across the missile's axis.
  for (int i = 0; i < 32; ++i) {
    const float along = 131.0f * Random01() - 65.5f;
    const float lift = 61.0f * Random01() - 30.5f;
    const float aside = 61.0f * Random01() - 30.5f;
    const CVector3 v = Add(Add(Mul(forward, along), Mul(up, lift)), Mul(side, aside));
    const float life = 2.0f + 3.0f * Random01();
    const float gravity = 0.05f * (1.0f + Random01());
    if (!g_Particle_Basic_Mgr.Add_Particle(Add(blast, Mul(v, 0.15f)), v, 45.0f, life, 0xEE000000, gravity, 0)) break;
  }
  for (int i = 0; i < 22; ++i) {
    const float lift = 150.0f * Random01() - 75.0f;
    const float aside = 150.0f * Random01() - 75.0f;
    const CVector3 v = Add(Mul(up, lift), Mul(side, aside));
    const float life = 0.25f + 11.75f * Random01();
    const float gravity = 0.1f + 0.4f * Random01();
    if (!g_Particle_Add_Mgr.Add_Particle(Add(blast, Mul(v, 0.15f)), v, 95.0f, life, 0xFFFF9933, gravity, 2)) break;
  }
  Play_Sound_3D(kBlast_Sound, m_Position, 0.35f);
}

CMatrix4x4 CAmmo_Missile_0::World_Matrix() const { return Scaled_Frame(m_Orientation, m_Position); }

void CAmmo_Missile_0::Draw_Parts(const CMatrix4x4& world, CRenderableObject* const* models,
                                 CD3DRenderStyle* const* styles, CTextureData* override_texture) {
  for (int i = 0; i < kPart_Count; ++i) {
    CTextureData* texture = override_texture ? override_texture : m_Textures[i];
    Draw_Model(models[i], world, styles[i], texture, nullptr, &m_Packed_Colors[i]);
  }
}

void CAmmo_Missile_0::Render(const float& step) {
  if (m_Kill_Timer > 0.95f) return;
  const float distance = Length(Sub(m_Position, g_Camera.Position()));
  CRenderableObject* const* models = distance / kRadius > kNear_Ratio ? m_Far_Models : m_Near_Models;
  Draw_Parts(World_Matrix(), models, m_Styles, nullptr);
  if (!m_Launched) return;
  const float a = std::clamp(1.0f - m_Kill_Timer, 0.0f, 1.0f);
  const CVector3 head = Sub(m_Position, Mul(m_Orientation.rows[2], 110.0f));
  m_Trail.Update(step, head);
  m_Trail.Render(head, a * a);
  Render_Flame();
}

void CAmmo_Missile_0::Render_Flame() {
  const CVector3& forward = m_Orientation.rows[2];
  const float r = Random01();
  const float glow = 15.0f + 5.0f * r;
  Draw_Billboard(Sub(m_Position, Mul(forward, 70.0f)), glow, glow, 0xFFFFCC66, m_Styles[kGlow_Style],
                 m_Textures[kFlame_Texture]);
  const float length = 100.0f + 50.0f * Random01(), width = 35.0f + 15.0f * Random01();
  // The flame stands out behind the missile: from 62 units back, along the backward axis.
  const CVector3 start = Sub(m_Position, Mul(forward, 62.0f));
  Draw_Axis_Quads(start, m_Orientation.rows[1], m_Orientation.rows[0], Mul(forward, -1.0f), 3, width, length,
                  0x44FFCC22, m_Styles[kGlow_Style], m_Textures[kFlame_Glow_Texture]);
}

void CAmmo_Missile_0::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Kill_Timer > 0.95f) return;
  CMatrix4x4 world;
  World_Matrix().Multiply(mirror.transform, world);
  CD3DRenderStyle* const reflection[kPart_Count] = {m_Styles[kReflection_Style], m_Styles[kReflection_Style],
                                                    m_Styles[kReflection_Style]};
  Draw_Parts(world, m_Near_Models, reflection, nullptr);
}

void CAmmo_Missile_0::Render_With_Shader(void* style, void* texture) {
  if (m_Kill_Timer > 0.95f) return;
  CD3DRenderStyle* const given[kPart_Count] = {static_cast<CD3DRenderStyle*>(style),
                                               static_cast<CD3DRenderStyle*>(style),
                                               static_cast<CD3DRenderStyle*>(style)};
  Draw_Parts(World_Matrix(), m_Near_Models, given, static_cast<CTextureData*>(texture));
}
