#pragma once
// The hit statistics of a run: every shot fired, every object launched and every hit, which
// award points on the score board, and the three ratings the summary shows at the end.
#include <cstdint>

class CWorld_Object;

// Who fired a shot: the shot's own world object (a ball, a shell, a missile), or a numbered
// source that fires untracked shots (1 machine-gun bullets, tagged by slot; 2 lightning, tagged
// by the burst's shot id; 3 laser).
struct CShot_Source {
  static constexpr uint32_t kBullets = 1;
  static constexpr uint32_t kLightning = 2;
  static constexpr uint32_t kLaser = 3;

  const CWorld_Object* object = nullptr;
  uint32_t number = 0;

  static CShot_Source Of_Object(const CWorld_Object* shot) { return CShot_Source{shot, 0}; }
  static CShot_Source Numbered(uint32_t source) { return CShot_Source{nullptr, source}; }
  bool Is_None() const { return object == nullptr && number == 0; }
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
  static constexpr int kShot_Ring_Size = 16;
  static constexpr int kLaunch_Ring_Size = 256;
  // A reaction time at or above this is not counted.
  static constexpr float kNot_Counted = 10000.0f;
  // Ring entry flags.
  static constexpr uint32_t kEntry_In_Use = 0x01;
  static constexpr uint32_t kEntry_Hit = 0x02;

  struct Launch_Entry {
    uint32_t flags = 0;
    const CWorld_Object* object = nullptr;
  };
  // The base points of a hit and its reaction time.
  struct Hit_Value {
    uint32_t points = 0;
    float reaction = kNot_Counted;
  };

  // Clears every field and starts the statistics of a run; always true.
  bool Reset();
  // Ends the statistics of a run.
  void Stop();
  bool Is_Running() const { return m_Active; }

  // Counts a shot fired by the source, with the tag the shooter chose.
  void Record_Shot(const CShot_Source& source, const uint32_t& tag);
  void Record_Launch(const CWorld_Object* object);
  // A hit on the hit object (may be null) by the hitting object (may be null); a null shot
  // source means the hitting object is the shot.
  void Register_Hit(CWorld_Object* hit, CWorld_Object* hitter, const CShot_Source* source, const uint32_t& tag);
  int Count_Hit_Streak() const;
  float Get_Launch_Hit_Ratio() const;
  bool All_Launches_Hit() const;
  bool Check_Perfect_Round();
  void End_Round(bool reset_launch_ring);
  // Counts a counted target that leaves the world unhit as a miss.
  void On_Object_Removed(const CWorld_Object* object);
  void Update(float delta);

  float Calc_Reaction_Rating() const;
  float Calc_Aptitude_Rating() const;
  float Calc_Aggression_Rating() const;

  // The points and reaction time a hit on the object earns by its type and colour variant.
  static Hit_Value Points_For(const CWorld_Object* hit);

  bool m_Active = false;
  bool m_Round_Tracking = false;
  bool m_Last_Round_Perfect = false;
  float m_Elapsed = 0.0f;
  int32_t m_Shot_Ring_Index = 0;
  CShot_Record m_Shot_Ring[kShot_Ring_Size] = {};
  int32_t m_Launch_Ring_Index = 0;
  Launch_Entry m_Launch_Ring[kLaunch_Ring_Size] = {};
  uint32_t m_Shots = 0;
  uint32_t m_Launches = 0;
  uint32_t m_Hits = 0;
  uint32_t m_Rounds = 0;
  uint32_t m_Perfect_Rounds = 0;
  float m_Reaction_Sum = 0.0f;
  float m_Reaction_Count = 0.0f;

 private:
  void Mark_Shot_Hit(const CShot_Source& source, uint32_t tag);
  void Mark_Launch_Hit(const CWorld_Object* hit);
  static void Award_Shot_Bonuses(const CWorld_Object* hitter);
};

extern CSim_Stats g_Sim_Stats;
