#pragma once
// The hit statistics of a run: hits, shots and launched objects, which award points on the
// score board.
#include <cstdint>

class CWorld_Object;
struct CShot_Line;

// Who fired a shot: the shot's own world object (a ball, a shell, a missile), or a numbered
// source that fires untracked shots (1 machine-gun bullets, 2 lightning, 3 laser).
struct CShot_Source {
  static constexpr uint32_t kBullets = 1;
  static constexpr uint32_t kLightning = 2;
  static constexpr uint32_t kLaser = 3;

  const CWorld_Object* object = nullptr;
  uint32_t number = 0;

  static CShot_Source Of_Object(const CWorld_Object* shot) { return CShot_Source{shot, 0}; }
  static CShot_Source Numbered(uint32_t source) { return CShot_Source{nullptr, source}; }
  bool operator==(const CShot_Source& other) const { return object == other.object && number == other.number; }
};

// One entry of the ring of the last shots.
struct CShot_Record {
  uint32_t flags = 0;  // bit 0 in use, bit 1 hit
  CShot_Source source;
  uint32_t tag = 0;
};

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
  // Counts a shot fired by the source, with the tag the shooter chose.
  void Record_Shot(const CShot_Source& source, const uint32_t& tag);
  // Registers a hit on the object by the shot (source null: the hitting object is the shot).
  void Register_Hit(CWorld_Object* hit, CWorld_Object* hitter, const CShot_Source* source, const uint32_t& tag);

  static constexpr int kShot_Ring_Size = 16;
  uint32_t m_Shots = 0;
  uint32_t m_Hits = 0;
  int m_Shot_Ring_Index = 0;
  CShot_Record m_Shot_Ring[kShot_Ring_Size];

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
