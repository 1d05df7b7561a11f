#pragma once
// The bar: a long shaft with a glowing head at each end and a ribbon trail behind each head. It
// drops from above and then steers at a point beside the camera. Only player shots touch it.
#include <cstdint>

#include "game/core/CBox_Object.h"
#include "game/fx/CFX_Poly_Trail.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Bar_1 : public CBox_Object {
 public:
  static constexpr uint32_t kType = 60;
  static constexpr float kHead_Offset = 150.0f;

  CEmmo_Bar_1() = default;
  ~CEmmo_Bar_1() override { Term(); }

  bool Init();
  void Term();
  bool Spawn(const int* variant, const CVector3* start);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  // The glow matrices every bar shares: a 1.125 scale about each head.
  static const CMatrix4x4& Glow_Matrix(int head);

  static CObject_Pool* Pool();

  bool m_Hit_Player = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Vertical_Damping = 1.0f;
  CVector3 m_Aim{0.0f, 0.0f, 0.0f};
  CFX_Poly_Trail m_Trails[2];
  CRenderableObject* m_Shaft = nullptr;
  CRenderableObject* m_Heads[2] = {nullptr, nullptr};
  CTextureData* m_Shaft_Texture = nullptr;
  CTextureData* m_Head_Texture = nullptr;
  CD3DRenderStyle* m_Shaft_Style = nullptr;
  CD3DRenderStyle* m_Head_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  CMatrix4x4 World() const;
  CVector3 Head_Point(int head) const;
};
