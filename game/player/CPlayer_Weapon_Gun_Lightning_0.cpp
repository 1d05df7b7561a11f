#include "game/player/CPlayer_Weapon_Gun_Lightning_0.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/core/World_Queries.h"
#include "game/fx/CSpark_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/player/Arsenal_Math.h"
#include "game/player/CPlayer.h"
#include "game/player/Gun_Resources.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/sim/Launch_Helpers.h"
#include "game/trainer/Weapon_Tables.h"
#include "game/warroom/CWarRoom_Sim.h"

using namespace arsenal;

CPlayer_Weapon_Gun_Lightning_0 g_Gun_Lightning;

namespace {

constexpr const char* kClass_Name = "CPlayer_Weapon_Gun_Lightning_0";
enum { kBody, kSecond_Part, kThird_Part, kCharge_Glow, kCharge_Light };
enum { kBody_Style, kSecond_Style, kThird_Style, kGlow_Style };
enum { kBody_Texture, kSecond_Texture, kThird_Texture, kGlow_Texture };
constexpr uint32_t kModel_Ids[5] = {0x22000164, 0x22000165, 0x22000166, 0x22000167, 0x22000168};
constexpr uint32_t kStyle_Ids[4] = {0x220000A8, 0x2200004D, 0x220000D4, 0x22000050};
constexpr uint32_t kTexture_Ids[4] = {0x22000028, 0x22000029, 0x22000025, 0x22000084};

constexpr float kMuzzle_Ahead = 212.0f;
constexpr float kBolt_Length = 5000.0f;
constexpr float kWide_Radius = 225.0f, kNarrow_Radius = 10.0f;
constexpr float kEcho_Period = 0.45f, kEcho_Strike = 0.2f;
constexpr uint32_t kTower_Type = 51, kBoss_Type = 68;
constexpr uint32_t kCounting_Kinds = 0x2B;
constexpr float kCursor_Reach_Sq = 4622500.0f;
constexpr uint32_t kBolt_Colour = 0xFF6666FF;
constexpr uint32_t kDry_Click = 0x2200016A, kCharged_Click = 0x2200016C;
constexpr uint32_t kStrike_Sound_A = 0x2200016B, kStrike_Sound_B = 0x22000169;

float Aim_Tilt(const CVector3& cursor_ray) {
  const float y = cursor_ray.y;
  if (y + 0.3f > 0.0f) return -0.03f - 0.03f * std::clamp(3.0f * (y + 0.25f), 0.0f, 2.0f);
  return -0.03f;
}

// The part of v across the unit direction.
CVector3 Across(const CVector3& v, const CVector3& direction) { return Sub(v, Mul(direction, Dot(v, direction))); }

// Where the segment from start along delta first crosses the plane coordinate[axis] = value,
// when it does (a plane the segment does not reach leaves it alone).
bool Cross_Plane(const CVector3& start, const CVector3& delta, int axis, float value, CVector3& point) {
  const float s = axis == 0 ? start.x : start.z, d = axis == 0 ? delta.x : delta.z;
  if (d == 0.0f) return false;
  const float t = (value - s) / d;
  if (!(t >= 0.0f && t <= 1.0f)) return false;
  point = Add(start, Mul(delta, t));
  return true;
}

}  // namespace

CPlayer_Weapon_Gun::Resource_List CPlayer_Weapon_Gun_Lightning_0::Resources() {
  return {kModel_Ids, m_Models, 5, kStyle_Ids, m_Styles, 4, kTexture_Ids, m_Textures, 4};
}

bool CPlayer_Weapon_Gun_Lightning_0::Init() {
  if (m_Initialised) return true;
  m_Echo_Timer = m_Repeat_Timer = m_Charge = 0.0f;
  m_Angular_Velocity = CVector3{0.0f, 0.0f, 0.0f};
  m_Shot_Id = m_Hits_In_Shot = 0;
  m_Search_Radius = (m_Wide_Search || g_Wide_Search) ? kWide_Radius : kNarrow_Radius;
  m_Wide_Search = 0;
  for (CFX_Lightning& bolt : m_Bolts) bolt.m_Active = false;
  // The energy pulse has no case here: the gun then carries nothing.
  const Attachment_Cases cases{0x2E, CVector3{20.0f, 6.0f, 147.0f}, false};
  return Init_Shared(kClass_Name, 4, 0, Resources(), cases);
}

void CPlayer_Weapon_Gun_Lightning_0::Term() {
  Term_Shared(Resources());
  m_Wide_Search = 0;
}

CFX_Lightning* CPlayer_Weapon_Gun_Lightning_0::Free_Bolt() {
  for (CFX_Lightning& bolt : m_Bolts)
    if (!bolt.m_Active) return &bolt;
  return nullptr;
}

int CPlayer_Weapon_Gun_Lightning_0::Active_Bolts() const {
  int n = 0;
  for (const CFX_Lightning& bolt : m_Bolts) n += bolt.m_Active ? 1 : 0;
  return n;
}

void CPlayer_Weapon_Gun_Lightning_0::Count_Hit() {
  if (++m_Hits_In_Shot == 2) g_Score_Board_Mgr.Award_Multi_Hit();
}

CWorld_Object* CPlayer_Weapon_Gun_Lightning_0::Search_Target(const CVector3& muzzle, CVector3& direction) const {
  float radius = m_Search_Radius;
  const float s = g_Player.m_Factor2 * m_Charge;
  if (s >= 0.7f) radius += 300.0f * s * s;
  CWorld_Query query;
  if (g_World.Collect_Objects_On_Segment(muzzle, Add(muzzle, Mul(direction, kBolt_Length)), radius * radius, query) == 0)
    return nullptr;
  auto counts = [](const CWorld_Object* o) { return (o->m_Kind_Flags & kCounting_Kinds) && o->m_Kill_Timer == 0.0f; };
  auto offset = [&](const CWorld_Object* o) { return Length(Across(Sub(o->m_Position, muzzle), direction)); };
  CWorld_Object* pick = query.objects[0];
  for (int i = 1; i < query.count; ++i) {
    CWorld_Object* o = query.objects[i];
    if (counts(o) && !counts(pick))
      pick = o;
    else if (offset(o) < offset(pick))
      pick = o;
  }
  // Bend the bolt onto the pick.
  const CVector3 to_centre = Sub(pick->m_Position, muzzle);
  const CVector3 across = Across(to_centre, direction);
  const float across_sq = Dot(across, across);
  CVector3 aim_point = pick->m_Position;
  if (pick->m_Body_Kind == kBody_Sphere) {
    const float r = pick->m_Collision_Radius;
    // A line that misses the sphere is aimed just inside its near surface.
    if (across_sq <= r * r + 2.0f) return pick;
    aim_point = Sub(pick->m_Position, Mul(across, (r - 1.0f) / std::sqrt(across_sq)));
  } else if (pick->m_Body_Kind == kBody_Box || pick->m_Body_Kind == kBody_Fixed) {
    const CVector3& half = pick->m_Body_Kind == kBody_Box ? pick->m_Box.half_size : pick->m_Fixed.half_size;
    const CVector3 unit = Unit_Or(across, CVector3{0.0f, 0.0f, 0.0f});
    const CMatrix3x3& axes = pick->m_Orientation;
    const float extent = std::fabs(Dot(axes.rows[0], unit)) * half.x + std::fabs(Dot(axes.rows[1], unit)) * half.y +
                         std::fabs(Dot(axes.rows[2], unit)) * half.z;
    const float reach = std::min(std::sqrt(across_sq), extent * (1.0f - 0.15f));
    aim_point = Sub(pick->m_Position, Mul(unit, reach));
  }
  direction = Unit_Or(Sub(aim_point, muzzle), direction);
  return pick;
}

void CPlayer_Weapon_Gun_Lightning_0::Boss_Sparks(const CVector3& end, const CVector3& direction) {
  const int count = 1 + static_cast<int>(Random01() * 3.0f);
  for (int i = 0; i < count; ++i) {
    const CVector3 d = Unit_Or(Add(Mul(direction, -1.0f), Mul(Random_Perpendicular_Vector(direction), 0.5f + 1.5f * Random01())),
                               Mul(direction, -1.0f));
    if (!g_Spark_Mgr.Add_Spark(end, Mul(d, 100.0f + 300.0f * Random01()), 0xFFAA88FF)) break;
  }
}

int CPlayer_Weapon_Gun_Lightning_0::Strike(const CVector3& muzzle, CVector3& direction, CVector3& end) {
  end = Add(muzzle, Mul(direction, kBolt_Length));
  if (CWorld_Object* target = Search_Target(muzzle, direction)) {
    end = Add(muzzle, Mul(direction, kBolt_Length));
    CVector3 point;
    int variant = CShot_Source::kLightning;
    if (World_Strike_Object(target, muzzle, Mul(direction, kBolt_Length), point, variant, m_Shot_Id)) {
      end = point;
      Count_Hit();
      if (target->m_Type == kBoss_Type) Boss_Sparks(end, direction);
      return kEnd_Object;
    }
  }
  CVector3 hit;
  const CVector3 delta = Sub(end, muzzle);
  if (g_World.Has_Terrain() && g_World.Intersect_Terrain(muzzle, delta, hit)) {
    end = hit;
    return kEnd_Terrain;
  }
  // The walls cut the bolt only where their plane crosses it.
  const float size_x = g_World.m_Terrain.size_x, size_z = g_World.m_Terrain.size_z;
  bool cut = Cross_Plane(muzzle, delta, 0, direction.x >= 0.0f ? size_x : 0.0f, hit);
  if (cut) end = hit;
  if (end.z > size_z && Cross_Plane(muzzle, Sub(end, muzzle), 2, size_z, hit)) {
    end = hit;
    cut = true;
  }
  return cut ? kEnd_Wall : kEnd_Open;
}

bool CPlayer_Weapon_Gun_Lightning_0::Spur(const CVector3& end, int end_kind, float power, CVector3& spur_end) {
  if (end_kind == kEnd_Wall) {
    CWorld_Object* object = g_World.Find_Live_Object_In_Radius(kCounting_Kinds, end, 200.0f * power);
    if (!object || Random01() >= 0.5f) return false;
    const CVector3 to{object->m_Position.x + 20.0f * Random01() - 10.0f, object->m_Position.y + 20.0f * Random01() - 10.0f,
                      object->m_Position.z + 20.0f * Random01() - 10.0f};
    CVector3 point;
    int variant = CShot_Source::kLightning;
    if (!World_Strike_Object(object, end, Sub(to, end), point, variant, m_Shot_Id)) return false;
    Count_Hit();
    g_Score_Board_Mgr.Award_Bonus_Hit();
    spur_end = point;
    return true;
  }
  if (end_kind == kEnd_Terrain || !g_World.Has_Terrain()) return false;
  if (end.y - g_World.Get_Height(end.x, end.z) >= 350.0f) return false;
  const float x = end.x + 440.0f * Random01() - 220.0f, z = end.z + 150.0f * Random01() + 100.0f;
  if (!(x > 0.0f && x < g_World.m_Terrain.size_x && z > 0.0f && z < g_World.m_Terrain.size_z)) return false;
  spur_end = CVector3{x, g_World.Get_Height(x, z), z};
  return true;
}

bool CPlayer_Weapon_Gun_Lightning_0::Fire() {
  if (!m_Initialised) return false;
  if (m_Charge < kLeast_Charge) {
    if (m_Repeat_Timer != 0.0f) {
      m_Charge = 0.0f;
      m_Repeat_Timer = 0.0f;
    } else {
      Play_Sound_FX(kDry_Click, 0.75f);
    }
    return false;
  }
  if (m_Repeat_Timer == 0.0f) {
    ++m_Shot_Id;
    m_Hits_In_Shot = 0;
    g_Sim_Stats.Record_Shot(CShot_Source{nullptr, CShot_Source::kLightning}, static_cast<uint32_t>(m_Shot_Id));
  }
  m_Repeat_Timer = 0.15f + 0.1f * Random01();
  const float power = std::max(m_Charge, 0.35f);
  m_Charge -= (0.175f + 0.05f * Random01()) * g_Player.m_Inv_Factor2;
  const CVector3 muzzle = Add(g_Player.m_Mount_Position, Mul(Aim(), kMuzzle_Ahead));
  CVector3 direction = Aim();
  if (g_WarRoom_Sim.m_Initialised) {
    CVector3 point;
    CWorld_Object* object = nullptr;
    const CVector3 eye = g_Camera.Position();
    if (World_Cast_Ray(eye, g_Camera.Get_Cursor_Ray(), point, 2.5f, object) == kRay_Object && object &&
        object->m_Type != kTower_Type) {
      const CVector3 to = Sub(object->m_Position, eye);
      if (Dot(to, to) < kCursor_Reach_Sq) {
        const CVector3 from_muzzle = Sub(object->m_Position, muzzle);
        direction = Mul(from_muzzle, 1.0f / std::max(Length(from_muzzle), 0.001f));
      }
    }
  }
  CVector3 end;
  const int end_kind = Strike(muzzle, direction, end);
  const float r = Random01();
  if (CFX_Lightning* bolt = Free_Bolt())
    bolt->Setup(0, muzzle, end, kBolt_Colour, g_Player.m_Factor2 * power * 1.5f, 0.65f + 0.2f * r, 1.0f);
  const int arcs = std::clamp(static_cast<int>((3.0f + 12.0f * Random01()) * power), 2, 5);
  for (int i = 0; i < arcs; ++i) {
    const CVector3 back = Turn(Mul(Aim(), -30.0f), m_Orientation.rows[1], 3.0f * Random01() - 1.5f);
    if (CFX_Lightning* arc = Free_Bolt())
      arc->Setup(2, Add(muzzle, back), muzzle, kBolt_Colour, power, 0.4f + 0.2f * Random01(), 1.0f);
  }
  CVector3 spur_end;
  if (Spur(end, end_kind, power, spur_end))
    if (CFX_Lightning* spur = Free_Bolt())
      spur->Setup(1, end, spur_end, kBolt_Colour, power * 2.5f, 0.4f + 0.2f * Random01(), 1.0f);
  if (end_kind == kEnd_Terrain) Place_World_Decal_Random(2, end, 10.0f * (1.0f + Random01()), 1.0f, 0xFF000066);
  m_Echo_Timer = kEcho_Period;
  const float loud = 0.8f + 0.2f * Random01();
  if (Random01() < 0.5f)
    Play_Sound_FX(kStrike_Sound_A, std::clamp(loud * power * 0.35f, 0.35f, 0.75f));
  else
    Play_Sound_FX(kStrike_Sound_B, std::clamp(loud * power * 0.25f, 0.15f, 0.5f));
  return true;
}

void CPlayer_Weapon_Gun_Lightning_0::Recharge(float dt) {
  if (m_Charge >= 1.0f) return;
  const float before = m_Charge;
  m_Charge += g_Player.m_Factor1 * 0.1f * dt;
  if (m_Charge >= 1.0f) {
    m_Charge = 1.0f;
    Play_Sound_FX(kCharged_Click, 0.25f);
  } else if (before < 0.7f && m_Charge >= 0.7f) {
    Play_Sound_FX(kCharged_Click, 0.1f);
  }
}

void CPlayer_Weapon_Gun_Lightning_0::Update(const CFrame_Info& frame) {
  if (!m_Initialised) return;
  const float dt = frame.Delta;
  if (m_Repeat_Timer != 0.0f) {
    m_Repeat_Timer -= dt;
    if (m_Repeat_Timer <= 0.0f) Fire();
  }
  Recharge(dt);
  if (m_Echo_Timer != 0.0f && dt != 0.0f) {
    const float before = m_Echo_Timer;
    m_Echo_Timer = std::max(0.0f, m_Echo_Timer - dt);
    if (before > kEcho_Strike && m_Echo_Timer <= kEcho_Strike) {
      const CVector3 muzzle = Add(g_Player.m_Mount_Position, Mul(Aim(), kMuzzle_Ahead));
      CVector3 direction = Aim(), end;
      Strike(muzzle, direction, end);
    }
  }
  if (m_Flags & kStraight_Down) m_Echo_Timer = 0.0f;
  if (m_Echo_Timer == 0.0f) Aim_Spring(frame, Aim_Tilt(g_Camera.Get_Cursor_Ray()), m_Angular_Velocity);
  for (CFX_Lightning& bolt : m_Bolts)
    if (bolt.m_Active) bolt.Update(dt);
  Update_Attachment(frame);
}

void CPlayer_Weapon_Gun_Lightning_0::Draw_Charge_Lights(const CMatrix4x4& world) {
  struct Light {
    CVector3 at;
    float lit_from;
  };
  const Light lights[3] = {{{6.0f, 11.0f, 148.0f}, 1.0f}, {{0.0f, 11.3f, 145.5f}, 0.7f}, {{-6.0f, 11.0f, 148.0f}, 0.15f}};
  const CVector3& mount = g_Player.m_Mount_Position;
  for (const Light& light : lights) {
    const bool lit = m_Charge >= light.lit_from;
    const CVector3 at = Add(Add(Add(mount, Mul(m_Orientation.rows[0], light.at.x)), Mul(m_Orientation.rows[1], light.at.y)),
                            Mul(m_Orientation.rows[2], light.at.z));
    const uint32_t colour = lit ? Pack_Color_ARGB(CColor4{0.5f, 0.5f, 1.0f, 1.0f}) : Pack_Color_ARGB(CColor4{0.15f, 0.15f, 0.15f, 1.0f});
    Draw_Model(m_Models[kCharge_Light], Scaled_Frame(m_Orientation, at), m_Styles[kBody_Style], m_Textures[kBody_Texture],
               nullptr, &colour);
    if (!lit) continue;
    float scale = 1.0f, k = 0.325f;
    for (int i = 0; i < 5; ++i) {
      scale *= 1.075f;
      const uint32_t glow = Alpha_Over(k, 0x7777FF);
      Draw_Model(m_Models[kCharge_Light], Scaled_Frame(m_Orientation, at, scale, scale, scale), m_Styles[kGlow_Style],
                 m_Textures[kBody_Texture], nullptr, &glow);
      k *= 0.5f;
    }
  }
  (void)world;
}

void CPlayer_Weapon_Gun_Lightning_0::Draw_Charge_Glow(const CMatrix4x4& world) {
  float intensity = g_Player.m_Factor2 * m_Charge * 0.5f * (g_Game_Paused ? 1.0f : 1.0f + Random01());
  uint32_t colour = Alpha_Over(std::min(1.0f, intensity), 0x4444FF);
  Draw_Model(m_Models[kCharge_Glow], world, m_Styles[kGlow_Style], m_Textures[kGlow_Texture], nullptr, &colour);
  CVector3 scale{1.0f, 1.0f, 1.0f};
  for (int i = 0; i < 4; ++i) {
    scale = CVector3{scale.x * 1.35f, scale.y * 1.15f, scale.z * 1.125f};
    intensity *= 0.85f;
    if (intensity <= 0.25f) continue;
    colour = Alpha_Over(std::min(1.0f, intensity), 0x4444FF);
    Draw_Model(m_Models[kCharge_Glow], Scaled_Frame(m_Orientation, g_Player.m_Mount_Position, scale.x, scale.y, scale.z),
               m_Styles[kGlow_Style], m_Textures[kGlow_Texture], nullptr, &colour);
  }
}

void CPlayer_Weapon_Gun_Lightning_0::Render(const CFrame_Info& frame) {
  (void)frame;
  if (!m_Initialised) return;
  for (CFX_Lightning& bolt : m_Bolts)
    if (bolt.m_Active) bolt.Render();
  const CMatrix4x4 world = Scaled_Frame(m_Orientation, g_Player.m_Mount_Position);
  Draw_Model(m_Models[kBody], world, m_Styles[kBody_Style], m_Textures[kBody_Texture]);
  const uint32_t second = Pack_Color_ARGB(CColor4{0.55f, 0.25f, 0.45f, 1.0f}), third = 0xFFAAAAFF;
  Draw_Model(m_Models[kSecond_Part], world, m_Styles[kSecond_Style], m_Textures[kSecond_Texture], nullptr, &second);
  Draw_Model(m_Models[kThird_Part], world, m_Styles[kThird_Style], m_Textures[kThird_Texture], nullptr, &third);
  Normalize_Normals(true);
  Draw_Charge_Lights(world);
  Draw_Charge_Glow(world);
  Normalize_Normals(false);
  Render_Attachment();
  for (CFX_Lightning& bolt : m_Bolts)
    if (bolt.m_Active) bolt.Render_Glow();
}
