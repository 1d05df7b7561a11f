#include "game/sim/Launch_Helpers.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/menu/CModal_Dlg.h"
#include "game/trainer/CClient_Data.h"
#include "platform/system/random.h"

namespace {

constexpr float kLeast_Gravity = -0.1f;

float World_Gravity() { return std::min(g_World.m_Gravity.y, kLeast_Gravity); }

float Random_Signed() { return 2.0f * static_cast<float>(plat::Random()) / 32768.0f - 1.0f; }

}  // namespace

CVector3 Calc_Ballistic_Velocity(const float& x, const float& y, const float& z, const CVector3& target,
                                 const float& flight_time, const float& gravity_scale) {
  const float t = flight_time > 0.0001f ? flight_time : 0.0001f;
  const float g = World_Gravity();
  return CVector3{(target.x - x) / t, (target.y - y - 0.5f * g * gravity_scale * t * t) / t, (target.z - z) / t};
}

CVector3 Calc_Launch_Velocity(const float& x, const float& y, const float& z, const CVector3& target,
                              const float& vertical_speed, const float& gravity_scale) {
  const float g = World_Gravity() * gravity_scale;
  const float dx = target.x - x, dz = target.z - z;
  const float rise_time = -vertical_speed / g;
  const float top = y + rise_time * (vertical_speed + g * rise_time / 2.0f);
  const float t = std::max(rise_time + std::sqrt(std::fabs(2.0f * (target.y - top) / g)), 0.1f);
  // dx / D * D / t, written so that a target straight above or below (D = 0) gives no sideways speed.
  return CVector3{dx / t, vertical_speed, dz / t};
}

CVector3 Random_Perpendicular_Vector(const CVector3& direction) {
  const float first = Random_Signed();
  const float second = Random_Signed();
  const float third = Random_Signed();
  CVector3 v{second, first, third};
  const float along = v.Dot(direction);
  v.Set(v.x - direction.x * along, v.y - direction.y * along, v.z - direction.z * along);
  const float length = v.Length();
  if (length != 0.0f) return CVector3{v.x / length, v.y / length, v.z / length};
  return CVector3{0.0f, 0.0f, 1.0f};
}

const char* Get_Ordinal_Suffix(const unsigned& n) {
  static char suffix[4];
  const unsigned last_two = n % 100;
  const char* text = "th";
  if (last_two < 11 || last_two > 13) {
    switch (n % 10) {
      case 1: text = "st"; break;
      case 2: text = "nd"; break;
      case 3: text = "rd"; break;
      default: break;
    }
  }
  std::strncpy(suffix, text, sizeof(suffix));
  return suffix;
}

void Show_WarRoom_Info(const int& kind) {
  static std::string lines[4];
  const uint32_t bit = kind == 1 ? 1u : kind == 2 ? 2u : 0u;
  if (bit == 0 || Test_Client_Flags(bit) || g_Modal_Dlg.Is_Open()) return;
  for (std::string& line : lines) line.clear();
  if (kind == 1) {
    lines[0] = "You have received a private message.";
    lines[1] = "Private messages are highlighted in red,";
    lines[2] = "in the communications panel.";
  } else {
    lines[0] = "Left click on a site to select it and use the";
    lines[1] = "\"Launch Shuttle\" button or double click to go there.";
    lines[3] = "Infected areas are indicated in red.";
  }
  const CMatrix3x3& axes = g_Camera.Rotation();
  const CVector3& eye = g_Camera.Position();
  const CVector3 start{eye.x + axes.rows[1].x * 10.0f + axes.rows[2].x * 100.0f,
                       eye.y + axes.rows[1].y * 10.0f + axes.rows[2].y * 100.0f,
                       eye.z + axes.rows[1].z * 10.0f + axes.rows[2].z * 100.0f};
  const float width = g_Camera.Screen_Width(), height = g_Camera.Screen_Height();
  const CVector2 centre{0.5f * width, 0.46f * height};
  const float box_width = 0.6f * width, box_height = 0.0f;
  const int mode = CModal_Dlg::kMode_Message;
  g_Modal_Dlg.Init(start, centre, box_width, box_height, mode);
  const uint32_t large = 1, plain = 0;
  const int32_t no_command = 0;
  g_Modal_Dlg.Add_Line("Info", 0xeeeeee88, large, no_command, no_command);
  for (const std::string& line : lines)
    if (!line.empty()) g_Modal_Dlg.Add_Line(line.c_str(), 0xee88ee88, plain, no_command, no_command);
  Set_Client_Flags(bit);
}
