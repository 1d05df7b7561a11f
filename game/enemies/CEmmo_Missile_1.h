#pragma once
// The enemy missile: launched away from the camera, it climbs, swings through a waypoint high
// over the world and then turns on the point where the camera stood at launch, nose first, with
// an exhaust flame and a yellowish ribbon trail.
#include <cstdint>

#include "game/core/CSphere_Object.h"
#include "game/fx/CFX_Poly_Trail.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Missile_1 : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 58;
  static constexpr float kRadius = 35.0f;
  static constexpr int kWaypoint_Count = 5;

  CEmmo_Missile_1() = default;
  ~CEmmo_Missile_1() override { Term(); }

  bool Init();
  void Term();
  bool Spawn(const CVector3* start);
  // The guidance step: the waypoint to fly at, the turn of the nose, drag and thrust.
  void Steer(float dt);
  // The waypoint the missile flies at from its current depth.
  int Target_Waypoint() const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  static CObject_Pool* Pool();

  bool m_Hit_Player = false;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  CVector3 m_Waypoints[kWaypoint_Count] = {};
  CFX_Poly_Trail m_Trail;
  CRenderableObject* m_Body = nullptr;
  CRenderableObject* m_Fins = nullptr;
  CTextureData* m_Body_Texture = nullptr;
  CTextureData* m_Fin_Texture = nullptr;
  CTextureData* m_Flame_Texture = nullptr;
  CD3DRenderStyle* m_Body_Style = nullptr;
  CD3DRenderStyle* m_Fin_Style = nullptr;
  CD3DRenderStyle* m_Flame_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  void Place_Waypoints(const CVector3& start);
  CMatrix4x4 World() const;
  CVector3 Behind(float down, float back) const;
};
