#include "game/fx/CDebris_Target_Ground_Proj.h"

#include <algorithm>

#include "game/core/WinMain.h"
#include "game/fx/CGen_Projector.h"
#include "game/fx/FX_Resources.h"

bool CDebris_Target_Ground_Proj::Init() {
  for (CTextureData*& texture : m_Textures) {
    texture = fx::Get_Texture(0x22000015);
    if (!texture) {
      Show_Message("Error in CDebris_Target_Ground_Proj\nUnable to load texture...");
      Term();
      return false;
    }
  }
  m_Initialised = true;
  return true;
}

void CDebris_Target_Ground_Proj::Term() {
  for (CTextureData*& texture : m_Textures) fx::Release(texture);
  m_Initialised = false;
}

bool CDebris_Target_Ground_Proj::Spawn(int slot, const CVector3& point, uint32_t colour) {
  Setup_Object(kType, 100.0f, 100.0f, 54, 0);
  Setup_Kind5_Body(CVector3{1, 1, 1});
  m_Slot = slot == 1 ? 1 : 0;
  m_Point = point;
  m_Age = 0.0f;
  for (int i = 0; i < 4; ++i)
    m_Colour[i] = std::clamp(static_cast<float>((colour >> (24 - 8 * i)) & 0xFF) / 255.0f, 0.0f, 1.0f);
  Set_Position(CVector3{0, 0, 0});
  m_Orientation = CMatrix3x3::Identity;
  m_Alive = true;
  return true;
}

void CDebris_Target_Ground_Proj::Update(const float& dt) {
  m_Age += dt;
  if (m_Age > kLife) m_Kill_Timer = 1.0f;
}

float CDebris_Target_Ground_Proj::Progress() const {
  const float a = std::clamp(m_Age / kLife, 0.0f, 1.0f);
  return m_Slot == 1 ? 1.0f - a : a;
}

CColor4 CDebris_Target_Ground_Proj::Projection_Colour() const {
  const float a = Progress();
  const float alpha = m_Slot == 1 ? a : 1.0f - a;
  return CColor4{alpha, m_Colour[1] * m_Colour[1], m_Colour[2] * m_Colour[2], m_Colour[3] * m_Colour[3]};
}

void CDebris_Target_Ground_Proj::Render(const float& step) {
  (void)step;
  CProjection_Frame frame;
  frame.orientation.Set_Rows(CVector3{1, 0, 0}, CVector3{0, 0, 1}, CVector3{0, -1, 0});
  frame.position = m_Point;
  g_Gen_Projector.Project(0, frame, Radius(), m_Textures[m_Slot], Projection_Colour());
}
