#pragma once
// The running simulation's track: its music module, the run clock in seconds of real time since
// the music started, the track file's timed events that spawn and drive the run's objects, and
// the end of the run.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/src/math/math_types.h"

class CWorld_Object;
struct CSim_Desc;

// One timed point of an event: an action at a time (seconds after the event's start).
struct CTrack_Point {
  uint32_t action = 0;
  float time = 0.0f;
  uint32_t argument = 0;
};

// One event of a section: a stretch of the run from start to end (seconds of the run clock)
// during which it owns up to 12 world objects in its slots.
struct CTrack_Event {
  static constexpr int kSlot_Count = 12;

  uint32_t kind = 0;
  uint32_t sub_kind = 0;
  uint32_t parameter = 0;  // kind 3: the round flag, written while running
  float start = 0.0f;
  float end = 0.0f;
  std::vector<CTrack_Point> points;
  uint32_t next_point = 0;
  CWorld_Object* objects[kSlot_Count] = {};
  int32_t slot_ids[kSlot_Count] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  float placement_depth = 0.0f;

  int Occupied_Count() const;
  // The first slot carrying the id; -1 when none does.
  int Find_Slot(int32_t id) const;
  // The first slot without an object; -1 when all are taken.
  int Free_Slot() const;
};

// The events of one section, in order of start, and the first whose end the clock has not
// yet reached.
struct CTrack_Section {
  std::vector<CTrack_Event> events;
  uint32_t first_pending = 0;
};

// The space an object takes or would take, for the spawn clearance test.
struct CSpawn_Shape {
  static constexpr int kBox = 0;
  static constexpr int kSphere = 1;
  int kind = kBox;
  CVector3 centre{0.0f, 0.0f, 0.0f};
  CMatrix3x3 axes = CMatrix3x3::Identity;
  CVector3 half_size{0.0f, 0.0f, 0.0f};
  float radius = 0.0f;
};

// One row of the statistics summary: a label and its value, with their colours.
struct CSummary_Row {
  std::string label;
  std::string value;
  uint32_t label_colour = 0;
  uint32_t value_colour = 0;
  int row_step = 0;  // row steps below the first row (blank steps included)
  bool right_half = false;  // drawn in the dialog's right half, above its button
};

class CMusic_Track {
 public:
  static constexpr float kGrace_Seconds = 5.0f;
  static constexpr float kEnded_Clock = 10000000.0f;
  static constexpr uint32_t kLight_Wall_Type = 69;

  CMusic_Track() = default;
  CMusic_Track(const CMusic_Track&) = delete;
  CMusic_Track& operator=(const CMusic_Track&) = delete;

  // The run's lifecycle.
  bool Init(const CSim_Desc& desc);
  void Term();
  void Set_Pause(const bool& paused);
  void Update();
  void End_Sim(const bool& success);
  void Remove_Object(CWorld_Object* object);
  bool Is_Running() const { return m_Running; }
  bool Is_Paused() const { return m_Paused; }

  // The track file.
  bool Load_TrackFile(const uint32_t& id);
  // Reads a track file's bytes into the track; false (the track empty) when they are damaged,
  // with the cause in error.
  bool Load_Track_Bytes(const uint8_t* data, size_t size, std::string* error);
  bool Setup_Lanes();
  void Kill_Light_Walls();

  // The events.
  void On_Event_Start(CTrack_Event& event);
  void On_Event_End(CTrack_Event& event);
  void On_Event_Point(CTrack_Event& event, const CTrack_Point& point);
  void Release_Slot(CTrack_Event& event, int32_t id);
  bool Trigger_Ejector(CWorld_Object* object);
  void Light_Lane_Walls(uint32_t sub_kind, const CTrack_Point& point);
  void Boss_Action(CWorld_Object* object, const CTrack_Point& point);

  // Spawning.
  bool Setup_Ejector(uint32_t type, uint8_t flags, CTrack_Event* event, int32_t slot_id, int variant,
                     int colour, const CVector3* position, bool store);
  bool Spawn_Target(uint32_t type, const CTrack_Point& point, CTrack_Event* event = nullptr);
  bool Spawn_Into_Slot(uint32_t type, CTrack_Event& event);
  bool Check_Clearance(uint32_t type, const CVector3& position);
  bool Get_Spawn_Shape(uint32_t type, const CWorld_Object* object, const CVector3& position,
                       CSpawn_Shape& shape);

  // The end of a training run: commits the last points, enters the score in the score table,
  // awards credits, updates and saves the account and shows the summary dialog.
  void Show_Statistics();
  // Raises the account's access level after a third training run, or after enough War Room
  // successes, and saves the account.
  void Update_Access_Level(const bool& success);
  // The summary's button: closes the dialog and returns to the simulator screen.
  static void Close_Statistics();

  // The rows of the summary for a run that took the place (-1: none) and the credits.
  static std::vector<CSummary_Row> Build_Summary_Rows(int place, const std::string& ousted_name,
                                                      const std::string& name_to_beat, uint32_t credits);
  // The place text of the summary's "Rank:" row; a name of 23 characters shows whole.
  static std::string Format_Place_Text(int place, const std::string& ousted_name, const std::string& name_to_beat);

  // The run's state, read by the brains, the statistics and the tests.
  bool m_Running = false;
  bool m_Music_Started = false;
  bool m_Ended = false;
  bool m_Result = false;
  bool m_End_Requested = false;
  bool m_Paused = false;
  std::string m_Sim_Key;
  std::string m_User_Name;
  uint32_t m_Access_Level = 0;
  int32_t m_Track_Mode = 0;
  uint32_t m_Lane_Count = 0;
  uint32_t m_Music_Channel = 0;
  uint32_t m_Clock_Stamp = 0;
  float m_Clock = 0.0f;
  float m_Grace_Time = kGrace_Seconds;
  uint32_t m_Lane_Light_Index = 0;
  uint32_t m_Lane_Pair_Index = 0;
  std::vector<CTrack_Section> m_Sections;
  float m_Length = 0.0f;

 private:
  void Open_Summary_Dialog(const std::vector<CSummary_Row>& rows);
  void Load_Music(const CSim_Desc& desc);
  // One error line naming the module that gave no music, and why.
  static void Report_Music_Failure(uint32_t id, const char* reason);
  void Give_Reference_Scores();
  void Dispatch_Section(CTrack_Section& section, float previous_clock);
  bool Remaining_Objects() const;
  void Close_Run();
  void Kill_Won_Objects();
  void Choose_Closing(bool success);
  void Clear_Track();

  void Start_Ejector(CTrack_Event& event);
  void Start_Effect(const CTrack_Event& event);
  void Start_Kind_9(CTrack_Event& event);
  void Start_Box_Formation(CTrack_Event& event);
  void Start_Screen_Effect(const CTrack_Event& event);
  void Place_Row_Ejector(CTrack_Event& event, const CTrack_Point& point);
  void Trigger_By_Argument(CTrack_Event& event, const CTrack_Point& point);
  void Twirler_Point(CTrack_Event& event, const CTrack_Point& point);
  void Sparkler_Point(CTrack_Event& event, const CTrack_Point& point);
  void Simon_Point(CTrack_Event& event, const CTrack_Point& point);
  void Spawn_Kind_9(CTrack_Event& event, const CTrack_Point& point);
  void Spawn_Kind_10(CTrack_Event& event, const CTrack_Point& point);
  void Spawn_Kind_13(CTrack_Event& event, const CTrack_Point& point);
  void Spawn_Kind_16(CTrack_Event& event, const CTrack_Point& point);
  void Formation_Flash(const CTrack_Event& event, const CTrack_Point& point);
  void Release_Object(CTrack_Event& event, int slot);
  bool Trigger_Slot(CTrack_Event& event, int slot);

  CVector3 Draw_Ejector_Place(uint8_t flags) const;
  void Set_Up_By_Type(uint32_t type, CWorld_Object* object, const CTrack_Event* event, int variant,
                      int colour, CVector3 place);
  // False when the class could not be set up; the object is then back in its pool.
  bool Set_Up_Target(uint32_t type, CWorld_Object* object, const CTrack_Point& point, int& list);
  CVector3 Draw_Ground_Place(uint32_t type, float x_low, float x_high, float z_low, float z_high);
  float World_X() const;
  float World_Z() const;
  float Camera_Height() const;
  float Ground(float x, float z) const;

  // A random value in [0, 1) from the program's one generator, and a random whole number
  // 0 <= n < count.
  static float Random_Fraction();
  static int Random_Below(int count);
  // A random occupied slot of the event; -1 when it holds nothing.
  static int Random_Occupied_Slot(const CTrack_Event& event);
};

extern CMusic_Track g_Music_Track;

// The base orientation of placed objects: the identity.
extern const CMatrix3x3 g_Base_Orientation;
// The credits a run earns for its place in the score table (−1 or 50 and above: none) at an
// access level; depends on the board's total and one random draw.
uint32_t Calc_Credits_Award(const int& place, const uint32_t& access_level);
