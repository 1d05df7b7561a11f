#include "game/targets/CEjector_Box.h"

#include <algorithm>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/sim/CSim_Stats.h"
#include "game/targets/CTarget_Box.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr uint32_t kRenderable_Id = 0x22000042;
constexpr uint32_t kTexture_Ids[CEjector_Box::kVariants] = {0x22000044, 0x2200002a, 0x2200002a, 0x22000029};
constexpr uint32_t kStyle_Id = 0x22000043;
constexpr uint32_t kMirror_Style_Id = 0x22000020;
constexpr float kRise_Speed = 4.0f;
constexpr float kLaunch_Gap = 0.5f;
constexpr float kShot_Speed = 450.0f;
constexpr float kMuzzle = 0.85f;
constexpr float kBox_Share = 0.825f;

const CEjector_Box::Size_Row kSizes[CEjector_Box::kVariants] = {
    {{50.0f, 50.0f, 175.0f}, {50.0f * kBox_Share, 50.0f * kBox_Share, 5.0f}, {0.0f, 0.0f, 2.5f}, true},
    {{35.0f, 38.0f, 175.0f}, {35.0f * kBox_Share, 38.0f * kBox_Share, 5.0f}, {5.0f, 0.0f, 0.0f}, false},
    {{35.0f, 30.0f, 175.0f}, {35.0f * kBox_Share, 30.0f * kBox_Share, 5.0f}, {5.0f, 0.0f, 0.0f}, false},
    {{20.0f, 20.0f, 175.0f}, {20.0f * kBox_Share, 20.0f * kBox_Share, 5.0f}, {5.0f, 0.0f, 2.0f}, false},
};

}  // namespace

const CEjector_Box::Size_Row& CEjector_Box::Size_Of(uint32_t variant) {
  return kSizes[variant < static_cast<uint32_t>(kVariants) ? variant : 0];
}

CObject_Pool* CEjector_Box::Pool() {
  static CObject_Pool_Of<CEjector_Box, kType> pool;
  return &pool;
}

bool CEjector_Box::Init() {
  using targets::Resource;
  Initialised = targets::Load_Resources(
      "CEjector_Box",
      {Resource::Renderable(kRenderable_Id, m_Renderable), Resource::Texture(kTexture_Ids[0], m_Textures[0]),
       Resource::Texture(kTexture_Ids[1], m_Textures[1]), Resource::Texture(kTexture_Ids[2], m_Textures[2]),
       Resource::Texture(kTexture_Ids[3], m_Textures[3]), Resource::Style(kStyle_Id, m_Styles[0]),
       Resource::Style(kStyle_Id, m_Styles[1]), Resource::Style(kStyle_Id, m_Styles[2]),
       Resource::Style(kStyle_Id, m_Styles[3]), Resource::Style(kMirror_Style_Id, m_Mirror_Style)});
  if (!Initialised) Term();
  return Initialised;
}

void CEjector_Box::Term() {
  using targets::Resource;
  targets::Release_Resources(
      {Resource::Renderable(kRenderable_Id, m_Renderable), Resource::Texture(kTexture_Ids[0], m_Textures[0]),
       Resource::Texture(kTexture_Ids[1], m_Textures[1]), Resource::Texture(kTexture_Ids[2], m_Textures[2]),
       Resource::Texture(kTexture_Ids[3], m_Textures[3]), Resource::Style(kStyle_Id, m_Styles[0]),
       Resource::Style(kStyle_Id, m_Styles[1]), Resource::Style(kStyle_Id, m_Styles[2]),
       Resource::Style(kStyle_Id, m_Styles[3]), Resource::Style(kMirror_Style_Id, m_Mirror_Style)});
  Initialised = false;
  Active = false;
}

void CEjector_Box::Spawn(const uint32_t& variant, const CVector3& position) {
  Active = false;
  Colour_Variant = variant < static_cast<uint32_t>(kVariants) ? variant : 0;
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x04, 0x04, Size_Of(Colour_Variant).body)) return;
  Launch_Requested = false;
  Age = 0.0f;
  Launch_Clock = 0.0f;
  m_Rise = 0.0f;
  Base_Position = position;
  Set_Position(position);
  m_Orientation = CMatrix3x3::Identity;
  Active = true;
}

void CEjector_Box::Launch() {
  const Size_Row& row = Size_Of(Colour_Variant);
  const CVector3& axis = m_Orientation.rows[2];
  const CVector3 at = ejectors::Raised_Position(m_Position, axis, kMuzzle * m_Fixed.half_size.z);
  CVector3 velocity;
  axis.Scale(kShot_Speed, velocity);
  CMatrix3x3 turn = m_Orientation;
  if (row.quarter_turn)
    for (CVector3& r : turn.rows) r.Set(r.x, -r.z, r.y);
  CObject_Pool* pool = CTarget_Box::Pool();
  auto* box = static_cast<CTarget_Box*>(pool->Alloc_Object());
  if (!box) return;
  const int32_t colour = static_cast<int32_t>(Colour_Variant);
  const int32_t flags = 0;
  if (!box->Spawn(colour, flags, row.box_half_size)) {
    ejectors::Give_Back_Unspawned(box);
    return;
  }
  g_World.Add_Object(2, box);
  box->m_Orientation = turn;
  box->Set_Position(at);
  box->m_Box.velocity = velocity;
  box->m_Box.spin = row.spin;
  g_Sim_Stats.Record_Launch(box);
  CColor4 colour_of_box;
  ejectors::Emit_Launch_Puff(at, velocity, Pack_Color_ARGB(box->Get_Color(colour_of_box)));
  Launch_Clock = 0.0f;
}

void CEjector_Box::Update(const float& dt) {
  const CVector3& axis = m_Orientation.rows[2];
  const float length = m_Fixed.half_size.z;
  if (Age <= 0.25f || m_Kill_Timer != 0.0f) {
    m_Rise = ejectors::Next_Rise(m_Rise, m_Kill_Timer, Age, kRise_Speed);
    Set_Position(ejectors::Raised_Position(Base_Position, axis, m_Rise * length));
  } else if (Launch_Clock >= kLaunch_Gap) {
    if (Launch_Requested) {
      Launch();
      Launch_Requested = false;
    }
  } else {
    const float b = std::clamp(2.0f * Launch_Clock, 0.0f, 1.0f);
    m_Rise = 1.0f;
    Set_Position(ejectors::Raised_Position(Base_Position, axis, (1.0f - 0.3f * (1.0f - b)) * length));
  }
  Age += dt;
  Launch_Clock += dt;
  ejectors::Death_Step(*this, dt, ejectors::kDeath_Rate);
}

CMatrix4x4 CEjector_Box::World() const {
  const CVector3& size = m_Fixed.half_size;
  return ejectors::Scaled_World(*this, CVector3{0.0415f * size.x, 0.0415f * size.y, 0.01f * size.z});
}

void CEjector_Box::Render(const float& step) {
  (void)step;
  const uint32_t v = Colour_Variant < static_cast<uint32_t>(kVariants) ? Colour_Variant : 0;
  targets::Draw(m_Renderable, World(), m_Styles[v], m_Textures[v], nullptr, true);
}

void CEjector_Box::Render_Reflection(const CWorld_Mirror& mirror) {
  const uint32_t v = Colour_Variant < static_cast<uint32_t>(kVariants) ? Colour_Variant : 0;
  targets::Draw(m_Renderable, targets::Mirrored(World(), mirror), m_Mirror_Style, m_Textures[v], nullptr, true);
}

void CEjector_Box::Render_With_Shader(void* style, void* texture) {
  const uint32_t v = Colour_Variant < static_cast<uint32_t>(kVariants) ? Colour_Variant : 0;
  targets::Draw_Shader_Pass(m_Renderable, World(), static_cast<CD3DRenderStyle*>(style),
                            static_cast<CTextureData*>(texture), m_Textures[v], true);
}
