#pragma once
// The box target: a flat coloured box that the box ejector shoots out of its post. A shot close
// to its own z axis smashes it into three pieces; any other counted hit turns it black and lets
// it fall.
#include "game/core/CBox_Object.h"
#include "game/fx/CDebris_Target_Box.h"
#include "game/sim/CScore_Source.h"

class CObject_Pool;

class CTarget_Box : public CBox_Object, public CTarget_Score_Info, public CDebris_Skin_Source {
 public:
  static constexpr uint32_t kType = 9;
  static constexpr float kGuard_Age = 0.5f;
  static constexpr uint32_t kHit_Sound = 0x220000f0;
  static constexpr uint32_t kSmash_Sound = 0x220000f1;
  // Launch flag bit 0: the box floats (no gravity, no damping).
  static constexpr int32_t kFloating = 0x01;

  CTarget_Box() = default;
  ~CTarget_Box() override { Term(); }

  bool Init();
  void Term();
  // Sets the box up at the origin with its colour, launch flags and half-size. False when the
  // body cannot be made.
  bool Spawn(const int32_t& colour, const int32_t& launch_flags, const CVector3& half_size);
  CColor4& Get_Color(CColor4& out) const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* hitter, const CShot_Line* shot) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override;

  int32_t Score_Color_Variant() const override { return m_Colour; }
  float Score_Age() const override { return m_Age; }
  CTextureData* Debris_Texture() const override { return m_Texture; }
  CD3DRenderStyle* Debris_Style() const override { return m_Style; }
  bool Debris_Tint(CColor4& out) const override;

  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Spawned = false;
  bool m_Fast_Fade = false;
  int32_t m_Colour = 0;
  int32_t m_Launch_Flags = 0;
  CVector3 m_Half_Size{1.0f, 1.0f, 1.0f};
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Life = 0.0f;

 private:
  // The squared distance the smash test measures and its threshold; false when there is no test.
  bool Smash_Distance(const CWorld_Object* hitter, const CShot_Line* shot, float& distance_sq,
                      float& threshold) const;
  void Smash(bool with_line);
  CMatrix4x4 World() const;
  uint32_t Fade_In_Factor() const;

  CRenderableObject* m_Renderable = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
  CD3DRenderStyle* m_Fade_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Fade_Style = nullptr;
};
