#pragma once
// Dust drifting in front of the flight view's camera: up to 768 glowing points carried by a
// slowly turning wind and swirl, born ahead of the camera and dying as it flies through them.
#include <vector>

#include "runtime/src/math/math_types.h"

class CTextureData;
class CD3DRenderStyle;

class CWarRoom_Dust_Field {
 public:
  static constexpr int kMax_Particles = 768;
  static constexpr int kBirths_Per_Step = 25;

  struct Particle {
    CVector3 position;
    float life;
    float size;
  };

  bool Init();
  void Term();
  // camera_forward: unit direction of view; camera_speed: distance flown this step.
  void Update(float dt, const CVector3& camera_forward, float camera_speed);
  void Render() const;

  bool m_Initialised = false;
  std::vector<Particle> m_Particles;
  float m_Phases[3] = {};
  CVector3 m_Wind{};
  CVector3 m_Swirl{};
  float m_Intensity = 0.6f;

 private:
  void Spawn(const CVector3& forward);
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
};
