#include "game/warroom/CWarRoom_Sim.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <strings.h>

#include "game/core/WinMain.h"
#include "game/sim/CMusic_Track.h"
#include "game/warroom/Mission_Record.h"
#include "platform/system/random.h"

CWarRoom_Sim g_WarRoom_Sim;
float g_Difficulty_Factor = 1.0f;

namespace {

constexpr float kLink_Reach = 0.15f;

const std::vector<CWarRoom_Sim_Entry> kSite_Sims = {
    {0x22000195, 0x2200017d, 0}, {0x22000197, 0x2200017f, 1}, {0x22000199, 0x22000181, 2},
    {0x2200019b, 0x22000183, 3}, {0x2200019d, 0x22000185, 0}, {0x2200019f, 0x2200017e, 1},
    {0x220001a2, 0x22000180, 2}, {0x220001a5, 0x22000182, 3}, {0x220001a7, 0x22000184, 0},
    {0x220001a9, 0x22000186, 1}, {0x220001ac, 0x22000187, 2}, {0x220001ae, 0x22000188, 3},
    {0x220001b0, 0x22000189, 0}, {0x220001b3, 0x2200018a, 1}, {0x220001b5, 0x2200018b, 2},
    {0x220001b8, 0x2200018c, 3}, {0x220001ba, 0x2200018d, 0}, {0x220001bc, 0x2200018e, 1},
    {0x220001be, 0x2200018f, 2}, {0x220001c0, 0x22000190, 3}, {0x220001c2, 0x22000191, 0},
    {0x220001c4, 0x22000192, 1},
};

const std::vector<CWarRoom_Sim_Entry> kSource_Sims = {
    {0x220001b1, 0x2200018a, 0}, {0x220001a3, 0x22000182, 1}, {0x220001b6, 0x2200018c, 2},
    {0x220001aa, 0x22000187, 3}, {0x220001a0, 0x22000180, 0},
};

// count x rand() / 32768, clamped to count - 1.
int Uniform_Index(int count) {
  if (count <= 0) return 0;
  const int index = static_cast<int>(static_cast<int64_t>(count) * plat::Random() / 32768);
  return std::clamp(index, 0, count - 1);
}

float Distance_Squared(const CWarRoom_Point& a, const CWarRoom_Point& b) {
  const float dx = a.x - b.x;
  const float dy = a.y - b.y;
  return dx * dx + dy * dy;
}

struct Route_Node {
  int site = -1;
  int parent = -1;
  float g = 0.0f;
  float h = 0.0f;
  float f = 0.0f;
};

using Node_Map = std::map<int, Route_Node>;

// The open node of smallest f; the map's order makes the lowest site index win a tie.
Node_Map::iterator Best_Open(Node_Map& open) {
  auto best = open.begin();
  for (auto it = open.begin(); it != open.end(); ++it)
    if (it->second.f < best->second.f) best = it;
  return best;
}

bool Holds_Better(const Node_Map& nodes, int site, float f) {
  const auto it = nodes.find(site);
  return it != nodes.end() && it->second.f <= f;
}

}  // namespace

const std::vector<CWarRoom_Sim_Entry>& Build_Site_Sim_List() { return kSite_Sims; }
const std::vector<CWarRoom_Sim_Entry>& Build_Source_Sim_List() { return kSource_Sims; }
int Pick_Site_Sim() { return Uniform_Index(static_cast<int>(Build_Site_Sim_List().size())); }
int Pick_Source_Sim() { return Uniform_Index(static_cast<int>(Build_Source_Sim_List().size())); }

bool CWarRoom_Sim::Init(const int& region) {
  if (!Setup_Region_Data(region)) {
    Show_Message("CWarRoom_Sim::Init failed to setup region data (%d)", region);
    return false;
  }
  m_Current_Site = -1;
  m_Target_Site = -1;
  m_Attachment_Carry = -1;
  m_History_Top = -1;
  m_Shield_Level = 1.0f;
  m_Route_Count = 0;
  m_Route_Length = 0.0f;
  m_Orders_Announced = false;
  std::fill(std::begin(m_History), std::end(m_History), 0);
  m_Initialised = true;
  m_Disinfection_Mode = false;
  m_Source_Hint_Time = 0;
  Pick_Infected_Site();
  return true;
}

void CWarRoom_Sim::Clear_Region() {
  m_Region_Id = -1;
  m_Region_Name.clear();
  m_Infected_Site = -1;
  m_Infection_Radius = 0.0f;
  for (CWarRoom_Site& site : m_Sites) site.flags = 0;
  m_Initialised = false;
}

int CWarRoom_Sim::Get_Region_Id(const char* name) {
  static const char* const kNames[kRegion_Count] = {"North America", "Indonesia", "Africa",   "Australia",
                                                    "Europe",        "Far East",  "Mediterranean", "America"};
  if (name == nullptr) return 0;
  for (int i = 0; i < kRegion_Count; ++i)
    if (strcasecmp(name, kNames[i]) == 0) return i + 1;
  return 0;
}

int CWarRoom_Sim::Site_Count() const {
  int count = 0;
  while (count < kSite_Count && m_Sites[count].In_Use()) ++count;
  return count;
}

bool CWarRoom_Sim::Is_Site(int site) const { return site >= 0 && site < Site_Count(); }

float CWarRoom_Sim::Site_Distance(int a, int b) const {
  const CWarRoom_Point pa{m_Sites[a].x, m_Sites[a].y};
  const CWarRoom_Point pb{m_Sites[b].x, m_Sites[b].y};
  return std::sqrt(Distance_Squared(pa, pb));
}

void CWarRoom_Sim::Pick_Infected_Site() {
  const int n = Site_Count();
  m_Infected_Site = -1;
  m_Infection_Radius = 0.0f;
  if (n == 0) return;
  const int source = Uniform_Index(n);
  m_Infected_Site = source;

  float farthest_squared = 0.0f;
  const int start = Find_Farthest_Site({m_Sites[source].x, m_Sites[source].y}, farthest_squared);
  Set_Current_Site(start);
  m_Sites[source].flags |= CWarRoom_Site::kSource;
  m_Sites[source].simulation_choice = Pick_Source_Sim();

  const Mission_Record record = Read_Mission_Record();
  const float weight = std::max(record.weight, 0.35f);
  const float d = (record.success_rate - 0.667f) * weight * 0.75f + 1.0f;
  g_Difficulty_Factor = d;

  m_Farthest_Distance = std::sqrt(farthest_squared);
  m_Infection_Radius = m_Farthest_Distance * d * 0.4f;

  int count = 0;
  int32_t route[kSite_Count] = {};
  float length = 0.0f;
  int within = 3;
  if (start >= 0 && Find_Route(start, source, count, route, length)) {
    within = 0;
    for (int i = 0; i < count; ++i)
      if (Site_Distance(route[i], source) <= m_Infection_Radius) ++within;
  } else {
    length = start >= 0 ? Site_Distance(start, source) : 0.0f;
  }
  const float k = d >= 0.9f ? 1.25f : std::sqrt(1.0f / std::max(d, 0.5f)) * 1.25f;
  const float time = (length * 30.0f + 4.5f + static_cast<float>(within) * 52.0f) * k;
  m_Growth_Rate = (m_Farthest_Distance - m_Infection_Radius) / time;

  if (record.success_rate >= 0.51f && record.missions_flown != 0) {
    m_Source_Hint_Time = 0;
  } else {
    const float e = std::clamp(0.5f / std::max(d, 0.1f), 0.3f, 0.85f);
    m_Source_Hint_Time = static_cast<int32_t>(time * e);
  }
}

void CWarRoom_Sim::Set_Current_Site(const int& site) {
  m_Current_Site = site;
  if (m_History_Top < 0) {
    m_History_Top = 0;
    m_History[0] = site;
  } else if (m_History[m_History_Top] != site) {
    if (m_History_Top < kHistory_Size - 1) {
      m_History[++m_History_Top] = site;
    } else {
      std::copy(m_History + 1, m_History + kHistory_Size, m_History);
      m_History[kHistory_Size - 1] = site;
    }
  }
  Set_Target_Site(m_Target_Site);
}

int CWarRoom_Sim::Pop_History() {
  if (m_History_Top < 0) return -1;
  m_History_Top = std::min(m_History_Top, kHistory_Size - 1);
  return m_History[m_History_Top--];
}

void CWarRoom_Sim::Set_Target_Site(const int& site) {
  m_Target_Site = site;
  if (site == -1) return;
  if (Find_Route(m_Current_Site, site, m_Route_Count, m_Route, m_Route_Length)) return;
  m_Route_Count = 2;
  m_Route[0] = m_Current_Site;
  m_Route[1] = site;
  m_Route_Length = Is_Site(m_Current_Site) && Is_Site(site) ? Site_Distance(m_Current_Site, site) : 0.0f;
}

float CWarRoom_Sim::Get_Travel_Time() const {
  if (m_Current_Site == -1 || m_Target_Site == -1) return 0.0f;
  return m_Route_Length * 30.0f + 4.5f;
}

float CWarRoom_Sim::Get_Time_Remaining() const {
  const float remaining = (m_Farthest_Distance - m_Infection_Radius) / std::max(m_Growth_Rate, 0.000001f);
  if (m_Disinfection_Mode) return std::max(remaining, 1.0f);
  return remaining;
}

bool CWarRoom_Sim::Is_All_Clear() const {
  const int n = Site_Count();
  for (int i = 0; i < n; ++i)
    if (m_Sites[i].flags & CWarRoom_Site::kInfected) return false;
  return true;
}

void CWarRoom_Sim::Update_Timers(float dt) {
  m_Infection_Radius += dt * 0.2f * m_Growth_Rate;
  const float m = std::max(g_Difficulty_Factor * g_Difficulty_Factor, 0.001f);
  const float rate = g_Music_Track.Is_Running() ? 0.0015f : 0.004f;
  m_Shield_Level = std::min(m_Shield_Level + dt * rate / m, 1.0f);
}

bool CWarRoom_Sim::Find_Route(int from, int to, int& count, int32_t* sites, float& length) const {
  if (!Is_Site(from) || !Is_Site(to)) return false;
  Node_Map open;
  Node_Map closed;
  const float h0 = Site_Distance(from, to);
  open[from] = {from, -1, 0.0f, h0, h0};
  while (!open.empty()) {
    const auto best = Best_Open(open);
    const Route_Node node = best->second;
    open.erase(best);
    closed[node.site] = node;
    if (node.site == to) {
      // Walk the parents back to the start; a chain longer than the sites cannot be a route.
      int32_t reversed[kSite_Count];
      int n = 0;
      int site = to;
      while (true) {
        if (n == kSite_Count) return false;
        reversed[n++] = site;
        const auto it = closed.find(site);
        if (it == closed.end()) return false;
        if (it->second.parent == -1 || site == from) break;
        site = it->second.parent;
      }
      count = n;
      for (int i = 0; i < n; ++i) sites[i] = reversed[n - 1 - i];
      length = node.g;
      return true;
    }
    for (const int32_t next : m_Sites[node.site].links) {
      if (!Is_Site(next)) continue;
      const float g = node.g + Site_Distance(node.site, next);
      const float h = Site_Distance(next, to);
      const float f = g + h;
      if (Holds_Better(open, next, f) || Holds_Better(closed, next, f)) continue;
      closed.erase(next);
      open[next] = {next, node.site, g, h, f};
    }
  }
  return false;
}

int CWarRoom_Sim::Slot_For_Link(int site, float limit) const {
  const int free_slot = m_Sites[site].First_Free_Link();
  if (free_slot != -1) return free_slot;
  float farthest_squared = 0.0f;
  const int slot = Find_Farthest_Link(site, farthest_squared);
  if (limit >= 0.0f && !(farthest_squared > limit * limit)) return -1;
  return slot;
}

void CWarRoom_Sim::Drop_Back_Link(int site, int from) {
  if (!Is_Site(site)) return;
  m_Sites[site].Remove_Link_Slot(m_Sites[site].Find_Link(from));
}

void CWarRoom_Sim::Join_In_Slots(int a, int slot_a, int b, int slot_b) {
  const int replaced_a = m_Sites[a].links[slot_a];
  const int replaced_b = m_Sites[b].links[slot_b];
  m_Sites[a].links[slot_a] = b;
  m_Sites[b].links[slot_b] = a;
  if (replaced_a != -1) Drop_Back_Link(replaced_a, a);
  if (replaced_b != -1) Drop_Back_Link(replaced_b, b);
}

void CWarRoom_Sim::Link_Sites(int a, int b) {
  if (!Is_Site(a) || !Is_Site(b) || a == b) return;
  if (m_Sites[a].Find_Link(b) != -1) return;
  const int slot_a = Slot_For_Link(a, -1.0f);
  const int slot_b = Slot_For_Link(b, -1.0f);
  if (slot_a != -1 && slot_b != -1) Join_In_Slots(a, slot_a, b, slot_b);
}

void CWarRoom_Sim::Unlink_Sites(int a, int b) {
  if (!Is_Site(a) || !Is_Site(b)) return;
  const int slot_a = m_Sites[a].Find_Link(b);
  const int slot_b = m_Sites[b].Find_Link(a);
  if (slot_a == -1 || slot_b == -1) return;
  m_Sites[a].Remove_Link_Slot(slot_a);
  m_Sites[b].Remove_Link_Slot(slot_b);
}

void CWarRoom_Sim::Auto_Link_Sites() {
  const int n = Site_Count();
  for (int a = 0; a < n; ++a) {
    const CWarRoom_Point point{m_Sites[a].x, m_Sites[a].y};
    float distance_squared = 0.0f;
    int b = Find_Next_Site_Within(point, kLink_Reach * kLink_Reach, distance_squared, a + 1);
    while (b != -1) {
      if (m_Sites[a].Find_Link(b) == -1) {
        const float distance = std::sqrt(distance_squared);
        const int slot_a = Slot_For_Link(a, distance);
        const int slot_b = Slot_For_Link(b, distance);
        if (slot_a != -1 && slot_b != -1) Join_In_Slots(a, slot_a, b, slot_b);
      }
      b = Find_Next_Site_Within(point, kLink_Reach * kLink_Reach, distance_squared, b);
    }
    if (m_Sites[a].Link_Count() == 0) {
      float nearest_squared = 0.0f;
      Link_Sites(a, Find_Nearest_Other_Site(a, nearest_squared));
    }
  }
}

int CWarRoom_Sim::Find_Next_Site_Within(const CWarRoom_Point& point, float limit_squared, float& distance_squared,
                                        int after) const {
  const int n = Site_Count();
  for (int i = std::max(after + 1, 0); i < n; ++i) {
    const float d2 = Distance_Squared(point, {m_Sites[i].x, m_Sites[i].y});
    if (d2 <= limit_squared) {
      distance_squared = d2;
      return i;
    }
  }
  return -1;
}

int CWarRoom_Sim::Find_Farthest_Site(const CWarRoom_Point& point, float& distance_squared) const {
  const int n = Site_Count();
  int farthest = -1;
  distance_squared = 0.0f;
  for (int i = 0; i < n; ++i) {
    const float d2 = Distance_Squared(point, {m_Sites[i].x, m_Sites[i].y});
    if (d2 > distance_squared) {
      distance_squared = d2;
      farthest = i;
    }
  }
  return farthest;
}

int CWarRoom_Sim::Find_Nearest_Other_Site(int site, float& distance_squared) const {
  const int n = Site_Count();
  int nearest = -1;
  distance_squared = 100000000.0f;
  if (!Is_Site(site)) return -1;
  const CWarRoom_Point point{m_Sites[site].x, m_Sites[site].y};
  for (int i = 0; i < n; ++i) {
    if (i == site) continue;
    const float d2 = Distance_Squared(point, {m_Sites[i].x, m_Sites[i].y});
    if (d2 <= distance_squared) {
      distance_squared = d2;
      nearest = i;
    }
  }
  return nearest;
}

int CWarRoom_Sim::Find_Farthest_Link(int site, float& distance_squared) const {
  distance_squared = 0.0f;
  if (!Is_Site(site)) return -1;
  int farthest = -1;
  const CWarRoom_Point point{m_Sites[site].x, m_Sites[site].y};
  for (int slot = 0; slot < CWarRoom_Site::kLink_Count; ++slot) {
    const int other = m_Sites[site].links[slot];
    if (!Is_Site(other)) continue;
    const float d2 = Distance_Squared(point, {m_Sites[other].x, m_Sites[other].y});
    if (farthest == -1 || d2 > distance_squared) {
      distance_squared = d2;
      farthest = slot;
    }
  }
  return farthest;
}
