#pragma once
// The running simulation's track: its music and the event clock that spawns objects, and the
// end of a training run with its statistics summary.
#include <cstdint>
#include <string>
#include <vector>

// One row of the statistics summary: a label and its value, with their colours.
struct CSummary_Row {
  std::string label;
  std::string value;
  uint32_t label_colour = 0;
  uint32_t value_colour = 0;
  int row_step = 0;  // row steps below the first row (blank steps included)
};

class CMusic_Track {
 public:
  bool Is_Running() const { return m_Running; }

  void Term();
  void Update();
  void Set_Pause(const bool& paused);
  bool Is_Paused() const { return m_Paused; }

  // The end of a training run: commits the last points, enters the score in the score table,
  // awards credits, updates and saves the account and shows the summary dialog.
  void Show_Statistics();
  // Raises the account's access level after a third training run, or after enough War Room
  // successes, and saves the account.
  void Update_Access_Level(const bool& success);
  // The summary's button: closes the dialog and returns to the simulator screen.
  static void Close_Statistics();

  // The rows of the summary for a run that took the place (−1: none) and the credits.
  static std::vector<CSummary_Row> Build_Summary_Rows(int place, const std::string& ousted_name,
                                                      const std::string& name_to_beat, uint32_t credits);
  // The place text of the summary's "Rank:" row; a name of 23 characters shows whole.
  static std::string Format_Place_Text(int place, const std::string& ousted_name, const std::string& name_to_beat);

  bool m_Ended = false;
  std::string m_Sim_Key;  // the track-file id in decimal: the key of the score table
  std::string m_User_Name;
  uint32_t m_Access_Level = 0;

 private:
  void Open_Summary_Dialog(const std::vector<CSummary_Row>& rows);

  bool m_Running = false;
  bool m_Paused = false;
};

extern CMusic_Track g_Music_Track;

// The credits a run earns for its place in the score table (−1 or 50 and above: none) at an
// access level; depends on the board's total and one random draw.
uint32_t Calc_Credits_Award(const int& place, const uint32_t& access_level);
