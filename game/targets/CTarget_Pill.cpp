#include "game/targets/CTarget_Pill.h"

#include "game/core/CObject_Pool.h"
#include "game/fx/CShadowProjector.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr Growing_Box_Rules kPill_Rules{CTarget_Pill::kType, 35.0f, 0.5f, 0xF4, 0.85f, 0.35f, false, true};

}  // namespace

CTarget_Pill::CTarget_Pill() : CGrowing_Box_Target(kPill_Rules) {}

CObject_Pool* CTarget_Pill::Pool() {
  static CObject_Pool_Of<CTarget_Pill, kType> pool;
  return &pool;
}

bool CTarget_Pill::Init() {
  using R = targets::Resource;
  if (!targets::Load_Resources("CTarget_Pill", {R::Renderable(0x220000A5, m_Model), R::Texture(0x22000025, m_Texture),
                                                R::Style(0x220000C2, m_Style)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

CColor4 CTarget_Pill::Get_Color() const {
  return m_Hit_Count > 0 ? targets::kHit_Color : targets::Get_Variant_Color(m_Variant);
}

void CTarget_Pill::Burst(uint32_t packed_colour) {
  targets::Sparkle_Burst burst;
  burst.count = 25;
  burst.size_base = 45.0f;
  burst.size_range = 50.0f;
  targets::Emit_Sparkle_Burst(*this, packed_colour, burst);
}

void CTarget_Pill::Render(const float& step) {
  (void)step;
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, Growth_Matrix(), m_Style, m_Texture, &colour, m_Growth != 1.0f);
  CShadowProjector::Cast_Shadow(1, m_Position, 0.75f * m_Collision_Radius, 0.45f);
}

void CTarget_Pill::Render_Reflection(const CWorld_Mirror& mirror) {
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, targets::Mirrored(Growth_Matrix(), mirror), m_Style, m_Texture, &colour,
                m_Growth != 1.0f);
}

void CTarget_Pill::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Model, Growth_Matrix(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, m_Growth != 1.0f);
}
