#include "game/targets/CTarget_Star.h"

#include "game/core/CObject_Pool.h"
#include "game/fx/CShadowProjector.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr Growing_Box_Rules kStar_Rules{CTarget_Star::kType, 50.0f, 0.45f, 0x34, 0.5f, 0.35f, true, true};

// Full half sizes by variant, largest first; other variants stay tiny.
constexpr CVector3 kStar_Sizes[4] = {{85.0f, 20.0f, 85.0f}, {75.0f, 14.0f, 75.0f}, {55.0f, 12.0f, 55.0f},
                                     {45.0f, 10.0f, 45.0f}};

}  // namespace

CTarget_Star::CTarget_Star() : CGrowing_Box_Target(kStar_Rules) {}

CObject_Pool* CTarget_Star::Pool() {
  static CObject_Pool_Of<CTarget_Star, kType> pool;
  return &pool;
}

bool CTarget_Star::Init() {
  using R = targets::Resource;
  if (!targets::Load_Resources("CTarget_Star",
                               {R::Renderable(0x220000AF, m_Model), R::Texture(0x2200003B, m_Texture),
                                R::Style(0x2200003C, m_Style, targets::kNo_Texture),
                                R::Style(0x22000020, m_Mirror_Style)})) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

bool CTarget_Star::Spawn(const int32_t& variant) {
  m_Full_Half_Size = variant >= 0 && variant < 4 ? kStar_Sizes[variant] : CVector3{1.0f, 1.0f, 1.0f};
  return CGrowing_Box_Target::Spawn(variant);
}

CColor4 CTarget_Star::Get_Color() const {
  return m_Hit_Count > 0 ? targets::kHit_Color : targets::Get_Variant_Color(m_Variant);
}

void CTarget_Star::Burst(uint32_t packed_colour) {
  targets::Sparkle_Burst burst;
  burst.count = 25;
  burst.size_base = 45.0f;
  burst.size_range = 50.0f;
  targets::Emit_Sparkle_Burst(*this, packed_colour, burst);
}

CMatrix4x4 CTarget_Star::Star_Matrix() const {
  const CVector3& h = m_Box.half_size;
  return targets::World_Matrix(*this, CVector3{h.x * 0.1f, h.y * 0.2f, h.z * 0.1f});
}

void CTarget_Star::Render(const float& step) {
  (void)step;
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, Star_Matrix(), m_Style, m_Texture, &colour, true);
  CShadowProjector::Cast_Shadow(1, m_Position, 0.75f * m_Collision_Radius, 0.45f);
}

void CTarget_Star::Render_Reflection(const CWorld_Mirror& mirror) {
  const CColor4 colour = Get_Color();
  targets::Draw(m_Model, targets::Mirrored(Star_Matrix(), mirror), m_Mirror_Style, m_Texture, &colour, true);
}

void CTarget_Star::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Model, Star_Matrix(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, true);
}
