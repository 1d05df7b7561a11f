#include "game/targets/CEjector_Brick.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CShadowProjector.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CTarget_Brick.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr uint32_t kRenderable_Ids[2] = {0x220000b7, 0x220000c1};
constexpr uint32_t kTexture_Id = 0x22000029;
constexpr uint32_t kStyle_Id = 0x22000043;
constexpr uint32_t kMirror_Style_Id = 0x220000ae;
const CVector3 kSize{20.0f, 50.0f, 10.0f};
constexpr float kRise_Speed = 2.0f;
constexpr float kPlace_Gap = 55.0f;

const CVector3 kKind_Rows[CEjector_Brick::kOrientation_Kinds][3] = {
    {{0.0f, 1.0f, 0.0f}, {-1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 1.0f}},
    {{0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, -1.0f}},
    {{-1.0f, 0.0f, 0.0f}, {0.0f, -1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}},
};

}  // namespace

CMatrix3x3 CEjector_Brick::Brick_Orientation(uint32_t kind) {
  const CVector3* rows = kKind_Rows[kind < kOrientation_Kinds ? kind : 0];
  CMatrix3x3 m;
  m.Set_Rows(rows[0], rows[1], rows[2]);
  return m;
}

CObject_Pool* CEjector_Brick::Pool() {
  static CObject_Pool_Of<CEjector_Brick, kType> pool;
  return &pool;
}

bool CEjector_Brick::Init() {
  using targets::Resource;
  Initialised = targets::Load_Resources(
      "CEjector_Brick",
      {Resource::Renderable(kRenderable_Ids[0], m_Renderables[0]),
       Resource::Renderable(kRenderable_Ids[1], m_Renderables[1]), Resource::Texture(kTexture_Id, m_Texture),
       Resource::Style(kStyle_Id, m_Style), Resource::Style(kMirror_Style_Id, m_Mirror_Style)});
  if (!Initialised) Term();
  return Initialised;
}

void CEjector_Brick::Term() {
  using targets::Resource;
  targets::Release_Resources(
      {Resource::Renderable(kRenderable_Ids[0], m_Renderables[0]),
       Resource::Renderable(kRenderable_Ids[1], m_Renderables[1]), Resource::Texture(kTexture_Id, m_Texture),
       Resource::Style(kStyle_Id, m_Style), Resource::Style(kMirror_Style_Id, m_Mirror_Style)});
  Initialised = false;
  Active = false;
}

void CEjector_Brick::Spawn(const uint32_t& orientation_kind, const uint32_t& colour, const CVector3& position) {
  Active = false;
  Orientation_Kind = orientation_kind < kOrientation_Kinds ? orientation_kind : 0;
  Colour_Variant = colour;
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x04, 0x04, kSize)) return;
  Launch_Requested = false;
  Rise = 0.0f;
  Age = 0.0f;
  Set_Position(position);
  m_Orientation = CMatrix3x3::Identity;
  Active = true;
}

void CEjector_Brick::Launch() {
  // One brick at a time: a live brick (or a piece riding the post) still holds a link to it.
  if (m_Link_Chain) return;
  const int32_t colour = ejectors::Launch_Colour_Variant(Colour_Variant);
  const CVector3 at = ejectors::Raised_Position(m_Position, m_Orientation.rows[0], m_Fixed.half_size.x + kPlace_Gap);
  CObject_Pool* pool = CTarget_Brick::Pool();
  auto* brick = static_cast<CTarget_Brick*>(pool->Alloc_Object());
  if (!brick) return;
  if (!brick->Spawn(colour, this)) {
    brick->Release_Attachments();
    ejectors::Give_Back_Unspawned(brick);
    return;
  }
  g_World.Add_Object(2, brick);
  brick->m_Orientation = Brick_Orientation(Orientation_Kind);
  brick->Set_Position(at);
  brick->m_Box.velocity.Set(0.0f, 0.0f, 0.0f);
  brick->m_Box.spin.Set(0.0f, 0.0f, 0.0f);
  g_Sim_Stats.Record_Launch(brick);
}

void CEjector_Brick::Update(const float& dt) {
  if (Rise != 1.0f || m_Kill_Timer != 0.0f) {
    Rise = ejectors::Next_Rise(Rise, m_Kill_Timer, Age, kRise_Speed);
  } else if (Launch_Requested) {
    Launch();
    Launch_Requested = false;
  }
  Age += dt;
  ejectors::Death_Step(*this, dt, ejectors::kDeath_Rate);
}

CMatrix4x4 CEjector_Brick::World() const {
  return ejectors::Scaled_World(*this, CVector3{Rise < 1.0f ? Rise : 1.0f, 1.0f, 1.0f});
}

void CEjector_Brick::Render(const float& step) {
  (void)step;
  const CMatrix4x4 world = World();
  targets::Draw(m_Renderables[0], world, m_Style, m_Texture, nullptr, Rise < 1.0f);
  if (Orientation_Kind == 2) targets::Draw(m_Renderables[1], world, m_Style, m_Texture, nullptr, Rise < 1.0f);
  if (m_Orientation.rows[0].y > 0.99f) CShadowProjector::Cast_Rect_Shadow(m_Position, m_Fixed.half_size.y, 6.0f, 0.6f);
}

void CEjector_Brick::Render_Reflection(const CWorld_Mirror& mirror) {
  targets::Draw(m_Renderables[0], targets::Mirrored(World(), mirror), m_Mirror_Style, m_Texture, nullptr, Rise < 1.0f);
}

void CEjector_Brick::Render_With_Shader(void* style, void* texture) {
  targets::Draw_Shader_Pass(m_Renderables[0], World(), static_cast<CD3DRenderStyle*>(style),
                            static_cast<CTextureData*>(texture), m_Texture, Rise < 1.0f);
}
