#pragma once
// The score board of the running simulation: awards, the pending chain and its commit.
#include <cstdint>

class CScore_Board_Mgr {
 public:
  bool Init();
  void Term();
  bool Is_Active() const { return m_Initialised; }

  void Update(const float& delta);
  void Render_Frame();

  // Queues the staged points as a popup and clears them.
  void Flush_Staged_Points();
  void Award_Points(const unsigned& amount, const float& duration);
  // Commits the pending points.
  void Commit_Points();
  // The four scores whose crossing is called out (10th, 3rd, 2nd and 1st place).
  void Set_Stat_Sources(const uint32_t& tenth, const uint32_t& third, const uint32_t& second,
                        const uint32_t& first);

  bool m_Initialised = false;
  // While set, Init fails as a failed texture load would (tests of a failing launch use it).
  bool m_Refuse_Init = false;
  uint32_t m_Total_Score = 0;
  uint32_t m_Pending_Points = 0;
  uint32_t m_Pending_Multiplier = 0;  // hundredths
  uint32_t m_Closing_Points = 0;
  uint32_t m_Closing_Multiplier = 0;  // hundredths
  uint32_t m_Score_Marks[4] = {0, 0, 0, 0};
};

extern CScore_Board_Mgr g_Score_Board_Mgr;
