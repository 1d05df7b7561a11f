#pragma once
// The bar emplacement: a tall pillar that rises out of the ground and, on each fire request,
// throws a homing ball across the view with a blue flash. It cannot be shot; the track's release
// sinks it, faster and faster.
#include "game/core/CFixed_Object.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Enemy_Bar : public CFixed_Object {
 public:
  static constexpr uint32_t kType = 53;
  static constexpr float kHeight = 1500.0f;

  bool Init();
  void Term();
  void Spawn(const CVector3& position);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  bool m_Initialised = false;
  bool m_Active = false;
  uint8_t m_Launch_Requested = 0;
  CVector3 m_Base_Position{0.0f, 0.0f, 0.0f};
  float m_Rise = 0.0f;
  float m_Age = 0.0f;

 private:
  void Fire();

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
