#include "game/fx/CSpark_Mgr.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CWorld.h"
#include "game/core/WinMain.h"
#include "game/fx/CParticle_Add_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/Launch_Helpers.h"
#include "runtime/src/math/geometry.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "game/core/CGame.h"

CSpark_Mgr g_Spark_Mgr;

namespace {

constexpr float kHit_Reach_Sq = 2.5f;
constexpr float kBounce_Factor = 1.65f;
constexpr float kWall_Height = 15000.0f;
constexpr float kPi = 3.14159265f;
const char kMissing_Message[] = "Error in CSpark_Mgr\nUnable to load texture...";

// One hit of the spark's step against a triangle facing its motion: the step fraction, the
// brightness and the bounced velocity.
void Respond(CSpark& spark, const CVector3& normal, float segment_at, float& fraction) {
  if (segment_at < 1.0f) fraction *= segment_at;
  spark.brightness -= 0.1f;
  CVector3 push;
  normal.Scale(spark.velocity.Dot(normal) * kBounce_Factor, push);
  spark.velocity.Subtract(push, spark.bounced_velocity);
  spark.flags |= kSpark_Bounced;
}

void Test_Triangle(CSpark& spark, const CVector3& step, const CVector3& a, const CVector3& b, const CVector3& c,
                   const CVector3& normal, float& fraction) {
  if (!(spark.velocity.Dot(normal) < 0.0f)) return;
  float r = 1.0f;
  if (SegmentTriangleDistanceSq(spark.position, step, a, b, c, &r) < kHit_Reach_Sq) Respond(spark, normal, r, fraction);
}

// A boundary plane taken as a quad 15000 high along the edge, normal pointing inward.
void Test_Wall(CSpark& spark, const CVector3& step, const CVector3& p0, const CVector3& p1, const CVector3& normal,
               float& fraction) {
  const CVector3 p2{p1.x, p1.y + kWall_Height, p1.z};
  const CVector3 p3{p0.x, p0.y + kWall_Height, p0.z};
  Test_Triangle(spark, step, p0, p1, p2, normal, fraction);
  Test_Triangle(spark, step, p0, p2, p3, normal, fraction);
}

int Cell_Bound(float coordinate, float per_unit, int last) {
  const float cell = coordinate * per_unit;
  if (!(cell >= 1.0f)) return 0;
  return cell >= static_cast<float>(last) ? last : std::min(static_cast<int>(cell), last);
}

}  // namespace

bool CSpark_Mgr::Init() {
  for (CSpark& s : m_Sparks) s = CSpark();
  m_Live_Count = 0;
  // Already holding its textures and style: a second call only clears the sparks.
  if (m_Initialised) return true;
  m_Style = fx::Get_Style(0x220000C6);
  m_Streak_Texture = fx::Get_Texture(0x2200008A);
  m_Glow_Texture = fx::Get_Texture(0x2200005C);
  if (!m_Style || !m_Streak_Texture || !m_Glow_Texture) {
    Show_Message("%s", kMissing_Message);
    Term();
    return false;
  }
  m_Initialised = true;
  return true;
}

void CSpark_Mgr::Term() {
  fx::Release(m_Streak_Texture);
  fx::Release(m_Glow_Texture);
  fx::Release(m_Style);
  m_Initialised = false;
}

bool CSpark_Mgr::Add_Spark(const CVector3& position, const CVector3& velocity, uint32_t color) {
  if (m_Live_Count >= kMax_Sparks) return false;
  for (CSpark& s : m_Sparks) {
    if (s.flags & kSpark_Live) continue;
    s = CSpark();
    s.flags = kSpark_Live;
    s.position = position;
    s.velocity = velocity;
    s.color = color;
    s.brightness = 1.0f;
    s.fade_rate = 0.15f + 1.35f * fx::Random_Unit();
    ++m_Live_Count;
    return true;
  }
  return false;
}

void CSpark_Mgr::Update(const CFrame_Info& frame) {
  if (m_Live_Count <= 0) return;
  const float dt = frame.Delta;
  for (CSpark& s : m_Sparks) {
    if (!(s.flags & kSpark_Live)) continue;
    Move(s, dt);
    CVector3 pull;
    g_World.m_Gravity.Scale(dt * 1.75f, pull);
    s.velocity.Add_Assign(pull);
    s.brightness -= s.fade_rate * dt * 0.4f;
    if (!(s.brightness > 0.0f)) {
      s.flags = 0;
      --m_Live_Count;
    }
  }
}

void CSpark_Mgr::Move(CSpark& spark, float dt) {
  CVector3 step;
  spark.velocity.Scale(dt, step);
  const CVector3 end{spark.position.x + step.x, spark.position.y + step.y, spark.position.z + step.z};
  float fraction = 1.0f;
  const CWorld& w = g_World;
  const int nx = w.m_Terrain.vertices_x, nz = w.m_Terrain.vertices_z;
  // A paused step moves nothing and hits nothing: a spark resting on the ground keeps its light.
  const bool moving = step.Length_Squared() > 0.0f;
  if (moving && w.Has_Terrain() && w.m_Positions && w.m_Normals && nx >= 2 && nz >= 2) {
    const int c0 = Cell_Bound(std::min(spark.position.x, end.x), w.m_Cells_Per_Unit_X, nx - 2);
    const int c1 = Cell_Bound(std::max(spark.position.x, end.x), w.m_Cells_Per_Unit_X, nx - 2);
    const int r0 = Cell_Bound(std::min(spark.position.z, end.z), w.m_Cells_Per_Unit_Z, nz - 2);
    const int r1 = Cell_Bound(std::max(spark.position.z, end.z), w.m_Cells_Per_Unit_Z, nz - 2);
    const CVector3* v = w.m_Positions;
    for (int row = r0; row <= r1; ++row)
      for (int column = c0; column <= c1; ++column) {
        const int k = row * nx + column;
        Test_Triangle(spark, step, v[k], v[k + nx], v[k + 1], w.m_Normals[k], fraction);
        Test_Triangle(spark, step, v[k + nx], v[k + nx + 1], v[k + 1], w.m_Normals[k + 1], fraction);
      }
    const float sx = w.m_Terrain.size_x, sz = w.m_Terrain.size_z;
    if (end.x > sx) Test_Wall(spark, step, CVector3{sx, -kWall_Height / 2, 0}, CVector3{sx, -kWall_Height / 2, sz}, CVector3{-1, 0, 0}, fraction);
    if (!(end.x > 0.0f)) Test_Wall(spark, step, CVector3{0, -kWall_Height / 2, 0}, CVector3{0, -kWall_Height / 2, sz}, CVector3{1, 0, 0}, fraction);
    if (end.z > sz) Test_Wall(spark, step, CVector3{0, -kWall_Height / 2, sz}, CVector3{sx, -kWall_Height / 2, sz}, CVector3{0, 0, -1}, fraction);
    if (!(end.z > 0.0f)) Test_Wall(spark, step, CVector3{0, -kWall_Height / 2, 0}, CVector3{sx, -kWall_Height / 2, 0}, CVector3{0, 0, 1}, fraction);
  }
  CVector3 moved;
  step.Scale(fraction, moved);
  spark.position.Add_Assign(moved);
  if (spark.flags & kSpark_Bounced) {
    spark.velocity = spark.bounced_velocity;
    spark.flags &= static_cast<uint8_t>(~kSpark_Bounced);
  }
}

void CSpark_Mgr::Build_Streak(const CSpark& spark, const CVector3& first_side, DrawPrimTexTriangle* out) {
  const float b = spark.brightness;
  float k = std::clamp(1.0f - b * b, 0.0f, 1.0f);
  if (b < 0.3f) k *= std::clamp(b * 3.33f, 0.0f, 1.0f);
  CVector3 tail;
  spark.velocity.Scale(-k * 0.26f, tail);
  CVector3 direction = spark.velocity;
  if (direction.Length() > 0.0f) direction.Normalize();
  const float width = b * 25.0f * k;
  const uint32_t color = fx::Clamp_Byte(b * 255.0f) << 24 | (spark.color & 0xFFFFFF);
  CVector3 side = first_side;
  CQuaternion turn;
  turn.From_Axis_Angle(direction, kPi / 3.0f);
  int n = 0;
  for (int ribbon = 0; ribbon < 3; ++ribbon) {
    for (int segment = 0; segment < 6; ++segment) {
      auto at = [&](int i, float sign) {
        const float x = static_cast<float>(i) / 6.0f;
        const float m = 1.0f - 2.0f * (0.5f - std::fabs(x + 1.0f / 6.0f - 0.5f));
        const float profile = (i == 0 || i == 6) ? 0.0f : 1.0f - m * m;
        const float w = width * profile * sign;
        return TexVertex{spark.position.x + tail.x * x + side.x * w, spark.position.y + tail.y * x + side.y * w,
                         spark.position.z + tail.z * x + side.z * w, color, 0.4f + 0.2f * x, sign > 0 ? 1.0f : 0.0f};
      };
      out[n++] = DrawPrimTexTriangle{{at(segment, -1.0f), at(segment, 1.0f), at(segment + 1, 1.0f)}};
      out[n++] = DrawPrimTexTriangle{{at(segment, -1.0f), at(segment + 1, 1.0f), at(segment + 1, -1.0f)}};
    }
    side.Rotate_By_Quaternion(turn);
  }
}

void CSpark_Mgr::Render() {
  if (!m_Initialised) return;
  DrawPrimTexTriangle streak[kStreak_Triangles];
  for (const CSpark& s : m_Sparks) {
    if (!(s.flags & kSpark_Live)) continue;
    CVector3 direction = s.velocity;
    if (direction.Length() > 0.0f) direction.Normalize();
    const CVector3 side = g_Game_Paused ? CVector3{1.0f, 0.0f, 0.0f} : Random_Perpendicular_Vector(direction);
    Build_Streak(s, side, streak);
    g_pDrawPrim->SetTransformType(kDrawPrimWorld);
    g_pDrawPrim->SetTexture(m_Streak_Texture, 0);
    g_pDrawPrim->SetRenderStyle(m_Style);
    g_pDrawPrim->DrawTexTriangles(streak, kStreak_Triangles);
    g_pDrawPrim->DrawTexTriangles(streak, kStreak_Triangles);
    const uint32_t glow = fx::Clamp_Byte(s.brightness * 255.0f) << 24 | (s.color & 0xFFFFFF);
    Draw_Billboard(s.position, 8.0f, 8.0f, glow, m_Style, m_Glow_Texture);
    Draw_Billboard(s.position, 5.0f, 5.0f, glow, m_Style, m_Glow_Texture);
  }
}
