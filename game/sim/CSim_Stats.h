#pragma once
// The hit statistics of a run: hits, shots and launched objects, which award points on the
// score board.
#include <cstdint>

class CWorld_Object;
struct CShot_Line;

class CSim_Stats {
 public:
  // Starts the statistics of a run; false fails the simulation's load.
  bool Reset();
  // Ends the statistics of a run.
  void Stop();
  bool Is_Running() const { return m_Running; }

  void Update(float delta);
  // Told of every object swept out of the world.
  void On_Object_Removed(CWorld_Object* object);
  // Registers a hit on the struck object by a shot (hitter is null for a shot's line).
  void Register_Hit(CWorld_Object* struck, CWorld_Object* hitter, int variant, const CShot_Line* shot);

  // Counts a launched object.
  void Record_Launch(CWorld_Object* object);
  // Hit launches over in-use launches of the recent launches, 0-1.
  float Get_Launch_Hit_Ratio() const { return m_Launch_Hit_Ratio; }
  // Closes the round when every launch of it was hit; true when it did.
  bool Check_Perfect_Round();
  // Closes a scored round; reset empties the launch ring.
  void End_Round(const bool& reset);

  uint32_t m_Launches = 0;
  uint32_t m_Rounds = 0;
  bool m_Last_Round_Perfect = false;
  // Least form: the ratio and the round's state as the tests set them.
  float m_Launch_Hit_Ratio = 0.0f;
  bool m_All_Launches_Hit = false;

 private:
  bool m_Running = false;
};

extern CSim_Stats g_Sim_Stats;
