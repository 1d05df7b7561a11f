#pragma once
// The roller target: a coloured ball that the roller ejector sends along one of four floor
// directions; it drives itself by its spin at half gravity and dies at every boundary wall.
#include "game/targets/CRolling_Ball_Target.h"

class CObject_Pool;

class CTarget_Roller : public CRolling_Ball_Target {
 public:
  static constexpr uint32_t kType = 16;

  CTarget_Roller();

  bool Init();

  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

 protected:
  void Drive() override;
};
