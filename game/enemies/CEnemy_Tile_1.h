#pragma once
// The tile: a flat coloured tile thrown up from the ground that turns to chase the player as it
// falls, and strikes the player when it reaches the camera. Shot first, it scores and drops.
#include "game/core/CBox_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEnemy_Tile_1 : public CBox_Object {
 public:
  static constexpr uint32_t kType = 66;

  bool Init();
  void Term();
  // False only when the box body cannot be set up.
  bool Spawn(int variant, const CVector3& point);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  using CBox_Object::On_Floor_Contact;
  void On_Floor_Contact(const CVector3& normal) override;

  // The variant colour, black once hit.
  CColor4 Colour() const;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  uint8_t m_Struck = 0;
  uint8_t m_Homing = 0;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  CVector3 m_Target{0.0f, 0.0f, 0.0f};

 private:
  void Tile_Start_Homing();
  void Chase(float dt);
  CMatrix4x4 World() const;
  void Draw_Halo() const;

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Body_Texture = nullptr;
  CTextureData* m_Halo_Texture = nullptr;
  CD3DRenderStyle* m_Body_Style = nullptr;
  CD3DRenderStyle* m_Halo_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
