#include "game/sim/CScore_Board_Mgr.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>

#include "game/core/CCamera.h"
#include "game/core/CGame_State.h"
#include "game/core/CSim_Desc.h"
#include "game/core/Sound_FX.h"
#include "game/core/WinMain.h"
#include "game/sim/CBrain_Game_Basic.h"
#include "game/sim/CText_Mgr.h"
#include "game/sim/Score_Callouts.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "runtime/src/render/sys/pc/d3d_renderstyle.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "game/core/CGame.h"

CScore_Board_Mgr g_Score_Board_Mgr;

namespace {

constexpr uint32_t kTexture_Ids[CScore_Board_Mgr::kTexture_Count] = {
    0x2200008d, 0x22000011, 0x22000010, 0x22000090, 0x2200008e, 0x2200008f,
    0x22000091, 0x22000096, 0x22000092, 0x22000097, 0x22000098, 0x22000099,
};
constexpr uint32_t kStyle_Ids[CScore_Board_Mgr::kStyle_Count] = {0x2200002e, 0x22000031};

// Icons by index.
enum : int {
  kIcon_Board = 0,
  kIcon_Points = 1,
  kIcon_Link_1 = 2,
  kIcon_Link_2 = 3,
  kIcon_Link_3 = 4,
  kIcon_Link_4 = 5,
  kIcon_Quick_Hit = 6,
  kIcon_Target_Hit = 7,
  kIcon_Streak = 8,
  kIcon_Perfect = 9,
  kIcon_Multi_Hit = 10,
  kIcon_Bonus_Hit = 11,
};

constexpr float kMultiplier_Unit = 0.0100001f;
constexpr float kCommit_Rate = 0.5f;
constexpr float kStart_Clock = 10000.0f;
constexpr float kMission_Points_Life = 0.65f;
constexpr uint32_t kLost_Sound = 0x220001ce;
constexpr uint32_t kMission_Commit_Sound = 0x220001cd;
constexpr uint32_t kCommit_Sound = 0x2200012c;

constexpr uint32_t kTotal_Colour = 0xffffff00;
constexpr uint32_t kChain_Colour = 0xff00ff00;
constexpr uint32_t kWhite = 0xffffffff;
// The board's line step as a fraction of the screen height: one line per popup row.
constexpr float kLine = 0.03f;

uint32_t Add_Saturated(uint32_t a, uint64_t b) {
  const uint64_t sum = static_cast<uint64_t>(a) + b;
  return sum > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(sum);
}

// The multiplier folded onto points: multiplier × 0.0100001 × points, whole, within the amount cap.
uint32_t Multiplier_Bonus(uint32_t multiplier, uint32_t points) {
  const double bonus = static_cast<double>(multiplier * kMultiplier_Unit) * points;
  return static_cast<uint32_t>(std::trunc(std::clamp(bonus, 0.0, CScore_Board_Mgr::kMax_Amount)));
}

CBrain_Game_Basic* Mission_Brain() {
  CBrain* brain = g_Game_State.m_Brain;
  return brain && brain->m_Kind == CBrain::kGame_Rules ? static_cast<CBrain_Game_Basic*>(brain) : nullptr;
}

// The screen size as the camera maps to it (a fallback size before the device has one).
float Screen_Width() { return g_Camera.Screen_Width(); }
float Screen_Height() { return g_Camera.Screen_Height(); }

// The pulse of the camera's breathing zoom, 0 while it is idle: it pushes the board down.
float Hud_Offset() {
  const float level = g_Camera.m_Zoom_Level;
  if (level <= 0.0f) return 0.0f;
  return (std::sin(g_Camera.m_Zoom_Phase) + 1.0f) * 0.5f * level;
}

uint32_t With_Alpha(uint32_t colour, float alpha) {
  const float a = std::clamp(alpha, 0.0f, 1.0f) * static_cast<float>(colour >> 24);
  return (static_cast<uint32_t>(a) << 24) | (colour & 0x00ffffff);
}

float Lerp(float a, float b, float t) { return a + (b - a) * t; }
float Phase(float f, float start, float end) { return std::clamp((f - start) / (end - start), 0.0f, 1.0f); }

// The middle of a text line drawn at y in glyphs of scale 1: their box hangs from 0.09 of its
// height above y.
float Line_Middle(float y) {
  const float glyph_height = Screen_Height() * 0.025f;
  return y + (0.5f - 0.09f) * glyph_height;
}

// The colour of each popup kind's points and icon.
constexpr uint32_t kPopup_Colours[] = {0xff00ff00, 0xff80ffff, 0xffffd040, 0xffffa040, 0xffff7070,
                                       0xff60c0ff, 0xffc080ff, 0xffffff80, 0xffff4040};

}  // namespace

const char* Format_Number_Grouped(uint32_t number) {
  static char buffer[32];
  char digits[16];
  const int n = std::snprintf(digits, sizeof digits, "%u", number);
  int out = 0;
  for (int i = 0; i < n; ++i) {
    if (i > 0 && (n - i) % 3 == 0) buffer[out++] = ',';
    buffer[out++] = digits[i];
  }
  buffer[out] = '\0';
  return buffer;
}

// m hundredths shown as m / 100 + 1 with up to two decimals: a non-zero multiple of ten in the
// hundredths drops the second decimal.
const char* CScore_Board_Mgr::Format_Multiplier(uint32_t multiplier) {
  static char buffer[32];
  const uint32_t whole = multiplier / 100 + 1, hundredths = multiplier % 100;
  if (hundredths != 0 && hundredths % 10 == 0)
    std::snprintf(buffer, sizeof buffer, "%u.%u x ", whole, hundredths / 10);
  else if (hundredths != 0)
    std::snprintf(buffer, sizeof buffer, "%u.%.2u x ", whole, hundredths);
  else
    std::snprintf(buffer, sizeof buffer, "%u x ", whole);
  return buffer;
}

const char* CScore_Board_Mgr::Format_Multiplied_Points(uint32_t multiplier, uint32_t points) {
  static char buffer[64];
  const char* grouped = Format_Number_Grouped(points);
  if (multiplier == 0) {
    std::snprintf(buffer, sizeof buffer, "%s", grouped);
    return buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%s%s", Format_Multiplier(multiplier), grouped);
  return buffer;
}

bool CScore_Board_Mgr::Init() {
  if (m_Initialised) Term();
  if (m_Refuse_Init) return false;
  for (int i = 0; i < kTexture_Count; ++i) {
    m_Textures[i] = g_pTexture ? g_pTexture->GetTexture(kTexture_Ids[i]) : nullptr;
    if (!m_Textures[i]) {
      Show_Message("Error in CScore_Board_Mgr\nUnable to load texture...");
      Term();
      return false;
    }
  }
  for (int i = 0; i < kStyle_Count; ++i) {
    m_Styles[i] = g_pRenderStyles ? g_pRenderStyles->GetRenderStyle(kStyle_Ids[i]) : nullptr;
    if (!m_Styles[i]) {
      Show_Message("Error in CScore_Board_Mgr\nUnable to load shader...");
      Term();
      return false;
    }
  }
  std::fill(std::begin(m_Icon_Width_Fraction), std::end(m_Icon_Width_Fraction), 1.0f);
  m_Icon_Width_Fraction[kIcon_Quick_Hit] = 0.66f;
  m_Icon_Width_Fraction[kIcon_Target_Hit] = 0.48f;
  m_Total_Score = m_Bonus_Count = m_Best_Multiplier = m_Longest_Link = m_Best_Linked_Total = 0;
  std::fill(std::begin(m_Score_Marks), std::end(m_Score_Marks), 0u);
  m_Link_Count = m_Quick_Hits = m_Target_Hits = m_Multi_Hits = m_Bonus_Hits = 0;
  m_Pending_Points = m_Pending_Multiplier = m_Closing_Points = m_Closing_Multiplier = 0;
  m_Commit_Timer = 0.0f;
  m_Time_Since_Points = m_Time_Since_Link = kStart_Clock;
  m_Popup_Count = 0;
  m_Initialised = true;
  return true;
}

void CScore_Board_Mgr::Release_Resources() {
  for (CTextureData*& texture : m_Textures) {
    if (texture && g_pTexture) g_pTexture->ReleaseTexture(texture);
    texture = nullptr;
  }
  for (CD3DRenderStyle*& style : m_Styles) {
    if (style && g_pRenderStyles) g_pRenderStyles->ReleaseRenderStyle(style);
    style = nullptr;
  }
}

void CScore_Board_Mgr::Term() {
  Release_Resources();
  m_Initialised = false;
}

void CScore_Board_Mgr::Set_Stat_Sources(const uint32_t& mark_1, const uint32_t& mark_2, const uint32_t& mark_3,
                                        const uint32_t& mark_4) {
  m_Score_Marks[0] = mark_1;
  m_Score_Marks[1] = mark_2;
  m_Score_Marks[2] = mark_3;
  m_Score_Marks[3] = mark_4;
}

bool CScore_Board_Mgr::In_Mission() const { return (g_Game_State.m_Mode_Flags & kSim_Flag_WarRoom_Mission) != 0; }

int32_t CScore_Board_Mgr::Lowest_Free_Row(Column column) const {
  for (int32_t row = 0;; ++row) {
    bool used = false;
    for (uint32_t i = 0; i < m_Popup_Count && !used; ++i)
      used = (column == kColumn_A ? m_Popups[i].row_a : m_Popups[i].row_b) == row;
    if (!used) return row;
  }
}

// What a popup's values do to the open chain, by its kind.
void CScore_Board_Mgr::Add_To_Chain(int32_t kind, uint32_t points, uint32_t multiplier) {
  if (kind == kPopup_Points || kind == kPopup_Perfect_Round) {
    m_Pending_Points = Add_Saturated(m_Pending_Points, points);
  } else if (kind == kPopup_Link) {
    m_Pending_Multiplier = Add_Saturated(m_Pending_Multiplier, points);
  } else if (kind != kPopup_Flushed_Chain) {
    m_Pending_Points = Add_Saturated(m_Pending_Points, points);
    m_Pending_Multiplier = Add_Saturated(m_Pending_Multiplier, multiplier);
  }
}

void CScore_Board_Mgr::Queue_Popup(int32_t kind, int32_t icon, float duration, Column column, uint32_t points,
                                   uint32_t multiplier) {
  if (m_Popup_Count < kMax_Popups) {
    Popup& popup = m_Popups[m_Popup_Count];
    popup.kind = kind;
    popup.icon = icon;
    popup.duration = popup.time_left = duration;
    popup.row_a = column == kColumn_A ? Lowest_Free_Row(kColumn_A) : -1;
    popup.row_b = column == kColumn_B ? Lowest_Free_Row(kColumn_B) : -1;
    popup.points = points;
    popup.multiplier = multiplier;
    ++m_Popup_Count;
  }
  Add_To_Chain(kind, points, multiplier);
}

void CScore_Board_Mgr::Award_Points(const unsigned& points, const float& duration_factor) {
  m_Time_Since_Points = 0.0f;
  float duration = 7.0f * duration_factor;
  if (In_Mission()) duration *= kMission_Points_Life;
  Queue_Popup(kPopup_Points, kIcon_Board, duration, kColumn_A, points, 0);
}

void CScore_Board_Mgr::Award_Link() {
  m_Time_Since_Link = 0.0f;
  const uint32_t c = ++m_Link_Count;
  m_Longest_Link = std::max(m_Longest_Link, c);
  uint32_t points = 10;
  int32_t icon = kIcon_Link_1;
  if (c >= 12) {
    points = 65, icon = kIcon_Link_4;
  } else if (c >= 6) {
    points = 40, icon = kIcon_Link_3;
  } else if (c >= 3) {
    points = 25, icon = kIcon_Link_2;
  }
  if (c == 3) Request_Callout(kCallout_Link_3, kCallout_Limit);
  if (c == 6) Request_Callout(kCallout_Link_6, kCallout_Limit);
  if (c == 12) Request_Callout(kCallout_Link_12, kCallout_Limit);
  const bool mission = In_Mission();
  if (mission) points = static_cast<uint32_t>(std::trunc(static_cast<float>(points) * 0.2f));
  Queue_Popup(kPopup_Link, icon, mission ? 1.625f : 2.5f, kColumn_A, points, 0);
}

void CScore_Board_Mgr::Give_Special(const Special_Award& award) {
  Queue_Popup(award.kind, award.icon, award.duration, award.column, award.points, award.multiplier);
  Request_Callout(award.callout, kCallout_Limit);
}

// An award counted in the open chain: each divides its next one. It also counts as a bonus.
void CScore_Board_Mgr::Give_Counted_Bonus(uint32_t& counter, uint32_t points_base, uint32_t points_cap,
                                          uint32_t multiplier_base, int32_t kind, int32_t icon, float duration,
                                          Column column, unsigned callout) {
  if (In_Mission()) return;
  const uint32_t n = ++counter;
  ++m_Bonus_Count;
  Give_Special({points_base / std::min(n, points_cap), multiplier_base / n, kind, icon, duration, column, callout});
}

void CScore_Board_Mgr::Award_Quick_Hit() {
  Give_Counted_Bonus(m_Quick_Hits, 750, 3, 25, kPopup_Quick_Hit, kIcon_Quick_Hit, 10.0f, kColumn_B,
                     kCallout_Quick_Hit);
}

void CScore_Board_Mgr::Award_Target_Hit() {
  Give_Counted_Bonus(m_Target_Hits, 750, 3, 35, kPopup_Target_Hit, kIcon_Target_Hit, 12.0f, kColumn_A,
                     kCallout_Target_Hit);
}

void CScore_Board_Mgr::Award_Multi_Hit() {
  Give_Counted_Bonus(m_Multi_Hits, 1250, 5, 50, kPopup_Multi_Hit, kIcon_Multi_Hit, 15.0f, kColumn_A,
                     kCallout_Multi_Hit);
}

void CScore_Board_Mgr::Award_Bonus_Hit() {
  Give_Counted_Bonus(m_Bonus_Hits, 1250, 3, 50, kPopup_Bonus_Hit, kIcon_Bonus_Hit, 12.0f, kColumn_A,
                     kCallout_Bonus_Hit);
}

void CScore_Board_Mgr::Award_Hit_Streak(const unsigned& streak) {
  if (In_Mission() || streak < 3 || streak % 3 != 0) return;
  const uint32_t points = (streak - 1) * 250;
  const uint32_t multiplier = (std::min(streak, 6u) - 1) * 25;
  Give_Special({points, multiplier, kPopup_Hit_Streak, kIcon_Streak, 7.5f, kColumn_A, kCallout_Hit_Streak});
}

void CScore_Board_Mgr::Award_Perfect_Round() {
  if (In_Mission()) return;
  Give_Special({5000, 0, kPopup_Perfect_Round, kIcon_Perfect, 25.0f, kColumn_B, kCallout_Perfect_Round});
}

void CScore_Board_Mgr::Flush_Staged_Points() {
  if (m_Pending_Points == 0 && m_Pending_Multiplier == 0) return;
  const bool mission = In_Mission();
  Queue_Popup(kPopup_Flushed_Chain, kIcon_Board, mission ? 7.8f : 12.0f, kColumn_None, m_Pending_Points,
              m_Pending_Multiplier);
  m_Pending_Points = m_Pending_Multiplier = 0;
  if (!mission) return;
  if (CBrain_Game_Basic* brain = Mission_Brain()) {
    brain->m_Loss_Flash = 1.0f;
    brain->m_Commit_Flash = 0.0f;
  }
  Play_Sound_FX(kLost_Sound, 0.65f);
}

void CScore_Board_Mgr::Commit_Closing_Chain() {
  m_Best_Multiplier = std::max(m_Best_Multiplier, m_Closing_Multiplier);
  const double multiplied =
      static_cast<double>(1.0f + kMultiplier_Unit * static_cast<float>(m_Closing_Multiplier)) * m_Closing_Points;
  const uint32_t amount = static_cast<uint32_t>(std::trunc(std::clamp(multiplied, 0.0, kMax_Amount)));
  m_Best_Linked_Total = std::max(m_Best_Linked_Total, amount);
  const uint64_t new_total = static_cast<uint64_t>(m_Total_Score) + amount;
  if (new_total <= 0xFFFFFFFFull) {
    // The highest mark crossed is called out, only one.
    for (int mark = 3; mark >= 0; --mark) {
      const uint32_t value = m_Score_Marks[mark];
      if (value != 0 && m_Total_Score <= value && value < new_total) {
        Request_Callout(kCallout_Score_Mark_1 + static_cast<unsigned>(mark), kCallout_Limit);
        break;
      }
    }
    m_Total_Score = static_cast<uint32_t>(new_total);
  } else {
    m_Total_Score = 0xFFFFFFFFu;
  }
  m_Commit_Timer = 0.0f;
  m_Closing_Points = m_Closing_Multiplier = 0;
  if (CBrain_Game_Basic* brain = Mission_Brain()) brain->On_Points_Committed(amount);
}

void CScore_Board_Mgr::Close_Open_Chain() {
  m_Closing_Points = m_Pending_Points;
  m_Closing_Multiplier = m_Pending_Multiplier;
  m_Pending_Points = m_Pending_Multiplier = 0;
  m_Commit_Timer = 0.000001f;
  m_Link_Count = m_Quick_Hits = m_Target_Hits = m_Multi_Hits = m_Bonus_Hits = 0;
  if (!In_Mission()) {
    Play_Sound_FX(kCommit_Sound, 0.85f);
    return;
  }
  if (CBrain_Game_Basic* brain = Mission_Brain()) {
    brain->m_Commit_Flash = 1.0f;
    brain->m_Loss_Flash = 0.0f;
  }
  Play_Sound_FX(kMission_Commit_Sound, 0.45f);
}

void CScore_Board_Mgr::Commit_Points() {
  if (m_Closing_Points != 0 || m_Closing_Multiplier != 0) Commit_Closing_Chain();
  if (m_Pending_Points != 0 || m_Pending_Multiplier != 0) {
    Close_Open_Chain();
    Commit_Closing_Chain();
  }
  m_Popup_Count = 0;
}

// A removed popup's place takes the last popup, which is examined next in the same pass.
void CScore_Board_Mgr::Expire_Popups(float delta) {
  bool flushed_shown = false;
  for (uint32_t i = 0; i < m_Popup_Count; ++i) flushed_shown |= m_Popups[i].kind == kPopup_Flushed_Chain;
  const float step = flushed_shown ? 5.0f * delta : delta;
  uint32_t i = 0;
  while (i < m_Popup_Count) {
    Popup& popup = m_Popups[i];
    popup.time_left -= step;
    if (popup.time_left > 0.0f) {
      ++i;
      continue;
    }
    popup = m_Popups[--m_Popup_Count];
  }
}

void CScore_Board_Mgr::Update(const float& delta) {
  m_Time_Since_Points += delta;
  m_Time_Since_Link += delta;
  if (m_Commit_Timer != 0.0f) {
    m_Commit_Timer += delta * kCommit_Rate;
    if (m_Commit_Timer >= 1.0f) Commit_Closing_Chain();
  }
  if (m_Popup_Count == 0 && m_Commit_Timer == 0.0f && (m_Pending_Points != 0 || m_Pending_Multiplier != 0))
    Close_Open_Chain();
  Expire_Popups(delta);
}

// At a third of the count-up the multiplier joins the closing points; the sum saturates.
void CScore_Board_Mgr::Fold_Closing_Multiplier() {
  if (m_Commit_Timer < 0.3333f || m_Closing_Multiplier == 0) return;
  m_Closing_Points = Add_Saturated(m_Closing_Points, Multiplier_Bonus(m_Closing_Multiplier, m_Closing_Points));
  m_Best_Multiplier = std::max(m_Best_Multiplier, m_Closing_Multiplier);
  m_Closing_Multiplier = 0;
}

// ---- Drawing ----

float CScore_Board_Mgr::Draw_Text(const char* text, float x, float y, uint32_t colour, uint32_t flags,
                                  float scale) const {
  return g_Text_Mgr.Draw_Text(text, CVector3{x, y, 0.0f}, colour, flags, scale);
}

float CScore_Board_Mgr::Icon_Width(int icon) const {
  return m_Textures[icon] && g_pTexture ? static_cast<float>(g_pTexture->GetWidth(m_Textures[icon], 0)) * m_Scale_X
                                        : 0.0f;
}

float CScore_Board_Mgr::Icon_Height(int icon) const {
  return m_Textures[icon] && g_pTexture ? static_cast<float>(g_pTexture->GetHeight(m_Textures[icon], 0)) * m_Scale_Y
                                        : 0.0f;
}

// A screen-space quad of the icon's texture at its size × scale, placed by the alignment flags
// (1 centre x, 2 right x, 4 centre y, 8 bottom y); the icon is shifted by half its empty width.
void CScore_Board_Mgr::Draw_Icon(int icon, float x, float y, uint32_t colour, uint32_t flags, float scale,
                                 float width_fraction) const {
  if (icon < 0 || icon >= kTexture_Count || !m_Textures[icon]) return;
  const float w = Icon_Width(icon) * scale, h = Icon_Height(icon) * scale;
  float left = x, top = y;
  if (flags & CText_Mgr::kCentre_X)
    left -= w * 0.5f;
  else if (flags & CText_Mgr::kRight_X)
    left -= w;
  if (flags & CText_Mgr::kCentre_Y)
    top -= h * 0.5f;
  else if (flags & CText_Mgr::kBottom_Y)
    top -= h;
  left += (1.0f - width_fraction) * w * 0.5f;
  const float right = left + w, bottom = top + h;
  DrawPrimTexTriangle triangles[2];
  const TexVertex tl{left, top, 0.0f, colour, 0.0f, 0.0f}, tr{right, top, 0.0f, colour, 1.0f, 0.0f};
  const TexVertex br{right, bottom, 0.0f, colour, 1.0f, 1.0f}, bl{left, bottom, 0.0f, colour, 0.0f, 1.0f};
  triangles[0] = DrawPrimTexTriangle{{tl, tr, br}};
  triangles[1] = DrawPrimTexTriangle{{tl, br, bl}};
  CD3DDrawPrim& draw = *g_pDrawPrim;
  draw.SetTransformType(kDrawPrimScreen);
  draw.SetTexture(m_Textures[icon], 0);
  draw.SetRenderStyle(m_Styles[0]);
  draw.DrawTexTriangles(triangles, 2);
  draw.SetRenderStyle(nullptr);
  draw.SetTexture(nullptr, 0);
  draw.SetTransformType(kDrawPrimWorld);
}

void CScore_Board_Mgr::Render_Frame() {
  const float sw = Screen_Width(), sh = Screen_Height();
  m_Scale_X = sw * 0.001f;
  m_Scale_Y = sh * 0.001f;
  const float line = kLine * sh;
  const float margin = sh * 0.1f * Hud_Offset();
  const float anchor_x = 0.98f * sw, anchor_y = 0.04f * sh + margin;
  // The board's text lines end at the anchor and hang from their y (a glyph box's top lies 0.09
  // of its height above it): the total on the anchor, the chains a line lower.
  constexpr uint32_t kRight = CText_Mgr::kRight_X;
  char text[64];

  float closing_width = 0.0f;
  if (m_Commit_Timer != 0.0f) {
    Fold_Closing_Multiplier();
    const float t = m_Commit_Timer;
    const float y = anchor_y + (1.0f - std::clamp(3.0f * t - 2.0f, 0.0f, 1.0f)) * line;
    const uint32_t colour = With_Alpha(kTotal_Colour, 2.0f * t);
    std::snprintf(text, sizeof text, "%s", Format_Number_Grouped(m_Closing_Points));
    closing_width = Draw_Text(text, anchor_x, y, colour, kRight, 1.0f);
    if (m_Closing_Multiplier != 0)
      Draw_Text(Format_Multiplier(m_Closing_Multiplier), anchor_x - closing_width, y, colour, kRight, 1.0f);
  }

  std::snprintf(text, sizeof text, "%s", Format_Number_Grouped(m_Total_Score));
  const float total_width = Draw_Text(text, anchor_x, anchor_y, kTotal_Colour, kRight, 1.0f);
  float label_gap = total_width;
  if (m_Commit_Timer != 0.0f && closing_width > total_width)
    label_gap += (closing_width - total_width) * (1.0f - std::min(m_Commit_Timer, 1.0f));
  Draw_Icon(kIcon_Board, anchor_x - label_gap - 0.01f * sw, Line_Middle(anchor_y), kWhite,
            CText_Mgr::kRight_X | CText_Mgr::kCentre_Y, 1.0f);

  const bool chain_shown = m_Pending_Points != 0 || m_Pending_Multiplier != 0;
  if (chain_shown) {
    std::snprintf(text, sizeof text, "%s", Format_Number_Grouped(m_Pending_Points));
    const float w = Draw_Text(text, anchor_x, anchor_y + line, kChain_Colour, kRight, 1.0f);
    if (m_Pending_Multiplier != 0)
      Draw_Text(Format_Multiplier(m_Pending_Multiplier), anchor_x - w, anchor_y + line, kChain_Colour, kRight, 1.0f);
  }

  const float base = anchor_y + (chain_shown ? 2.0f : 1.0f) * line;
  for (uint32_t i = 0; i < m_Popup_Count; ++i) {
    const Popup& popup = m_Popups[i];
    if (popup.kind == kPopup_Flushed_Chain)
      Render_Popup(popup, anchor_x, base);
    else if (popup.row_a >= 0)
      Render_Popup(popup, anchor_x, base + static_cast<float>(popup.row_a) * line);
    else if (popup.row_b >= 0)
      Render_Popup(popup, sw * 0.5f, static_cast<float>(popup.row_b) * line + 0.025f * sh + margin);
  }
}

void CScore_Board_Mgr::Render_Popup(const Popup& popup, float x, float y) {
  const float f = std::clamp((popup.duration - popup.time_left) / std::max(popup.duration, 0.0001f), 0.0f, 1.0f);
  const float sw = Screen_Width();
  if (popup.kind == kPopup_Points) {
    // The plain points slide in from the right, settle, and slide out again.
    if (f > 0.4f) return;
    const float w = Icon_Width(kIcon_Points);
    const float off_screen = sw + 0.6f * w, settle_start = x - w * 0.5f;
    float right = x;
    if (f < 0.05f)
      right = Lerp(off_screen, settle_start, f / 0.05f);
    else if (f < 0.1f)
      right = Lerp(settle_start, x, (f - 0.05f) / 0.05f);
    else if (f > 0.35f)
      right = Lerp(x, off_screen, std::min(20.0f * (f - 0.35f), 1.0f));
    // Its bottom on y: the lettering, low in its texture, fits under the line above.
    Draw_Icon(kIcon_Points, right, y, 0xff00ff00, CText_Mgr::kRight_X | CText_Mgr::kBottom_Y, 1.0f);
    return;
  }
  const bool short_lived =
      popup.kind == kPopup_Target_Hit || popup.kind == kPopup_Multi_Hit || popup.kind == kPopup_Bonus_Hit;
  if (short_lived && f > 0.7f) return;
  // Grow in over the first 0.15 of the life, hold, then fade: by 0.7 for the short-lived kinds,
  // from 0.65 to the end for the rest. Column-B popups are centred, the others end at x.
  const float grow = 0.6f + 0.4f * Phase(f, 0.0f, 0.15f);
  const float fade = short_lived ? 1.0f - Phase(f, 0.55f, 0.7f) : 1.0f - Phase(f, 0.65f, 1.0f);
  const float slide = (1.0f - Phase(f, 0.0f, 0.1f)) * 0.05f * sw;
  const int kind = std::clamp(popup.kind, 0, static_cast<int>(std::size(kPopup_Colours)) - 1);
  const uint32_t colour = With_Alpha(kPopup_Colours[kind], fade);
  const int icon = std::clamp(popup.icon, 0, kTexture_Count - 1);
  const float fraction = m_Icon_Width_Fraction[icon] > 0.0f ? m_Icon_Width_Fraction[icon] : 1.0f;
  const char* text = Format_Multiplied_Points(popup.multiplier, popup.points);
  const float icon_width = Icon_Width(icon) * grow;
  const float gap = 0.005f * sw;
  // A popup's row is a line of the board, as the total's and the chains' are: the icon and the
  // points are centred on its middle, so that label and number read as one line. (A glyph box
  // drawn centred on y has its middle 0.09 of its height above y.)
  const float middle = Line_Middle(y);
  const float text_y = middle + 0.09f * Screen_Height() * grow * 0.025f;
  constexpr uint32_t kMiddle = CText_Mgr::kCentre_Y;
  if (popup.row_b >= 0) {
    // Centred on x: the icon's word ends left of x, the points begin right of it.
    const float word_left = x - gap - icon_width * fraction;
    Draw_Icon(icon, word_left - (1.0f - fraction) * icon_width * 0.5f, middle, colour, kMiddle, grow, fraction);
    Draw_Text(text, x + gap, text_y, colour, kMiddle, grow);
    return;
  }
  const float right = x + slide;
  Draw_Icon(icon, right, middle, colour, CText_Mgr::kRight_X | kMiddle, grow, fraction);
  const float text_right = right - icon_width * (1.0f + fraction) * 0.5f - gap;
  Draw_Text(text, text_right, text_y, colour, CText_Mgr::kRight_X | kMiddle, grow);
}
