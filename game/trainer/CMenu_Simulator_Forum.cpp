// The simulator screen's communications pages: the forum list with the selected message,
// writing a message, and the War Room mission briefing.
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "game/menu/CMenuItem.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_Edit.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/Launch_Helpers.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "platform/system/random.h"

namespace {

constexpr int32_t kMessage_List = 1, kMessage_Text = 2, kTitle_Field = 1, kBody_Field = 2, kBriefing_Text = 10;
constexpr uint32_t kClick_Sound = 0x220000dc;
constexpr uint32_t kPage_Sound = 0x220000e0;
constexpr uint32_t kPrivate_Sound = 0x22000122;
constexpr uint32_t kEdit_Colour = 0xaaaaaacc, kPlain_Colour = 0xbbccccff;

float W() { return CMenuItem::Screen_W(); }
float H() { return CMenuItem::Screen_H(); }

uint32_t Message_Colour(bool is_private, bool read) {
  if (is_private) return read ? 0xbb884444 : 0xbbff8888;
  return read ? 0xbb446655 : 0xbb88ccaa;
}

bool Is_Read(uint32_t id) {
  const CClient_Data* account = Loaded_Account();
  return account && account->m_Read_Set.count(id) != 0;
}

bool Is_Deleted(uint32_t id) {
  const CClient_Data* account = Loaded_Account();
  return account && account->m_Deleted_Set.count(id) != 0;
}

void Copy_Field(char* field, size_t size, const std::string& text) {
  const size_t length = std::min(text.size(), size - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

std::string Edit_Text(const CMenu_Panel& panel, int32_t id) {
  std::string text;
  if (const auto* edit = static_cast<const CMenuItem_Edit*>(panel.Find_Item(id, kItem_Edit))) edit->Get_Text(text);
  return text;
}

void Add_Button(CMenu_Panel& panel, const char* caption, float x, float y, uint32_t colour, uint32_t flags,
                std::function<void()> action) {
  auto* button = new CMenuItem_Button(0, caption, CVector2{x * W(), y * H()}, colour, 0, flags, 0.0f);
  button->m_On_Click = [action = std::move(action)](CMenuItem_Button*) { action(); };
  panel.Add_Item(button);
}

// The row of the list that holds the message id, or -1.
int32_t Row_Of(const CMenuItem_List& list, uint32_t id) { return list.Find_Row(static_cast<int32_t>(id)); }

// The first record of briefing kind for the key, new ones before repeats.
const Master_Record* Pick_Briefing(uint32_t key) {
  const Master_Record* record = g_Communications_Mgr.Pick_Record(kComm_Briefing, key, 0.0f, 0, false);
  return record ? record : g_Communications_Mgr.Pick_Record(kComm_Briefing, key, 0.0f, 0, true);
}

}  // namespace

void CMenu_Simulator::Build_Forum_Page() {
  CForum_Data& forum = g_Communications_Mgr.m_Forum_Data;
  const std::string user = Current_User_Name();
  auto* list = new CMenuItem_List(kMessage_List, CVector2{0.15f * W(), 0.29f * H()}, 0.7f * W(), 5, 0,
                                  CMenuItem_List::kSelectable);
  list->Set_Columns({{0, 0.0f}, {0, 0.15f * W()}, {0, 0.52f * W()}});
  int32_t first_unread_private = -1;
  for (size_t i = 0; i < forum.m_Posted.size(); ++i) {
    const uint32_t id = forum.Get_Id_At(i);
    if (Is_Deleted(id)) continue;
    const Message_Record* record = forum.Find_Message(id);
    if (!record) continue;
    const bool is_private = record->Type == kMessage_Private;
    if (is_private && strcasecmp(record->Recipient, user.c_str()) != 0) continue;
    const bool read = Is_Read(id);
    const Forum_Row row = forum.Get_Row(i);
    if (is_private && !read && first_unread_private < 0) first_unread_private = list->Row_Count();
    list->Add_Row_Columns({row.Author, row.Subject, row.Date}, Message_Colour(is_private, read),
                          static_cast<int32_t>(id));
  }
  list->m_On_Select = [this](int32_t row) { Show_Message_Info(row); };
  m_Panel.Add_Item(list);
  m_Message_Clock = 0.0f;
  m_Panel.Add_Item(new CMenuItem_Text(kMessage_Text, "", CVector2{0.15f * W(), 0.47f * H()}, kPlain_Colour, 0, 56, 9,
                                      0.7f * W()));
  Add_Button(m_Panel, "Post Message", 0.736f, 0.79f, kEdit_Colour, 6, [this] { Compose_Message(); });
  Add_Button(m_Panel, "Delete Message", 0.158f, 0.79f, kPlain_Colour, 6, [this] { Delete_Selected_Message(); });

  if (first_unread_private >= 0) {
    Play_Menu_Sound(kPrivate_Sound);
    Show_WarRoom_Info(1);
    list->Select_Row(first_unread_private);
    list->Ensure_Visible(first_unread_private);
    return;
  }
  if (list->m_Selected >= 0 || list->Row_Count() == 0) return;
  const CClient_Data* account = Loaded_Account();
  const uint32_t first_id = account ? account->m_Header[CClient_Data::kHeader_First_Message] : 0;
  const uint32_t selected_id = account ? account->m_Header[CClient_Data::kHeader_Selected_Message] : 0;
  int32_t first = Row_Of(*list, first_id);
  if (first < 0 || first >= list->Row_Count()) first = 0;
  list->Scroll_To(first);
  const int32_t selected = Row_Of(*list, selected_id);
  list->Select_Row(selected >= 0 ? selected : first);
}

void CMenu_Simulator::Show_Message_Info(int32_t row) {
  auto* text = static_cast<CMenuItem_Text*>(m_Panel.Find_Item(kMessage_Text, kItem_Text));
  CMenuItem_List* list = Find_List(kMessage_List);
  if (!list || row < 0 || row >= list->Row_Count()) {
    if (text) text->Set_Text("");
    return;
  }
  CForum_Data& forum = g_Communications_Mgr.m_Forum_Data;
  const auto id = static_cast<uint32_t>(list->Get_Row_Value(row));
  const bool is_private = forum.Is_Private(id);
  if (text) {
    const std::string* body = forum.Get_Text(id);
    text->Set_Text(body ? body->c_str() : "");
    text->m_Colour = is_private ? 0xaaffffff : 0xaaaaaacc;
  }
  for (int32_t i = 0; i < list->Row_Count(); ++i) {
    const auto row_id = static_cast<uint32_t>(list->Get_Row_Value(i));
    list->Set_Row_Colour(i, Message_Colour(forum.Is_Private(row_id), Is_Read(row_id)));
  }
  CClient_Data* account = Loaded_Account();
  if (!account) return;
  account->m_Header[CClient_Data::kHeader_First_Message] = static_cast<uint32_t>(list->Get_Row_Value(list->m_First_Visible));
  account->m_Header[CClient_Data::kHeader_Selected_Message] = id;
  account->Mark_Read(id, forum);
  account->Prune_Message_Sets(forum);
}

void CMenu_Simulator::Delete_Selected_Message() {
  CMenuItem_List* list = Find_List(kMessage_List);
  if (!list || list->m_Selected < 0) return;
  Play_Menu_Sound(kClick_Sound);
  if (CClient_Data* account = Loaded_Account())
    account->Mark_Deleted(static_cast<uint32_t>(list->Get_Selected_Value()));
  list->Remove_Row(list->m_Selected);
}

void CMenu_Simulator::Compose_Message() {
  Play_Menu_Sound(kPage_Sound);
  Build_Layout(4);
}

void CMenu_Simulator::Cancel_Message() {
  Play_Menu_Sound(kPage_Sound);
  Build_Layout(3);
}

void CMenu_Simulator::Build_Compose_Page() {
  const std::string user = Current_User_Name();
  auto text = [this](const char* line, float x, float y, uint32_t colour) {
    m_Panel.Add_Item(new CMenuItem_Text(0, line, CVector2{x * W(), y * H()}, colour, 0, 8, 1, 0.0f));
  };
  text("Post New Message...", 0.15f, 0.29f, 0xbbffff00);
  text("Note: This forum is monitored by the QOR administration staff.", 0.15f, 0.324f, 0xbbbbbb00);
  text("From:", 0.15f, 0.375f, kPlain_Colour);
  text(user.c_str(), 0.24f, 0.372f, kPlain_Colour);
  text("Title:", 0.15f, 0.42f, kPlain_Colour);
  auto* title = new CMenuItem_Edit(kTitle_Field, "", CVector2{0.24f * W(), 0.414f * H()}, kEdit_Colour, 0, 0x20, 1,
                                   0.61f * W());
  m_Panel.Add_Item(title);
  m_Panel.Add_Item(new CMenuItem_Edit(kBody_Field, "", CVector2{0.15f * W(), 0.47f * H()}, kEdit_Colour, 0, 56, 9,
                                      0.7f * W()));
  Add_Button(m_Panel, "Send Message", 0.731f, 0.79f, kEdit_Colour, 6, [this] { Send_Message(); });
  Add_Button(m_Panel, "Cancel Message", 0.158f, 0.79f, kPlain_Colour, 6, [this] { Cancel_Message(); });
  m_Panel.Set_Focus(title);
}

void CMenu_Simulator::Send_Message() {
  Play_Menu_Sound(kPage_Sound);
  const std::string title = Edit_Text(m_Panel, kTitle_Field);
  const std::string body = Edit_Text(m_Panel, kBody_Field);
  if (!title.empty() && !body.empty()) {
    Forum_Message message;
    Clear_Message_Record(message.Record);
    message.Record.Id = 0;
    message.Record.Type = kMessage_Public;
    message.Record.Flags = 0;
    Copy_Field(message.Record.Author, sizeof message.Record.Author, Current_User_Name());
    Copy_Field(message.Record.Subject, sizeof message.Record.Subject, title);
    Copy_Field(message.Record.Date, sizeof message.Record.Date, CCommunications_Mgr::Get_Date_Stamp());
    message.Text = body;
    if (CClient_Data* account = Loaded_Account()) ++account->m_Forum_Posts;
    g_Communications_Mgr.m_Forum_Data.Post(std::move(message), 0.0f, false);
    Build_Layout(3);
    return;
  }
  if (!Open_Sim_Dialog(18.0f)) return;
  const char* first = "No title specified for message.";
  const char* second = "Messages without titles are not allowed.";
  if (title.empty() && body.empty()) {
    first = "Empty message.";
    second = "Press the 'Cancel Message' button to abort.";
  } else if (body.empty()) {
    first = "Message body not specified.";
    second = "Messages without a body are not allowed.";
  }
  g_Modal_Dlg.Add_Line(first, 0xbbffff00, 0, 0, 0);
  g_Modal_Dlg.Add_Line(second, 0xbbffff00, 0, 0, 0);
}

void CMenu_Simulator::Build_Briefing_Page() {
  m_Panel.Add_Item(new CMenuItem_Text(0, "Mission Briefing...", CVector2{0.15f * W(), 0.19f * H()}, 0xbbcccc44, 2, 8,
                                      1, 0.0f));
  auto* briefing = new CMenuItem_Text(kBriefing_Text, "", CVector2{0.165f * W(), 0.25f * H()}, 0xbbccffcc, 0, 24, 15,
                                      0.65f * W());
  m_Panel.Add_Item(briefing);
  Add_Button(m_Panel, "Accept Mission", 0.695f, 0.77f, kEdit_Colour, 14, [this] { Accept_Mission(); });
  Add_Button(m_Panel, "Reject Mission", 0.188f, 0.77f, kPlain_Colour, 14, [this] { Reject_Mission(); });
  briefing->Set_Text(Pick_Mission_Message().c_str());
}

std::string CMenu_Simulator::Pick_Mission_Message() {
  CCommunications_Mgr& comms = g_Communications_Mgr;
  const bool started_here = !comms.Is_Running() && comms.Init();
  const uint32_t level = Sim_Access_Level();
  const int spread = level > 4 ? 3 : static_cast<int>(level) - 1;
  const int difficulty = std::clamp(1 + spread * plat::Random() / 32768, 1, 3);
  const Master_Record* record = Pick_Briefing(static_cast<uint32_t>(difficulty));
  if (!record) record = Pick_Briefing(0);
  std::string text;
  std::string subject;
  if (record) {
    Communication_Header header;
    std::string body;
    if (CCommunications_Mgr::Read_Communication(*record, header, body)) {
      comms.Expand_Text(body);
      text = body;
      subject.assign(header.Subject, strnlen(header.Subject, sizeof header.Subject));
    }
    if (!comms.m_Forum_Data.Is_Delivered(*record)) comms.m_Forum_Data.m_Delivered.insert(record->Id);
    comms.m_Forum_Data.Save();
  }
  int region = CWarRoom_Sim::Get_Region_Id(subject.c_str());
  if (region <= 0 || region > 8) {
    region = 1 + plat::Random() * 8 / 32768;
    if (region < 1 || region > 8) region = 1;
  }
  g_WarRoom_Target_Region = region;
  if (started_here) comms.Term();
  return text;
}
