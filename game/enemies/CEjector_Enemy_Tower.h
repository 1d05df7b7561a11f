#pragma once
// The tower emplacement: rises out of the ground facing the player, glows red while charged,
// strikes the player once on request and is spent. It can be shot only through its head.
#include "game/core/CFixed_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Enemy_Tower : public CFixed_Object {
 public:
  static constexpr uint32_t kType = 51;
  // The head's centre above the tower's origin.
  static constexpr float kHead_Height = 123.0f;

  bool Init();
  void Term();
  // False only when the body cannot be set up.
  bool Spawn(const CVector3& position);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  CVector3 Head() const;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Active = false;
  uint8_t m_Launch_Requested = 0;
  uint8_t m_Fired = 0;
  CVector3 m_Base_Position{0.0f, 0.0f, 0.0f};
  float m_Rise = 0.0f;
  float m_Age = 0.0f;
  int32_t m_Hit_Count = 0;

 private:
  bool Line_Meets_Head(CWorld_Object* other, const CShot_Line* shot, bool& has_line) const;
  void Draw_Glow(const CMatrix4x4& world) const;

  CRenderableObject* m_Stem_Model = nullptr;
  CRenderableObject* m_Head_Model = nullptr;
  CTextureData* m_Stem_Texture = nullptr;
  CTextureData* m_Head_Texture = nullptr;
  CD3DRenderStyle* m_Stem_Style = nullptr;
  CD3DRenderStyle* m_Head_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
