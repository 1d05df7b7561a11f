#include "game/targets/CTarget_Brick.h"

#include <algorithm>
#include <cmath>

#include "game/core/CObject_Pool.h"
#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/fx/CDebris_Target_Brick.h"
#include "game/fx/CShadowProjector.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr uint32_t kRenderable_Id = 0x220000b8;
constexpr uint32_t kTexture_Id = 0x2200003b;
constexpr uint32_t kStyle_Id = 0x2200003c;
constexpr uint32_t kMirror_Style_Id = 0x22000020;
const CVector3 kFull_Half{49.0f, 49.0f, 2.75f};

// The pieces of each break mode; the first of modes 1-3 stays linked to the owner.
struct Break_Row {
  int pieces[3];
  int count;
  bool first_linked;
};
constexpr Break_Row kBreaks[5] = {
    {{0, 0, 0}, 0, false}, {{0, 1, 0}, 2, true}, {{2, 3, 4}, 3, true}, {{5, 6, 0}, 2, true}, {{7, 8, 9}, 3, false},
};

// The inverse of an orientation by cofactors; the identity when it is singular.
CMatrix3x3 Inverse_Of(const CMatrix3x3& m) {
  CMatrix3x3 inverse = m;
  if (inverse.Invert() == 0.0f) inverse = CMatrix3x3::Identity;
  return inverse;
}

}  // namespace

CObject_Pool* CTarget_Brick::Pool() {
  static CObject_Pool_Of<CTarget_Brick, kType> pool;
  return &pool;
}

bool CTarget_Brick::Init() {
  using targets::Resource;
  m_Initialised = targets::Load_Resources(
      "CTarget_Brick", {Resource::Renderable(kRenderable_Id, m_Renderable), Resource::Texture(kTexture_Id, m_Texture),
                        Resource::Style(kStyle_Id, m_Style, targets::kNo_Texture),
                        Resource::Style(kMirror_Style_Id, m_Mirror_Style)});
  if (!m_Initialised) m_Lock.Clear_Links();
  return m_Initialised;
}

void CTarget_Brick::Term() {
  using targets::Resource;
  targets::Release_Resources({Resource::Renderable(kRenderable_Id, m_Renderable),
                              Resource::Texture(kTexture_Id, m_Texture), Resource::Style(kStyle_Id, m_Style),
                              Resource::Style(kMirror_Style_Id, m_Mirror_Style)});
  m_Lock.Clear_Links();
  m_Initialised = false;
  m_Spawned = false;
}

bool CTarget_Brick::Spawn(const int32_t& colour, CWorld_Object* owner) {
  m_Colour = colour;
  Setup_Object(kType, 100.0f, 100.0f, 0x74, kKind_Counted_Target);
  if (!Setup_Box_Body(45.0f, CVector3{1.0f, 1.0f, 1.0f}, 0.75f)) return false;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  m_Fast_Fade = false;
  m_Scale = 0.0f;
  m_Age = 0.0f;
  m_Hit_Count = 0;
  m_Tumble_Timer = 7.5f;
  Set_Position(CVector3{0.0f, 0.0f, 0.0f});
  m_Orientation = CMatrix3x3::Identity;
  m_Motion.Clear();
  m_Lock.Clear_Links();
  m_Lock.Start(this);
  if (owner) g_Target_Link_Pool.Add_Link(owner, &m_Lock);
  m_Spawned = true;
  return true;
}

// Pieces keep the target's own colour, not the colour of the hit that broke it.
bool CTarget_Brick::Debris_Tint(CColor4& out) const {
  out = targets::Get_Variant_Color(m_Colour);
  return true;
}

CColor4& CTarget_Brick::Get_Color(CColor4& out) const {
  out = m_Hit_Count > 0 ? targets::kHit_Color : targets::Get_Variant_Color(m_Colour);
  return out;
}

void CTarget_Brick::Release_Attachments() {
  m_Lock.Clear_Links();
  CBox_Object::Release_Attachments();
}

void CTarget_Brick::Update(const float& dt) {
  if (m_Scale != 1.0f || m_Kill_Timer != 0.0f) {
    m_Scale = std::clamp(m_Kill_Timer != 0.0f ? 1.0f - m_Kill_Timer : m_Age * 2.0f, 0.0f, 1.0f);
    Set_Box_Extents(CVector3{kFull_Half.x * m_Scale + 1.0f, kFull_Half.y * m_Scale + 1.0f,
                             kFull_Half.z * m_Scale + 1.0f});
  }
  if (!(m_State_Flags & kState_No_Gravity)) {
    const CVector3& g = g_World.m_Gravity;
    m_Motion.acceleration.Subtract_Assign(CVector3{0.5f * g.x, 0.5f * g.y, 0.5f * g.z});
  }
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  if (!Owner()) On_Hit(nullptr, nullptr);
  if (m_Tumble_Timer > 0.0f) {
    m_Tumble_Timer -= dt;
    if (!(m_Tumble_Timer > 0.0f)) {
      m_Tumble_Timer = 0.0f;
      if (m_Kill_Timer == 0.0f) {
        const CMatrix3x3& o = m_Orientation;
        CVector3 push;
        if (std::fabs(o.rows[1].y) > 0.9f)
          o.rows[0].Scale(0.5f, push);
        else
          o.rows[2].Scale(-0.5f, push);
        m_Box.spin.Add_Assign(push);
        m_Kill_Timer = 0.0001f;
        m_State_Flags &= ~(kState_No_Object_Collision | kState_No_Gravity | kState_No_Damping);
      }
    }
  }
  if (m_Age < kGuard_Age && m_Age + dt >= kGuard_Age)
    m_State_Flags &= ~(kState_No_Object_Collision | kState_No_World_Contact);
  m_Age += dt;
  if (m_Kill_Timer == 0.0f && !(m_Value1 > 0.0f)) m_Kill_Timer = 0.001f;
  if (m_Kill_Timer != 0.0f) m_Kill_Timer += (m_Fast_Fade ? 1.0f : 0.15f) * dt;
}

int CTarget_Brick::Break_Mode(float x, float y, float hx, float hy, bool& centre) {
  centre = false;
  if (x < -0.5f * hx && y < -0.05f * hy) return 1;
  if (x > 0.5f * hx && y < -0.05f * hy) return 3;
  if (y < -0.2f * hy) return 2;
  centre = std::fabs(x) < 0.2f * hx && std::fabs(y) < 0.2f * hy;
  return 4;
}

CVector3 CTarget_Brick::Local_Offset(const CVector3& point, CVector3 direction) const {
  direction.Divide_Assign(std::max(direction.Length(), 0.0001f));
  CVector3 closest = point;
  const float length_sq = direction.Length_Squared();
  if (length_sq > 0.0f) {
    CVector3 to_centre;
    m_Position.Subtract(point, to_centre);
    CVector3 along;
    direction.Scale(to_centre.Dot(direction) / length_sq, along);
    closest.Add_Assign(along);
  }
  CVector3 offset;
  closest.Subtract(m_Position, offset);
  offset.Rotate(Inverse_Of(m_Orientation));
  return offset;
}

bool CTarget_Brick::On_Hit(CWorld_Object* hitter, const CShot_Line* shot) {
  if (m_Age < kGuard_Age) return false;
  if (hitter && hitter == Owner()) return false;
  const targets::Target_Member& member = *targets::Find_Target_Member(kType);
  const bool first = m_Hit_Count == 0;
  if (first) {
    targets::Register_First_Hit(member, *this, hitter);
    if (hitter || shot) {
      const uint32_t colour = targets::Pack_Scaled_ARGB(targets::Get_Variant_Color(m_Colour), member.colour_factor);
      targets::Emit_Sparkle_Burst(*this, colour, targets::Member_Burst(member));
    }
    m_Kind_Flags |= kKind_Excluded;
  }
  if (!first || (!hitter && !shot)) {
    m_State_Flags &= ~(kState_No_World_Contact | kState_No_Gravity | kState_No_Damping);
    ++m_Hit_Count;
    return true;
  }
  const CVector3 offset = shot ? Local_Offset(shot->point, shot->direction)
                               : Local_Offset(hitter->m_Position, targets::Hitter_Velocity(hitter));
  bool centre = false;
  const int mode = Break_Mode(offset.x, offset.y, m_Box.half_size.x, m_Box.half_size.y, centre);
  if (centre) g_Score_Board_Mgr.Award_Target_Hit();
  Break_Up(mode);
  Play_Sound_3D(centre ? kCentre_Sound : kHit_Sound, m_Position, 1.0f);
  ++m_Hit_Count;
  m_Fast_Fade = true;
  m_Kill_Timer = 1.0f;
  return shot != nullptr;
}

void CTarget_Brick::Break_Up(int mode) {
  if (mode < 1 || mode > 4) return;
  const Break_Row& row = kBreaks[mode];
  for (int i = 0; i < row.count; ++i) Spawn_Piece(row.pieces[i], row.first_linked && i == 0);
}

void CTarget_Brick::Spawn_Piece(int piece_index, bool pass_owner) {
  CObject_Pool* pool = g_Object_Pools[CDebris_Target_Brick::kType];
  if (!pool) return;
  auto* piece = static_cast<CDebris_Target_Brick*>(pool->Alloc_Object());
  if (!piece) return;
  CVector3 offset{0.0f, 0.0f, 0.0f};
  if (!piece->Spawn(piece_index, this, pass_owner ? Owner() : nullptr, &offset)) {
    pool->Free_Object(piece);
    return;
  }
  offset.Rotate(m_Orientation);
  g_World.Add_Object(2, piece);
  piece->Set_Position(CVector3{m_Position.x + offset.x, m_Position.y + offset.y, m_Position.z + offset.z});
  piece->m_Orientation = m_Orientation;
  piece->m_Box.velocity = m_Box.velocity;
  m_Box.spin.Scale(0.25f, piece->m_Box.spin);
}

void CTarget_Brick::On_Floor_Contact(const CVector3& normal) {
  (void)normal;
  targets::Box_Floor_Contact(*this);
}

CMatrix4x4 CTarget_Brick::World() const { return targets::World_Matrix(*this, CVector3{m_Scale, m_Scale, m_Scale}); }

void CTarget_Brick::Render(const float& step) {
  (void)step;
  CColor4 colour;
  targets::Draw(m_Renderable, World(), m_Style, m_Texture, &Get_Color(colour), m_Scale != 1.0f);
  CShadowProjector::Cast_Box_Shadow(*this);
}

void CTarget_Brick::Render_Reflection(const CWorld_Mirror& mirror) {
  CColor4 colour;
  targets::Draw(m_Renderable, targets::Mirrored(World(), mirror), m_Mirror_Style, m_Texture, &Get_Color(colour),
                m_Scale != 1.0f);
}

void CTarget_Brick::Render_With_Shader(void* style, void* texture) {
  targets::Draw(m_Renderable, World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture),
                nullptr, m_Scale != 1.0f);
}
