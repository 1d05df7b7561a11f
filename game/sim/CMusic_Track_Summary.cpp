// The end of a training run: the score table, the credits, the account and the "Simulation
// Statistics Summary" dialog.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "game/core/CCamera.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/menu/CMenu_Panel.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CMusic_Track.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSim_Stats.h"
#include "game/sim/Launch_Helpers.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"

namespace {

constexpr int kLast_Place = 49;
constexpr int kTable_Places = 50;
constexpr size_t kMax_Name = 23;
// Room for the longest place text with a whole name of 23 characters.
constexpr size_t kPlace_Text_Room = 128;
constexpr uint32_t kPromotion_Message = kComm_Promotion;

constexpr uint32_t kLabel_Colour = 0xbbffff66;
constexpr uint32_t kValue_Colour = 0xbb22ff44;
constexpr uint32_t kBright_Label_Colour = 0xddffff88;
constexpr uint32_t kBright_Value_Colour = 0xdd44ff66;
constexpr uint32_t kHeading_Colour = 0xbbff66ff;
constexpr uint32_t kButton_Colour = 0xbbffffff;

// The dialog's layout: fonts, text flags and the rows' places as fractions of the screen height.
constexpr int32_t kTitle_Font = 2;
constexpr int32_t kRow_Font = 1;
constexpr uint32_t kTitle_Flags = 13;
constexpr uint32_t kRow_Flags = 12;
constexpr uint32_t kButton_Flags = 14;
constexpr float kFirst_Row = 0.074f;
constexpr float kRow_Step = 0.035f;
// The least room between a label's end and the values' column, as a fraction of the screen width.
constexpr float kValue_Gap = 0.01f;
// The least room between a value's end and the dialog's right edge, as a fraction of the width.
constexpr float kValue_Margin = 0.0095f;

// The values' column of one half of the dialog: at its place, or further right when a label
// of that half would reach it, so that no label runs into its value.
float Value_Column(const std::vector<CSummary_Row>& rows, bool right_half, float label_x, float value_x,
                   float gap) {
  float widest = 0.0f;
  for (const CSummary_Row& row : rows)
    if (row.right_half == right_half && !row.value.empty())
      widest = std::max(widest, static_cast<float>(g_Menu_Mgr.Get_Text_Width(kRow_Font, row.label.c_str())));
  return std::max(value_x, label_x + widest + gap);
}

// A row's value at its place. A value too wide for the room left of the dialog's right edge
// (a long "Not Recorded" rank text) wraps there onto the row below, its first line on its row.
CMenuItem_Text* Value_Item(const CSummary_Row& row, const CVector2& place, float dialog_right) {
  const float room = dialog_right - kValue_Margin * CMenuItem::Screen_W() - place.x;
  const auto width = static_cast<float>(g_Menu_Mgr.Get_Text_Width(kRow_Font, row.value.c_str()));
  if (width <= room)
    return new CMenuItem_Text(0, row.value.c_str(), place, row.value_colour, kRow_Font, kRow_Flags, 1, 0.0f);
  const float line = 0.0015f * CMenuItem::Screen_H() + CMenuItem::Text_Height(kRow_Font);
  return new CMenuItem_Text(0, row.value.c_str(), CVector2{place.x, place.y + 0.5f * line}, row.value_colour,
                            kRow_Font, kRow_Flags | CMenuItem_Text::kWrap, 2, room);
}

std::string Entry_Name(const Rank_Entry& entry) { return std::string(entry.Name, strnlen(entry.Name, kMax_Name)); }

std::string Printed(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string Percent(double part, double whole) { return Printed("%.0f %%", part / std::max(whole, 1.0) * 100.0); }

uint32_t Add_Saturated(uint32_t a, uint32_t b) { return b > 0xFFFFFFFFu - a ? 0xFFFFFFFFu : a + b; }

// The account record, loaded for the caller when it is not; Done clears it again then.
class Account_Use {
 public:
  explicit Account_Use(const std::string& user_name)
      : m_Record(g_Communications_Mgr.m_Client_Data), m_Loaded_Here(!m_Record.m_Loaded) {
    if (m_Loaded_Here) m_Record.Load(user_name.c_str());
  }
  CClient_Data& operator*() { return m_Record; }
  CClient_Data* operator->() { return &m_Record; }
  void Save_And_Done() {
    m_Record.Save();
    if (m_Loaded_Here) m_Record.Clear();
  }

 private:
  CClient_Data& m_Record;
  bool m_Loaded_Here;
};

}  // namespace

uint32_t Calc_Credits_Award(const int& place, const uint32_t& access_level) {
  if (static_cast<uint32_t>(place) >= static_cast<uint32_t>(kTable_Places)) return 0;
  const double total = g_Score_Board_Mgr.m_Total_Score;
  const double s = std::clamp(std::sqrt(total + 10000.0) * 0.00275, 0.1, 6.3);
  const double q = std::sqrt(1.0 / (place + 1));
  const double p1 = std::clamp(q * 2.1, 1.0, 2.0);
  const double p2 = std::clamp(std::sqrt(q), 0.1, 1.0);
  const double a = std::clamp(std::sqrt(static_cast<double>(access_level) + 1.0), 1.0, 10.0);
  const double r = plat::Random() / 32768.0;
  const double credits = std::trunc((r * 74.0 + 513.0) * a * p2 * p1 * s);
  return static_cast<uint32_t>(std::clamp(credits, 250.0, 12352.0));
}

std::string CMusic_Track::Format_Place_Text(int place, const std::string& ousted_name,
                                            const std::string& name_to_beat) {
  char text[kPlace_Text_Room];
  if (place >= 0) {
    const unsigned rank = static_cast<unsigned>(place) + 1;
    if (!ousted_name.empty())
      std::snprintf(text, sizeof text, "%u%s (ousted: %s)", rank, Get_Ordinal_Suffix(rank), ousted_name.c_str());
    else
      std::snprintf(text, sizeof text, "%u%s", rank, Get_Ordinal_Suffix(rank));
    return text;
  }
  const unsigned last = kTable_Places;
  if (!name_to_beat.empty())
    std::snprintf(text, sizeof text, "Not Recorded (you failed to beat %u%s ranked %s)", last,
                  Get_Ordinal_Suffix(last), name_to_beat.c_str());
  else
    std::snprintf(text, sizeof text, "Not Recorded (you failed to beat the %u%s ranked score)", last,
                  Get_Ordinal_Suffix(last));
  return text;
}

std::vector<CSummary_Row> CMusic_Track::Build_Summary_Rows(int place, const std::string& ousted_name,
                                                           const std::string& name_to_beat, uint32_t credits) {
  const CSim_Stats& stats = g_Sim_Stats;
  const CScore_Board_Mgr& board = g_Score_Board_Mgr;
  const double hits = stats.m_Hits;
  const double accuracy = std::clamp(hits / std::max<double>(stats.m_Shots, 1.0) * 100.0, 0.0, 100.0);
  char clean[48];
  std::snprintf(clean, sizeof clean, "%u out of %u", stats.m_Perfect_Rounds, stats.m_Rounds);
  std::vector<CSummary_Row> rows;
  int step = 0;
  auto add = [&](const char* label, std::string value, uint32_t label_colour = kLabel_Colour,
                 uint32_t value_colour = kValue_Colour) {
    rows.push_back(CSummary_Row{label, std::move(value), label_colour, value_colour, step++});
  };
  add("Score:", Format_Number_Grouped(board.m_Total_Score));
  add("Shot Count:", Format_Number_Grouped(stats.m_Shots));
  add("Accuracy:", Printed("%.0f %%", accuracy));
  add("Hit Count:", Format_Number_Grouped(stats.m_Hits));
  add("Percent Cleared:", Percent(hits, stats.m_Launches));
  add("Max Multiplier:", CScore_Board_Mgr::Format_Multiplier(board.m_Best_Multiplier));
  add("Bonus Count:", Format_Number_Grouped(board.m_Bonus_Count));
  add("Max Linked Point Total:", Format_Number_Grouped(board.m_Best_Linked_Total));
  add("Longest Link Count:", Format_Number_Grouped(board.m_Longest_Link));
  add("Clean Sections:", clean);
  add("Rank:", Format_Place_Text(place, ousted_name, name_to_beat), kBright_Label_Colour, kBright_Value_Colour);
  ++step;  // one blank row before the ratings
  const int ratings_step = step;
  add("Ratings", "", kHeading_Colour, kHeading_Colour);
  add("Reaction Speed Rating:", Printed("%.1f", stats.Calc_Reaction_Rating()));
  add("Aptitude Rating:", Printed("%.1f", stats.Calc_Aptitude_Rating()));
  add("Aggression Rating:", Printed("%.1f", stats.Calc_Aggression_Rating()));
  // The credits stand beside the "Ratings" heading, above the button: below the ratings they
  // would fall outside the dialog.
  step = ratings_step;
  add("Credits Awarded:", Format_Number_Grouped(credits), kBright_Label_Colour, kBright_Value_Colour);
  rows.back().right_half = true;
  return rows;
}

void CMusic_Track::Show_Statistics() {
  m_Ended = true;
  g_Score_Board_Mgr.Commit_Points();
  const uint32_t score = g_Score_Board_Mgr.m_Total_Score;
  const char* key = m_Sim_Key.c_str();

  CRank_Data& ranks = g_Communications_Mgr.m_Rank_Data;
  const bool ranks_loaded_here = !ranks.m_Loaded;
  if (ranks_loaded_here) ranks.Load();
  std::string ousted_name, name_to_beat;
  if (const Rank_Entry* entry = ranks.Find_Place_For_Score(key, score))
    ousted_name = Entry_Name(*entry);
  else if (const Rank_Entry* last = ranks.Get_Entry(key, kLast_Place))
    name_to_beat = Entry_Name(*last);
  int place = -1;
  if (!m_Sim_Key.empty()) place = ranks.Insert_Score(key, m_User_Name.c_str(), score, 0, false);
  if (ranks_loaded_here) {
    ranks.Save();
    ranks.Clear();
  }

  const uint32_t credits = Calc_Credits_Award(place, m_Access_Level);
  Account_Use account(m_User_Name);
  account->m_Credits = Add_Saturated(account->m_Credits, credits);
  ++account->m_Runs_Finished;
  Update_Access_Level(false);
  account.Save_And_Done();

  Open_Summary_Dialog(Build_Summary_Rows(place, ousted_name, name_to_beat, credits));
}

void CMusic_Track::Update_Access_Level(const bool& success) {
  Account_Use account(m_User_Name);
  const uint32_t level = account->m_Access_Level;
  uint32_t raised = level;
  if (!success && level == 0) {
    if (account->m_Runs_Finished == 3 && !g_WarRoom_Sim.m_Initialised) raised = 1;
  } else if (g_WarRoom_Sim.m_Initialised && success && level >= 1) {
    const uint64_t triangle = static_cast<uint64_t>(level) * (static_cast<uint64_t>(level) + 1) / 2;
    if (triangle == static_cast<uint64_t>(account->m_Missions_Won) + 1) raised = level + 1;
  }
  if (raised != level) {
    account->m_Access_Level = raised;
    g_Communications_Mgr.Post_Message(kPromotion_Message, raised, 0);
  }
  account.Save_And_Done();
}

void CMusic_Track::Close_Statistics() {
  if (g_Modal_Dlg.Is_Open()) g_Modal_Dlg.Term();
  g_Menu_Mgr.Command(kCommand_Simulator, 0, 0, 0);
}

void CMusic_Track::Open_Summary_Dialog(const std::vector<CSummary_Row>& rows) {
  const float sw = g_Camera.Screen_Width(), sh = g_Camera.Screen_Height();
  const CMatrix3x3& axes = g_Camera.Rotation();
  const CVector3& eye = g_Camera.Position();
  const CVector3& up = axes.rows[1];
  const CVector3& forward = axes.rows[2];
  const CVector3 from{eye.x + up.x * 195.0f + forward.x * 500.0f, eye.y + up.y * 195.0f + forward.y * 500.0f,
                      eye.z + up.z * 195.0f + forward.z * 500.0f};
  const CVector2 centre{sw * 0.5f, sh * 0.5f};
  const float width = 0.8f * sw, height = 0.63f * sh;
  if (!g_Modal_Dlg.Init(from, centre, width, height, CModal_Dlg::kMode_Panel)) return;
  CMenu_Panel& panel = g_Modal_Dlg.m_Panel;
  const float top = centre.y - height * 0.5f;
  panel.Add_Item(new CMenuItem_Text(0, "Simulation Statistics Summary", CVector2{centre.x, top + 0.012f * sh},
                                    kHeading_Colour, kTitle_Font, kTitle_Flags, 1, 0.0f));
  float value_columns[2];
  for (const bool right_half : {false, true}) {
    const float shift = right_half ? 0.52f * width : 0.0f;
    value_columns[right_half] = Value_Column(rows, right_half, centre.x - 0.46f * width + shift,
                                             centre.x - 0.18f * width + shift, kValue_Gap * sw);
  }
  for (const CSummary_Row& row : rows) {
    const float y = top + kFirst_Row * sh + static_cast<float>(row.row_step) * kRow_Step * sh;
    const float shift = row.right_half ? 0.52f * width : 0.0f;
    const float label_x = centre.x - 0.46f * width + shift, value_x = value_columns[row.right_half];
    panel.Add_Item(new CMenuItem_Text(0, row.label.c_str(), CVector2{label_x, y}, row.label_colour, kRow_Font,
                                      kRow_Flags, 1, 0.0f));
    if (!row.value.empty()) panel.Add_Item(Value_Item(row, CVector2{value_x, y}, centre.x + 0.5f * width));
  }
  auto* button = new CMenuItem_Button(0, "Return to Trainer", CVector2{0.63f * sw, 0.75f * sh}, kButton_Colour,
                                      kRow_Font, kButton_Flags, 0.22f * sw);
  button->m_On_Click = [](CMenuItem_Button*) { Close_Statistics(); };
  panel.Add_Item(button);
}
