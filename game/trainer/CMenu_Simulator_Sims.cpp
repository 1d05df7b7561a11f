// The simulator screen's simulation page: the list, the information panel that follows the
// selected row (description, preview, records) and the launch of the chosen simulation.
#include <cstdio>
#include <string>

#include "game/core/CCamera.h"
#include "game/fx/FX_Resources.h"
#include "game/menu/CMenuItem.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Image.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CModal_Dlg.h"
#include "game/player/CPlayer_Weapon_Gun_Lightning_0.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/CSequence_Mgr.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/trainer/Sim_Table.h"
#include "platform/system/random.h"

namespace {

constexpr int32_t kSim_List = 1, kPreview_Image = 2, kDescription_Text = 3, kRecords_List = 4, kBest_Text = 6;
constexpr uint32_t kLaunch_Sound = 0x220000e0;
constexpr uint32_t kRow_Colour = 0xbb88ccaa;
constexpr uint32_t kLocked_Row_Colour = 0x88aa8888;
constexpr uint32_t kHeading_Colour = 0xbbffff00;
constexpr uint32_t kBest_Colour = 0xbb887799;
constexpr float kPreview_Interval = 1.75f;

float W() { return CMenuItem::Screen_W(); }
float H() { return CMenuItem::Screen_H(); }

Sim_Entry* Sim_Row(int32_t index) {
  if (index < 0 || static_cast<size_t>(index) >= g_Sim_Table.size()) return nullptr;
  return &g_Sim_Table[static_cast<size_t>(index)];
}

CTextureData* Preview_Of(Sim_Entry& row) {
  if (!row.Preview_Texture && row.Preview_Id != 0) row.Preview_Texture = fx::Get_Texture(row.Preview_Id);
  return row.Preview_Texture;
}

}  // namespace

// The point 100 ahead of and `rise` above the menu camera, where the message dialogs open from.
CVector3 Sim_Dialog_Origin(float rise) {
  const CVector3& eye = g_Camera.Position();
  const CVector3& forward = g_Camera.Rotation().rows[2];
  return CVector3{eye.x + 100.0f * forward.x, eye.y + 100.0f * forward.y + rise, eye.z + 100.0f * forward.z};
}

bool Open_Sim_Dialog(float rise) {
  if (g_Modal_Dlg.Is_Open()) return false;
  return g_Modal_Dlg.Init(Sim_Dialog_Origin(rise), CVector2{0.5f * W(), 0.46f * H()}, 0.6f * W(), 0.0f,
                          CModal_Dlg::kMode_Message);
}

void CMenu_Simulator::Build_Sim_Page() {
  const uint32_t level = Sim_Access_Level();
  const uint32_t heading_flags = CMenuItem_Text::kCentre_Y | CMenuItem_Text::kShadow;
  m_Panel.Add_Item(new CMenuItem_Text(0, "Sim Types", CVector2{0.17f * W(), 0.3f * H()}, kHeading_Colour, 1,
                                      heading_flags, 1, 0.0f));
  auto* list = new CMenuItem_List(kSim_List, CVector2{0.175f * W(), 0.32f * H()}, 0.35f * W(), 8, 0,
                                  CMenuItem_List::kSelectable);
  for (size_t i = 0; i < g_Sim_Table.size(); ++i) {
    const Sim_Entry& row = g_Sim_Table[i];
    list->Add_Row(row.Name.c_str(), level >= row.Required_Level ? kRow_Colour : kLocked_Row_Colour,
                  static_cast<int32_t>(i));
  }
  list->m_On_Select = [this](int32_t row) { Show_Sim_Info(row); };
  m_Panel.Add_Item(list);
  m_Panel.Add_Item(new CMenuItem_Text(0, "Records", CVector2{0.17f * W(), 0.62f * H()}, kHeading_Colour, 1,
                                      heading_flags, 1, 0.0f));
  auto* records = new CMenuItem_List(kRecords_List, CVector2{0.19f * W(), 0.65f * H()}, 0.335f * W(), 3, 0, 0);
  records->Set_Columns({{0, 0.0f}, {0, 0.195f * W()}});
  m_Panel.Add_Item(records);
  m_Panel.Add_Item(new CMenuItem_Text(5, "Personal Best...", CVector2{0.181f * W(), 0.77f * H()}, kBest_Colour, 0,
                                      heading_flags, 1, 0.0f));
  m_Panel.Add_Item(new CMenuItem_Text(kBest_Text, "0", CVector2{0.5f * W(), 0.77f * H()}, kBest_Colour, 0,
                                      CMenuItem_Text::kRight_X | heading_flags, 1, 0.0f));
  auto* image = new CMenuItem_Image(kPreview_Image, 0, CVector2{0.565f * W(), 0.314f * H()},
                                    CVector2{0.245f * W(), 0.215f * H()}, 0);
  m_Panel.Add_Item(image);
  m_Panel.Add_Item(new CMenuItem_Text(kDescription_Text, "", CVector2{0.57f * W(), 0.54f * H()}, 0xbbccffaa, 0,
                                      CMenuItem_Text::kShadow | CMenuItem_Text::kWrap, 6, 0.27f * W()));
  auto* run = new CMenuItem_Button(0, "Run Simulation", CVector2{0.71f * W(), 0.786f * H()}, 0xbbccccff, 1,
                                   CMenuItem_Button::kCentre_X | CMenuItem_Button::kGlow, 0.0f);
  run->m_On_Click = [this](CMenuItem_Button*) { Run_Selected_Simulation(); };
  m_Panel.Add_Item(run);

  // The remembered place in the list, when the account keeps one.
  int32_t first = 0, selected = -1;
  if (const CClient_Data* account = Loaded_Account()) {
    first = static_cast<int32_t>(account->m_Header[CClient_Data::kHeader_First_Sim_Row]);
    selected = static_cast<int32_t>(account->m_Header[CClient_Data::kHeader_Selected_Sim_Row]);
  }
  if (first < 0 || first >= list->Row_Count()) first = 0;
  if (selected < 0 || selected >= list->Row_Count()) selected = first;
  list->Scroll_To(first);
  list->Select_Row(selected);
}

void CMenu_Simulator::Run_Selected_Simulation() {
  const CMenuItem_List* list = Find_List(kSim_List);
  if (!list || list->m_Selected < 0) return;
  Sim_Entry* row = Sim_Row(list->m_Selected);
  if (!row) return;
  const uint32_t level = Sim_Access_Level();
  if (row->Is_Random != 0) {
    const int count = Count_Available_Sims(level);
    int pick = count > 0 ? count * plat::Random() / 32768 : 0;
    if (pick > count - 1) pick = count > 0 ? count - 1 : 0;
    row = Find_Available_Sim(pick, level);
    if (!row) return;
  }
  if (level < row->Required_Level) {
    if (!Open_Sim_Dialog(18.0f)) return;
    g_Modal_Dlg.Add_Line("Access Denied", 0xddff5555, CModal_Dlg::kLine_Large, 0, 0);
    g_Modal_Dlg.Add_Line("You do not have the proper access level to launch", 0xbbffff00, 0, 0, 0);
    g_Modal_Dlg.Add_Line("this simulation", 0xbbffff00, 0, 0, 0);
    return;
  }
  uint32_t runs = 0;
  if (const CClient_Data* account = Loaded_Account())
    runs = account->m_Runs_Finished;
  else
    g_Communications_Mgr.m_Client_Data.Use_Loaded([&runs](CClient_Data& record) { runs = record.m_Runs_Finished; });
  // The third training run gets the lightning gun's wide search.
  g_Gun_Lightning.m_Wide_Search = runs == 2 ? 1 : 0;
  if (CClient_Data* account = Loaded_Account()) ++account->m_Pacing;
  Play_Menu_Sound(kLaunch_Sound);
  g_Sequence_Mgr.Start_Sequence(6, 7, row->Environment, static_cast<int32_t>(row->Track_Id),
                                static_cast<int32_t>(row->Music_Id));
}

void CMenu_Simulator::Show_Preview(Sim_Entry* row) {
  auto* image = static_cast<CMenuItem_Image*>(m_Panel.Find_Item(kPreview_Image, kItem_Image));
  if (image) image->Set_Texture(row ? Preview_Of(*row) : nullptr);
}

void CMenu_Simulator::Show_Sim_Info(int32_t index) {
  Sim_Entry* row = Sim_Row(index);
  if (!row) return;
  char key[16];
  std::snprintf(key, sizeof key, "%d", static_cast<int>(row->Track_Id));
  if (row->Is_Random != 0)
    Cycle_Random_Preview(100000.0f);
  else
    Show_Preview(row);
  if (auto* text = static_cast<CMenuItem_Text*>(m_Panel.Find_Item(kDescription_Text, kItem_Text)))
    text->Set_Text(row->Description.c_str());
  const CRank_Data& ranks = g_Communications_Mgr.m_Rank_Data;
  int listed = 0;
  if (auto* records = Find_List(kRecords_List)) {
    records->Clear();
    for (int place = 0; place < 10; ++place) {
      const Rank_Entry* entry = ranks.Get_Entry(key, place);
      if (!entry) break;
      char name[40];
      std::snprintf(name, sizeof name, "%d. %.31s", place + 1, entry->Name);
      records->Add_Row_Columns({name, Format_Number_Grouped(entry->Score)}, kRow_Colour, place);
      ++listed;
    }
  }
  if (auto* best = static_cast<CMenuItem_Text*>(m_Panel.Find_Item(kBest_Text, kItem_Text))) {
    const std::string user = Current_User_Name();
    best->Set_Text(listed == 0 ? "" : Format_Number_Grouped(ranks.Get_Score(key, user.c_str())));
  }
  if (CClient_Data* account = Loaded_Account()) {
    const CMenuItem_List* list = Find_List(kSim_List);
    account->m_Header[CClient_Data::kHeader_First_Sim_Row] = list ? static_cast<uint32_t>(list->m_First_Visible) : 0;
    account->m_Header[CClient_Data::kHeader_Selected_Sim_Row] = static_cast<uint32_t>(index);
  }
}

void CMenu_Simulator::Cycle_Random_Preview(float step) {
  if (m_Current_Tab != 1) return;
  const CMenuItem_List* list = Find_List(kSim_List);
  const Sim_Entry* selected = list ? Sim_Row(list->m_Selected) : nullptr;
  if (!selected || selected->Is_Random == 0) return;
  m_Preview_Timer -= step;
  if (m_Preview_Timer > 0.0f) return;
  ++m_Cycle_Index;
  m_Preview_Timer = kPreview_Interval;
  const uint32_t level = Sim_Access_Level();
  Sim_Entry* shown = Find_Available_Sim(m_Cycle_Index, level);
  if (!shown) {
    m_Cycle_Index = 0;
    shown = Find_Available_Sim(m_Cycle_Index, level);
  }
  Show_Preview(shown);
}
