#pragma once
// The score board of the running simulation: awards queue animated popups and feed an open
// chain of points and multiplier; when the last popup has gone the chain closes, counts up and
// is committed to the total. It keeps the best values the statistics summary shows and draws
// the total, the chain and the popups over the world.
#include <cstdint>

class CTextureData;
class CD3DRenderStyle;

// A number with "," between groups of three digits, in one static buffer.
const char* Format_Number_Grouped(uint32_t number);

class CScore_Board_Mgr {
 public:
  static constexpr int kMax_Popups = 16;
  static constexpr int kTexture_Count = 12;
  static constexpr int kStyle_Count = 2;
  // The most a committed amount may be.
  static constexpr double kMax_Amount = 4294000128.0;

  // Popup kinds.
  enum : int32_t {
    kPopup_Points = 0,
    kPopup_Link = 1,
    kPopup_Perfect_Round = 2,
    kPopup_Hit_Streak = 3,
    kPopup_Target_Hit = 4,
    kPopup_Quick_Hit = 5,
    kPopup_Multi_Hit = 6,
    kPopup_Bonus_Hit = 7,
    kPopup_Flushed_Chain = 8,
  };
  enum Column { kColumn_A, kColumn_B, kColumn_None };

  struct Popup {
    int32_t kind = 0;
    int32_t icon = 0;
    float duration = 0.0f;
    float time_left = 0.0f;
    int32_t row_a = -1;
    int32_t row_b = -1;
    uint32_t points = 0;
    uint32_t multiplier = 0;  // hundredths
  };

  bool Init();
  void Term();
  bool Is_Active() const { return m_Initialised; }

  void Set_Stat_Sources(const uint32_t& mark_1, const uint32_t& mark_2, const uint32_t& mark_3, const uint32_t& mark_4);

  void Award_Points(const unsigned& points, const float& duration_factor);
  void Award_Link();
  void Award_Quick_Hit();
  void Award_Target_Hit();
  void Award_Multi_Hit();
  void Award_Bonus_Hit();
  void Award_Perfect_Round();
  void Award_Hit_Streak(const unsigned& streak);
  // Turns the open chain into a display popup and empties it: its points are lost.
  void Flush_Staged_Points();
  // Commits every pending and closing point to the total at once.
  void Commit_Points();

  void Update(const float& delta);
  // At a third of the count-up the closing multiplier joins the closing points (a step of
  // Render_Frame).
  void Fold_Closing_Multiplier();
  void Render_Frame();
  void Render_Popup(const Popup& popup, float x, float y);

  static const char* Format_Multiplier(uint32_t multiplier);
  static const char* Format_Multiplied_Points(uint32_t multiplier, uint32_t points);

  bool m_Initialised = false;
  // While set, Init fails as a failed texture load would (tests of a failing launch use it).
  bool m_Refuse_Init = false;
  float m_Scale_X = 0.0f;
  float m_Scale_Y = 0.0f;
  float m_Icon_Width_Fraction[kTexture_Count] = {};
  uint32_t m_Total_Score = 0;
  uint32_t m_Bonus_Count = 0;
  uint32_t m_Best_Multiplier = 0;
  uint32_t m_Longest_Link = 0;
  uint32_t m_Best_Linked_Total = 0;
  uint32_t m_Score_Marks[4] = {};
  uint32_t m_Link_Count = 0;
  uint32_t m_Quick_Hits = 0;
  uint32_t m_Target_Hits = 0;
  uint32_t m_Multi_Hits = 0;
  uint32_t m_Bonus_Hits = 0;
  uint32_t m_Pending_Points = 0;
  uint32_t m_Pending_Multiplier = 0;  // hundredths
  float m_Commit_Timer = 0.0f;        // 0 idle; above 0 up to 1 while the closed chain counts up
  uint32_t m_Closing_Points = 0;
  uint32_t m_Closing_Multiplier = 0;  // hundredths
  float m_Time_Since_Points = 10000.0f;
  float m_Time_Since_Link = 10000.0f;
  uint32_t m_Popup_Count = 0;
  Popup m_Popups[kMax_Popups] = {};
  CD3DRenderStyle* m_Styles[kStyle_Count] = {};
  CTextureData* m_Textures[kTexture_Count] = {};

 private:
  struct Special_Award {
    uint32_t points;
    uint32_t multiplier;
    int32_t kind;
    int32_t icon;
    float duration;
    Column column;
    unsigned callout;
  };
  bool In_Mission() const;
  void Queue_Popup(int32_t kind, int32_t icon, float duration, Column column, uint32_t points, uint32_t multiplier);
  void Add_To_Chain(int32_t kind, uint32_t points, uint32_t multiplier);
  int32_t Lowest_Free_Row(Column column) const;
  void Give_Special(const Special_Award& award);
  void Give_Counted_Bonus(uint32_t& counter, uint32_t points_base, uint32_t points_cap, uint32_t multiplier_base,
                          int32_t kind, int32_t icon, float duration, Column column, unsigned callout);
  void Commit_Closing_Chain();
  void Close_Open_Chain();
  void Expire_Popups(float delta);
  void Release_Resources();
  // Drawing helpers.
  float Draw_Text(const char* text, float x, float y, uint32_t colour, uint32_t flags, float scale) const;
  void Draw_Icon(int icon, float x, float y, uint32_t colour, uint32_t flags, float scale,
                 float width_fraction = 1.0f) const;
  float Icon_Width(int icon) const;
  float Icon_Height(int icon) const;
};

extern CScore_Board_Mgr g_Score_Board_Mgr;
