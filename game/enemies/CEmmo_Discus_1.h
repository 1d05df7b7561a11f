#pragma once
// The disc: a spinning disc with a glowing coloured core. It drops from above and then steers
// at a point near the camera (some aim well to the side), turning to face along its flight.
#include <cstdint>

#include "game/core/CBox_Object.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Discus_1 : public CBox_Object {
 public:
  static constexpr uint32_t kType = 59;

  CEmmo_Discus_1() = default;
  ~CEmmo_Discus_1() override { Term(); }

  bool Init();
  void Term();
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
  CVector3 m_Aim{0.0f, 0.0f, 0.0f};
  CRenderableObject* m_Disc = nullptr;
  CRenderableObject* m_Core = nullptr;
  CTextureData* m_Disc_Texture = nullptr;
  CTextureData* m_Core_Texture = nullptr;
  CD3DRenderStyle* m_Disc_Style = nullptr;
  CD3DRenderStyle* m_Core_Style = nullptr;
  CD3DRenderStyle* m_Glow_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  CMatrix4x4 World() const;
};
