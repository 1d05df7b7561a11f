#pragma once
// The twirler ejector: a tall energy mast that rises out of the ground and releases one twirler
// at a time from its top, at rest with a slow spin, in a random colour. A ball of light above
// the mast flares when the track tells it to.
#include <cstdint>

#include "game/core/CFixed_Object.h"
#include "game/targets/Ejector_Shared.h"
#include "runtime/src/math/math_types.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Twirler : public CFixed_Object, public ejectors::Ejector_Flags {
 public:
  static constexpr uint32_t kType = 43;
  static constexpr float kRise_Rate = 2.5f;
  static constexpr float kGlow_Fall = 2.0f;

  bool Init();
  void Term();
  void Spawn(const CVector3& position);
  // The track's flare of the light above the mast (it fades by itself).
  void Set_Glow(float glow) { m_Glow = glow; }

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // Where the light hangs: above the mast's top.
  CVector3 Light_Point() const;
  // The light's halo size: it swells with the glow.
  float Halo_Size() const { return 200.0f * m_Glow + 155.0f; }

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  CVector3 m_Base_Position{0.0f, 0.0f, 0.0f};
  float m_Glow = 0.0f;
  float m_Rise = 0.0f;
  float m_Age = 0.0f;

 private:
  void Launch();
  CMatrix4x4 Mast_Matrix() const;

  CRenderableObject* m_Mast = nullptr;
  CRenderableObject* m_Mast_Top = nullptr;
  CTextureData* m_Mast_Texture = nullptr;
  CTextureData* m_Top_Texture = nullptr;
  CTextureData* m_Halo_Texture = nullptr;
  CTextureData* m_Light_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Light_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
