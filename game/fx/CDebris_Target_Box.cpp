#include "game/fx/CDebris_Target_Box.h"

#include "game/core/CWorld.h"
#include "game/fx/CShadowProjector.h"
#include "game/fx/Debris_Rules.h"
#include "game/fx/FX_Resources.h"

namespace {

const uint32_t kModel_Ids[CDebris_Target_Box::kModels] = {0x22000093, 0x22000094, 0x22000095};
const char* const kModel_Labels[CDebris_Target_Box::kModels] = {"(A)", "(B)", "(C)"};

struct Piece_Row {
  float half[3];
  float offset[3];
};
constexpr Piece_Row kPieces[3] = {
    {{0.5f, 1.0f, 1.0f}, {-0.45f, 0.0f, 0.0f}},
    {{0.5f, 0.5f, 1.0f}, {0.45f, 0.45f, 0.0f}},
    {{0.5f, 0.5f, 1.0f}, {0.45f, -0.45f, 0.0f}},
};

}  // namespace

bool CDebris_Target_Box::Init() {
  if (!debris::Load_Pieces("CDebris_Target_Box", kModel_Ids, kModel_Labels, m_Models, m_Reflection_Style)) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CDebris_Target_Box::Term() {
  Give_Back_Skin();
  for (CRenderableObject*& model : m_Models) fx::Release(model);
  fx::Release(m_Reflection_Style);
  m_Initialised = false;
}

void CDebris_Target_Box::Give_Back_Skin() {
  fx::Release(m_Texture);
  fx::Release(m_Style);
}

bool CDebris_Target_Box::Spawn(int piece, CWorld_Object* target, CVector3* offset) {
  const CVector3 whole = target ? target->m_Box.half_size : CVector3{1, 1, 1};
  CVector3 share{1, 1, 1}, at{0, 0, 0};
  if (piece >= 0 && piece < 3) {
    const Piece_Row& row = kPieces[piece];
    share.Set(row.half[0], row.half[1], row.half[2]);
    at.Set(row.offset[0] * whole.x, row.offset[1] * whole.y, row.offset[2] * whole.z);
  }
  m_Piece_Half.Set(whole.x * share.x, whole.y * share.y, whole.z * share.z);
  if (offset) *offset = at;
  m_Texture_Scale.Set(1.0f / share.x, 1.0f / share.y, 1.0f / share.z);
  m_Model_Index = piece >= 0 && piece < 3 ? piece : 0;
  Setup_Object(kType, 100.0f, 100.0f, kState_Reflected, 0);
  m_Alive = false;
  if (!Setup_Box_Body(15.0f, m_Piece_Half, 0.35f)) return false;
  debris::Borrow_Skin(target, m_Texture, m_Style);
  m_Tinted = debris::Borrow_Tint(target, m_Tint);
  m_Life_Timer = 8.0f;
  m_Motion.Clear();
  Set_Position(CVector3{0, 0, 0});
  m_Orientation = CMatrix3x3::Identity;
  m_Box.floor_contact_flag = 1;
  m_Alive = true;
  return true;
}

void CDebris_Target_Box::Release_Attachments() {
  Give_Back_Skin();
  CBox_Object::Release_Attachments();
}

void CDebris_Target_Box::Update(const float& dt) {
  CVector3 lift;
  g_World.m_Gravity.Scale(-0.25f, lift);
  m_Motion.acceleration.Add_Assign(lift);
  Collide_Box_World(m_Motion);
  Integrate_Box(m_Motion, dt);
  m_Life_Timer -= dt;
  debris::Expire_Life_Timer(*this, m_Life_Timer);
  const float c = debris::Dying_Scale(*this, dt, 0.35f, true);
  Set_Box_Extents(CVector3{m_Piece_Half.x * c, m_Piece_Half.y * c, m_Piece_Half.z * c});
}

CMatrix4x4 CDebris_Target_Box::World() const {
  const CVector3& h = m_Box.half_size;
  return debris::World_Matrix(*this, CVector3{h.x * 0.1f, h.y * 0.1f, h.z * 0.1f});
}

void CDebris_Target_Box::Render(const float& step) {
  (void)step;
  if (m_Model_Index < 0 || m_Model_Index >= kModels) return;
  debris::Draw(m_Models[m_Model_Index], World(), m_Style, m_Texture, Tint());
  CShadowProjector::Cast_Box_Shadow(*this);
}

void CDebris_Target_Box::Render_Reflection(const CWorld_Mirror& mirror) {
  if (m_Model_Index < 0 || m_Model_Index >= kModels) return;
  debris::Draw(m_Models[m_Model_Index], debris::Mirrored(World(), mirror), m_Reflection_Style, m_Texture, Tint());
}

void CDebris_Target_Box::Render_With_Shader(void* style, void* texture) {
  if (m_Model_Index < 0 || m_Model_Index >= kModels) return;
  debris::Draw(m_Models[m_Model_Index], World(), static_cast<CD3DRenderStyle*>(style),
               static_cast<CTextureData*>(texture));
}

void CDebris_Target_Box::On_Floor_Contact(const CVector3& normal) {
  if (debris::Is_Wall(normal)) return;
  if (m_Kill_Timer == 0.0f) m_Kill_Timer = 0.01f;
}
