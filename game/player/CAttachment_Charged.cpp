#include "game/player/CAttachment_Charged.h"

#include "game/core/Sound_FX.h"
#include "game/player/CPlayer.h"
#include "game/warroom/CWarRoom_Sim.h"

namespace {

constexpr uint32_t kEmpty_Click = 0x2200016A;
constexpr float kEmpty_Click_Volume = 0.75f;

}  // namespace

bool CAttachment_Charged::Init() {
  if (!m_Display.Init(Icon_Texture())) {
    Term();
    return false;
  }
  m_Loaded = 1;
  return true;
}

void CAttachment_Charged::Term() {
  m_Display.Term();
  m_Loaded = 0;
}

bool CAttachment_Charged::Attach(CPlayer_Weapon_Gun* gun) {
  int count = g_Player.m_Attachment_Value + Base_Charges();
  if (g_WarRoom_Sim.m_Initialised && g_WarRoom_Sim.m_Attachment_Carry != -1) count = g_WarRoom_Sim.m_Attachment_Carry;
  m_Display.Reset(count);
  m_Fire_Request = 0;
  m_Cooldown = 0.0f;
  Clear_Effects();
  Attach_Base(gun, Own_Kind());
  return true;
}

void CAttachment_Charged::Detach() {
  if (g_WarRoom_Sim.m_Initialised) g_WarRoom_Sim.m_Attachment_Carry = m_Display.m_Charges;
  CAttachment::Detach();
}

void CAttachment_Charged::Set_Flag(uint8_t flag) { m_Display.m_Hidden = flag; }

void CAttachment_Charged::Fire() {
  if (m_Display.m_Charges > 0)
    m_Fire_Request = 1;
  else
    Play_Sound_FX(kEmpty_Click, kEmpty_Click_Volume);
}

void CAttachment_Charged::Cancel_Fire() { m_Fire_Request = 0; }

void CAttachment_Charged::Update(float dt) {
  Update_Timers(dt);
  if (m_Cooldown != 0.0f) {
    m_Cooldown -= dt;
    if (m_Cooldown <= 0.0f) {
      m_Cooldown = 0.0f;
      m_Display.m_Ready = 1;
    }
  }
  if (m_Fire_Request && m_Cooldown == 0.0f && m_Display.m_Charges > 0) {
    Use();
    m_Display.Use_Charge();
    m_Cooldown = Cooldown_Length();
  }
  Update_Effects(dt);
  m_Display.Update(dt);
}

void CAttachment_Charged::Render() {
  Render_Effects();
  Render_Display();
}
