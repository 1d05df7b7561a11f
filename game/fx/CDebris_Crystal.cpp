#include "game/fx/CDebris_Crystal.h"

#include "game/core/CWorld.h"
#include "game/fx/Debris_Rules.h"
#include "game/fx/FX_Resources.h"

namespace {
constexpr uint32_t kCrystal_Boss_Type = 68;
}  // namespace

bool CDebris_Crystal::Init() {
  const debris::Model_Ids ids{0x220000D6, 0x22000029, 0x220000D4};
  if (!debris::Load_Model("CDebris_Crystal", nullptr, ids, m_Model, m_Texture, m_Style, &m_Reflection_Style)) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CDebris_Crystal::Term() {
  fx::Release(m_Model);
  fx::Release(m_Texture);
  fx::Release(m_Style);
  fx::Release(m_Reflection_Style);
  m_Initialised = false;
}

void CDebris_Crystal::Spawn(float scale, const CColor4& tint) {
  Setup_Object(kType, 1.0f, 1.0f, kState_Reflected, 0);
  m_Scale = scale;
  m_Size_Factor = 1.0f;
  m_Tint[0] = tint.g, m_Tint[1] = tint.b, m_Tint[2] = tint.a, m_Tint[3] = tint.r;
  Setup_Box_Body(15.0f, CVector3{13.0f * scale, 13.0f * scale, 80.0f * scale}, 0.35f);
  m_Motion.Clear();
  Set_Position(CVector3{0, 0, 0});
  m_Orientation = CMatrix3x3::Identity;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  m_Alive = true;
}

void CDebris_Crystal::Update(const float& dt) {
  CVector3 lift;
  g_World.m_Gravity.Scale(-0.35f, lift);
  m_Motion.acceleration.Add_Assign(lift);
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  m_Size_Factor = debris::Dying_Scale(*this, dt, 0.5f, true);
  const float s = m_Scale * m_Size_Factor;
  Set_Box_Extents(CVector3{13.0f * s, 13.0f * s, 80.0f * s});
}

CMatrix4x4 CDebris_Crystal::World() const {
  const float s = m_Scale * m_Size_Factor;
  return debris::World_Matrix(*this, CVector3{s, s, s});
}

void CDebris_Crystal::Render(const float& step) {
  (void)step;
  debris::Draw(m_Model, World(), m_Style, m_Texture, m_Tint);
}

void CDebris_Crystal::Render_Reflection(const CWorld_Mirror& mirror) {
  debris::Draw(m_Model, debris::Mirrored(World(), mirror), m_Reflection_Style, m_Texture, m_Tint);
}

void CDebris_Crystal::Render_With_Shader(void* style, void* texture) {
  debris::Draw(m_Model, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture));
}

bool CDebris_Crystal::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  (void)shot;
  return !(other && other->m_Type == kCrystal_Boss_Type);
}

void CDebris_Crystal::On_Floor_Contact(const CVector3& normal) {
  (void)normal;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
}
