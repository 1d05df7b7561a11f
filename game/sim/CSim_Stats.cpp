#include "game/sim/CSim_Stats.h"

#include <algorithm>
#include <iterator>

#include "game/core/CWorld.h"
#include "game/core/CWorld_Object.h"
#include "game/player/CAmmo_Ball.h"
#include "game/player/CAmmo_Explosive.h"
#include "game/player/CPlayer.h"
#include "game/player/CPlayer_Weapon_Gun.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CScore_Source.h"

CSim_Stats g_Sim_Stats;

namespace {

// How a hit's reaction time is read from the hit object.
enum class Reaction : uint8_t {
  None,          // not counted
  Age,           // the target's age
  Double_Age,    // twice the target's age
  Flag_Or_Age,   // 1000 while the target's flag is set, else its age
  Flag_Or_One,   // not counted while the target's flag is set, else 1.0
};

struct Points_Row {
  uint32_t type;
  uint32_t points[4];  // by colour variant; all four alike where the class has no variants
  bool by_variant;
  Reaction reaction;
};

constexpr uint32_t kUFO_Type = 8;
constexpr uint32_t kUFO_Points_Rapid_Gun = 125;
constexpr int kMachine_Gun = 2;
constexpr int kLightning_Gun = 4;

#define VT_SAME(p) {p, p, p, p}, false
const Points_Row kPoints_Table[] = {
    {6, VT_SAME(125), Reaction::None},
    {7, VT_SAME(150), Reaction::None},
    {kUFO_Type, VT_SAME(500), Reaction::None},
    {9, {100, 125, 175, 200}, true, Reaction::Age},
    {10, {150, 175, 200, 250}, true, Reaction::Age},
    {11, VT_SAME(100), Reaction::Flag_Or_Age},
    {12, {150, 200, 350, 650}, true, Reaction::Age},
    {13, VT_SAME(1500), Reaction::Age},
    {14, VT_SAME(200), Reaction::Age},
    {15, VT_SAME(750), Reaction::Age},
    {16, {100, 150, 200, 250}, true, Reaction::Age},
    {17, {100, 150, 200, 250}, true, Reaction::Age},
    {18, {100, 150, 200, 250}, true, Reaction::Age},
    {19, VT_SAME(350), Reaction::Double_Age},
    {20, VT_SAME(150), Reaction::Age},
    {21, VT_SAME(150), Reaction::None},
    {22, VT_SAME(250), Reaction::Age},
    {23, VT_SAME(150), Reaction::None},
    {24, VT_SAME(350), Reaction::Flag_Or_One},
    {25, VT_SAME(350), Reaction::Double_Age},
    {26, {100, 150, 200, 250}, true, Reaction::Age},
    {27, {200, 350, 400, 550}, true, Reaction::Age},
    {28, {200, 350, 400, 550}, true, Reaction::Age},
    {29, {1000, 1500, 2000, 2500}, true, Reaction::Double_Age},
    {30, {350, 450, 550, 750}, true, Reaction::Age},
    {50, VT_SAME(350), Reaction::None},
    {51, VT_SAME(250), Reaction::None},
    {52, VT_SAME(0), Reaction::None},
    {54, VT_SAME(250), Reaction::None},
    {55, VT_SAME(50), Reaction::None},
    {56, VT_SAME(150), Reaction::None},
    {57, VT_SAME(100), Reaction::None},
    {58, VT_SAME(150), Reaction::None},
    {59, VT_SAME(150), Reaction::None},
    {60, VT_SAME(200), Reaction::None},
    {61, VT_SAME(100), Reaction::None},
    {62, VT_SAME(300), Reaction::None},
    {63, VT_SAME(150), Reaction::None},
    {64, VT_SAME(150), Reaction::None},
    {65, VT_SAME(150), Reaction::None},
    {66, VT_SAME(150), Reaction::None},
    {67, VT_SAME(250), Reaction::None},
    {68, VT_SAME(2500), Reaction::None},
};
#undef VT_SAME

// Object types of the shots whose records earn the bonus and multi-hit awards.
constexpr uint32_t kAmmo_Ball = 3;
constexpr uint32_t kAmmo_Explosive = 4;
constexpr uint32_t kAmmo_Missile = 5;
constexpr float kBonus_Hit_Height = 65.0f;
constexpr float kQuick_Hit_Time = 2.5f;
constexpr float kMiss_Time = 20.0f;
constexpr uint32_t kBoss_Flag = 0x08;

const Points_Row* Find_Row(uint32_t type) {
  for (const Points_Row& row : kPoints_Table)
    if (row.type == type) return &row;
  return nullptr;
}

float Read_Reaction(Reaction rule, const CTarget_Score_Info* info) {
  const float age = info ? info->Score_Age() : CSim_Stats::kNot_Counted;
  const bool flag = info && info->Score_Flag();
  switch (rule) {
    case Reaction::Age: return age;
    case Reaction::Double_Age: return 2.0f * age;
    case Reaction::Flag_Or_Age: return flag ? 1000.0f : age;
    case Reaction::Flag_Or_One: return flag ? CSim_Stats::kNot_Counted : 1.0f;
    case Reaction::None: break;
  }
  return CSim_Stats::kNot_Counted;
}

// What a shot keeps about itself: whether it has touched the floor and how many objects it has
// hit. False for an object that keeps neither.
bool Read_Shot_Record(const CWorld_Object* shot, bool& touched_floor, uint32_t& objects_hit) {
  if (const auto* ball = dynamic_cast<const CAmmo_Ball*>(shot)) {
    touched_floor = ball->m_Touched_Floor != 0;
    objects_hit = static_cast<uint32_t>(std::max(ball->m_Hit_Count, 0));
    return true;
  }
  if (const auto* shell = dynamic_cast<const CAmmo_Explosive*>(shot)) {
    touched_floor = shell->m_Touched_Floor != 0;
    objects_hit = static_cast<uint32_t>(std::max(shell->m_Hit_Count, 0));
    return true;
  }
  if (const auto* info = dynamic_cast<const CShot_Score_Info*>(shot)) {
    touched_floor = info->Shot_Touched_Floor();
    objects_hit = info->Shot_Objects_Hit();
    return true;
  }
  return false;
}

float Clamp_Rating(float rating) { return std::clamp(rating, 0.0f, 100000.0f); }

}  // namespace

bool CSim_Stats::Reset() {
  *this = CSim_Stats();
  m_Active = true;
  return true;
}

void CSim_Stats::Stop() { m_Active = false; }

void CSim_Stats::Update(float delta) { m_Elapsed += delta; }

void CSim_Stats::Record_Shot(const CShot_Source& source, const uint32_t& tag) {
  ++m_Shots;
  m_Shot_Ring[m_Shot_Ring_Index] = CShot_Record{kEntry_In_Use, source, tag};
  m_Shot_Ring_Index = (m_Shot_Ring_Index + 1) % kShot_Ring_Size;
}

void CSim_Stats::Record_Launch(const CWorld_Object* object) {
  ++m_Launches;
  m_Launch_Ring[m_Launch_Ring_Index] = Launch_Entry{kEntry_In_Use, object};
  m_Launch_Ring_Index = (m_Launch_Ring_Index + 1) % kLaunch_Ring_Size;
}

// The walks go back from the newest entry (the one before the ring index), wrapping from the
// first entry to the last, and stop at the first entry not in use.
void CSim_Stats::Mark_Shot_Hit(const CShot_Source& source, uint32_t tag) {
  for (int step = 1; step <= kShot_Ring_Size; ++step) {
    CShot_Record& entry = m_Shot_Ring[(m_Shot_Ring_Index - step + kShot_Ring_Size) % kShot_Ring_Size];
    if (!(entry.flags & kEntry_In_Use)) return;
    if (entry.source == source && entry.tag == tag) {
      entry.flags |= kEntry_Hit;
      return;
    }
  }
}

void CSim_Stats::Mark_Launch_Hit(const CWorld_Object* hit) {
  for (int step = 1; step <= kLaunch_Ring_Size; ++step) {
    Launch_Entry& entry = m_Launch_Ring[(m_Launch_Ring_Index - step + kLaunch_Ring_Size) % kLaunch_Ring_Size];
    if (!(entry.flags & kEntry_In_Use)) return;
    if (entry.object == hit) {
      entry.flags |= kEntry_Hit;
      return;
    }
  }
}

CSim_Stats::Hit_Value CSim_Stats::Points_For(const CWorld_Object* hit) {
  Hit_Value value;
  if (!hit) return value;
  const Points_Row* row = Find_Row(hit->m_Type);
  if (!row) return value;
  const auto* info = dynamic_cast<const CTarget_Score_Info*>(hit);
  value.reaction = Read_Reaction(row->reaction, info);
  if (row->type == kUFO_Type) {
    const int gun = g_Player.m_Gun ? g_Player.m_Gun->m_Kind : 0;
    const bool rapid_gun = gun == kMachine_Gun || gun == kLightning_Gun;
    value.points = rapid_gun ? kUFO_Points_Rapid_Gun : row->points[0];
    return value;
  }
  if (!row->by_variant) {
    value.points = row->points[0];
    return value;
  }
  const int32_t variant = info ? info->Score_Color_Variant() : 0;
  value.points = variant >= 0 && variant <= 3 ? row->points[variant] : 0;
  return value;
}

void CSim_Stats::Register_Hit(CWorld_Object* hit, CWorld_Object* hitter, const CShot_Source* source,
                              const uint32_t& tag) {
  CScore_Board_Mgr& board = g_Score_Board_Mgr;
  if (board.m_Popup_Count > 0) board.Award_Link();
  ++m_Hits;
  const CShot_Source shot = source ? *source : CShot_Source::Of_Object(hitter);
  if (!shot.Is_None()) Mark_Shot_Hit(shot, tag);
  if (hit) Mark_Launch_Hit(hit);
  Hit_Value value = Points_For(hit);
  const bool boss_alive = g_World.Find_Object_By_Flags(kBoss_Flag, 0) != nullptr;
  if (boss_alive && (!hit || !(hit->m_Kind_Flags & kBoss_Flag))) value.points = 0;
  const float duration_factor = 1.0f;
  board.Award_Points(value.points, duration_factor);
  if (value.reaction < kNot_Counted) {
    m_Reaction_Sum += value.reaction;
    m_Reaction_Count += 1.0f;
  }
  if (value.reaction <= kQuick_Hit_Time) board.Award_Quick_Hit();
  const int streak = Count_Hit_Streak();
  if (streak > 0) board.Award_Hit_Streak(static_cast<unsigned>(streak));
  if (hitter) Award_Shot_Bonuses(hitter);
}

void CSim_Stats::Award_Shot_Bonuses(const CWorld_Object* hitter) {
  bool touched_floor = false;
  uint32_t objects_hit = 0;
  if (!Read_Shot_Record(hitter, touched_floor, objects_hit)) return;
  CScore_Board_Mgr& board = g_Score_Board_Mgr;
  if (hitter->m_Type == kAmmo_Ball || hitter->m_Type == kAmmo_Explosive) {
    const CVector3& p = hitter->m_Position;
    const float height_above_floor = p.y - g_World.Get_Height(p.x, p.z) + hitter->m_Collision_Radius;
    if (touched_floor && height_above_floor > kBonus_Hit_Height) board.Award_Bonus_Hit();
    if (objects_hit >= 2) board.Award_Multi_Hit();
  } else if (hitter->m_Type == kAmmo_Missile) {
    if (objects_hit >= 2) board.Award_Multi_Hit();
  }
}

int CSim_Stats::Count_Hit_Streak() const {
  int streak = 0;
  for (int step = 1; step <= kShot_Ring_Size; ++step) {
    const CShot_Record& entry = m_Shot_Ring[(m_Shot_Ring_Index - step + kShot_Ring_Size) % kShot_Ring_Size];
    if (!(entry.flags & kEntry_Hit)) break;
    ++streak;
  }
  return streak;
}

float CSim_Stats::Get_Launch_Hit_Ratio() const {
  int in_use = 0, hit = 0;
  for (int step = 1; step <= kLaunch_Ring_Size; ++step) {
    const Launch_Entry& entry = m_Launch_Ring[(m_Launch_Ring_Index - step + kLaunch_Ring_Size) % kLaunch_Ring_Size];
    if (!(entry.flags & kEntry_In_Use)) break;
    ++in_use;
    if (entry.flags & kEntry_Hit) ++hit;
  }
  return static_cast<float>(hit) / static_cast<float>(std::max(in_use, 1));
}

bool CSim_Stats::All_Launches_Hit() const {
  if (!m_Round_Tracking) return false;
  int in_use = 0;
  for (int step = 1; step <= kLaunch_Ring_Size; ++step) {
    const Launch_Entry& entry = m_Launch_Ring[(m_Launch_Ring_Index - step + kLaunch_Ring_Size) % kLaunch_Ring_Size];
    if (!(entry.flags & kEntry_In_Use)) break;
    if (!(entry.flags & kEntry_Hit)) return false;
    ++in_use;
  }
  return in_use > 0;
}

bool CSim_Stats::Check_Perfect_Round() {
  if (!All_Launches_Hit()) return false;
  End_Round(true);
  return true;
}

void CSim_Stats::End_Round(bool reset_launch_ring) {
  ++m_Rounds;
  const bool perfect = All_Launches_Hit();
  if (perfect) {
    ++m_Perfect_Rounds;
    g_Score_Board_Mgr.Award_Perfect_Round();
  }
  m_Last_Round_Perfect = perfect;
  m_Round_Tracking = reset_launch_ring;
  if (reset_launch_ring) {
    m_Launch_Ring_Index = 0;
    std::fill(std::begin(m_Launch_Ring), std::end(m_Launch_Ring), Launch_Entry{});
  }
}

void CSim_Stats::On_Object_Removed(const CWorld_Object* object) {
  if (!object) return;
  if (!(object->m_Kind_Flags & kKind_Counted_Target) || (object->m_Kind_Flags & kKind_Excluded)) return;
  m_Reaction_Sum += kMiss_Time;
  m_Reaction_Count += 1.0f;
}

float CSim_Stats::Calc_Reaction_Rating() const {
  if (m_Reaction_Count == 0.0f) return 0.0f;
  return Clamp_Rating((m_Reaction_Count / std::max(m_Reaction_Sum, 1.0f) - 0.05f) * 750.0f);
}

float CSim_Stats::Calc_Aptitude_Rating() const {
  const float shots = static_cast<float>(std::max(m_Shots, 1u));
  const float launches = static_cast<float>(std::max(m_Launches, 1u));
  const float rounds = static_cast<float>(std::max(m_Rounds, 1u));
  const float hits = static_cast<float>(m_Hits);
  const int64_t bonus_over = static_cast<int64_t>(g_Score_Board_Mgr.m_Bonus_Count) - 10;
  const float f = std::clamp(static_cast<float>(bonus_over) * 0.02f, 0.0f, 1.25f);
  const float accuracy = hits / shots;
  const float rating = (hits / launches) * accuracy * (static_cast<float>(m_Perfect_Rounds) / rounds + 0.5f) *
                       (f + 0.5f) * 245.0f;
  return Clamp_Rating(rating);
}

float CSim_Stats::Calc_Aggression_Rating() const {
  return Clamp_Rating((static_cast<float>(m_Shots) / std::max(m_Elapsed, 1.0f) - 0.2f) * 300.0f);
}
