#pragma once
// The star target: a flat star in four sizes that the star ejector throws; it grows in 0.5 time
// units, floats at half the world gravity, sheds sparkles and falls once hit.
#include "game/targets/CGrowing_Box_Target.h"

class CObject_Pool;

class CTarget_Star : public CGrowing_Box_Target {
 public:
  static constexpr uint32_t kType = 12;

  CTarget_Star();

  bool Init();
  bool Spawn(const int32_t& variant);
  CColor4 Get_Color() const override;
  CVector3 Full_Half_Size() const override { return m_Full_Half_Size; }

  void Render(const float& step) override;
  void Render_Reflection(const CWorld_Mirror& mirror) override;
  void Render_With_Shader(void* style, void* texture) override;

  // The class's pool, made on first use.
  static CObject_Pool* Pool();

  CVector3 m_Full_Half_Size{1.0f, 1.0f, 1.0f};

 protected:
  void Burst(uint32_t packed_colour) override;

 private:
  // The model is a star of half size (10, 5, 10), stretched to the box.
  CMatrix4x4 Star_Matrix() const;
};
