#include "game/fx/CDebris_Target_Brick.h"

#include <cmath>

#include "game/core/CTarget_Link_Pool.h"
#include "game/core/CWorld.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Debris_Rules.h"
#include "game/fx/FX_Resources.h"

namespace {

const uint32_t kModel_Ids[CDebris_Target_Brick::kPieces] = {0x220000B9, 0x220000BA, 0x220000BB, 0x220000BA,
                                                            0x220000BC, 0x220000BD, 0x220000BE, 0x220000BF,
                                                            0x220000BE, 0x220000C0};

struct Piece_Row {
  float half[3];
  float offset[3];
};
constexpr Piece_Row kRows[CDebris_Target_Brick::kPieces] = {
    {{50, 50, 3.75f}, {0, 0, 0}},     {{25, 25, 3.75f}, {-25, -25, -2}}, {{50, 35, 3.75f}, {0, 0, 0}},
    {{25, 25, 3.75f}, {-25, -25, -2}}, {{25, 15, 3.75f}, {25, -35, -2}},  {{50, 50, 3.75f}, {0, 0, 0.5f}},
    {{25, 25, 3.75f}, {25, -25, -2}},  {{50, 30, 3.75f}, {0, 0, 0.5f}},  {{25, 25, 3.75f}, {25, -25, 0}},
    {{25, 25, 3.75f}, {-25, -25, 0}},
};

constexpr uint32_t kKeep_Flags = 0x2F;

}  // namespace

bool CDebris_Target_Brick::Init() {
  if (!debris::Load_Pieces("CDebris_Target_Brick", kModel_Ids, {}, m_Models, m_Reflection_Style)) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CDebris_Target_Brick::Term() {
  m_Lock.Clear();
  Give_Back_Skin();
  for (CRenderableObject*& model : m_Models) fx::Release(model);
  fx::Release(m_Reflection_Style);
  m_Initialised = false;
}

void CDebris_Target_Brick::Give_Back_Skin() {
  fx::Release(m_Texture);
  fx::Release(m_Style);
}

bool CDebris_Target_Brick::Spawn(int piece, CWorld_Object* target, CWorld_Object* parent, CVector3* offset) {
  m_Piece = piece;
  CVector3 at{0, 0, 0};
  if (piece >= 0 && piece < kPieces) {
    const Piece_Row& row = kRows[piece];
    m_Piece_Half.Set(row.half[0], row.half[1], row.half[2]);
    at.Set(row.offset[0], row.offset[1], row.offset[2]);
  } else {
    m_Piece_Half.Set(1, 1, 1);
  }
  if (offset) *offset = at;
  Setup_Object(kType, 100.0f, 100.0f, parent ? kState_Reflected | kState_No_Gravity : kState_Reflected, 0);
  m_Alive = false;
  if (!Setup_Box_Body(50.0f, m_Piece_Half, 0.45f)) return false;
  debris::Borrow_Skin(target, m_Texture, m_Style);
  m_Tinted = debris::Borrow_Tint(target, m_Tint);
  m_Life_Timer = 8.0f;
  m_Age = 0.0f;
  m_Body_Offset.Set(0, 0, 0);
  m_Motion.Clear();
  m_Box.velocity.Set(0, 0, 0);
  m_Box.spin.Set(0, 0, 0);
  Set_Position(CVector3{0, 0, 0});
  m_Orientation = CMatrix3x3::Identity;
  m_Box.hit_flag = 1;
  m_Box.floor_contact_flag = 1;
  m_Lock.Clear();
  m_Lock.Start(this);
  if (parent) g_Target_Link_Pool.Add_Link(parent, &m_Lock);
  m_Alive = true;
  return true;
}

void CDebris_Target_Brick::Release_Attachments() {
  m_Lock.Clear();
  Give_Back_Skin();
  CBox_Object::Release_Attachments();
}

// Half an axis of shift on the drawn body and the riding flags cut away.
void CDebris_Target_Brick::Release_From_Parent() {
  CVector3 shift;
  if (std::fabs(m_Orientation.rows[1].y) > 0.9f)
    m_Orientation.rows[0].Scale(0.5f, shift);
  else
    m_Orientation.rows[2].Scale(-0.5f, shift);
  m_Body_Offset.Add_Assign(shift);
  m_State_Flags &= kKeep_Flags;
}

void CDebris_Target_Brick::Update(const float& dt) {
  if (!(m_State_Flags & kState_No_Gravity)) {
    CVector3 lift;
    g_World.m_Gravity.Scale(-0.25f, lift);
    m_Motion.acceleration.Add_Assign(lift);
  }
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  const float before = m_Age;
  m_Age += dt;
  if (before < 3.0f && m_Age >= 3.0f) Release_From_Parent();
  CWorld_Object* parent = m_Lock.First_Object();
  if (parent && m_Kill_Timer == 0.0f && (m_State_Flags & kState_No_Gravity)) {
    CVector3 seat;
    parent->m_Orientation.rows[0].Scale(75.0f, seat);
    Set_Position(CVector3{parent->m_Position.x + seat.x, parent->m_Position.y + seat.y, parent->m_Position.z + seat.z});
    m_Body_Offset.Set(0, 0, 0);
    m_Box.spin.Set(0, 0, 0);
  }
  m_Life_Timer -= dt;
  debris::Expire_Life_Timer(*this, m_Life_Timer);
  const float c = debris::Dying_Scale(*this, dt, 0.5f, true);
  Set_Box_Extents(CVector3{m_Piece_Half.x * c, m_Piece_Half.y * c, m_Piece_Half.z * c});
  if (m_State_Flags & kState_No_Gravity) Release_From_Parent();
}

CRenderableObject* CDebris_Target_Brick::Model() const {
  return m_Piece >= 0 && m_Piece < kPieces ? m_Models[m_Piece] : nullptr;
}

CMatrix4x4 CDebris_Target_Brick::World() const {
  const CVector3& h = m_Box.half_size;
  const CVector3 scale{h.x / m_Piece_Half.x, h.y / m_Piece_Half.y, h.z / m_Piece_Half.z};
  return debris::World_Matrix(*this, scale, m_Body_Offset);
}

void CDebris_Target_Brick::Render(const float& step) {
  (void)step;
  debris::Draw(Model(), World(), m_Style, m_Texture, Tint(), nullptr, m_Kill_Timer != 0.0f);
  CShadowProjector::Cast_Box_Shadow(*this);
}

void CDebris_Target_Brick::Render_Reflection(const CWorld_Mirror& mirror) {
  debris::Draw(Model(), debris::Mirrored(World(), mirror), m_Reflection_Style, m_Texture, Tint(), nullptr,
               m_Kill_Timer != 0.0f);
}

void CDebris_Target_Brick::Render_With_Shader(void* style, void* texture) {
  debris::Draw(Model(), World(), static_cast<CD3DRenderStyle*>(style), static_cast<CTextureData*>(texture), nullptr,
               nullptr, m_Kill_Timer != 0.0f);
}

bool CDebris_Target_Brick::On_Hit(CWorld_Object* other, const CShot_Line* shot) {
  (void)shot;
  if (m_Lock.First_Object() && m_Age < 0.25f) return false;
  if (other && other->m_Type == kBrick_Ejector_Type) return false;
  m_State_Flags &= kKeep_Flags;
  return true;
}

void CDebris_Target_Brick::On_Floor_Contact(const CVector3& normal) {
  if (debris::Is_Wall(normal)) return;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
  m_State_Flags &= kKeep_Flags;
}
