#include "game/fx/CDebris_Target_Sparkler.h"

#include <algorithm>

#include "game/fx/Debris_Rules.h"
#include "game/fx/FX_Resources.h"

bool CDebris_Target_Sparkler::Init() {
  const debris::Model_Ids ids{0x22000000, 0x220000A9, 0x22000050};
  if (!debris::Load_Model("CDebris_Target_Sparkler", nullptr, ids, m_Model, m_Texture, m_Style, nullptr)) {
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CDebris_Target_Sparkler::Term() {
  fx::Release(m_Model);
  fx::Release(m_Texture);
  fx::Release(m_Style);
  m_Initialised = false;
}

bool CDebris_Target_Sparkler::Spawn(const CColor4& colour) {
  Setup_Object(kType, 100.0f, 100.0f, 54, 0);
  m_Alive = false;
  if (!Setup_Box_Body(15.0f, CVector3{0.5f, 12.0f, 0.5f}, 0.35f)) return false;
  m_Life_Timer = kLife;
  std::copy(&colour.r, &colour.r + 4, m_Colour);
  m_Motion.Clear();
  m_Box.velocity.Set(0, 0, 0);
  Set_Position(CVector3{0, 0, 0});
  m_Orientation = CMatrix3x3::Identity;
  m_Alive = true;
  return true;
}

void CDebris_Target_Sparkler::Update(const float& dt) {
  m_Life_Timer -= dt;
  debris::Expire_Life_Timer(*this, m_Life_Timer);
  debris::Dying_Scale(*this, dt, 3.0f, true);
  const float k = m_Kill_Timer;
  float h;
  if (k == 0.0f) {
    h = 1.0f - std::clamp(m_Life_Timer / kLife, 0.0f, 1.0f);
    m_Colour[0] = (1.0f - std::min(h, 1.0f)) / 2.0f;
  } else {
    h = 1.0f + k / 2.0f;
    m_Colour[0] = (1.0f - std::clamp(k, 0.0f, 1.0f)) / 2.0f;
  }
  Set_Box_Extents(CVector3{39.5f * h + 0.5f, 12.0f - 4.0f * h, 39.5f * h + 0.5f});
}

void CDebris_Target_Sparkler::Draw(const CMatrix4x4* mirror) {
  // Twice the half-size per axis, over the model's own diameter (the sphere model is 9 across).
  const CVector3& h = m_Box.half_size;
  const float k = 2.0f / kModel_Diameter;
  CMatrix4x4 world = debris::World_Matrix(*this, CVector3{k * h.x, k * h.y, k * h.z});
  if (mirror) {
    CMatrix4x4 turned;
    world.Multiply(*mirror, turned);
    world = turned;
  }
  const uint32_t rgb = fx::Channel_Byte(m_Colour[1]) << 16 | fx::Channel_Byte(m_Colour[2]) << 8 |
                       fx::Channel_Byte(m_Colour[3]);
  for (float share : {0.25f, 0.3f}) {
    const uint32_t factor = fx::Clamp_Byte(m_Colour[0] * share * 255.0f) << 24 | rgb;
    debris::Draw(m_Model, world, m_Style, m_Texture, nullptr, &factor);
  }
}

void CDebris_Target_Sparkler::Render(const float& step) {
  (void)step;
  Draw(nullptr);
}

void CDebris_Target_Sparkler::Render_Reflection(const CWorld_Mirror& mirror) { Draw(&mirror.transform); }
