#pragma once
// The brick ejector: a small post that places one brick target motionless before itself and hands
// out the next only when the previous one has gone.
#include "game/core/CFixed_Object.h"
#include "game/targets/Ejector_Shared.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Brick : public CFixed_Object, public ejectors::Ejector_Flags {
 public:
  static constexpr uint32_t kType = 45;
  static constexpr uint32_t kOrientation_Kinds = 3;

  // The brick's orientation for a kind (rows top to bottom); a kind outside 0-2 reads as 0.
  static CMatrix3x3 Brick_Orientation(uint32_t kind);

  CEjector_Brick() = default;
  ~CEjector_Brick() override { Term(); }

  bool Init();
  void Term();
  // Sets the post up at the position with the orientation kind of its bricks (outside 0-2 taken
  // as 0) and their colour (above 3: a fresh colour for every brick).
  void Spawn(const uint32_t& orientation_kind, const uint32_t& colour, const CVector3& position);
  void Launch();

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  static CObject_Pool* Pool();

  uint32_t Orientation_Kind = 0;
  uint32_t Colour_Variant = 0;
  float Rise = 0.0f;
  float Age = 0.0f;

 private:
  CMatrix4x4 World() const;

  CRenderableObject* m_Renderables[2] = {};
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
