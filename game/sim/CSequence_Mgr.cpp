#include "game/sim/CSequence_Mgr.h"

#include "game/core/CCamera.h"
#include "game/core/CFrame_Info.h"
#include "game/fx/CScreen_FX_Mgr.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/player/CPlayer.h"
#include "game/warroom/CWarRoom_Sim.h"

CSequence_Mgr g_Sequence_Mgr;

namespace {

struct Event_Row {
  float time;
  int32_t code;
  float value1;
  float value2;
  const char* text;
};

constexpr Event_Row kKind_1[] = {{19, 1, 0, 0, ""}, {20, 10, 8.0f, 5.0f, ""}, {24.75f, 4, 0, 0, ""}, {25, 19, 0, 0, ""}};
constexpr Event_Row kKind_2[] = {{0, 2, 0, 0, ""},    {0, 7, 0, 0, ""}, {0, 10, 5.0f, 4.0f, ""},
                                 {3.75f, 4, 0, 0, ""}, {4, 5, 0, 0, ""}, {4, 18, 0, 0, ""}};
constexpr Event_Row kKind_3[] = {{0, 7, 0, 0, ""},        {5, 12, 8.0f, 0, ""}, {7, 17, 5.0f, 1.0f, ""},
                                 {12, 8, 5.0f, 1.0f, ""}, {13, 4, 0, 0, ""},     {13, 20, 0, 0, ""}};
constexpr Event_Row kKind_5[] = {{0, 8, 15.0f, 5.0f, ""}, {5, 19, 0, 0, ""}};
constexpr Event_Row kKind_6[] = {{0, 7, 0, 0, ""},
                                 {5, 2, 0, 0, ""},
                                 {5, 17, 3.0f, 0, ""},
                                 {6, 11, 3.0f, 0, ""},
                                 {8.5f, 8, 1.0f, 0.5f, ""},
                                 {8.5f, 13, 1.0f, 0, "...Calculating Simulation Environment..."},
                                 {9, 3, 0, 0, ""},
                                 {9, 4, 0, 0, ""},
                                 {9, 24, 0, 0, ""}};
constexpr Event_Row kKind_7[] = {{4, 27, 1.0f, 0, ""}, {8, 15, 4.0f, 0, ""}, {11.9f, 22, 0, 0, ""}};
constexpr Event_Row kKind_8_Cleared[] = {
    {4, 27, 1.0f, 0, ""}, {4.5f, 14, 7.0f, 0, "...Site Cleared..."}, {8, 15, 4.0f, 0, ""}, {11.9f, 22, 0, 0, ""}};
constexpr Event_Row kKind_8_Eliminated[] = {
    {4, 27, 1.0f, 0, ""}, {4.5f, 14, 7.0f, 0, "...Threat Eliminated..."}, {8, 15, 4.0f, 0, ""}, {11.9f, 22, 0, 0, ""}};
constexpr Event_Row kKind_9[] = {{0.5f, 16, 9.0f, 0, ""},
                                 {1.5f, 14, 2.0f, 0, "...Shields Breached..."},
                                 {3.5f, 27, 1.0f, 0, ""},
                                 {3.5f, 14, 4.0f, 0, "...Executing Escape Procedure..."},
                                 {6, 15, 4.0f, 0, ""},
                                 {9.9f, 23, 0, 0, ""}};
constexpr Event_Row kKind_11[] = {{0, 9, 15.0f, 7.0f, ""}, {7, 25, 0, 0, ""}};
constexpr Event_Row kKind_12[] = {{0, 9, 15.0f, 7.0f, ""}, {7, 26, 0, 0, ""}};

template <size_t N>
void Append(std::vector<CSequence_Event>& events, const Event_Row (&rows)[N], float delay) {
  for (const Event_Row& row : rows) events.push_back(CSequence_Event{row.code, delay + row.time, row.value1, row.value2, row.text});
}

// The kind's events; false for a kind that has none.
bool Build_Events(int32_t kind, uint32_t delay, std::vector<CSequence_Event>& events) {
  switch (kind) {
    case 1: Append(events, kKind_1, static_cast<float>(delay)); return true;
    case 2: Append(events, kKind_2, 0.0f); return true;
    case 3: Append(events, kKind_3, 0.0f); return true;
    case 5: Append(events, kKind_5, 0.0f); return true;
    case 6: Append(events, kKind_6, 0.0f); return true;
    case 7: Append(events, kKind_7, 0.0f); return true;
    case 8:
      if (g_WarRoom_Sim.m_Disinfection_Mode)
        Append(events, kKind_8_Eliminated, 0.0f);
      else
        Append(events, kKind_8_Cleared, 0.0f);
      return true;
    case 9: Append(events, kKind_9, 0.0f); return true;
    case 11: Append(events, kKind_11, 0.0f); return true;
    case 12: Append(events, kKind_12, 0.0f); return true;
    default: return false;
  }
}

void Command(int code, int argument) { g_Menu_Mgr.Command(code, argument); }

// A camera move: to the launch view, or (flag set) out along the grid toward the War Room.
void Camera_Move(float duration, bool along_grid) {
  CVector3 position{0.0f, 140.0f, 250.0f};
  CVector3 target{0.0f, 90.0f, 350.0f};
  if (along_grid) {
    const CMenu_Grid& grid = g_Menu_Mgr.m_Grid;
    position.Set(0.2f * grid.m_Origin.x + 1.45f * grid.m_Across.x, 0.2f * grid.m_Origin.y + 1.45f * grid.m_Across.y,
                 0.2f * grid.m_Origin.z + 1.45f * grid.m_Across.z);
    target.Set(2.0f * position.x, 2.0f * position.y, 2.0f * position.z);
  }
  g_Camera.Start_Move(position, target, duration);
}

void Show_WarRoom_Page(int page) {
  Command(kCommand_WarRoom, 0);
  g_Menu_Mgr.m_WarRoom.Set_Page(page);
}

}  // namespace

bool CSequence_Mgr::Init() {
  m_Initialised = true;
  return true;
}

void CSequence_Mgr::Clear() {
  if (m_In_Pass) {
    for (auto& sequence : m_Sequences) sequence->removed = true;
  } else {
    m_Sequences.clear();
  }
  m_Initialised = false;
}

void CSequence_Mgr::Remove_Kinds(int32_t highest_kind) {
  for (auto& sequence : m_Sequences)
    if (sequence->kind >= 1 && sequence->kind <= highest_kind) sequence->removed = true;
  Free_Removed();
}

void CSequence_Mgr::Free_Removed() {
  if (m_In_Pass) return;
  m_Sequences.remove_if([](const std::unique_ptr<CSequence>& sequence) { return sequence->removed; });
}

void CSequence_Mgr::Start_Sequence(const int32_t& kind, const int32_t& value1, const int32_t& value2,
                                   const int32_t& value3, const int32_t& value4) {
  auto sequence = std::make_unique<CSequence>();
  sequence->kind = kind;
  sequence->values[0] = value1;
  sequence->values[1] = value2;
  sequence->values[2] = value3;
  sequence->values[3] = value4;
  if (kind == 1) Remove_Kinds(1);
  if (kind == 2) Remove_Kinds(2);
  if (!Build_Events(kind, static_cast<uint32_t>(value1), sequence->events)) return;
  m_Sequences.push_back(std::move(sequence));
}

void CSequence_Mgr::Update(const CFrame_Info& frame) {
  if (m_Sequences.empty()) return;
  m_In_Pass = true;
  // Sequences started by an event run from the next pass.
  const auto last = std::prev(m_Sequences.end());
  for (auto it = m_Sequences.begin();; ++it) {
    CSequence& sequence = **it;
    if (!sequence.removed) {
      sequence.clock += frame.Delta;
      while (!sequence.removed && sequence.fired < sequence.events.size() &&
             sequence.events[sequence.fired].time <= sequence.clock) {
        const CSequence_Event event = sequence.events[sequence.fired++];
        Fire_Event(event, sequence);
      }
      if (sequence.fired >= sequence.events.size()) sequence.removed = true;
    }
    if (it == last) break;
  }
  m_In_Pass = false;
  Free_Removed();
}

void CSequence_Mgr::Fire_Event(const CSequence_Event& event, const CSequence& sequence) {
  const float none = 0.0f;
  CMenu_Console& console = g_Menu_Mgr.m_Console;
  CMenu_Simulator& simulator = g_Menu_Mgr.m_Simulator;
  switch (event.code) {
    case 1:
      if (console.m_Initialised && console.m_Visible) console.Show(false, false);
      break;
    case 2:
      if (!(console.m_Initialised && console.m_Visible)) console.Show(true, true);
      break;
    case 3: console.Term(); break;
    case 4: g_Menu_Mgr.m_Grid.Set_Mode(0); break;
    case 5:
      g_Menu_Mgr.m_Grid.Set_Mode(1);
      if (simulator.m_Initialised && simulator.m_Visible) simulator.Show(false);
      break;
    case 6: g_Menu_Mgr.m_Grid.Set_Mode(2); break;
    case 7: simulator.Show(false); break;
    case 8: g_Screen_FX_Mgr.Add_Effect_2(0, event.value1, event.value2); break;
    case 9: g_Screen_FX_Mgr.Add_Effect_2(1, event.value1, event.value2); break;
    case 10: g_Screen_FX_Mgr.Add_Effect_2(2, event.value1, event.value2); break;
    case 11: g_Screen_FX_Mgr.Add_Effect_2(3, event.value1, none); break;
    case 12: g_Screen_FX_Mgr.Add_Effect_2(4, event.value1, none); break;
    case 13: g_Screen_FX_Mgr.Add_Effect_4(5, event.value1, event.text.c_str()); break;
    case 14: g_Screen_FX_Mgr.Add_Effect_4(6, event.value1, event.text.c_str()); break;
    case 15: g_Screen_FX_Mgr.Add_Effect_2(10, event.value1, none); break;
    case 16: {
      // Alpha scale, red, green, blue, in the record's order.
      const CColor4 colour{0.75f, 1.0f, 0.3f, 0.3f};
      g_Screen_FX_Mgr.Add_Effect(12, event.value1, colour, CColor4::Zero, none, none);
      break;
    }
    case 17: Camera_Move(event.value1, event.value2 != 0.0f); break;
    case 18: Command(kCommand_Console, 0); break;
    case 19: Command(kCommand_Simulator, 0); break;
    case 20: Command(kCommand_WarRoom, 0); break;
    case 22: Show_WarRoom_Page(5); break;
    case 23: Show_WarRoom_Page(1); break;
    case 24:
      g_Menu_Mgr.Command(sequence.values[0], sequence.values[1], static_cast<uint32_t>(sequence.values[2]),
                         static_cast<uint32_t>(sequence.values[3]));
      break;
    case 25: Command(kCommand_End_Mission, 1); break;
    case 26: Command(kCommand_End_Mission, 0); break;
    case 27: g_Player.Set_Gun_Flag(event.value1 != 0.0f ? 1 : 0); break;
    default: break;
  }
}

std::vector<const CSequence*> CSequence_Mgr::Running() const {
  std::vector<const CSequence*> running;
  for (const auto& sequence : m_Sequences)
    if (!sequence->removed) running.push_back(sequence.get());
  return running;
}
