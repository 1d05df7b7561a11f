#pragma once
// Stand-in targets for scripted play and tests: a sphere or a box with kind flag 0x01 that
// counts the hits it takes and turns from white to red when hit. They have no pool: the world's
// sweep deletes them.
#include <vector>

#include "game/core/CWorld_Object.h"

namespace vt_test {

class Stand_In_Target : public CWorld_Object {
 public:
  // A sphere of the radius, or a box of the half size, resting with its base at the height
  // above the ground at (x, z), added to the world's fixed-step list.
  static Stand_In_Target* Spawn_Sphere(float x, float height, float z, float radius);
  static Stand_In_Target* Spawn_Box(float x, float height, float z, float half_size);
  ~Stand_In_Target() override;

  void Update(const float& dt) override;
  void Render(const float& step) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;

  int Hits() const { return m_Hits; }
  // Distance moved from where it was spawned.
  float Moved() const;

  // The stand-ins alive now, in spawning order.
  static const std::vector<Stand_In_Target*>& All();

 private:
  Stand_In_Target() = default;
  int m_Hits = 0;
  CVector3 m_Start{0.0f, 0.0f, 0.0f};
};

}  // namespace vt_test
