#pragma once
// The ball target: a coloured sphere thrown by the ball and cylinder ejectors or dropped by the
// track. It flies by its motion mode, turns black at its first counted hit and bounces on until
// the floor, a push, its health or its life starts its fade.
#include "game/core/CSphere_Object.h"
#include "game/sim/CScore_Source.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Ball : public CSphere_Object, public CTarget_Score_Info {
 public:
  static constexpr uint32_t kType = 10;
  static constexpr float kRadius = 38.0f;
  static constexpr float kGuard_Age = 0.5f;
  static constexpr uint32_t kHit_Sound = 0x220000f5;

  // Motion modes: falls at half gravity, accelerates along -z, or rises; all without the world's
  // own gravity except mode 0's half.
  enum : int32_t { kMode_Fall = 0, kMode_Along_Z = 1, kMode_Rise = 2 };

  CTarget_Ball() = default;
  ~CTarget_Ball() override { Term(); }

  bool Init();
  void Term();
  // Sets the ball up at the origin with the colour index; the caller places it, sets its
  // velocity (and motion mode) and adds it to the world. False when the body cannot be made.
  bool Spawn(const int32_t& colour);
  // The variant colour, black once hit.
  CColor4& Get_Color(CColor4& out) const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* hitter, const CShot_Line* shot) override;
  using CSphere_Object::On_Floor_Contact;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  int32_t Score_Color_Variant() const override { return m_Colour; }
  float Score_Age() const override { return m_Age; }

  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Crushed = false;
  int32_t m_Colour = 0;
  int32_t m_Motion_Mode = kMode_Fall;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Life = 0.0f;

 private:
  CMatrix4x4 World() const;
  void Crush(CWorld_Object& pusher);

  CRenderableObject* m_Renderable = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
