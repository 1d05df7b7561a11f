#pragma once
// The cannon ball: a coloured ball the enemy cannon fires. It falls at half the world's gravity,
// hits the player when it comes within reach of the camera, and turns black and falls when
// shot; a pushing object makes it vanish at once.
#include <cstdint>

#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Ball : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 55;
  static constexpr float kRadius = 30.0f;
  static constexpr float kLife = 15.0f;

  CEmmo_Ball() = default;
  ~CEmmo_Ball() override { Term(); }

  bool Init();
  void Term();
  // Set-up for flight with the colour variant; the caller places it and gives it its velocity.
  void Setup(const int& variant);
  // The variant colour, black once hit.
  CColor4 Get_Color() const;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  static CObject_Pool* Pool();

  bool m_Pushed = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Life_Left = 0.0f;
  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  CMatrix4x4 World() const;
};
