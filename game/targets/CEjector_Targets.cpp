#include "game/targets/CEjector_Targets.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/CTarget_Target.h"
#include "game/targets/Target_Shared.h"
#include "runtime/src/math/geometry.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

namespace {

constexpr float kTwo_Pi = 6.28318530718f;
constexpr float kRise_Speed = 2.0f;
constexpr float kDeath_Rate = 0.85f;
constexpr float kRing_Speed = 1.25f;
const CVector3 kSpot_Half{40.0f, 40.0f, 5.0f};

// The tower's own resources, in loading order.
enum : int { kTower, kRings };
enum : int { kTower_Texture, kRing_Texture };
enum : int { kTower_Style, kRing_Style, kFlash_Style, kMirror_Style };

}  // namespace

CObject_Pool* CEjector_Targets::Pool() {
  static CObject_Pool_Of<CEjector_Targets, kType> pool;
  return &pool;
}

bool CEjector_Targets::Init() {
  if (!targets::Load_Resources(
          "CEjector_Targets",
          {targets::Resource::Renderable(0x2200009A, m_Renderables[kTower]),
           targets::Resource::Renderable(0x2200009B, m_Renderables[kRings]),
           targets::Resource::Texture(0x2200002C, m_Textures[kTower_Texture]),
           targets::Resource::Texture(0x22000069, m_Textures[kRing_Texture]),
           targets::Resource::Style(0x22000061, m_Styles[kTower_Style]),
           targets::Resource::Style(0x22000050, m_Styles[kRing_Style]),
           targets::Resource::Style(0x22000031, m_Styles[kFlash_Style]),
           targets::Resource::Style(0x22000020, m_Styles[kMirror_Style])})) {
    Term();
    return false;
  }
  Initialised = true;
  return true;
}

void CEjector_Targets::Term() {
  targets::Release_Handles(m_Renderables, m_Textures, m_Styles);
  Initialised = false;
  Active = false;
}

void CEjector_Targets::Spawn(const int& value, const CVector3& position) {
  (void)value;
  Active = false;
  Queue_Count = 0;
  if (!ejectors::Setup_Fixed_Ejector(*this, kType, 0x24, 0x04, CVector3{kBody_X, kBody_Y, kBody_Z})) return;
  Height_Factor = 0.9f;
  Ring_Phase = 0.0f;
  Age = 0.0f;
  Base_Position = position;
  Set_Position(position);
  m_Orientation = CMatrix3x3::Identity;
  Active = true;
}

float CEjector_Targets::Spot_Height(float fraction) const {
  return 2.0f * m_Fixed.half_size.y * (fraction * Height_Factor - (Height_Factor - 0.5f));
}

CVector3 CEjector_Targets::Side_Offset(uint32_t side) const {
  CVector3 offset{0.0f, 0.0f, 0.0f};
  if (side == 0) m_Orientation.rows[0].Scale(kSide_Offset, offset);
  if (side == 1) m_Orientation.rows[0].Scale(-kSide_Offset, offset);
  return offset;
}

// Each board is tested where it stands once swung out (a board's position beside its tower
// already lies on its side, so no side offset is added), also while it is still swinging out,
// with its own half size.
// This departs on purpose from testing each board at its position plus its side's offset:
// a standing board already sits 82 out on its side, so adding the offset again tests a box
// 164 out, beyond any spot the search tries, and the search would never refuse a spot. The
// boards' poses this relies on are those of CTarget_Target::Folded_Position.
bool CEjector_Targets::Spot_Is_Free(const CVector3& spot) const {
  const CVector3* axes = m_Orientation.rows;
  for (int n = 0;; ++n) {
    const auto* board = static_cast<const CTarget_Target*>(g_World.Find_Object_By_Type(CTarget_Target::kType, n));
    if (!board) return true;
    if (BoxBoxOverlap(spot, axes[0], axes[1], axes[2], kSpot_Half, board->Standing_Position(), axes[0], axes[1],
                      axes[2], board->m_Fixed.half_size))
      return false;
  }
}

void CEjector_Targets::Queue_Launch() {
  const uint32_t side = fx::Random_Unit() * 1000.0f >= 500.0f ? 1u : 0u;
  for (int attempt = 0; attempt < kSpot_Tries; ++attempt) {
    const float fraction = fx::Random_Unit() * 0.6f + 0.35f;
    CVector3 spot{m_Position.x, m_Position.y + Spot_Height(fraction), m_Position.z};
    spot.Add_Assign(Side_Offset(side));
    if (!Spot_Is_Free(spot)) continue;
    if (Queue_Count + 1 < static_cast<uint32_t>(kQueue_Room))
      Queue[Queue_Count++] = Target_Launch_Record{side, false, kRecord_Life, kRecord_Life, fraction};
    return;
  }
}

void CEjector_Targets::Launch_Record(Target_Launch_Record& record) {
  const bool due = !record.Launched && record.Side <= 1;
  record.Launched = true;
  if (!due) return;
  const CVector3 home{0.0f, Spot_Height(record.Height_Fraction), kSide_Offset};
  const bool quick = false;
  CTarget_Target::Launch_From(*this, static_cast<int32_t>(record.Side), home, quick);
}

void CEjector_Targets::Serve_Queue(float dt) {
  uint32_t i = 0;
  while (i < Queue_Count) {
    Target_Launch_Record& record = Queue[i];
    Launch_Record(record);
    record.Remaining -= dt;
    if (record.Remaining > 0.0f) {
      ++i;
      continue;
    }
    std::copy(Queue + i + 1, Queue + Queue_Count, Queue + i);
    --Queue_Count;
  }
}

float CEjector_Targets::Current_Rise() const {
  const float height = Height_Factor * m_Fixed.half_size.y * 2.0f;
  if (!(height > 0.0f)) return 0.0f;
  const CVector3& up = m_Orientation.rows[1];
  const float out = (m_Position.x - Base_Position.x) * up.x + (m_Position.y - Base_Position.y) * up.y +
                    (m_Position.z - Base_Position.z) * up.z;
  return std::clamp(out / height, 0.0f, 1.0f);
}

void CEjector_Targets::Update(const float& dt) {
  if (Age <= 0.5f || m_Kill_Timer > 0.0f) {
    // A tower released while it rises sinks from where it stands.
    const float r = ejectors::Next_Rise(Current_Rise(), m_Kill_Timer, Age, kRise_Speed);
    Set_Position(ejectors::Raised_Position(Base_Position, m_Orientation.rows[1],
                                           r * Height_Factor * m_Fixed.half_size.y * 2.0f));
  }
  Serve_Queue(dt);
  Ring_Phase += kRing_Speed * dt;
  if (Ring_Phase > kTwo_Pi) Ring_Phase -= kTwo_Pi;
  Age += dt;
  ejectors::Death_Step(*this, dt, kDeath_Rate);
}

void CEjector_Targets::Draw_Rings() {
  const float k = (std::sin(Ring_Phase) * 0.25f + 1.0f) * 0.75f;
  for (int i = 0; i < 4; ++i) {
    const float w = static_cast<float>(i) * 0.21780002f + 0.33f;
    const CMatrix4x4 world = ejectors::Scaled_World(*this, CVector3{2.5f * w + 0.05f, 0.01f * w + 1.0f, 0.05f * w + 1.0f});
    const float alpha = std::min(1.0f, (1.0f - w) * k);
    const CColor4 blue{0x44 / 255.0f, 0x44 / 255.0f, 1.0f, alpha};
    const uint32_t factor = fx::Clamp_Byte(alpha * 255.0f) << 24 | 0x4444FF;
    targets::Draw(m_Renderables[kRings], world, m_Styles[kRing_Style], m_Textures[kRing_Texture], &blue, false,
                  &factor);
  }
}

// A fading strip from the tower's face out to each queued board's spot.
void CEjector_Targets::Draw_Flashes() {
  if (!g_pWorldDrawPrim) return;
  g_pWorldDrawPrim->SetTransformType(kDrawPrimWorld);
  const CVector3& forward = m_Orientation.rows[2];
  for (uint32_t i = 0; i < Queue_Count; ++i) {
    const Target_Launch_Record& record = Queue[i];
    if (record.Side > 1) continue;
    const float strength = 0.75f * (1.0f - std::min(record.Duration - record.Remaining, 1.0f));
    if (!(strength > 0.0f)) continue;
    CVector3 start, out;
    forward.Scale(28.0f, out);
    m_Position.Add(out, start);
    start.y += Spot_Height(record.Height_Fraction);
    CVector3 reach = Side_Offset(record.Side);
    CVector3 centre{start.x + 0.5f * reach.x, start.y, start.z + 0.5f * reach.z};
    CVector3 along, across{0.0f, 12.0f, 0.0f};
    reach.Scale(0.5f, along);
    const uint32_t alpha = fx::Clamp_Byte(strength * 255.0f);
    Draw_Beam_Quad(centre, along, across, alpha << 24 | 0x8899FF, m_Styles[kFlash_Style], m_Textures[kRing_Texture]);
  }
}

void CEjector_Targets::Render(const float& step) {
  (void)step;
  if (!Active) return;
  const CMatrix4x4 world = ejectors::Scaled_World(*this, CVector3{1.0f, 1.0f, 1.0f});
  targets::Draw(m_Renderables[kTower], world, m_Styles[kTower_Style], m_Textures[kTower_Texture], nullptr, false);
  Draw_Rings();
  CShadowProjector::Cast_Rect_Shadow(m_Position, 2.0f * kBody_X, 2.0f * kBody_Z, 0.5f);
  Draw_Flashes();
}

void CEjector_Targets::Render_Reflection(const CWorld_Mirror& mirror) {
  if (!Active) return;
  const CMatrix4x4 world = targets::Mirrored(ejectors::Scaled_World(*this, CVector3{1.0f, 1.0f, 1.0f}), mirror);
  targets::Draw(m_Renderables[kTower], world, m_Styles[kMirror_Style], m_Textures[kTower_Texture], nullptr, false);
}

void CEjector_Targets::Render_With_Shader(void* style, void* texture) {
  if (!Active) return;
  const CMatrix4x4 world = ejectors::Scaled_World(*this, CVector3{1.0f, 1.0f, 1.0f});
  auto* given = static_cast<CTextureData*>(texture);
  targets::Draw(m_Renderables[kTower], world, static_cast<CD3DRenderStyle*>(style),
                given ? given : m_Textures[kTower_Texture], nullptr, false);
}
