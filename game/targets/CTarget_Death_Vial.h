#pragma once
// The death vial: a glass vial the cylinder ejector shoots up among the balls. Shot, it bursts
// in blue sparkles with a short flash; left to shatter on the floor, it flushes the score
// board's staged points with a long green flash, a ground flash and a shatter sound.
#include <cstdint>

#include "game/core/CBox_Object.h"
#include "game/sim/CScore_Source.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CTarget_Death_Vial : public CBox_Object, public CTarget_Score_Info {
 public:
  static constexpr uint32_t kType = 13;
  static constexpr float kGuard_Age = 0.5f;
  static constexpr uint32_t kSparkle_Colour = 0xFF6688FF;
  static constexpr uint32_t kGlass_Colour = 0xFF6677FF;
  static constexpr uint32_t kHit_Sound = 0x220000F7;
  static constexpr uint32_t kShatter_Sound = 0x220000F8;

  bool Init();
  void Term();
  // The colour index is not kept: a vial has its own colours. False when the body cannot be set up.
  bool Spawn(const int32_t* colour);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override;

  float Score_Age() const override { return m_Age; }

  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Spawned = false;
  CVector3 m_Half_Size{33.0f, 47.0f, 33.0f};
  float m_Age = 0.0f;
  float m_Life = 0.0f;
  CRenderableObject* m_Renderables[2] = {};
  CTextureData* m_Textures[2] = {};
  CD3DRenderStyle* m_Styles[2] = {};
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  void Burst_Sparkles();
  CMatrix4x4 World() const;
  void Draw_Both(const CMatrix4x4& world, CD3DRenderStyle* glass_style, CD3DRenderStyle* cap_style,
                 CTextureData* given_texture, bool own_texture);
};
