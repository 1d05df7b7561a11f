#pragma once
// The pill target: a capsule that the pill ejector fires sideways; it grows to full size in 0.85
// time units, flies without gravity until hit, sheds sparkles and falls once hit.
#include "game/targets/CGrowing_Box_Target.h"

class CObject_Pool;

class CTarget_Pill : public CGrowing_Box_Target {
 public:
  static constexpr uint32_t kType = 18;

  CTarget_Pill();

  bool Init();
  CColor4 Get_Color() const override;
  CVector3 Full_Half_Size() const override { return CVector3{30.0f, 30.0f, 60.0f}; }

  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

 protected:
  void Burst(uint32_t packed_colour) override;
};
