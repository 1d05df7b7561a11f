#pragma once
// What the roller and the jumper share: a ball that drives itself across the floor through its
// torque in one of a few directions, dies at boundary walls by the class's rule, and starts to
// die at its first counted hit.
#include <cstdint>

#include "game/core/CSphere_Object.h"
#include "game/sim/CScore_Source.h"
#include "runtime/src/math/math_types.h"

class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

struct Rolling_Ball_Rules {
  uint32_t type;
  float mass;
  float radius;
  float bounce;
  float life;
  float max_spin;      // the drive stops adding torque at this spin
  bool half_gravity;   // the roller rolls at half the world gravity
};

class CRolling_Ball_Target : public CSphere_Object, public CTarget_Score_Info {
 public:
  static constexpr float kGuard_Age = 0.5f;
  static constexpr float kDeath_Rate = 0.6f;

  explicit CRolling_Ball_Target(const Rolling_Ball_Rules& rules) : m_Rules(rules) {}

  void Term();
  bool Spawn(const int32_t& variant, const int32_t& direction);

  void Update(const float& dt) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(float strength, const CVector3& contact, const CVector3& normal) override;

  // The variant colour of the shared table, black once hit.
  CColor4 Get_Color() const;

  int32_t Score_Color_Variant() const override { return m_Variant; }
  float Score_Age() const override { return m_Age; }

  bool m_Initialised = false;
  bool m_Spawned = false;
  int32_t m_Variant = 0;
  int32_t m_Direction = 0;
  int32_t m_Hit_Count = 0;
  float m_Age = 0.0f;
  float m_Life = 0.0f;

 protected:
  // The torque that drives the roll in the class's direction.
  virtual void Drive() = 0;
  // Before the world step (the jumper's jump).
  virtual void Before_Move(float dt) { (void)dt; }
  // Whether a hitter is left alone (true and no effect).
  virtual bool Ignores(const CWorld_Object* other) const;
  // Whether the boundary wall with this normal is one the ball survives.
  virtual bool Survives_Wall(const CVector3& normal) const { (void)normal; return false; }

  // Adds to the torque about one axis while the spin about it is below the limit in that sense.
  void Drive_Axis(float& torque, float spin, float push);
  // Scale (the death shrink while dying), orientation and position.
  CMatrix4x4 Ball_Matrix() const;
  // The scale of the model: the mesh is modelled at the full radius.
  float Death_Scale() const;

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;
  Rolling_Ball_Rules m_Rules;
};
