#pragma once
// What every target class shares (and what ejectors and enemies borrow): the colour variants,
// the first-hit sparkle burst, the precision award with its line distance, the table of target
// classes, the floor contacts of sphere and box targets, and the loading of an object's
// resources by id with the class's message at the first failure.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "game/core/CWorld_Object.h"
#include "runtime/src/math/math_types.h"

class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

namespace targets {

// ---------------------------------------------------------------------------------------------
// Colours

// Variants 0-3: green, yellow, magenta, red (alpha 1); any other index is white.
CColor4 Get_Variant_Color(int index);
// The colour of a target that has been hit: opaque black.
constexpr CColor4 kHit_Color{0.0f, 0.0f, 0.0f, 1.0f};
// Each channel (alpha too) times the factor, packed ARGB with every channel held to 0-255.
uint32_t Pack_Scaled_ARGB(const CColor4& colour, float factor);
// The colour's channels reordered into the four slots as alpha, red, green, blue (the order the
// sparkler flash and the ground projections take).
CColor4 Color_To_ARGB_Order(const CColor4& colour);

// ---------------------------------------------------------------------------------------------
// The first-hit sparkle burst

struct Sparkle_Burst {
  int count = 25;               // the most sparkles
  float size_base = 35.0f;      // size = base + r * range
  float size_range = 40.0f;
  float spread = 50.0f;         // offsets along the target's axes in [-spread, spread)
  float offset_factor = 1.0f;   // how far from the centre the sparkles start, times the offset
  float life_base = 0.15f;      // lifetime = base + r * range
  float life_range = 1.85f;
};
// Adds up to burst.count sparkles around the target (its position, orientation and body
// velocity) in the packed colour; stops at the first one the sparkle manager refuses. Returns
// how many were added.
int Emit_Sparkle_Burst(const CWorld_Object& target, uint32_t packed_colour, const Sparkle_Burst& burst);

// ---------------------------------------------------------------------------------------------
// The precision award

// Squared distance of the centre from the half-line that starts at the point and runs along
// the direction: a centre behind the point is measured to the point itself. The parameter
// along the line (0 when the centre is behind) goes to *t when asked.
float Point_Line_Dist_Sq(const CVector3& centre, const CVector3& point, const CVector3& direction, float* t = nullptr);
// The hitter's velocity: a sphere or box body's, zero for any other kind or no hitter.
CVector3 Hitter_Velocity(const CWorld_Object* hitter);
// The line a hit is judged on: the shot line when given, else the path of a hitter faster
// than 1000; false when there is none. The direction comes back normalised.
bool Precision_Line(const CWorld_Object* hitter, const CShot_Line* shot, CShot_Line& line);
// Calls the score board's precision award when the hit's line passes within 10 units of the
// centre (or the centre lies within 10 units behind its point). True when awarded.
bool Award_Precision(const CVector3& centre, const CWorld_Object* hitter, const CShot_Line* shot);

// ---------------------------------------------------------------------------------------------
// The target classes

enum class Target_Base : uint8_t { kSphere, kBox, kFixed };
// Which hitters a first hit is registered for.
enum class Registers : uint8_t {
  kPlayer_Shot,            // kind flag 0x10
  kPlayer_Shot_Or_Hit,     // 0x10, or a counted target already hit (0x01 and 0x40)
  kPlayer_Shot_Exactly,    // kind flags exactly 0x10
};
constexpr float kNo_Guard = -1.0f;

struct Target_Member {
  const char* class_name;
  uint32_t type;
  Target_Base base;
  uint32_t pool;
  float guard_age;        // contacts are refused while younger; kNo_Guard for none
  Registers registers;
  int sparkles;           // most sparkles of the first-hit burst (0: the class's own effect)
  float colour_factor;    // the variant colour's factor for the sparkles (0: own colours)
  float sparkle_size_base, sparkle_size_range;
  uint32_t sound;         // the first-hit sound
  bool precision_award;   // whether the shared precision award applies
};
constexpr int kTarget_Member_Count = 22;
extern const Target_Member kTarget_Members[kTarget_Member_Count];
// The row of a type, or null.
const Target_Member* Find_Target_Member(uint32_t type);
// Whether a first hit by this hitter is registered with the statistics, by the row's rule.
bool Registers_Hit(const Target_Member& member, const CWorld_Object* hitter);
// The burst of a row (count, colour-independent sizes; spread and life as usual).
Sparkle_Burst Member_Burst(const Target_Member& member);

// ---------------------------------------------------------------------------------------------
// Life and fading

// Half the world's gravity taken off the target's forces: it floats down slowly.
void Lift_Half_Gravity(CWorld_Object& target);
// The life and age step of a launched target: its life runs down by dt, and at its end a live
// target starts its kill timer at 0.0001; its age grows by dt and, when it first reaches the
// guard age, the target starts to collide with objects and the world; a live target whose
// health is gone starts its kill timer at 0.001. True while the kill timer runs.
bool Life_Step(CWorld_Object& target, float& life, float& age, float dt, float guard_age);
// The sphere body at the full radius times 1 − kill timer (held to 0.001-1).
void Shrink_Sphere(CWorld_Object& target, float full_radius);

// ---------------------------------------------------------------------------------------------
// Floor contacts

// A boundary wall has a normal with |x| or |z| equal to 1.
bool Is_Boundary_Wall(const CVector3& normal);
// Sphere targets: nothing at a wall; else state flags 0x10, 0x40, 0x80 cleared and the kill
// timer started at 0.01 when it was 0.
void Sphere_Floor_Contact(CWorld_Object& target, const CVector3& normal);
// Box targets: the same without the wall test.
void Box_Floor_Contact(CWorld_Object& target);

// Counts a first hit: registers it with the statistics (itself, the hitter, no source, 0)
// when the row says so.
void Register_First_Hit(const Target_Member& member, CWorld_Object& target, CWorld_Object* hitter);

// ---------------------------------------------------------------------------------------------
// Resources

extern const char* const kNo_Renderable;      // "\nUnable to create renderable object..."
extern const char* const kNo_Texture;         // "\nUnable to load texture..."
extern const char* const kNo_Created_Texture; // "\nUnable to create texture..."
extern const char* const kNo_Shader;          // "\nUnable to load shader..."

// One handle an object loads by id, with the ending of the message shown when it fails.
class Resource {
 public:
  static Resource Renderable(uint32_t id, CRenderableObject*& handle, const char* ending = kNo_Renderable);
  static Resource Texture(uint32_t id, CTextureData*& handle, const char* ending = kNo_Texture);
  static Resource Style(uint32_t id, CD3DRenderStyle*& handle, const char* ending = kNo_Shader);

  bool Load() const;
  void Release() const;
  uint32_t Id() const { return m_Id; }
  const char* Ending() const { return m_Ending; }

 private:
  enum class Kind : uint8_t { kRenderable, kTexture, kStyle };
  Resource(Kind kind, uint32_t id, void* handle, const char* ending)
      : m_Kind(kind), m_Id(id), m_Handle(handle), m_Ending(ending) {}
  Kind m_Kind;
  uint32_t m_Id;
  void* m_Handle;  // the address of the holder's pointer
  const char* m_Ending;
};

// Loads the resources in order; at the first that cannot be had shows "Error in <class>" and
// its ending, gives back everything (loaded before or held already) and answers false.
bool Load_Resources(const char* class_name, std::initializer_list<Resource> resources);
// Gives back every handle that is set and clears it.
void Release_Resources(std::initializer_list<Resource> resources);
// The same for a class's three arrays of handles.
void Release_Handles(CRenderableObject** renderables, size_t renderable_count, CTextureData** textures,
                     size_t texture_count, CD3DRenderStyle** styles, size_t style_count);
template <size_t R, size_t T, size_t S>
void Release_Handles(CRenderableObject* (&renderables)[R], CTextureData* (&textures)[T],
                     CD3DRenderStyle* (&styles)[S]) {
  Release_Handles(renderables, R, textures, T, styles, S);
}

// ---------------------------------------------------------------------------------------------
// Drawing

// Scale (per own axis) times the orientation, at the position.
CMatrix4x4 World_Matrix(const CWorld_Object& object, const CVector3& scale);
// The matrix drawn in the mirror pass.
CMatrix4x4 Mirrored(const CMatrix4x4& world, const CWorld_Mirror& mirror);
// Draws the renderable with the style, texture and optional colour (r, g, b, a) and an optional
// ARGB texture factor; normals renormalised around the draw when asked.
void Draw(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* texture,
          const CColor4* colour, bool renormalise, const uint32_t* factor = nullptr);
// The shader pass of an object (a projection laid over it): the caller's style, the caller's
// texture on the first texture source and the object's own on the second, untinted.
void Draw_Shader_Pass(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style,
                      CTextureData* given, CTextureData* own, bool renormalise);

}  // namespace targets
