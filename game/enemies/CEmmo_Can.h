#pragma once
// The canister: it bursts out of the ground with clods, dust and a mark, tumbling, lobbed at a
// point just above the camera and homing on it on the way.
#include <cstdint>

#include "game/core/CBox_Object.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Can : public CBox_Object {
 public:
  static constexpr uint32_t kType = 65;

  CEmmo_Can() = default;
  ~CEmmo_Can() override { Term(); }

  bool Init();
  void Term();
  bool Spawn(const int* variant, const CVector3* start);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(const CVector3& normal) override;

  static CObject_Pool* Pool();

  bool m_Hit_Player = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  CMatrix4x4 World() const;
};
