#pragma once
// The machine gun's tracer bullets, kept apart from the world's objects: up to 16, each moved
// every frame with its own segment tests against world objects, the terrain and the world's
// boundary walls, and drawn as four stretched, nested copies of one model.
#include <cstdint>

#include "runtime/src/math/math_types.h"

class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;
struct CFrame_Info;

class CBullet_Machine_Mgr {
 public:
  static constexpr int kMax_Bullets = 16;
  static constexpr uint32_t kLive = 0x01;
  static constexpr uint32_t kSpent = 0x02;

  struct Bullet {
    uint32_t flags = 0;
    CVector3 position{0.0f, 0.0f, 0.0f};
    CVector3 velocity{0.0f, 0.0f, 0.0f};
    float life = 0.0f;
  };

  CBullet_Machine_Mgr() = default;
  CBullet_Machine_Mgr(const CBullet_Machine_Mgr&) = delete;
  CBullet_Machine_Mgr& operator=(const CBullet_Machine_Mgr&) = delete;
  ~CBullet_Machine_Mgr() { Term(); }

  bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }
  // Starts one bullet; false when 16 are live.
  bool Fire(const CVector3& start, const CVector3& velocity);
  void Update(const CFrame_Info& frame);
  void Update_Bullets(float step);
  void Render();

  uint32_t Live_Count() const { return m_Live_Count; }
  const Bullet& Bullet_At(int index) const { return m_Bullets[index]; }

  // One bullet's step with its tests.
  void Move_Bullet(int index, float step);
  // Wall-hit sparks; marks the bullet spent.
  void Burst_Sparks(int index, const CVector3& point, const CVector3& normal);

 private:
  // Tests the segment against the objects near it; true when one was hit.
  bool Hit_Objects(int index, const CVector3& p0, const CVector3& d, const CVector3& p1);
  bool Hit_Terrain(int index, const CVector3& p0, const CVector3& d, const CVector3& p1);
  bool Hit_Walls(int index, const CVector3& p0, const CVector3& d, const CVector3& p1);

  bool m_Initialised = false;
  CRenderableObject* m_Model = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CTextureData* m_Texture = nullptr;
  uint32_t m_Live_Count = 0;
  Bullet m_Bullets[kMax_Bullets];
};

extern CBullet_Machine_Mgr g_Bullet_Machine_Mgr;
