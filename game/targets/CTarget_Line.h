#pragma once
// The line target: a long bar that the track sends across the arena. It grows in 1.15 time
// units, flies without gravity or world contact, and dies when it leaves the arena, when it is
// hit (at once) or when its life ends.
#include "game/targets/CGrowing_Box_Target.h"

class CObject_Pool;

class CTarget_Line : public CGrowing_Box_Target {
 public:
  static constexpr uint32_t kType = 26;

  CTarget_Line();

  bool Init();
  CColor4 Get_Color() const override;
  CVector3 Full_Half_Size() const override { return CVector3{150.0f, 12.0f, 20.0f}; }

  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // Whether a point with the line's current half length lies outside the arena: past either
  // side wall, past the far end, or behind the camera.
  bool Outside_Arena() const;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

 protected:
  void Burst(uint32_t packed_colour) override;
  bool Refuses(const CWorld_Object* other) const override;
  void On_Later_Hit() override;
  void After_Hit() override;
  bool Before_Move() override;
  void After_Move() override;
};
