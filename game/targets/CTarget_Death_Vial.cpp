#include "game/targets/CTarget_Death_Vial.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/Target_Shared.h"

namespace {

const CVector3 kFull_Half{33.0f, 47.0f, 33.0f};
constexpr int kFlash_Kind = 11;
constexpr int kShake_Kind = 13;
constexpr int kGround_Flash_Kind = 14;

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

}  // namespace

CObject_Pool* CTarget_Death_Vial::Pool() {
  static CObject_Pool_Of<CTarget_Death_Vial, kType> pool;
  return &pool;
}

bool CTarget_Death_Vial::Init() {
  if (!targets::Load_Resources("CTarget_Death_Vial",
                               {targets::Resource::Renderable(0x220000A3, m_Renderables[0]),
                                targets::Resource::Renderable(0x220000A4, m_Renderables[1]),
                                targets::Resource::Texture(0x22000025, m_Textures[0]),
                                targets::Resource::Texture(0x2200001D, m_Textures[1]),
                                targets::Resource::Style(0x220000A2, m_Styles[0], targets::kNo_Texture),
                                targets::Resource::Style(0x2200001E, m_Styles[1], targets::kNo_Texture),
                                targets::Resource::Style(0x22000020, m_Mirror_Style)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CTarget_Death_Vial::Term() {
  targets::Release_Handles(m_Renderables, m_Textures, m_Styles);
  fx::Release(m_Mirror_Style);
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Death_Vial::Spawn(const int32_t* colour) {
  (void)colour;
  m_Spawned = false;
  m_Half_Size = kFull_Half;
  Setup_Object(kType, 100.0f, 100.0f, 0x34, kKind_Counted_Target);
  if (!Setup_Box_Body(65.0f, m_Half_Size, 0.25f)) return false;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  m_Life = 30.0f;
  m_Age = 0.0f;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Spawned = true;
  return true;
}

void CTarget_Death_Vial::Update(const float& dt) {
  CVector3 lift;
  g_World.m_Gravity.Scale(-0.25f, lift);
  m_Motion.acceleration.Add_Assign(lift);
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  m_Life -= dt;
  if (m_Life < 0.0f) {
    if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.0001f;
    m_Life = 0.0f;
  }
  if (m_Age < 0.5f && m_Age + dt >= 0.5f) m_State_Flags &= ~(kState_No_Object_Collision | kState_No_World_Contact);
  m_Age += dt;
  if (m_Kill_Timer != 0.0f) {
    const float c = std::clamp(1.0f - m_Kill_Timer, 0.001f, 1.0f);
    Set_Box_Extents(CVector3{kFull_Half.x * c, kFull_Half.y * c, kFull_Half.z * c});
    m_Kill_Timer += 0.25f * dt;
  }
}

void CTarget_Death_Vial::Burst_Sparkles() {
  const CVector3 velocity = m_Box.velocity;
  const CMatrix3x3& axes = m_Orientation;
  for (int i = 0; i < 35; ++i) {
    const float s = (1.0f + fx::Random_Unit()) * 0.025f;
    const float a = fx::Random_Unit() * 100.0f - 50.0f;
    const float b = fx::Random_Unit() * 100.0f - 50.0f;
    const float c = fx::Random_Unit() * 100.0f - 50.0f;
    CVector3 offset;
    velocity.Scale(s, offset);
    offset.x += axes.rows[0].x * a + axes.rows[1].x * b + axes.rows[2].x * c;
    offset.y += axes.rows[0].y * a + axes.rows[1].y * b + axes.rows[2].y * c;
    offset.z += axes.rows[0].z * a + axes.rows[1].z * b + axes.rows[2].z * c;
    CVector3 at;
    offset.Scale(1.25f, at);
    at.Add_Assign(m_Position);
    const float size = 75.0f + fx::Random_Unit() * 80.0f;
    const float life = 0.15f + fx::Random_Unit() * 1.85f;
    const float gravity = 0.1f + fx::Random_Unit() * 0.15f;
    if (!g_Particle_Sparkle_Mgr.Add_Particle(at, offset, size, life, kSparkle_Colour, gravity, 2)) break;
  }
}

bool CTarget_Death_Vial::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  (void)shot;
  if (m_Age < kGuard_Age) return false;
  if (m_Kill_Timer != 0.0f) return true;
  if (other && (other->m_Kind_Flags & kKind_Shot)) {
    const uint32_t tag = 0;
    g_Sim_Stats.Register_Hit(this, other, nullptr, tag);
  }
  m_Kind_Flags |= kKind_Excluded;
  Burst_Sparkles();
  // The flash's slots are alpha, red, green, blue: a faint blue flash.
  g_Screen_FX_Mgr.Add_Effect(kFlash_Kind, 0.75f, CColor4{0.1f, 0.25f, 0.2f, 0.8f}, CColor4::Zero, 0.0f, 0.0f);
  Play_Sound_3D(kHit_Sound, m_Position, 1.0f);
  m_Kill_Timer = 0.01f;
  return true;
}

// A vial that shatters on the ground (not at a boundary wall, and not once it is dying: a vial
// shot in the air has already been counted) costs the player the points staged on the board.
void CTarget_Death_Vial::On_Floor_Contact(const CVector3& normal) {
  if (targets::Is_Boundary_Wall(normal) || m_Kill_Timer != 0.0f) return;
  m_Kill_Timer = 0.01f;
  g_Score_Board_Mgr.Flush_Staged_Points();
  // A long green flash: red 0.5, green 1.0, blue 0.4 at alpha 0.7, in the flash's slot order
  // (alpha, red, green, blue).
  g_Screen_FX_Mgr.Add_Effect(kFlash_Kind, 3.0f, CColor4{0.7f, 0.5f, 1.0f, 0.4f}, CColor4::Zero, 0.0f, 0.0f);
  g_Screen_FX_Mgr.Add_Effect_2(kShake_Kind, 4.0f, 0.35f);
  const float ground = g_World.Has_Terrain() ? g_World.Get_Height(m_Position.x, m_Position.z) : 0.0f;
  const CVector3 below{m_Position.x, ground, m_Position.z};
  g_Screen_FX_Mgr.Add_Effect_3(kGround_Flash_Kind, 4.0f, below, CVector3{0.3f, 0.3f, 1.0f}, 1.0f, 1.0f);
  Play_Sound_3D(kShatter_Sound, m_Position, 1.0f);
}

CMatrix4x4 CTarget_Death_Vial::World() const {
  const float c = m_Kill_Timer != 0.0f ? Clamp01(1.0f - m_Kill_Timer) : 1.0f;
  return targets::World_Matrix(*this, CVector3{c, c, c});
}

void CTarget_Death_Vial::Draw_Both(const CMatrix4x4& world, CD3DRenderStyle* glass_style, CD3DRenderStyle* cap_style,
                                   CTextureData* given_texture, bool own_texture) {
  const CColor4 glass{0x66 / 255.0f, 0x77 / 255.0f, 1.0f, 1.0f};
  targets::Draw(m_Renderables[0], world, glass_style, own_texture ? m_Textures[0] : given_texture,
                own_texture ? &glass : nullptr, false);
  targets::Draw(m_Renderables[1], world, cap_style, own_texture ? m_Textures[1] : given_texture, nullptr, true);
}

void CTarget_Death_Vial::Render(const float& step) {
  (void)step;
  if (!m_Spawned) return;
  Draw_Both(World(), m_Styles[0], m_Styles[1], nullptr, true);
  CShadowProjector::Cast_Box_Shadow(*this);
}

void CTarget_Death_Vial::Render_Reflection(const CWorld_Mirror& mirror) {
  if (!m_Spawned) return;
  Draw_Both(targets::Mirrored(World(), mirror), m_Mirror_Style, m_Mirror_Style, nullptr, true);
}

void CTarget_Death_Vial::Render_With_Shader(void* style, void* texture) {
  if (!m_Spawned) return;
  auto* given_style = static_cast<CD3DRenderStyle*>(style);
  Draw_Both(World(), given_style, given_style, static_cast<CTextureData*>(texture), false);
}
