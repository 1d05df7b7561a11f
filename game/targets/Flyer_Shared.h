#pragma once
// What the track-spawned flying targets and the light wall share beyond the shared target
// model: the light colour table, angle and turn helpers, single sparkles, the hitter tests,
// the glow fans and mirrored points, and the camera and world sizes.
#include <cstdint>
#include <initializer_list>

#include "game/core/CWorld_Object.h"
#include "game/player/Arsenal_Math.h"
#include "game/targets/Target_Shared.h"
#include "runtime/src/math/math_types.h"

class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

namespace flyer {

using targets::Award_Precision;
using targets::Get_Variant_Color;
using targets::Load_Resources;
using targets::Mirrored;
using targets::Release_Resources;
using targets::Resource;
using targets::World_Matrix;
using targets::kNo_Created_Texture;
using targets::kNo_Renderable;
using targets::kNo_Shader;
using targets::kNo_Texture;

using arsenal::Add;
using arsenal::Dot;
using arsenal::Length;
using arsenal::Mul;
using arsenal::Random01;
using arsenal::Sub;

constexpr float kTwo_Pi = 6.28318531f;
constexpr float kPi = 3.14159265f;

// The light table of the buster, the flier and the glower; white outside 0-3.
CColor4 Light_Colour(int index);
// Red, green and blue times the factor, alpha kept.
CColor4 Brighter(const CColor4& colour, float factor);
// Each channel × 255, truncated and clamped to 0-255, alpha in the top byte.
uint32_t Pack(const CColor4& colour);
const CColor4& Black();

// An angle advanced and wrapped into [0, 2π).
float Wrap_Angle(float angle);
// A turn about the vertical axis by the angle.
CMatrix3x3 Turn_About_Y(float angle);

// One sparkle through the sparkle manager (flags 2: size and alpha follow its life).
bool Add_Sparkle(const CVector3& position, const CVector3& velocity, float size, float life, uint32_t colour,
                 float gravity);

bool Is_Player_Shot(const CWorld_Object* hitter);
// A counted target that has itself been hit (kind flags 0x01 and 0x40).
bool Is_Hit_Target(const CWorld_Object* hitter);
// The class's row of the table of target classes (the type must have one).
const targets::Target_Member& Member_Of(uint32_t type);
// Registers a first hit with the run's statistics when the class's row counts the hitter.
void Register_Hit(CWorld_Object& target, CWorld_Object* hitter);
// The first hit as the bar, the second glower and the boomer take it: a player shot is
// registered; a player shot, or a shot line without a hitter, bursts sparkles of the variant
// colour × 2.5 (size 45 + 50r), plays the sound (none for 0) and excludes the target from the
// misses; neither hitter nor line only excludes it; any other hitter does nothing.
void Bar_First_Hit(CWorld_Object& target, CWorld_Object* other, const CShot_Line* shot, int colour_index,
                   uint32_t sound);
// A flare's or leaf's burst: a player shot is registered, a burst with neither hitter nor line
// (a chain's) awards the chain's points; sparkles in the colour (size 25 + 20r, life
// 0.25 + 0.75r, the spread and offset factor given), the sound, kill timer 1, excluded.
void Chain_Burst(CWorld_Object& target, CWorld_Object* other, const CShot_Line* shot, uint32_t colour,
                 float spread, float offset_factor, unsigned chain_points, uint32_t sound);
// Every other live object of the target's own type within the reach, for the caller to arm.
template <class Arm>
void For_Live_Neighbours(const CWorld_Object& target, float reach, Arm arm);
// A fan of `count` glow quads about the axis through the centre, the spoke across it: each
// spans +- width along its spoke and stands out length along the axis. In the mirror pass the
// centre, spoke and axis are first carried through the mirror given.
void Draw_Glow(const CVector3& centre, const CVector3& spoke, const CVector3& axis, unsigned count, float width,
               float length, uint32_t colour, CD3DRenderStyle* style, CTextureData* texture,
               const CWorld_Mirror* mirror = nullptr);
// A point and a direction carried through a mirror's transform.
CVector3 Mirror_Point(const CWorld_Mirror& mirror, const CVector3& point);
CVector3 Mirror_Direction(const CWorld_Mirror& mirror, const CVector3& direction);
// The vector's alpha channel replaced: (colour & 0xFFFFFF) | alpha byte.
uint32_t With_Alpha(uint32_t colour, float alpha_0_255);

// The camera's position now.
const CVector3& Camera_Position();
// World sizes along x and z.
float World_X();
float World_Z();
// The terrain height at (x, z); 0 without terrain.
float Ground(float x, float z);

}  // namespace flyer

#include "game/core/CWorld.h"

template <class Arm>
void flyer::For_Live_Neighbours(const CWorld_Object& target, float reach, Arm arm) {
  CWorld_Query near;
  g_World.Query_Radius(target.m_Position, reach, near);
  for (int i = 0; i < near.count; ++i) {
    CWorld_Object* object = near.objects[i];
    if (object != &target && object->m_Type == target.m_Type && object->m_Kill_Timer == 0.0f) arm(object);
  }
}
