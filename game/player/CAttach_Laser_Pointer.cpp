#include "game/player/CAttach_Laser_Pointer.h"

#include <algorithm>
#include <cmath>

#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/fx/CGen_Projector.h"
#include "game/fx/Draw_Helpers.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CPlayer.h"
#include "game/player/CPlayer_Weapon_Gun.h"
#include "game/player/Gun_Resources.h"

CAttach_Laser_Pointer g_Weapon_Attachment_Laser_Pointer;

namespace {

using arsenal::Add;
using arsenal::Draw_Model;
using arsenal::Load_All;
using arsenal::Release_All;
using arsenal::Resource_Sort;
using arsenal::Dot;
using arsenal::Mul;
using arsenal::Sub;
using arsenal::Turn;

constexpr uint32_t kModel_Ids[1] = {0x22000030};
constexpr uint32_t kStyle_Ids[2] = {0x22000043, 0x22000031};
constexpr uint32_t kTexture_Ids[3] = {0x22000028, 0x22000032, 0x22000033};
enum { kDevice_Style, kBeam_Style };
enum { kDevice_Texture, kBeam_Texture, kDot_Texture };
constexpr float kTwo_Pi = 6.2831855f;
constexpr float kBeam_Tilt = 0.025f;
constexpr float kBeam_Ahead = 75.0f;
constexpr float kReach = 5000.0f;
constexpr uint32_t kBeam_Red = 0xFF1111;

}  // namespace

bool CAttach_Laser_Pointer::Init() {
  const Resource_Sort failed =
      Load_All(kModel_Ids, &m_Model, 1, kStyle_Ids, m_Styles, 2, kTexture_Ids, m_Textures, 3);
  if (failed != Resource_Sort::None) {
    Show_Message("%s", failed == Resource_Sort::Model   ? "Error in CAttach_Laser_Pointer\nUnable to create renderable object..."
                       : failed == Resource_Sort::Style ? "Error in CAttach_Laser_Pointer\nUnable to create render shader..."
                                                        : "Error in CAttach_Laser_Pointer\nUnable to create texture...");
    Term();
    return false;
  }
  m_Loaded = 1;
  return true;
}

void CAttach_Laser_Pointer::Term() {
  Release_All(&m_Model, 1, m_Styles, 2, m_Textures, 3);
  m_Loaded = 0;
}

bool CAttach_Laser_Pointer::Attach(CPlayer_Weapon_Gun* gun) {
  m_On = 0;
  Attach_Base(gun, 1);
  return true;
}

void CAttach_Laser_Pointer::Fire() { m_On = 1; }

void CAttach_Laser_Pointer::Cancel_Fire() { m_On = 0; }

void CAttach_Laser_Pointer::Update(float dt) {
  m_Phase += 0.5f * dt;
  if (m_Phase > kTwo_Pi) m_Phase = std::fmod(m_Phase, kTwo_Pi);
}

float CAttach_Laser_Pointer::Intensity() const {
  const float flicker = 0.1f * (std::sin(35.0f * m_Phase) + 1.0f) + 0.2f * (std::sin(m_Phase) + 1.0f);
  return std::clamp(0.55f + flicker + (m_On ? 0.25f : 0.0f), 0.0f, 1.0f);
}

// The attachment's own turn (about the gun's axes) and offset from the gun's mount.
CMatrix3x3 CAttach_Laser_Pointer::Device_Axes() const {
  const CMatrix3x3 gun = m_Gun ? m_Gun->m_Orientation : CMatrix3x3::Identity;
  CMatrix3x3 axes;
  CVector3 rows[3];
  for (int i = 0; i < 3; ++i) {
    CVector3 local = gun.rows[i];
    local.Rotate_By_Quaternion(m_Orientation);
    rows[i] = local;
  }
  axes.Set_Rows(rows[0], rows[1], rows[2]);
  return axes;
}

CVector3 CAttach_Laser_Pointer::Device_Position() const {
  const CMatrix3x3 gun = m_Gun ? m_Gun->m_Orientation : CMatrix3x3::Identity;
  CVector3 p = g_Player.m_Mount_Position;
  p = Add(p, Mul(gun.rows[0], m_Offset.x));
  p = Add(p, Mul(gun.rows[1], m_Offset.y));
  return Add(p, Mul(gun.rows[2], m_Offset.z));
}

bool CAttach_Laser_Pointer::Find_Dot(const CVector3& origin, const CVector3& direction, CVector3& dot,
                                     CWorld_Object*& object) const {
  const CVector3 segment = Mul(direction, kReach);
  float limit = 0.0f;
  object = g_World.Intersect_Objects(origin, segment, limit, nullptr);
  if (object) {
    const float along = std::clamp(Dot(Sub(object->m_Position, origin), direction), 0.0f, kReach);
    dot = Add(origin, Mul(direction, along));
    return true;
  }
  return g_World.Has_Terrain() && g_World.Intersect_Terrain(origin, segment, dot);
}

void CAttach_Laser_Pointer::Render() {
  if (!m_Loaded || !m_Active || !m_Gun) return;
  const CMatrix3x3 axes = Device_Axes();
  const CVector3 position = Device_Position();
  Draw_Model(m_Model, arsenal::Scaled_Frame(axes, position), m_Styles[kDevice_Style], m_Textures[kDevice_Texture]);

  const float intensity = Intensity();
  const CVector3 direction = arsenal::Unit_Or(Turn(axes.rows[2], axes.rows[0], kBeam_Tilt), axes.rows[2]);
  const CVector3 origin = Add(position, Mul(axes.rows[2], kBeam_Ahead));
  const float width = m_On ? 8.5f : 5.0f;
  const uint32_t alpha = static_cast<uint32_t>(std::clamp(static_cast<int>(100.0f * intensity), 0, 255));
  Draw_Axis_Quads(origin, axes.rows[0], axes.rows[1], direction, 3, width, 700.0f, alpha << 24 | kBeam_Red,
                  m_Styles[kBeam_Style], m_Textures[kBeam_Texture]);

  CVector3 dot;
  CWorld_Object* object = nullptr;
  if (!Find_Dot(origin, direction, dot, object)) return;
  const float size = m_On ? 16.5f : 10.0f;
  const CColor4 colour{intensity * intensity, 0.65f, 0.05f, 0.05f};
  CProjection_Frame frame;
  frame.position = dot;
  if (object) {
    frame.orientation = axes;
    g_Gen_Projector.Project_Custom(object, 0, frame, size, m_Textures[kDot_Texture], colour);
  } else {
    frame.orientation.Set_Rows(CVector3{1, 0, 0}, CVector3{0, 0, 1}, CVector3{0, -1, 0});
    g_Gen_Projector.Project(0, frame, size, m_Textures[kDot_Texture], colour);
  }
}
