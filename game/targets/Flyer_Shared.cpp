#include "game/targets/Flyer_Shared.h"

#include <algorithm>
#include <cmath>

#include "game/core/CCamera.h"
#include "game/core/CWorld.h"
#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/fx/CParticle_Sparkle_Mgr.h"
#include "game/fx/Draw_Helpers.h"
#include "game/fx/FX_Resources.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "game/core/CGame.h"

namespace flyer {

namespace {

constexpr CColor4 kLights[4] = {
    {0.5f, 1.0f, 0.5f, 1.0f}, {1.0f, 1.0f, 0.4f, 1.0f}, {1.0f, 0.3f, 1.0f, 1.0f}, {1.0f, 0.3f, 0.3f, 1.0f}};
constexpr CColor4 kWhite{1.0f, 1.0f, 1.0f, 1.0f};
constexpr CColor4 kBlack{0.0f, 0.0f, 0.0f, 1.0f};

}  // namespace

CColor4 Light_Colour(int index) { return index >= 0 && index < 4 ? kLights[index] : kWhite; }
const CColor4& Black() { return kBlack; }

CColor4 Brighter(const CColor4& colour, float factor) {
  return CColor4{colour.r * factor, colour.g * factor, colour.b * factor, colour.a};
}

uint32_t Pack(const CColor4& colour) { return Pack_Color_ARGB(colour); }

float Wrap_Angle(float angle) {
  if (!std::isfinite(angle)) return 0.0f;
  angle = std::fmod(angle, kTwo_Pi);
  return angle < 0.0f ? angle + kTwo_Pi : angle;
}

CMatrix3x3 Turn_About_Y(float angle) {
  CMatrix3x3 turn;
  turn.From_Axis_Angle(CVector3{0.0f, 1.0f, 0.0f}, angle);
  return turn;
}

bool Add_Sparkle(const CVector3& position, const CVector3& velocity, float size, float life, uint32_t colour,
                 float gravity) {
  return g_Particle_Sparkle_Mgr.Add_Particle(position, velocity, size, life, colour, gravity, kSparkle_Size_Fades);
}

bool Is_Player_Shot(const CWorld_Object* hitter) { return hitter && (hitter->m_Kind_Flags & kKind_Shot) != 0; }

bool Is_Hit_Target(const CWorld_Object* hitter) {
  return hitter && (hitter->m_Kind_Flags & (kKind_Counted_Target | kKind_Excluded)) ==
                       (kKind_Counted_Target | kKind_Excluded);
}

const targets::Target_Member& Member_Of(uint32_t type) { return *targets::Find_Target_Member(type); }

void Register_Hit(CWorld_Object& target, CWorld_Object* hitter) {
  targets::Register_First_Hit(Member_Of(target.m_Type), target, hitter);
}

void Bar_First_Hit(CWorld_Object& target, CWorld_Object* other, const CShot_Line* shot, int colour_index,
                   uint32_t sound) {
  const bool player = Is_Player_Shot(other);
  if (player) Register_Hit(target, other);
  if (player || (!other && shot)) {
    targets::Sparkle_Burst burst;
    burst.size_base = 45.0f;
    burst.size_range = 50.0f;
    targets::Emit_Sparkle_Burst(target, Pack(Brighter(Get_Variant_Color(colour_index), 2.5f)), burst);
    if (sound) Play_Sound_3D(sound, target.m_Position, 1.0f);
    target.m_Kind_Flags |= kKind_Excluded;
  } else if (!other && !shot) {
    target.m_Kind_Flags |= kKind_Excluded;
  }
}

void Chain_Burst(CWorld_Object& target, CWorld_Object* other, const CShot_Line* shot, uint32_t colour,
                 float spread, float offset_factor, unsigned chain_points, uint32_t sound) {
  if (other) {
    Register_Hit(target, other);
  } else if (!shot) {
    g_Score_Board_Mgr.Award_Points(chain_points, 1.0f);
  }
  targets::Sparkle_Burst burst;
  burst.spread = spread;
  burst.offset_factor = offset_factor;
  burst.size_base = 25.0f;
  burst.size_range = 20.0f;
  burst.life_base = 0.25f;
  burst.life_range = 0.75f;
  targets::Emit_Sparkle_Burst(target, colour, burst);
  Play_Sound_3D(sound, target.m_Position, 1.0f);
  target.m_Kill_Timer = 1.0f;
  target.m_Kind_Flags |= kKind_Excluded;
}

void Draw_Glow(const CVector3& centre, const CVector3& spoke, const CVector3& axis, unsigned count, float width,
               float length, uint32_t colour, CD3DRenderStyle* style, CTextureData* texture,
               const CWorld_Mirror* mirror) {
  g_pDrawPrim->SetTransformType(kDrawPrimWorld);
  if (mirror) {
    Draw_Axis_Quads(Mirror_Point(*mirror, centre), Mirror_Direction(*mirror, spoke), CVector3{0, 0, 0},
                    Mirror_Direction(*mirror, axis), count, width, length, colour, style, texture);
    return;
  }
  Draw_Axis_Quads(centre, spoke, CVector3{0, 0, 0}, axis, count, width, length, colour, style, texture);
}

CVector3 Mirror_Point(const CWorld_Mirror& mirror, const CVector3& point) {
  const CMatrix4x4& m = mirror.transform;
  return CVector3{point.x * m.m[0][0] + point.y * m.m[1][0] + point.z * m.m[2][0] + m.m[3][0],
                  point.x * m.m[0][1] + point.y * m.m[1][1] + point.z * m.m[2][1] + m.m[3][1],
                  point.x * m.m[0][2] + point.y * m.m[1][2] + point.z * m.m[2][2] + m.m[3][2]};
}

CVector3 Mirror_Direction(const CWorld_Mirror& mirror, const CVector3& direction) {
  CVector3 out = direction;
  return out.Rotate_By_Matrix4(mirror.transform);
}

uint32_t With_Alpha(uint32_t colour, float alpha_0_255) {
  return fx::Clamp_Byte(alpha_0_255) << 24 | (colour & 0x00FFFFFF);
}

const CVector3& Camera_Position() { return g_Camera.Position(); }
float World_X() { return g_World.m_Terrain.size_x; }
float World_Z() { return g_World.m_Terrain.size_z; }
float Ground(float x, float z) { return g_World.Has_Terrain() ? g_World.Get_Height(x, z) : 0.0f; }

}  // namespace flyer
