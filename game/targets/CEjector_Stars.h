#pragma once
// The star ejector: a small block that slides out along its first axis and throws star targets
// up and forward at a random speed, one per request.
#include <cstdint>

#include "game/core/CFixed_Object.h"
#include "game/targets/Ejector_Shared.h"
#include "runtime/src/math/math_types.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Stars : public CFixed_Object, public ejectors::Ejector_Flags {
 public:
  static constexpr uint32_t kType = 41;
  static constexpr float kRise_Rate = 4.0f;

  bool Init();
  void Term();
  // The first value is the side the spawner chose; the spawner itself turns a right-hand
  // ejector to face into the world.
  void Spawn(const uint32_t& first, const uint32_t& colour, const CVector3& position);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  // The side the spawner chose (0 left, 1 right), kept for inspection; the spawner turns it.
  uint32_t m_Side = 0;
  uint32_t m_Colour_Variant = 0;
  CVector3 m_Base_Position{0.0f, 0.0f, 0.0f};
  float m_Rise = 0.0f;
  float m_Age = 0.0f;

 private:
  void Launch();
  CMatrix4x4 Slide_Matrix() const;

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
