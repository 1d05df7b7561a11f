#pragma once
// What the pill and roller ejectors share: an invisible launch point marked by a glowing beam
// cross that flashes as it appears, serving one launch request per update once it has appeared,
// and sending its target off along a fixed world direction at 160.
#include <cstdint>

#include "game/core/CFixed_Object.h"
#include "game/targets/Ejector_Shared.h"
#include "runtime/src/math/math_types.h"

class CTextureData;
class CD3DRenderStyle;

class CLaunch_Point_Ejector : public CFixed_Object, public ejectors::Ejector_Flags {
 public:
  static constexpr float kLaunch_Speed = 160.0f;
  static constexpr float kRise_Rate = 2.0f;

  explicit CLaunch_Point_Ejector(const char* class_name) : m_Class_Name(class_name) {}

  bool Init();
  void Term();

  void Update(const float& dt) override;
  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;

  // The marker's brightness at a rise: a flash of 3 at a third of the way, 1 when risen.
  static float Marker_Brightness(float rise);
  // The world direction its targets leave along (zero for none).
  virtual CVector3 Launch_Direction() const = 0;

  uint32_t m_Colour_Variant = 0;
  float m_Rise = 0.0f;
  float m_Age = 0.0f;

 protected:
  // Sets up the body and clears the timers; the class stores its own argument.
  void Start(uint32_t type, uint32_t colour, const CVector3& position);
  // Takes a target from its pool and throws it; the class's own.
  virtual void Launch() = 0;
  // The packed colour of the launch puff for the target's colour, and the puff.
  void Puff(const CVector3& at, const CVector3& velocity, const CColor4& colour);
  // The target's colour of the ejector's variant (the marker's colour).
  virtual CColor4 Marker_Colour() const = 0;

 private:
  void Draw_Marker(const CVector3& position, const CVector3& up, const CVector3& direction);

  const char* m_Class_Name;
  CTextureData* m_Beam_Texture = nullptr;
  CTextureData* m_Glow_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
};
