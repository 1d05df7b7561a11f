#pragma once
// The cloud of sparkles that a sparkler or a twirler carries: its own sprite object (one sprite
// per live sparkle, slot i holding sprite i), each sparkle's position, velocity, colour, size and
// life, and their motion, which bounces off the terrain's triangles.
#include <cstdint>
#include <functional>

#include "runtime/src/math/math_types.h"

class CSpriteArray;
class CD3DRenderStyle;
class CTextureData;

class CSparkle_Cloud {
 public:
  // Slot 0 is never used: sprite indices start at 1.
  static constexpr uint32_t kSlots = 96;
  // A sparkle whose step passes this close (squared) to a terrain triangle bounces off it.
  static constexpr float kBounce_Reach_Sq = 100.0f;
  static constexpr float kBounce_Keep = 0.85f;

  CSparkle_Cloud() = default;
  CSparkle_Cloud(const CSparkle_Cloud&) = delete;
  CSparkle_Cloud& operator=(const CSparkle_Cloud&) = delete;
  ~CSparkle_Cloud() { Destroy(); }

  // Makes the sprite object for `sprites` sprites (a leftover one is destroyed first) and frees
  // every slot; false when the device cannot make it (nothing is then held).
  bool Create(uint32_t sprites);
  // Destroys the sprite object (if any) and frees every slot.
  void Destroy();
  bool Is_Created() const { return m_Sprites != nullptr; }
  uint32_t Live_Count() const { return m_Live; }

  // The colour the sparkles vary about: half of the colour, plus up to the other half.
  void Set_Colour(const CColor4& colour);
  // Adds one sparkle unless `limit` sparkles already live; false when refused.
  bool Add(const CVector3& position, const CVector3& velocity, float size, uint32_t limit);
  // Ages, moves and retires the sparkles over the step s: life falls by fade / size × s. The
  // terrain is tested only while `bounce` holds.
  void Step(float s, float fade, bool bounce);
  // Draws the live sparkles `times` times with the world matrix (or the identity).
  void Draw(const CMatrix4x4* world, CD3DRenderStyle* style, CTextureData* texture, int times);

  bool In_Use(uint32_t slot) const { return slot < kSlots && m_In_Use[slot]; }
  const CVector3& Position(uint32_t slot) const { return m_Positions[slot]; }
  const CVector3& Velocity(uint32_t slot) const { return m_Velocities[slot]; }
  float Life(uint32_t slot) const { return m_Life[slot]; }
  uint32_t Colour(uint32_t slot) const { return m_Colours[slot]; }

  // Tests make the device's sprite object fail: while set and answering false, Create fails.
  static void Set_Create_Filter(std::function<bool()> allow);

 private:
  void Free_Slot(uint32_t slot);
  void Move(uint32_t slot, float s, bool bounce);

  CSpriteArray* m_Sprites = nullptr;
  uint32_t m_Live = 0;
  CColor4 m_Base{0.0f, 0.0f, 0.0f, 0.0f};
  CColor4 m_Spread{0.0f, 0.0f, 0.0f, 0.0f};
  bool m_In_Use[kSlots] = {};
  CVector3 m_Positions[kSlots] = {};
  CVector3 m_Velocities[kSlots] = {};
  uint32_t m_Colours[kSlots] = {};
  float m_Sizes[kSlots] = {};
  float m_Life[kSlots] = {};
};
