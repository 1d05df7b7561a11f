#pragma once
// The crystal shard the crystal boss fires: it flies without gravity and homes on the camera,
// harder sideways than up and down. Anything but other ammunition and the boss breaks it.
#include <cstdint>

#include "game/core/CSphere_Object.h"

class CObject_Pool;
class CRenderableObject;
class CD3DRenderStyle;
class CTextureData;

class CEmmo_Crystal_1 : public CSphere_Object {
 public:
  static constexpr uint32_t kType = 57;
  static constexpr float kRadius = 35.0f;

  CEmmo_Crystal_1() = default;
  ~CEmmo_Crystal_1() override { Term(); }

  bool Init();
  void Term();
  // Set-up at the firing point; the boss gives the launch velocity and adds it to the world.
  void Setup(const CVector3& start);

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  static CObject_Pool* Pool();

  bool m_Hit_Player = false;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  CMatrix4x4 World() const;
};
