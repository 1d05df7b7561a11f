#include "game/targets/CTarget_Roller.h"

#include "game/core/CObject_Pool.h"
#include "game/fx/CShadowProjector.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr Rolling_Ball_Rules kRoller_Rules{CTarget_Roller::kType, 10.0f, 45.0f, 0.05f, 20.0f, 3.5f, true};

}  // namespace

CTarget_Roller::CTarget_Roller() : CRolling_Ball_Target(kRoller_Rules) {}

CObject_Pool* CTarget_Roller::Pool() {
  static CObject_Pool_Of<CTarget_Roller, kType> pool;
  return &pool;
}

bool CTarget_Roller::Init() {
  using R = targets::Resource;
  if (!targets::Load_Resources("CTarget_Roller",
                               {R::Renderable(0x220000B5, m_Model), R::Texture(0x2200003B, m_Texture),
                                R::Style(0x2200003C, m_Style, targets::kNo_Texture),
                                R::Style(0x22000020, m_Mirror_Style)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

// Directions 0 and 1 roll along +x and -x (spin about z), 2 and 3 along +z and -z (spin about x).
void CTarget_Roller::Drive() {
  CVector3& torque = m_Motion.torque;
  const CVector3& spin = m_Sphere.spin;
  switch (m_Direction) {
    case 0: Drive_Axis(torque.z, spin.z, -10.0f); break;
    case 1: Drive_Axis(torque.z, spin.z, 10.0f); break;
    case 2: Drive_Axis(torque.x, spin.x, 15.0f); break;
    case 3: Drive_Axis(torque.x, spin.x, -15.0f); break;
    default: break;
  }
}

void CTarget_Roller::Render(const float& step) {
  (void)step;
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, Ball_Matrix(), m_Style, m_Texture, &colour, m_Kill_Timer > 0.0f);
  CShadowProjector::Cast_Sphere_Shadow(*this, 0.003f);
}

void CTarget_Roller::Render_Reflection(const CWorld_Mirror& mirror) {
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, targets::Mirrored(Ball_Matrix(), mirror), m_Mirror_Style, m_Texture, &colour,
                m_Kill_Timer > 0.0f);
}

void CTarget_Roller::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Model, Ball_Matrix(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, m_Kill_Timer > 0.0f);
}
