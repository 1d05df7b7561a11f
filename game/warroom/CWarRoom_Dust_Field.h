#pragma once
// Dust drifting in front of the flight view's camera: up to 768 glowing points carried by a
// slowly turning wind and swirl, born ahead of the camera and dying as it flies through them.
// They are drawn as point sprites of one size on the screen (a fraction of its width), from a
// dynamic point list of 768 vertices made by the render device.
#include <vector>

#include "runtime/src/math/math_types.h"

class CTextureData;
class CD3DRenderStyle;
class CSpriteArray;

class CWarRoom_Dust_Field {
 public:
  static constexpr int kMax_Particles = 768;
  static constexpr int kBirths_Per_Step = 25;
  static constexpr float kPoint_Size_Of_Width = 0.0049f;

  struct Particle {
    CVector3 position;
    float life;
    float size;
  };

  CWarRoom_Dust_Field() = default;
  CWarRoom_Dust_Field(const CWarRoom_Dust_Field&) = delete;
  CWarRoom_Dust_Field& operator=(const CWarRoom_Dust_Field&) = delete;
  ~CWarRoom_Dust_Field() { Term(); }

  bool Init();
  void Term();
  // camera_forward: unit direction of view; camera_speed: distance flown this step.
  void Update(float dt, const CVector3& camera_forward, float camera_speed);
  void Render() const;
  // The point list and the size of its points on the screen, in pixels (0 without one).
  CSpriteArray* Points() const { return m_Points; }
  float Point_Size() const { return m_Point_Size; }

  bool m_Initialised = false;
  std::vector<Particle> m_Particles;
  float m_Phases[3] = {};
  CVector3 m_Wind{};
  CVector3 m_Swirl{};
  float m_Intensity = 0.6f;

 private:
  void Spawn(const CVector3& forward);
  bool Create_Points();
  void Destroy_Points();
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CSpriteArray* m_Points = nullptr;
  float m_Point_Size = 0.0f;
};
