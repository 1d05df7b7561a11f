#pragma once
// The twirler target: a glowing spark that circles its ejector on a spring, trailing two crossed
// ribbons and a stream of sparkles. It stays linked to its ejector and starts to die when the
// ejector has gone.
#include <cstdint>

#include "game/core/CSphere_Object.h"
#include "game/core/CTarget_Lock_Fixed.h"
#include "game/sim/CScore_Source.h"
#include "game/targets/CSparkle_Cloud.h"
#include "runtime/src/math/key_track.h"
#include "runtime/src/math/math_types.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"

class CObject_Pool;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Twirler : public CSphere_Object, public CTarget_Score_Info {
 public:
  static constexpr uint32_t kType = 15;
  static constexpr uint32_t kSprites = 63;
  static constexpr float kGuard_Age = 1.5f;
  static constexpr int kTrail_Points = 64;
  static constexpr float kTrail_Spacing = 0.15625f;
  static constexpr int kRibbon_Keys = 48;
  static constexpr int kRibbon_Steps = 128;
  static constexpr int kRibbon_Vertices = 2 * kRibbon_Steps * 6;

  struct Trail_Point {
    CVector3 point;
    float age;
  };

  bool Init();
  // Destroys the sprite object it holds, gives back its textures and style, lets its ejector go.
  void Term();
  // Sets up the twirler at the point, linked to its ejector; false (with nothing of its own
  // held) when the body or the sprite object cannot be made. The caller gives it back.
  bool Spawn(const int32_t& variant, CWorld_Object* ejector, const CVector3& point);
  bool Add_Sparkle(const CVector3& position, const CVector3& velocity);
  void Update_Sparkles(float dt);
  // The linked ejector, or null when it has gone.
  CWorld_Object* Find_Ejector() const;
  // Where the spring pulls it: round the ejector's top at the orbit radius, bobbing.
  CVector3 Orbit_Point(const CWorld_Object& ejector) const;
  CColor4 Get_Color() const;

  void Release_Attachments() override;
  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  int32_t Score_Color_Variant() const override { return m_Variant; }
  float Score_Age() const override { return m_Age; }

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Clockwise = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Life = 0.0f;
  float m_Emission_Carry = 0.0f;
  CSparkle_Cloud m_Cloud;
  float m_Orbit_Radius = 0.0f;
  float m_Orbit_Angle = 0.0f;
  float m_Bob_Phase = 0.0f;
  float m_Orbit_Speed = 1.0f;
  float m_Bob_Rate = 0.0f;
  int32_t m_Trail_Head = 0;
  Trail_Point m_Trail[kTrail_Points] = {};
  CKeyTrack m_Ribbon_Spline;
  TexVertex m_Ribbon[kRibbon_Vertices] = {};
  // The ribbons have been built for this twirler (the mirror pass draws nothing before).
  bool m_Ribbons_Built = false;
  CTarget_Lock_Fixed m_Ejector_Lock;

 private:
  void Follow_Ejector(float dt);
  void Advance_Trail(float dt);
  void Emit(float dt);
  // The trail's position an age back from the twirler (its newest point).
  CVector3 Trail_At(float age) const;
  void Build_Ribbons();
  void Draw_Ribbons(const CMatrix4x4* mirror);

  CTextureData* m_Sparkle_Texture = nullptr;
  CTextureData* m_Ribbon_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
};
