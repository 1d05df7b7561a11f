#pragma once
// The timed-event sequencer: short scripted timelines (screen changes, screen effects, camera
// moves, status texts) whose events fire on the game's scaled clock and end by issuing a menu
// command.
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <vector>

struct CFrame_Info;

// One event of a sequence: a code at a time (clock units), its two values and its text.
struct CSequence_Event {
  int32_t code = 0;
  float time = 0.0f;
  float value1 = 0.0f;
  float value2 = 0.0f;
  std::string text;
};

// One running sequence of a kind with its caller's four values.
struct CSequence {
  int32_t kind = 0;
  std::vector<CSequence_Event> events;
  uint32_t fired = 0;
  float clock = 0.0f;
  int32_t values[4] = {0, 0, 0, 0};
  bool removed = false;  // taken out during a pass; freed after it
};

class CSequence_Mgr {
 public:
  bool Init();
  // Deletes every running sequence.
  void Clear();
  // Builds the kind's events and appends the sequence; kind 1 first removes running kind-1
  // sequences, kind 2 those of kinds 1 and 2. An unknown kind adds nothing.
  void Start_Sequence(const int32_t& kind, const int32_t& value1, const int32_t& value2, const int32_t& value3,
                      const int32_t& value4);
  void Update(const CFrame_Info& frame);
  // Runs one event of the sequence.
  void Fire_Event(const CSequence_Event& event, const CSequence& sequence);

  bool Is_Initialised() const { return m_Initialised; }
  // The sequences still running, in start order.
  std::vector<const CSequence*> Running() const;

 private:
  void Remove_Kinds(int32_t highest_kind);
  void Free_Removed();

  bool m_Initialised = false;
  bool m_In_Pass = false;
  std::list<std::unique_ptr<CSequence>> m_Sequences;
};

extern CSequence_Mgr g_Sequence_Mgr;
