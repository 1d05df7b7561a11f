#pragma once
// A small glowing craft that flies fast through the scene, on a loop in front of the camera or
// in free flight that hugs the terrain, swerves from obstacles and cruises at 950, pulling a
// ribbon trail and an exhaust of particles behind it.
#include "game/core/CSphere_Object.h"
#include "runtime/src/math/key_track.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;
class CSpriteArray;

class CTarget_Flier : public CSphere_Object {
 public:
  using CWorld_Object::On_Floor_Contact;
  static constexpr uint32_t kType = 19;
  static constexpr float kGuard_Age = 1.5f;
  static constexpr int kExhaust_Slots = 63;
  static constexpr int kTrail_Points = 64;
  static constexpr int kKeys = 48;
  static constexpr float kKey_Step = 0.21276596f;  // 1 / 4.7
  static constexpr float kTrail_Interval = 0.15625f;
  static constexpr int kRibbon_Segments = 128;
  static constexpr float kRibbon_Step = 0.078125f;
  static constexpr float kCruise_Speed = 950.0f;

  struct Exhaust {
    bool live = false;
    CVector3 position{0, 0, 0};
    CVector3 velocity{0, 0, 0};
    uint32_t colour = 0;
    float size = 0.0f;
    float life = 0.0f;
  };
  struct Trail_Point {
    CVector3 position{0, 0, 0};
    float age = 0.0f;
  };

  bool Init();
  void Term();
  bool Spawn(const int& colour_index, const CVector3& start, const uint8_t& loop);
  CColor4 Get_Color() const;
  bool Add_Exhaust(const CVector3& position, const CVector3& velocity);
  void Emit_Exhaust(float step);
  void Update_Trail(float dt);
  void Render_Trail();
  // The trail's position the time ago, between the two ring points whose ages bracket it.
  CVector3 Trail_Position(float time_ago) const;
  int Live_Exhaust() const;

  void Release_Attachments() override;
  void Update(const float& dt) override;
  void Render(const float& step) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Escape_Side = false;
  bool m_Loop = false;
  bool m_Right_Side = false;
  int32_t m_Colour_Index = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Emission_Remainder = 0.0f;
  CColor4 m_Exhaust_Start{0, 0, 0, 0};
  CColor4 m_Exhaust_Range{0, 0, 0, 0};
  CVector3 m_Start{0, 0, 0};
  CVector3 m_Camera_At_Spawn{0, 0, 0};
  float m_Loop_Width = 0.0f;
  float m_Loop_Depth = 0.0f;
  CMatrix3x3 m_Normal_Turn = CMatrix3x3::Identity;
  Exhaust m_Exhaust[kExhaust_Slots + 1];  // slot 0 unused: sprite indices start at 1
  Trail_Point m_Trail[kTrail_Points];
  int m_Trail_Head = 0;
  CKeyTrack m_Keys;
  CSpriteArray* m_Exhaust_Object = nullptr;

  static CObject_Pool* Pool();

 private:
  void Fly_Loop();
  void Fly_Free(float dt);
  void Move_Exhaust(Exhaust& p, int index, float step);
  void Destroy_Exhaust_Object();
  void Build_Ribbon();

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CTextureData* m_Exhaust_Texture = nullptr;
  CTextureData* m_Trail_Texture = nullptr;
  CD3DRenderStyle* m_Trail_Style = nullptr;
};
