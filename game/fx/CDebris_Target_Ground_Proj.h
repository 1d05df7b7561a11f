#pragma once
// A fading mark projected on the ground: in slot 0 it grows from nothing to radius 85 while it
// fades, in slot 1 it shrinks from 85 to nothing; gone after 0.65 time units.
#include "game/core/CFixed_Object.h"

class CTextureData;

class CDebris_Target_Ground_Proj : public CFixed_Object {
 public:
  static constexpr uint32_t kType = 35;
  static constexpr float kLife = 0.65f;
  static constexpr float kMax_Radius = 85.0f;

  bool Init();
  void Term();
  // Slot 0 or 1 (any other counts as 0), the point under the mark and its packed ARGB colour.
  bool Spawn(int slot, const CVector3& point, uint32_t colour);

  void Update(const float& dt) override;
  void Render(const float& step) override;

  // The mark's share of its life passed, reversed in slot 1; its radius and colour follow it.
  float Progress() const;
  float Radius() const { return Progress() * kMax_Radius; }
  // Alpha, red, green, blue of the projection.
  CColor4 Projection_Colour() const;

  bool m_Initialised = false;
  bool m_Alive = false;
  int m_Slot = 0;
  CVector3 m_Point{0, 0, 0};
  float m_Age = 0.0f;
  float m_Colour[4] = {0, 0, 0, 0};  // alpha, red, green, blue

 private:
  CTextureData* m_Textures[2] = {};
};
