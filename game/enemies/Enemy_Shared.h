#pragma once
// What the enemy emplacements, the mobile enemies and the boss share: giving back their
// resources, the launch spray of the firing emplacements, the hit burst of the shootable ones,
// the direct strike on the player, and the small random, colour and matrix helpers their
// updates and render passes use.
#include <cstdint>
#include <initializer_list>

#include "runtime/src/math/math_types.h"

class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;
class CWorld_Object;
class CShot_Line;

namespace enemy {

// Gives back every handle of the lists and clears them.
void Release(std::initializer_list<CRenderableObject**> renderables, std::initializer_list<CTextureData**> textures,
             std::initializer_list<CD3DRenderStyle**> styles);

// rand / 32768, in [0, 1).
float R();
// low + R() × (high − low).
float Uniform(float low, float high);
// A colour variant 0..3: 4 × rand / 32768, at most 3.
int Random_Variant();
// Each channel times the factor, limited to 1.
CColor4 Brightened(const CColor4& colour, float factor);
// Alpha on top, then red, green, blue; each channel × 255 limited to 0..255.
uint32_t Argb(const CColor4& colour);
// x × axis 1 + y × axis 2 + z × axis 3 of the orientation with x, y, z drawn in this order,
// each uniform in [−h, h) of its own half range.
CVector3 Axis_Offset(const CMatrix3x3& axes, float hx, float hy, float hz);
// The camera's position.
const CVector3& Camera();
// The squared distance from the camera.
float Camera_Distance_Sq(const CVector3& point);

// Up to 30 additive particles leaving the point along the direction in the colour, stopping at
// the first the particle manager refuses. False when one was refused.
bool Enemy_Launch_Spray(const CVector3& point, const CVector3& direction, uint32_t colour, float gravity);
// The burst of a shot-down emplacement: sound 0x220000f7 at the object at the sound scale, then
// up to 35 sparkles spread ±50 along its axes about the centre, in the colour.
void Enemy_Hit_Burst(const CWorld_Object& object, const CVector3& centre, uint32_t colour, float sound_scale);
// A strike straight at the player: a quiet hit of 0.35, a shake, a flash of the colour, a tracer
// from the origin in the colour, and the strike sound at the position.
void Enemy_Direct_Strike(const CVector3& position, const CVector3& origin, const CVector3& colour,
                         float tracer_duration, float tracer_alpha);

// ---------------------------------------------------------------------------------------------
// The mobile enemies thrown up from the ground (the digger, the tile)

// The point they home on: the camera's position moved by x uniform in [−75, 75) and y uniform
// in [−25, 25), drawn in that order.
CVector3 Aim_Beside_Camera();
// One chase step: velocity = (1 − 0.5 dt) × (velocity + dt × pull × u) per axis, u the unit
// vector from the position to the target (its length floored at 0.001).
void Chase_Step(CVector3& velocity, const CVector3& position, const CVector3& target, const CVector3& pull, float dt);
// The end of the update: the age grows by dt and, when it first passes 1.5, state flags 0x10
// and 0x20 clear (the world is felt from then on); a live one older than 25 or nearer than the
// camera's z starts its kill timer at 0.0001; while the timer runs the box shrinks with it from
// the full half-size (held to 0.001 of it) and the timer grows by the fade rate × dt.
void Mobile_Age_Step(CWorld_Object& enemy, float& age, float dt, float camera_z, const CVector3& full_half,
                     float fade_rate);
// A hit by a player shot (the caller has refused other hitters). The first one registers the
// hit with the statistics, plays the hit sound and, when there is a hitter or a ray, bursts
// into up to the count of sparkles in twice the variant colour; it marks the enemy hit (kind
// flag 0x40). Every hit counts, clears state flags 0x40 and 0x80 (it drops), and starts a live
// enemy's kill timer at 0.001.
void Mobile_Hit(CWorld_Object& enemy, int32_t& hit_count, int variant, CWorld_Object* other, const CShot_Line* shot,
                int sparkles);
// The variant colour, black once hit (kind flag 0x40).
CColor4 Mobile_Colour(const CWorld_Object& enemy, int variant);
// The world matrix, scaled per axis while dying by how far the box has shrunk from its full
// half-size.
CMatrix4x4 Mobile_Matrix(const CWorld_Object& enemy, const CVector3& full_half);

// The orientation scaled on its own axes, at the position.
CMatrix4x4 Matrix(const CMatrix3x3& orientation, const CVector3& position, const CVector3& scale = {1, 1, 1});
// A glow pass: the renderable in the colour, which also goes to the style as its texture
// factor, with normals renormalised.
void Draw_Glow(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture,
               const CColor4& colour);
// A uniform scale of the matrix about its own origin (the scale applied first).
CMatrix4x4 Scaled(const CMatrix4x4& world, float x, float y, float z);

}  // namespace enemy
