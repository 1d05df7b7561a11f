#pragma once
// The cube bullet: a glowing cube a track event places. It drifts slowly in one of five
// directions and waits; when a later point of its event fires it, it plays its sound, lights up
// and homes on a point close to the camera. It tells the running track whenever it starts to
// die, so that no event keeps it.
#include <cstdint>

#include "game/core/CBox_Object.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Bullet_1 : public CBox_Object {
 public:
  static constexpr uint32_t kType = 61;
  static constexpr float kHalf = 18.0f;

  CEmmo_Bullet_1() = default;
  ~CEmmo_Bullet_1() override { Term(); }

  bool Init();
  void Term();
  bool Spawn(const int* variant, const int* direction, const CVector3* start);
  // Fires the bullet: its firing sound, once.
  void Play_Sound_Once();
  // Leaves the running track's events, then the locks that hold it.
  void Release_Attachments() override;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(const CVector3& normal) override;

  // The colour the body is drawn in: the variant colour (black once hit), halved until fired.
  CColor4 Body_Colour() const;
  // The drift of a direction code: velocity and spin.
  static void Drift(int direction, CVector3& velocity, CVector3& spin);

  static CObject_Pool* Pool();

  bool m_Hit_Player = false;
  bool m_Fired = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  CVector3 m_Aim{0.0f, 0.0f, 0.0f};
  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  // Starts the death with the kill timer and tells the track.
  void Die(float kill_timer);
  CMatrix4x4 World() const;
};
