#include "game/player/CPlayer_Weapon_Gun.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CGame_State.h"
#include "game/core/WinMain.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CAttachment.h"
#include "game/player/CPlayer.h"
#include "game/player/Gun_Resources.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/Weapon_Tables.h"

using namespace arsenal;

namespace {

constexpr float kMax_Aim_Step = 0.1f;
constexpr float kSlow_Spring_Rate = 1.0f;
constexpr float kDamping = 5.0f;
constexpr float kSmallest_Turn = 0.000001f;
const CVector3 kWorld_Up{0.0f, 1.0f, 0.0f};
const CVector3 kStraight_Down_Aim{0.0f, -1.0f, 0.0f};

void Show_Gun_Message(const std::string& text) { Show_Message("%s", text.c_str()); }

}  // namespace

CPlayer_Weapon_Gun::~CPlayer_Weapon_Gun() {
  if (Player_Alive() && g_Player.m_Gun == this) g_Player.m_Gun = nullptr;
}

int CPlayer_Weapon_Gun::Get_Attachment_Kind() {
  const int gun_kind = static_cast<int>(g_Communications_Mgr.m_Client_Data.m_Current_Gun);
  const int attachment_kind = static_cast<int>(g_Communications_Mgr.m_Client_Data.m_Current_Attachment);
  Build_Weapon_Table();
  const Weapon_Entry* entry = Find_Weapon_Entry(gun_kind);
  if (!entry) return attachment_kind;
  if (attachment_kind == 0) return 0;
  // Only the kinds the mask can name are tested; any other kind counts as none.
  if (attachment_kind < 0 || attachment_kind > 31) return 0;
  return (entry->Attachment_Mask & (1u << attachment_kind)) ? attachment_kind : 0;
}

CVector3 CPlayer_Weapon_Gun::Camera_Side() { return g_Camera.Rotation().rows[0]; }

bool CPlayer_Weapon_Gun::Init_Shared(const char* class_name, int32_t kind, uint32_t flags,
                                     const Resource_List& r, const Attachment_Cases& cases) {
  if (m_Initialised) return true;
  m_Kind = kind;
  m_Flags = flags;
  const Resource_Sort failed = Load_All(r.model_ids, r.models, r.model_count, r.style_ids, r.styles, r.style_count,
                                        r.texture_ids, r.textures, r.texture_count);
  const std::string prefix = std::string("Error in ") + class_name + "\n";
  if (failed != Resource_Sort::None) {
    const char* what = failed == Resource_Sort::Model   ? "Unable to create renderable object..."
                       : failed == Resource_Sort::Style ? "Unable to create render shader..."
                                                        : "Unable to create texture...";
    Show_Gun_Message(prefix + what);
    Term();
    return false;
  }
  m_Orientation.Set_Rows(CVector3{1.0f, 0.0f, 0.0f}, CVector3{0.0f, 0.0f, 1.0f}, kStraight_Down_Aim);
  m_Attachment = nullptr;
  const int attachment_kind = Get_Attachment_Kind();
  const bool handled = attachment_kind >= 1 && attachment_kind <= 5 && (cases.handled_kinds & (1u << attachment_kind));
  if (handled) {
    CAttachment* attachment = Attachment_Of_Kind(attachment_kind);
    const bool named = attachment_kind != 1 || cases.pointer_named;
    const std::string name = named ? Attachment_Global_Name(attachment_kind) : "";
    if (!attachment->Init()) {
      Show_Gun_Message(prefix + "Unable to create attachment" + (named ? " " + name : "") + "...");
      Term();
      return false;
    }
    m_Attachment = attachment;
    if (!attachment->Attach(this)) {
      Show_Gun_Message(prefix + "Unable to create attachment " + name + "(2)...");
      Term();
      return false;
    }
    attachment->m_Orientation = CQuaternion::Identity;
    attachment->m_Offset = attachment_kind == 1 ? cases.pointer_offset : CVector3{0.0f, 0.0f, 0.0f};
  }
  m_Initialised = 1;
  return true;
}

void CPlayer_Weapon_Gun::Term_Shared(const Resource_List& r) {
  Release_All(r.models, r.model_count, r.styles, r.style_count, r.textures, r.texture_count);
  if (m_Attachment) {
    m_Attachment->Term();
    m_Attachment->Detach();
    m_Attachment = nullptr;
  }
  m_Initialised = 0;
}

void CPlayer_Weapon_Gun::Aim_Spring(const CFrame_Info& frame, float tilt, CVector3& angular_velocity,
                                    float spring_rate) {
  const float dt = std::clamp(frame.Delta, 0.0f, kMax_Aim_Step);
  const bool straight_down = (m_Flags & kStraight_Down) != 0;
  const CVector3 side = Camera_Side();
  const CVector3 target =
      straight_down ? kStraight_Down_Aim : Unit_Or(Turn(g_Camera.Get_Cursor_Ray(), side, tilt), Aim());
  const float rate = straight_down ? kSlow_Spring_Rate : spring_rate;
  angular_velocity = Add(angular_velocity, Mul(Cross(Aim(), target), rate * dt));
  const CVector3 turn = Mul(angular_velocity, dt);
  const float angle = Length(turn);
  if (angle >= kSmallest_Turn) {
    const CVector3 axis = Mul(turn, 1.0f / angle);
    for (CVector3& row : m_Orientation.rows) row = Turn(row, axis, angle);
  }
  if (g_Game_State.Lock_Weapons_To_Cursor) {
    m_Orientation = Basis_From_Aim(target, m_Orientation.rows[0]);
    angular_velocity = CVector3{0.0f, 0.0f, 0.0f};
  }
  m_Orientation = Basis_From_Aim(Aim(), m_Orientation.rows[0]);
  const CVector3 d = Mul(angular_velocity, kDamping * dt);
  auto limit = [](float change, float value) { return std::clamp(change, -std::fabs(value), std::fabs(value)); };
  angular_velocity = Sub(angular_velocity, CVector3{limit(d.x, angular_velocity.x), limit(d.y, angular_velocity.y),
                                                    limit(d.z, angular_velocity.z)});
}

void CPlayer_Weapon_Gun::Update_Attachment(const CFrame_Info& frame) {
  if (m_Attachment) m_Attachment->Update(frame.Delta);
}

void CPlayer_Weapon_Gun::Render_Attachment() {
  if (m_Attachment) m_Attachment->Render();
}
