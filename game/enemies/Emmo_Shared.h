#pragma once
// What every piece of enemy ammunition shares: its flag bits, the variant colours, the reach of
// the player with its strike, the positional sound, the first-hit sparkle burst, the homing and
// steering pulls, the turn towards a flight direction, the fade factor, the ground burst of
// clods, dust and a decal, the glow copies, and drawing a renderable with two textures.
#include <cstdint>

#include "game/core/CWorld_Object.h"
#include "runtime/src/math/math_types.h"

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

namespace emmo {

// State flags of young ammunition (out of object and terrain contact while it leaves its
// launcher), and those cleared when it is hit and falls.
constexpr uint32_t kState_Young = kState_No_Object_Collision | kState_No_World_Contact;
constexpr uint32_t kState_Falls = kState_No_World_Contact | kState_No_Gravity | kState_No_Damping;

// Kind flags: of the ammunition itself, and of the hitters it reads.
constexpr uint32_t kKind_Counted = 0x01;
constexpr uint32_t kKind_Pushes = 0x04;
constexpr uint32_t kKind_Boss = 0x08;
constexpr uint32_t kKind_Player_Shot = 0x10;
constexpr uint32_t kKind_Emmo = 0x20;
constexpr uint32_t kKind_Spent = 0x40;
constexpr uint32_t kKind_Ammo_Flags = kKind_Emmo | kKind_Counted;

// Sounds shared by several classes.
constexpr uint32_t kSound_Impact = 0x220000F5;
constexpr uint32_t kSound_Broken = 0x220000F3;
constexpr uint32_t kSound_Launch = 0x220000F2;
constexpr uint32_t kSound_Ground_Burst = 0x22000159;
constexpr uint32_t kSound_Landing = 0x220000F8;
constexpr uint32_t kReflection_Style = 0x22000020;

// The strength every reaching class hits the player with.
constexpr float kReach_Strength = 0.35f;
// Added to the squared body radius: the camera's own reach, 85 units.
constexpr float kReach_Margin_Sq = 7225.0f;
// Sparkle bursts within this squared distance of the camera are the small ones.
constexpr float kNear_Burst_Distance_Sq = 90000.0f;
constexpr int kNear_Burst_Count = 5;
constexpr int kFar_Burst_Count = 25;
// The model scale of the unit sphere mesh for a body radius (a 4.5-radius mesh).
constexpr float kSphere_Model_Scale = 0.22222222f;
constexpr float kRound_Shadow_Fade = 0.003f;

// ---------------------------------------------------------------------------------------------
// Colours

// The variant colours of the family (green, yellow, magenta, red; white otherwise), and black
// once the ammunition has been hit.
CColor4 Variant_Color(int variant, bool hit);
// Each channel times the factor, packed ARGB (clamped to 0-255).
uint32_t Pack_Scaled(const CColor4& colour, float factor);

// ---------------------------------------------------------------------------------------------
// Reaching the player

// The squared reach of a body of radius r: r² + 85².
float Reach_Sq(float radius);
// The length of a box body's half-size.
float Box_Radius(const CVector3& half_size);
float Camera_Distance_Sq(const CVector3& position);
// The family's reach rule: while the kill timer is 0 and the object is not spent, a camera
// within the reach is struck: the impact sound at the object, Hit_Player with the strength, and
// the kill timer starts at 0.001. True when it struck.
bool Strike_On_Reach(CWorld_Object& object, float radius, uint32_t sound, float strength);

// ---------------------------------------------------------------------------------------------
// The end of a flight step

// A live body nearer than the camera (its z below the camera's) is removed: its kill timer is
// set to the value given. Then the reach rule (Strike_On_Reach) with the family's strength.
// True when it struck.
bool Pass_Or_Strike(CWorld_Object& ammo, float radius, float passed_kill, uint32_t sound = kSound_Impact);
// Past its life a live body starts its kill timer at 0.0001, one whose health is gone at
// 0.001. True while the kill timer runs.
bool Fade_Started(CWorld_Object& ammo, float age, float life);
// One step of the fade: the body shrinks with the kill timer (Shrink_Factor) from its full
// size, and the timer grows by rate × dt.
void Fade_Box(CWorld_Object& ammo, const CVector3& full_half, float rate, float dt);
void Fade_Sphere(CWorld_Object& ammo, float full_radius, float rate, float dt);

// ---------------------------------------------------------------------------------------------
// Blasts (the anti-matter's pulse, the bomb's explosion)

// The age grows by dt: the young flags drop when it reaches the youth, and past its life a live
// body starts its kill timer at 0.001.
void Grow_Old(CWorld_Object& ammo, float& age, float dt, float youth, float life);
// One step of a blast, 0 until it starts: a started blast grows by its rate × dt; while the
// kill timer runs the sphere fades (Fade_Sphere), and a blast still under way when the fade
// ends is brought to 1. True when the blast has reached 1: time to strike.
bool Blast_Step(CWorld_Object& ammo, float& blast, float blast_rate, float full_radius, float fade_rate, float dt);
// The blast reaching the player: a red screen flash, a camera shake, the impact sound at the
// point and a hit of the strength.
void Blast_Strike(const CVector3& point, float strength);

// ---------------------------------------------------------------------------------------------
// Sound

// The positional sound with the family's attenuation; scale multiplies the volume range.
void Play_Sound(uint32_t id, const CVector3& position, float scale = 1.0f);

// ---------------------------------------------------------------------------------------------
// Hits

// A first hit is registered with the statistics (the object, the hitter, no shot source).
void Register_Hit(CWorld_Object& object, CWorld_Object* hitter);
bool Is_Player_Shot(const CWorld_Object* hitter);
bool Has_Kind(const CWorld_Object* hitter, uint32_t flags);

// The spread of a hit burst along the object's own axes: each offset is range × r − range / 2.
struct Burst_Shape {
  float range_x = 100.0f;
  float range_y = 100.0f;
  float range_z = 100.0f;
  // How far along the particle's velocity it starts: position + start × v.
  float start = 1.0f;
};
constexpr Burst_Shape kRound_Burst{};
constexpr Burst_Shape kLong_Burst{75.0f, 75.0f, 300.0f, 1.0f};
constexpr Burst_Shape kBullet_Burst{200.0f, 200.0f, 200.0f, 0.2f};

// 5 sparkles near the camera, 25 from 300 units on.
int Burst_Count(const CVector3& position);
// The sparkle burst of a first hit in the packed colour; stops when the manager refuses one.
// Answers how many were added.
int Hit_Burst(const CWorld_Object& object, const CVector3& velocity, uint32_t packed_colour,
              const Burst_Shape& shape);

// ---------------------------------------------------------------------------------------------
// Flight

// The unit vector from a point to another, the length taken as at least the floor.
CVector3 Unit_Towards(const CVector3& from, const CVector3& to, float floor);
// velocity = (1 − damping dt) × (velocity + pull dt d), per axis.
void Pull_Towards(CVector3& velocity, const CVector3& d, const CVector3& pull, const CVector3& damping, float dt);
// The fade's size factor: 1 − kill timer, held to [0.001, 1].
float Shrink_Factor(float kill_timer);
// 1 − kill timer, held to [0, 1].
float Alpha_Factor(float kill_timer);
// Turns the orientation towards the flight direction: a facing built from the unit direction
// and an up vector (x when the direction is within 0.95 of vertical, else y), slerped by the
// factor held to [0, 1]. A direction shorter than the floor keeps the orientation.
void Turn_Towards(CMatrix3x3& orientation, const CVector3& direction, float floor, float factor);

// ---------------------------------------------------------------------------------------------
// Ground bursts

// Clods of dirt thrown out about the point; each taken from the dirt pool (skipped when none is
// free). Answers how many were thrown.
int Throw_Dirt_Clods(const CVector3& point, int count, float scale);
// Dust on the basic particle manager around the point, up to the count; stops at the first
// refusal. Answers how many were added.
int Raise_Dust(const CVector3& point, int count);
constexpr uint32_t kDirt_Colour = 0xFFA99477;

// ---------------------------------------------------------------------------------------------
// Drawing

// Draws the renderable with the style, the first and second stage textures, an optional tint
// and an optional packed colour (the style's factor for this draw).
void Draw(CRenderableObject* renderable, const CMatrix4x4& world, CD3DRenderStyle* style, CTextureData* first,
          CTextureData* second = nullptr, const CColor4* tint = nullptr, const uint32_t* factor = nullptr);
// Scale per own axis × the orientation, at the position.
CMatrix4x4 World_Matrix(const CMatrix3x3& orientation, const CVector3& position, const CVector3& scale);
CMatrix4x4 Mirrored(const CMatrix4x4& world, const CWorld_Mirror& mirror);
void Normalize_Normals(bool on);
// The glow: copies drawn one after another, each with its alpha multiplied by 0.75 first and
// its matrix the step matrix times the previous one.
void Draw_Glow(CRenderableObject* renderable, CMatrix4x4 world, const CMatrix4x4& step, int copies, float alpha,
               const CColor4& colour, CD3DRenderStyle* style);
// The world matrix of a box body scaled per axis by how far it has shrunk from its full
// half-size (not scaled while alive).
CMatrix4x4 Shrunk_Box_World(const CWorld_Object& ammo, const CVector3& full_half);
// A blast's ball: the renderable scaled by 225 × blast³ at the point in the packed colour (the
// style's factor), normals renormalised.
void Draw_Blast(CRenderableObject* renderable, const CVector3& point, float blast, CD3DRenderStyle* style,
                CTextureData* texture, uint32_t colour);
// The body in the tint with the mirror style, normals renormalised.
void Draw_Reflection(CRenderableObject* renderable, const CMatrix4x4& world, const CWorld_Mirror& mirror,
                     CD3DRenderStyle* style, CTextureData* texture, const CColor4& tint);
// The alphas of the glow's copies in order: alpha × 0.75, × 0.75² and so on, as bytes.
uint32_t Glow_Alpha_Byte(float alpha, int copy);

}  // namespace emmo
