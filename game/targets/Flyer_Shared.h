#pragma once
// What the track-spawned flying targets and the light wall share: their colour tables, the
// first-hit sparkle burst, the precision award, the player-hit registration, the resource
// loader with its failure messages, and the mesh and glow draws.
#include <cstdint>
#include <initializer_list>

#include "game/core/CWorld_Object.h"
#include "game/player/Arsenal_Math.h"
#include "runtime/src/math/math_types.h"

class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

namespace flyer {

using arsenal::Add;
using arsenal::Dot;
using arsenal::Length;
using arsenal::Mul;
using arsenal::Random01;
using arsenal::Sub;

constexpr float kTwo_Pi = 6.28318531f;
constexpr float kPi = 3.14159265f;

// The targets' colour variants 0-3 (green, yellow, magenta, red); white above 3 or below 0.
CColor4 Variant_Colour(int index);
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

// The parameters of a first-hit sparkle burst; the defaults are the ball's.
struct Sparkle_Burst {
  uint32_t colour = 0xFFFFFFFF;
  int count = 25;
  float size_base = 35.0f;
  float size_range = 40.0f;
  float spread = 50.0f;  // a, b and c are drawn in ±spread
  float offset_factor = 1.0f;
  float life_base = 0.15f;
  float life_range = 1.85f;
};
// Up to `count` sparkles about the target, stopping at the first the sparkle manager refuses;
// answers how many were added.
int Emit_Sparkles(const CWorld_Object& target, const CVector3& velocity, const Sparkle_Burst& burst);

// One sparkle through the sparkle manager (flags 2: size and alpha follow its life).
bool Add_Sparkle(const CVector3& position, const CVector3& velocity, float size, float life, uint32_t colour,
                 float gravity);

// The squared distance from the centre to the half line from the point along the direction;
// t (when asked) gets the distance along the line, 0 when the centre lies behind the point.
float Point_Line_Dist_Sq(const CVector3& centre, const CVector3& point, const CVector3& direction,
                         float* t = nullptr);
// The precision test on a first counted hit: the shot line, or a hitter faster than 1000 along
// its own velocity, passing within 10 of the centre. Awards the score board's target hit and
// answers true when it passes.
bool Precision_Award(const CWorld_Object& target, const CWorld_Object* hitter, const CShot_Line* shot);

bool Is_Player_Shot(const CWorld_Object* hitter);
// A counted target that has itself been hit (kind flags 0x01 and 0x40).
bool Is_Hit_Target(const CWorld_Object* hitter);
// Registers the hit with the run's statistics.
void Register_Hit(CWorld_Object& target, CWorld_Object* hitter);

// One resource an Init takes, with the ending of the message shown when it cannot be had.
struct Resource {
  enum Kind { kRenderable, kTexture, kStyle };
  Kind kind;
  uint32_t id;
  const char* ending;
  void* slot;  // CRenderableObject**, CTextureData** or CD3DRenderStyle** by kind
};
Resource Mesh(uint32_t id, CRenderableObject*& slot, const char* ending);
Resource Texture(uint32_t id, CTextureData*& slot, const char* ending);
Resource Style(uint32_t id, CD3DRenderStyle*& slot, const char* ending);
extern const char* const kNo_Renderable;  // "Unable to create renderable object..."
extern const char* const kNo_Texture;     // "Unable to load texture..."
extern const char* const kNo_Created_Texture;  // "Unable to create texture..."
extern const char* const kNo_Shader;      // "Unable to load shader..."
extern const char* const kNo_Render_Shader;  // "Unable to create render shader..."
// Takes the resources in order; at the first that cannot be had shows "Error in <class>\n
// <ending>" and answers false (the caller's Term gives back what was taken).
bool Load(const char* class_name, std::initializer_list<Resource> resources);
// Gives back every handle that is set and clears it.
void Release(std::initializer_list<Resource> resources);

// The world matrix: uniform or per-axis scale × the object's orientation, at its position.
CMatrix4x4 World_Matrix(const CWorld_Object& object, const CVector3& scale);
// Draws a mesh with an optional tint (r, g, b, a); renormalises normals around it when asked.
void Draw_Mesh(CRenderableObject* mesh, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture,
               const CColor4* tint, bool renormalise);
// A fan of `count` glow quads about the axis through the centre, the spoke across it.
void Draw_Glow(const CVector3& centre, const CVector3& spoke, const CVector3& axis, unsigned count, float half_length,
               float width, uint32_t colour, CD3DRenderStyle* style, CTextureData* texture);
// A point and a direction carried through a mirror's transform.
CVector3 Mirror_Point(const CWorld_Mirror& mirror, const CVector3& point);
CVector3 Mirror_Direction(const CWorld_Mirror& mirror, const CVector3& direction);
// The world matrix carried through the mirror.
CMatrix4x4 Mirrored(const CMatrix4x4& world, const CWorld_Mirror& mirror);
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
