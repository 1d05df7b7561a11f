#pragma once
// The hit statistics of a run: hits, shots and launched objects, which award points on the
// score board.
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

 private:
  bool m_Running = false;
};

extern CSim_Stats g_Sim_Stats;
