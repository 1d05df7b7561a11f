#pragma once
// The plate emplacement: a square coloured panel facing along z that strikes the player on each
// fire request and then glides to a new place nearby while its glow charges again. Shot, it
// scores and shrinks away.
#include "game/core/CFixed_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Enemy_Plate : public CFixed_Object {
 public:
  static constexpr uint32_t kType = 54;
  static constexpr int kPlace_Tries = 256;

  bool Init();
  void Term();
  // False only when the body cannot be set up.
  bool Spawn(int variant, const CVector3& position);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  // Up to 256 tries for a place 200 to 500 away in the plate's vertical plane, below the camera
  // by 300, at least 100 above the ground and within the world's middle 85 % across; the
  // current position when none fits.
  CVector3 Pick_Plate_Position() const;
  // The variant colour, black once hit.
  CColor4 Colour() const;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Active = false;
  uint8_t m_Launch_Requested = 0;
  int32_t m_Variant = 0;
  CVector3 m_Move_From{0.0f, 0.0f, 0.0f};
  CVector3 m_Move_To{0.0f, 0.0f, 0.0f};
  float m_Scale = 0.0f;
  float m_Move = 1.0f;
  float m_Glow = 0.0f;
  float m_Age = 0.0f;
  int32_t m_Hit_Count = 0;

 private:
  void Strike();
  CMatrix4x4 World() const;
  void Draw_Glow(const CMatrix4x4& world) const;

  CRenderableObject* m_Plate_Model = nullptr;
  CRenderableObject* m_Rim_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Body_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};

// The orientation that faces the camera across the ground from the position: rows side, up and
// the unit horizontal direction away from the camera.
CMatrix3x3 Enemy_Facing(const CVector3& position);
