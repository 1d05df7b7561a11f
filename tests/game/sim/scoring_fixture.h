#pragma once
// Shared pieces of the scoring tests: a target and a shot that tell the statistics about
// themselves, and a fixture that starts every test from a fresh board, statistics and callouts.
#include <gtest/gtest.h>

#include "game/core/CGame_State.h"
#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
#include "game/player/CPlayer.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CScore_Source.h"
#include "game/sim/CSim_Stats.h"
#include "game/sim/Score_Callouts.h"

namespace scoring_test {

class Fake_Target : public CWorld_Object, public CTarget_Score_Info {
 public:
  explicit Fake_Target(uint32_t type, int32_t variant = 0, float age = 0.0f, bool flag = false)
      : variant(variant), age(age), flag(flag) {
    m_Type = type;
  }
  void Update(const float& dt) override { (void)dt; }
  int32_t Score_Color_Variant() const override { return variant; }
  float Score_Age() const override { return age; }
  bool Score_Flag() const override { return flag; }
  int32_t variant;
  float age;
  bool flag;
};

class Fake_Shot : public CWorld_Object, public CShot_Score_Info {
 public:
  explicit Fake_Shot(uint32_t type, bool floor = false, uint32_t objects_hit = 0)
      : floor(floor), objects_hit(objects_hit) {
    m_Type = type;
  }
  void Update(const float& dt) override { (void)dt; }
  bool Shot_Touched_Floor() const override { return floor; }
  uint32_t Shot_Objects_Hit() const override { return objects_hit; }
  bool floor;
  uint32_t objects_hit;
};

// A plain object that carries neither record.
class Plain_Object : public CWorld_Object {
 public:
  explicit Plain_Object(uint32_t type) { m_Type = type; }
  void Update(const float& dt) override { (void)dt; }
};

class Scoring_Test : public ::testing::Test {
 protected:
  void SetUp() override { Fresh(); }
  void TearDown() override {
    g_World.Reset();
    g_Game_State.m_Mode_Flags = 0;
    g_Player.m_Gun = nullptr;
    Fresh();
  }
  static void Fresh() {
    g_Score_Board_Mgr = CScore_Board_Mgr();
    g_Sim_Stats.Reset();
    Reset_Callouts();
  }
  // The board as a running training run has it after its start: idle, nothing pending.
  static CScore_Board_Mgr& Board() { return g_Score_Board_Mgr; }
  // Puts a heap object in the world outside the grid; the world deletes it at its reset.
  static CWorld_Object* Put_In_World(CWorld_Object* object) {
    object->m_State_Flags |= kState_In_Grid;
    g_World.Add_Object(1, object);
    return object;
  }
  static int Popups_Of_Kind(int kind) {
    int n = 0;
    for (uint32_t i = 0; i < Board().m_Popup_Count; ++i) n += Board().m_Popups[i].kind == kind;
    return n;
  }
};

}  // namespace scoring_test
