#pragma once
// The homing ball: a small coloured ball with a ribbon trail that flies without gravity and
// steers at the camera, harder at higher difficulty. Only player shots affect it.
#include <cstdint>

#include "game/core/CSphere_Object.h"
#include "game/fx/CFX_Poly_Trail.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Ball_2 : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 56;
  static constexpr float kRadius = 20.0f;

  CEmmo_Ball_2() = default;
  ~CEmmo_Ball_2() override { Term(); }

  bool Init();
  void Term();
  // The caller gives the velocity (and may turn it) and adds it to the world.
  bool Spawn(const int* variant, const CVector3* start);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  static CObject_Pool* Pool();

  bool m_Hit_Player = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  CFX_Poly_Trail m_Trail;
  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  CMatrix4x4 World() const;
  CColor4 Colour() const;
};
