#include "game/enemies/CEmmo_Discus_1.h"

#include "game/core/CCamera.h"
#include "game/core/CObject_Pool.h"
#include "game/enemies/Emmo_Shared.h"
#include "game/targets/Target_Shared.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"

using namespace emmo;

namespace {

constexpr uint32_t kDisc = 0x22000150;
constexpr uint32_t kCore = 0x22000151;
constexpr uint32_t kDisc_Texture = 0x22000029;
constexpr uint32_t kCore_Texture = 0x2200001D;
constexpr uint32_t kDisc_Style = 0x220000CA;
constexpr uint32_t kCore_Style = 0x2200003C;
constexpr uint32_t kGlow_Style = 0x22000149;
const CVector3 kHalf_Size{40.0f, 6.0f, 40.0f};
constexpr float kLife = 15.0f;
constexpr float kFade_Rate = 0.35f;
constexpr float kTurn_Rate = 3.5f;
constexpr float kWide_Aim = 155.0f;
constexpr uint32_t kBurst_Colour = 0xFFCCAA55;
constexpr float kGlow_Scale = 1.125f;
constexpr int kGlow_Copies = 5;
constexpr float kGlow_Alpha = 0.075f;

float R() { return static_cast<float>(plat::Random()) / 32768.0f; }
float Signed(float range) { return range * (2.0f * R() - 1.0f); }

}  // namespace

CObject_Pool* CEmmo_Discus_1::Pool() {
  static CObject_Pool_Of<CEmmo_Discus_1, kType> pool;
  return &pool;
}

bool CEmmo_Discus_1::Init() {
  using targets::Resource;
  return targets::Load_Resources("CEmmo_Discus_1",
                                 {Resource::Renderable(kDisc, m_Disc), Resource::Renderable(kCore, m_Core),
                                  Resource::Texture(kDisc_Texture, m_Disc_Texture),
                                  Resource::Texture(kCore_Texture, m_Core_Texture),
                                  Resource::Style(kDisc_Style, m_Disc_Style, targets::kNo_Texture),
                                  Resource::Style(kCore_Style, m_Core_Style, targets::kNo_Texture),
                                  Resource::Style(kGlow_Style, m_Glow_Style, targets::kNo_Texture),
                                  Resource::Style(kReflection_Style, m_Mirror_Style)});
}

void CEmmo_Discus_1::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kDisc, m_Disc), Resource::Renderable(kCore, m_Core),
                              Resource::Texture(kDisc_Texture, m_Disc_Texture),
                              Resource::Texture(kCore_Texture, m_Core_Texture),
                              Resource::Style(kDisc_Style, m_Disc_Style), Resource::Style(kCore_Style, m_Core_Style),
                              Resource::Style(kGlow_Style, m_Glow_Style),
                              Resource::Style(kReflection_Style, m_Mirror_Style)});
}

bool CEmmo_Discus_1::Spawn(const int* variant, const CVector3* start) {
  Setup_Object(kType, 1.0f, 1.0f, 0x66, kKind_Ammo_Flags);
  if (!Setup_Box_Body(20.0f, kHalf_Size, 0.5f)) return false;
  m_Variant = variant ? *variant : 0;
  m_Hit_Player = false;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Box.hit_flag = 1;
  Set_Position(start ? *start : CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Box.velocity = CVector3{0.0f, -500.0f - 300.0f * R(), 0.0f};
  const float sx = Signed(5.0f), sy = Signed(5.0f), sz = Signed(5.0f);
  m_Box.spin = CVector3{sx, sy, sz};
  const CVector3& eye = g_Camera.Position();
  const float ax = Signed(20.0f), ay = Signed(20.0f);
  m_Aim = CVector3{eye.x + ax, eye.y + ay, eye.z};
  const float wide = R();
  if (wide < 0.2f) {
    const float side = wide < 0.1f ? -kWide_Aim : kWide_Aim;
    const float wx = Signed(100.0f), wy = Signed(100.0f);
    m_Aim = CVector3{eye.x + side + wx, eye.y + wy, eye.z};
  }
  Play_Sound(kSound_Launch, m_Position, 0.45f);
  return true;
}

void CEmmo_Discus_1::Update(const float& dt) {
  if (m_Kill_Timer == 0.0f) {
    const CVector3 d = Unit_Towards(m_Position, m_Aim, 0.001f);
    const float k2 = g_Difficulty_Factor * g_Difficulty_Factor;
    Pull_Towards(m_Box.velocity, d, CVector3{900.0f * k2, 600.0f * k2, 600.0f * k2}, CVector3{0.75f, 0.55f, 0.55f},
                 dt);
    Turn_Towards(m_Orientation, m_Box.velocity, 0.0001f, kTurn_Rate * dt);
  }
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  if (Pass_Or_Strike(*this, Box_Radius(m_Box.half_size), 1.0f)) m_Hit_Player = true;
  m_Age += dt;
  if (Fade_Started(*this, m_Age, kLife)) Fade_Box(*this, kHalf_Size, kFade_Rate, dt);
}

bool CEmmo_Discus_1::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  if (Has_Kind(other, kKind_Emmo | kKind_Boss)) return false;
  if (m_Hit_Count == 0) {
    if (Is_Player_Shot(other)) Register_Hit(*this, other);
    Play_Sound(kSound_Broken, m_Position);
    if (other || shot) Hit_Burst(*this, m_Box.velocity, kBurst_Colour, kLong_Burst);
    m_Kind_Flags |= kKind_Spent;
  }
  ++m_Hit_Count;
  m_State_Flags &= ~(kState_No_World_Contact | kState_No_Gravity);
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.001f;
  return true;
}

CMatrix4x4 CEmmo_Discus_1::World() const { return Shrunk_Box_World(*this, kHalf_Size); }

void CEmmo_Discus_1::Render(const float& step) {
  (void)step;
  if (m_Hit_Player) return;
  const CMatrix4x4 world = World();
  const CColor4 colour = Variant_Color(m_Variant, m_Hit_Count != 0);
  const bool fading = m_Kill_Timer != 0.0f;
  if (fading) Normalize_Normals(true);
  Draw(m_Disc, world, m_Disc_Style, m_Disc_Texture);
  Draw(m_Core, world, m_Core_Style, m_Core_Texture, nullptr, &colour);
  if (fading) Normalize_Normals(false);
  CMatrix4x4 step_matrix, first;
  step_matrix.Scaling(kGlow_Scale, kGlow_Scale, kGlow_Scale);
  step_matrix.Multiply(world, first);
  Draw_Glow(m_Core, first, step_matrix, kGlow_Copies, kGlow_Alpha * Alpha_Factor(m_Kill_Timer), colour, m_Glow_Style);
}

void CEmmo_Discus_1::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Hit_Player) return;
  const CMatrix4x4 world = Mirrored(World(), mirror);
  const CColor4 colour = Variant_Color(m_Variant, m_Hit_Count != 0);
  Draw(m_Disc, world, m_Mirror_Style, m_Disc_Texture);
  Draw(m_Core, world, m_Mirror_Style, m_Core_Texture, nullptr, &colour);
}

void CEmmo_Discus_1::Render_With_Shader(void* style, void* texture) {
  if (m_Hit_Player) return;
  Draw(m_Disc, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), m_Disc_Texture);
}
