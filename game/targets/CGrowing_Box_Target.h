#pragma once
// What the line, pill and star targets share: a box body that is spawned tiny and grows to its
// full size, flies on its launch velocity, sheds coloured sparkles (pill, star), and on its first
// counted hit bursts, awards a precise hit and falls. Each class gives its numbers and its art.
#include <cstdint>

#include "game/core/CBox_Object.h"
#include "game/sim/CScore_Source.h"
#include "runtime/src/math/math_types.h"

class CRenderableObject;
class CTextureData;
class CD3DRenderStyle;

// The numbers that tell the three classes apart.
struct Growing_Box_Rules {
  uint32_t type;
  float mass;
  float bounce;
  uint32_t state_flags;
  float growth_time;   // also the age from which it can be hit
  float death_rate;    // kill timer growth per time unit
  bool half_gravity;   // the star floats at half the world gravity
  bool sheds_trail;    // pill and star leave sparkles behind
};

class CGrowing_Box_Target : public CBox_Object, public CTarget_Score_Info {
 public:
  static constexpr float kLife = 15.0f;

  explicit CGrowing_Box_Target(const Growing_Box_Rules& rules) : m_Rules(rules) {}

  void Term();
  // Sets up the tiny box; the caller places and launches it.
  bool Spawn(const int32_t& variant);

  void Update(const float& dt) override;
  bool On_Hit(CWorld_Object* other, const CShot_Line* shot) override;
  void On_Floor_Contact(const CVector3& normal) override;

  // Its colour: the class's table, black once hit.
  virtual CColor4 Get_Color() const = 0;
  // The size it grows to.
  virtual CVector3 Full_Half_Size() const = 0;

  int32_t Score_Color_Variant() const override { return m_Variant; }
  float Score_Age() const override { return m_Age; }

  bool m_Initialised = false;
  bool m_Spawned = false;
  int32_t m_Variant = 0;
  int32_t m_Hit_Count = 0;
  float m_Growth = 0.0f;
  float m_Trail_Timer = 0.0f;
  float m_Age = 0.0f;
  float m_Life = 0.0f;

 protected:
  // The first-hit burst of sparkles in the class's pattern.
  virtual void Burst(uint32_t packed_colour) = 0;
  // What the class does beyond the shared rules: a line refuses hitters that are not shots.
  virtual bool Refuses(const CWorld_Object* other) const { (void)other; return false; }
  // Before the shared hit steps on a later hit (the line slows down).
  virtual void On_Later_Hit() {}
  // After the shared step: the line starts to fade.
  virtual void After_Hit() {}
  // Before integration; false skips the world contacts (a live line touches nothing).
  virtual bool Before_Move() { return true; }
  // After integration: the line's arena test.
  virtual void After_Move() {}

  void Grow();
  void Shed_Trail(float dt);
  void First_Hit(CWorld_Object* other, const CShot_Line* shot);
  // World matrix at the growth scale while growing.
  CMatrix4x4 Growth_Matrix() const;

  CRenderableObject* m_Model = nullptr;
  CTextureData* m_Texture = nullptr;
  CD3DRenderStyle* m_Style = nullptr;
  CD3DRenderStyle* m_Mirror_Style = nullptr;

 private:
  Growing_Box_Rules m_Rules;
};
