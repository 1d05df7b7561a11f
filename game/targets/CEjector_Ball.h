#pragma once
// The ball ejector: a post that rises out of the ground and lobs ball targets to a partner
// ejector (or straight up when alone), dips when it throws or catches, puffs smoke, and sinks
// back when it is released.
#include "game/core/CFixed_Object.h"
#include "game/targets/Ejector_Shared.h"

class CObject_Pool;
class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

class CEjector_Ball : public CFixed_Object, public ejectors::Ejector_Flags {
 public:
  static constexpr uint32_t kType = 38;
  static constexpr int kIncoming_Count = 4;

  CEjector_Ball() = default;
  ~CEjector_Ball() override { Term(); }

  bool Init();
  void Term();
  // Sets the ejector up at the position (its lowest point, below the ground) with the colour of
  // the balls it throws.
  void Spawn(const uint32_t& colour, const CVector3& position);
  // True while a ball thrown at it is between 0 and 3 time units from arriving.
  bool Is_Busy() const;
  // Tracks a ball on its way here; nothing when four are tracked already.
  void Add_Incoming(float time);
  // Throws one ball (or nothing when the ball pool is empty).
  void Launch();

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  static CObject_Pool* Pool();

  bool Decoy_Requested = false;
  uint32_t Colour_Variant = 0;
  CVector3 Base_Position{0.0f, 0.0f, 0.0f};
  float Rise = 0.0f;
  float Catch_Timer = 0.0f;
  float Age = 0.0f;
  float Launch_Clock = 0.0f;
  float Incoming[kIncoming_Count] = {};
  CEjector_Ball* Partner = nullptr;

 private:
  CEjector_Ball* Choose_Partner();
  void Emit_Decoy();
  CMatrix4x4 World() const;

  CRenderableObject* m_Renderable = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
};
