#include "game/targets/CLaunch_Point_Ejector.h"

#include <algorithm>
#include <cmath>

#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/targets/Target_Shared.h"

namespace {

constexpr CVector3 kBody_Size{0.5f, 0.5f, 0.5f};
constexpr float kBeam_Reach = 80.0f;

}  // namespace

bool CLaunch_Point_Ejector::Init() {
  using R = targets::Resource;
  if (!targets::Load_Resources(m_Class_Name, {R::Texture(0x2200005E, m_Glow_Texture, targets::kNo_Created_Texture),
                                              R::Texture(0x2200005C, m_Beam_Texture, targets::kNo_Created_Texture),
                                              R::Style(0x22000031, m_Style)})) {
    Term();
    return false;
  }
  Initialised = true;
  return true;
}

void CLaunch_Point_Ejector::Term() {
  fx::Release(m_Beam_Texture);
  fx::Release(m_Glow_Texture);
  fx::Release(m_Style);
  Initialised = false;
  Active = false;
}

void CLaunch_Point_Ejector::Start(uint32_t type, uint32_t colour, const CVector3& position) {
  Active = false;
  Launch_Requested = false;
  m_Rise = m_Age = 0.0f;
  m_Colour_Variant = colour;
  if (!ejectors::Setup_Fixed_Ejector(*this, type, 0x04, 0x04, kBody_Size)) return;
  Set_Position(position);
  m_Orientation = CMatrix3x3::Identity;
  Active = true;
}

void CLaunch_Point_Ejector::Update(const float& dt) {
  if (m_Rise != 1.0f || m_Kill_Timer != 0.0f) {
    m_Rise = ejectors::Next_Rise(m_Rise, m_Kill_Timer, m_Age, kRise_Rate);
  } else if (Launch_Requested) {
    Launch();
    Launch_Requested = false;
  }
  m_Age += dt;
  ejectors::Death_Step(*this, dt, ejectors::kDeath_Rate);
}

void CLaunch_Point_Ejector::Puff(const CVector3& at, const CVector3& velocity, const CColor4& colour) {
  ejectors::Emit_Launch_Puff(at, velocity, targets::Pack_Scaled_ARGB(colour, 1.0f));
}

float CLaunch_Point_Ejector::Marker_Brightness(float rise) {
  if (rise < 0.35f) return rise * 2.857143f * 3.0f;
  return 3.0f - (rise - 0.35f) * 3.0769231f;
}

void CLaunch_Point_Ejector::Draw_Marker(const CVector3& position, const CVector3& up, const CVector3& direction) {
  if (!m_Style) return;
  const float b = Marker_Brightness(m_Rise);
  CColor4 colour = Marker_Colour();
  colour.a = std::min(b, 1.0f);
  const uint32_t packed = targets::Pack_Scaled_ARGB(colour, 1.0f);
  CVector3 rise, reach, across;
  up.Scale(kBeam_Reach, rise);
  direction.Scale(kBeam_Reach, reach);
  up.Cross(direction, across);
  across.Scale_Assign(kBeam_Reach);
  Draw_Beam_Quad(position, reach, rise, packed, m_Style, m_Beam_Texture);
  Draw_Beam_Quad(position, reach, across, packed, m_Style, m_Beam_Texture);
  if (direction.Length_Squared() > 0.0f) {
    Draw_Axis_Quads(position, up, across, direction, 5u, 60.0f, 30.0f * b * b * b, packed, m_Style, m_Glow_Texture);
  }
}

void CLaunch_Point_Ejector::Render(const float& step) {
  (void)step;
  Draw_Marker(m_Position, m_Orientation.rows[1], Launch_Direction());
}

void CLaunch_Point_Ejector::Render_Reflection(const CWorld_Mirror& mirror) {
  CVector3 position = m_Position, up = m_Orientation.rows[1], direction = Launch_Direction();
  position.Transform_By_Matrix4(mirror.transform);
  up.Rotate(mirror.turn);
  direction.Rotate(mirror.turn);
  Draw_Marker(position, up, direction);
}
