// The simulator screen's profile page: the account's standing, and the shop where credits buy,
// upgrade and select the guns and their secondary attachments.
#include <cstdio>
#include <string>

#include "game/menu/CMenuItem.h"
#include "game/menu/CMenuItem_Button.h"
#include "game/menu/CMenuItem_List.h"
#include "game/menu/CMenuItem_Text.h"
#include "game/menu/CModal_Dlg.h"
#include "game/sim/CScore_Board_Mgr.h"
#include "game/sim/Launch_Helpers.h"
#include "game/trainer/CCommunications_Mgr.h"
#include "game/trainer/CMenu_Simulator.h"
#include "game/trainer/Weapon_Tables.h"

namespace {

constexpr int32_t kWeapon_List = 1, kWeapon_Text = 2, kWeapon_Label_1 = 3, kWeapon_Value_1 = 4, kWeapon_Label_2 = 5,
                  kWeapon_Value_2 = 6, kWeapon_Upgrade = 7, kWeapon_Buy = 8, kAttachment_List = 9,
                  kAttachment_Text = 10, kAttachment_Label = 11, kAttachment_Value = 12, kAttachment_Upgrade = 13,
                  kAttachment_Buy = 14;
constexpr uint32_t kClick_Sound = 0x220000dc;
constexpr uint32_t kSelected_Colour = 0xffffff88, kOwned_Colour = 0xbbccccff, kAllowed_Colour = 0x88888888,
                   kLocked_Colour = 0x88aa8888;
constexpr uint32_t kLabel_Colour = 0xbbffff00, kValue_Colour = 0xbb77bbcc, kDetail_Colour = 0x88ccffcc;
constexpr int kGun_Level_Limit = 10, kAttachment_Level_Limit = 5;
constexpr size_t kValue_Chars = 15, kCaption_Chars = 16;

float W() { return CMenuItem::Screen_W(); }
float H() { return CMenuItem::Screen_H(); }

// The account the page shows: the loaded one, else a new account's defaults.
const CClient_Data& Shown_Account() {
  static const CClient_Data defaults;
  const CClient_Data* account = Loaded_Account();
  return account ? *account : defaults;
}

bool Has_Bit(uint32_t mask, int32_t kind) { return kind >= 0 && kind < 32 && (mask & (1u << kind)) != 0; }

// Levels read from the account: kinds outside the table have level 0, a level past its limit
// counts as the limit.
int Level_Of(const uint8_t (&levels)[CClient_Data::kKind_Slots], int32_t kind, int limit) {
  if (kind < 0 || kind >= CClient_Data::kKind_Slots) return 0;
  return std::min<int>(levels[kind], limit);
}
int Gun_Level(const CClient_Data& account, int32_t kind) {
  return Level_Of(account.m_Gun_Levels, kind, kGun_Level_Limit);
}
int Attachment_Level(const CClient_Data& account, int32_t kind) {
  return Level_Of(account.m_Attachment_Levels, kind, kAttachment_Level_Limit);
}
bool Owns_Gun(const CClient_Data& account, int32_t kind) { return Has_Bit(account.m_Owned_Guns, kind); }
bool Owns_Attachment(const CClient_Data& account, int32_t kind) {
  return kind == 0 || Has_Bit(account.m_Owned_Attachments, kind);
}

uint32_t Upgrade_Price(uint32_t base, int level) { return base + static_cast<uint32_t>(level) * base / 2; }

std::string Cut(std::string text, size_t length) {
  if (text.size() > length) text.resize(length);
  return text;
}

void Set_Text(const CMenu_Panel& panel, int32_t id, const std::string& text, size_t length = std::string::npos) {
  if (auto* item = static_cast<CMenuItem_Text*>(panel.Find_Item(id, kItem_Text)))
    item->Set_Text(Cut(text, length).c_str());
}

void Set_Button(const CMenu_Panel& panel, int32_t id, const std::string& caption, bool enabled, bool marked) {
  auto* button = static_cast<CMenuItem_Button*>(panel.Find_Item(id, kItem_Button));
  if (!button) return;
  button->Set_Caption(Cut(caption, kCaption_Chars).c_str());
  button->m_Flags &= ~(CMenuItem_Button::kHidden | CMenuItem_Button::kPulse);
  if (!enabled) button->m_Flags |= CMenuItem_Button::kHidden;
  if (marked) button->m_Flags |= CMenuItem_Button::kPulse;
}

std::string Percent_Or_Not_Upgraded(int percent) {
  if (percent == 0) return "Not Upgraded";
  char text[32];
  std::snprintf(text, sizeof text, "+ %d%%", percent);
  return text;
}

std::string Number(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
  return text;
}

std::string Upgrade_Caption(uint32_t cost) { return std::string("Upgrade (") + Format_Number_Grouped(cost) + ")"; }

std::string Rank_Text(int place) {
  if (place >= 51) return "Not Ranked";
  char text[32];
  std::snprintf(text, sizeof text, "%d%s", place, Get_Ordinal_Suffix(static_cast<unsigned>(place < 0 ? 0 : place)));
  return text;
}

void Insufficient_Credits(const char* line) {
  if (!Open_Sim_Dialog(10.0f)) return;
  g_Modal_Dlg.Add_Line(line, 0xddff5555, CModal_Dlg::kLine_Large, 0, 0);
}

uint32_t Row_Colour(bool selected, bool owned, bool allowed) {
  if (selected) return kSelected_Colour;
  if (owned) return kOwned_Colour;
  return allowed ? kAllowed_Colour : kLocked_Colour;
}

const Attachment_Entry* Selected_Attachment_Row(const CMenuItem_List* list) {
  if (!list || list->m_Selected < 0) return nullptr;
  return Find_Attachment_Entry(list->Get_Selected_Value());
}

}  // namespace

const Weapon_Entry* Get_Selected_Weapon_Entry() {
  return Find_Weapon_Entry(static_cast<int>(Shown_Account().m_Current_Gun));
}

void CMenu_Simulator::Build_Profile_Page() {
  const CClient_Data& account = Shown_Account();
  const uint32_t level = Sim_Access_Level();
  const std::string user = Current_User_Name();
  const CRank_Data& ranks = g_Communications_Mgr.m_Rank_Data;
  const uint32_t label_flags = CMenuItem_Text::kCentre_Y | CMenuItem_Text::kShadow;
  const std::string left_pairs[3][2] = {{"Username:", user},
                                        {"Access Level:", Number(level)},
                                        {"Credits:", Format_Number_Grouped(account.m_Credits)}};
  const std::string right_pairs[3][2] = {
      {"Top Sim Rank:", Rank_Text(ranks.Get_Best_Place(user.c_str()))},
      {"Average Sim Rank:", Rank_Text(static_cast<int>(ranks.Get_Average_Place(user.c_str())))},
      {"Overall Player Rank:", Rank_Text(ranks.Get_Overall_Rank(user.c_str()))}};
  for (int i = 0; i < 3; ++i) {
    const float y = (0.3f + 0.029f * static_cast<float>(i)) * H();
    m_Panel.Add_Item(new CMenuItem_Text(0, left_pairs[i][0].c_str(), CVector2{0.17f * W(), y}, kLabel_Colour, 0,
                                        label_flags, 1, 0.0f));
    m_Panel.Add_Item(new CMenuItem_Text(0, left_pairs[i][1].c_str(), CVector2{0.36f * W(), y}, kValue_Colour, 0,
                                        label_flags, 1, 0.0f));
    m_Panel.Add_Item(new CMenuItem_Text(0, right_pairs[i][0].c_str(), CVector2{0.56f * W(), y}, kLabel_Colour, 0,
                                        label_flags, 1, 0.0f));
    m_Panel.Add_Item(new CMenuItem_Text(0, right_pairs[i][1].c_str(), CVector2{0.82f * W(), y}, kValue_Colour, 0,
                                        label_flags | CMenuItem_Text::kRight_X, 1, 0.0f));
  }

  // Guns.
  m_Panel.Add_Item(new CMenuItem_Text(0, "Weapon Select", CVector2{0.17f * W(), 0.4f * H()}, kLabel_Colour, 1,
                                      label_flags, 1, 0.0f));
  auto* guns = new CMenuItem_List(kWeapon_List, CVector2{0.175f * W(), 0.42f * H()}, 0.29f * W(), 6, 0,
                                  CMenuItem_List::kSelectable);
  int32_t selected_gun_row = -1;
  for (size_t i = 0; i < g_Weapon_Table.size(); ++i) {
    const Weapon_Entry& gun = g_Weapon_Table[i];
    const bool selected = static_cast<uint32_t>(gun.Gun_Kind) == account.m_Current_Gun;
    if (selected) selected_gun_row = static_cast<int32_t>(i);
    guns->Add_Row(gun.Name.c_str(),
                  Row_Colour(selected, Owns_Gun(account, gun.Gun_Kind), level >= gun.Required_Level),
                  gun.Gun_Kind);
  }
  guns->m_On_Select = [this](int32_t row) { Show_Weapon_Info(row); };
  m_Panel.Add_Item(guns);
  m_Panel.Add_Item(new CMenuItem_Text(kWeapon_Text, "", CVector2{0.48f * W(), 0.41f * H()}, 0xbbccffcc, 0, 24, 3,
                                      0.357f * W()));
  const float pair_step = 0.025f * H();
  m_Panel.Add_Item(new CMenuItem_Text(kWeapon_Label_1, "", CVector2{0.48f * W(), 0.512f * H()}, kDetail_Colour, 0, 8,
                                      1, 0.0f));
  m_Panel.Add_Item(new CMenuItem_Text(kWeapon_Value_1, "", CVector2{0.83f * W(), 0.512f * H()}, kDetail_Colour, 0,
                                      10, 1, 0.0f));
  m_Panel.Add_Item(new CMenuItem_Text(kWeapon_Label_2, "", CVector2{0.48f * W(), 0.512f * H() + pair_step},
                                      kDetail_Colour, 0, 8, 1, 0.0f));
  m_Panel.Add_Item(new CMenuItem_Text(kWeapon_Value_2, "", CVector2{0.83f * W(), 0.512f * H() + pair_step},
                                      kDetail_Colour, 0, 10, 1, 0.0f));
  auto* upgrade = new CMenuItem_Button(kWeapon_Upgrade, "Upgrade", CVector2{0.564f * W(), 0.584f * H()}, 0xbbccffcc,
                                       0, 5, 0.135f * W());
  upgrade->m_On_Click = [this](CMenuItem_Button*) { Upgrade_Weapon(); };
  m_Panel.Add_Item(upgrade);
  auto* buy = new CMenuItem_Button(kWeapon_Buy, "Purchase", CVector2{0.748f * W(), 0.584f * H()}, 0xbbffffcc, 0, 5,
                                   0.135f * W());
  buy->m_On_Click = [this](CMenuItem_Button*) { Buy_Or_Select_Weapon(); };
  m_Panel.Add_Item(buy);
  if (selected_gun_row >= 0) {
    guns->Select_Row(selected_gun_row);
    guns->Ensure_Visible(selected_gun_row);
  }

  // Attachments the selected gun takes.
  m_Panel.Add_Item(new CMenuItem_Text(0, "Secondary (Right Click)", CVector2{0.17f * W(), 0.64f * H()},
                                      kLabel_Colour, 0, label_flags, 1, 0.0f));
  auto* attachments = new CMenuItem_List(kAttachment_List, CVector2{0.175f * W(), 0.656f * H()}, 0.29f * W(), 4, 0,
                                         CMenuItem_List::kSelectable);
  const Weapon_Entry* gun = Get_Selected_Weapon_Entry();
  const uint32_t mask = gun ? gun->Attachment_Mask : 0;
  int32_t selected_attachment_row = -1;
  for (const Attachment_Entry& item : g_Attachment_Table) {
    if (item.Attachment_Kind != 0 && !Has_Bit(mask, item.Attachment_Kind)) continue;
    const bool selected = static_cast<uint32_t>(item.Attachment_Kind) == account.m_Current_Attachment;
    if (selected) selected_attachment_row = attachments->Row_Count();
    const bool allowed = item.Attachment_Kind == 0 || level >= item.Required_Level;
    attachments->Add_Row(item.Name.c_str(), Row_Colour(selected, Owns_Attachment(account, item.Attachment_Kind), allowed),
                         item.Attachment_Kind);
  }
  attachments->m_On_Select = [this](int32_t row) { Show_Attachment_Info(row); };
  m_Panel.Add_Item(attachments);
  m_Panel.Add_Item(new CMenuItem_Text(kAttachment_Text, "", CVector2{0.48f * W(), 0.647f * H()}, 0xbbccffcc, 0, 24,
                                      2, 0.357f * W()));
  m_Panel.Add_Item(new CMenuItem_Text(kAttachment_Label, "", CVector2{0.48f * W(), 0.712f * H()}, kDetail_Colour, 0,
                                      8, 1, 0.0f));
  m_Panel.Add_Item(new CMenuItem_Text(kAttachment_Value, "", CVector2{0.83f * W(), 0.712f * H()}, kDetail_Colour, 0,
                                      10, 1, 0.0f));
  auto* attachment_upgrade = new CMenuItem_Button(kAttachment_Upgrade, "Upgrade", CVector2{0.564f * W(), 0.754f * H()},
                                                  0xbbccffcc, 0, 5, 0.135f * W());
  attachment_upgrade->m_On_Click = [this](CMenuItem_Button*) { Upgrade_Attachment(); };
  m_Panel.Add_Item(attachment_upgrade);
  auto* attachment_buy = new CMenuItem_Button(kAttachment_Buy, "Purchase", CVector2{0.748f * W(), 0.754f * H()},
                                              0xbbffffcc, 0, 5, 0.135f * W());
  attachment_buy->m_On_Click = [this](CMenuItem_Button*) { Buy_Or_Select_Attachment(); };
  m_Panel.Add_Item(attachment_buy);
  if (selected_attachment_row >= 0) {
    attachments->Select_Row(selected_attachment_row);
    attachments->Ensure_Visible(selected_attachment_row);
  }
}

void CMenu_Simulator::Show_Weapon_Info(int32_t row) {
  if (row < 0 || static_cast<size_t>(row) >= g_Weapon_Table.size()) return;
  const Weapon_Entry& gun = g_Weapon_Table[static_cast<size_t>(row)];
  const CClient_Data& account = Shown_Account();
  const uint32_t level = Sim_Access_Level();
  Set_Text(m_Panel, kWeapon_Text, "Description: " + gun.Description);
  if (Owns_Gun(account, gun.Gun_Kind)) {
    const int upgrades = Gun_Level(account, gun.Gun_Kind);
    Set_Text(m_Panel, kWeapon_Label_1, gun.Stat1_Label);
    Set_Text(m_Panel, kWeapon_Value_1, Percent_Or_Not_Upgraded(upgrades * gun.Stat1_Percent), kValue_Chars);
    Set_Text(m_Panel, kWeapon_Label_2, gun.Stat2_Label);
    Set_Text(m_Panel, kWeapon_Value_2, Percent_Or_Not_Upgraded(upgrades * gun.Stat2_Percent), kValue_Chars);
    Set_Button(m_Panel, kWeapon_Upgrade, Upgrade_Caption(Upgrade_Price(gun.Upgrade_Cost, upgrades)),
               upgrades < kGun_Level_Limit, false);
    Set_Button(m_Panel, kWeapon_Buy, "Select Weapon", static_cast<uint32_t>(gun.Gun_Kind) != account.m_Current_Gun,
               true);
  } else {
    Set_Text(m_Panel, kWeapon_Label_1, "Required Access Level:");
    Set_Text(m_Panel, kWeapon_Value_1, Number(gun.Required_Level), kValue_Chars);
    Set_Text(m_Panel, kWeapon_Label_2, "Weapon Cost:");
    Set_Text(m_Panel, kWeapon_Value_2, Format_Number_Grouped(gun.Price), kValue_Chars);
    Set_Button(m_Panel, kWeapon_Upgrade, "Upgrade", false, false);
    Set_Button(m_Panel, kWeapon_Buy, "Purchase", level >= gun.Required_Level, false);
  }
}

void CMenu_Simulator::Upgrade_Weapon() {
  Play_Menu_Sound(kClick_Sound);
  const CMenuItem_List* list = Find_List(kWeapon_List);
  if (!list || list->m_Selected < 0 || static_cast<size_t>(list->m_Selected) >= g_Weapon_Table.size()) return;
  const Weapon_Entry& gun = g_Weapon_Table[static_cast<size_t>(list->m_Selected)];
  CClient_Data* account = Loaded_Account();
  if (!account) return;
  if (!Owns_Gun(*account, gun.Gun_Kind)) {
    Build_Layout(2);
    return;
  }
  const int upgrades = Gun_Level(*account, gun.Gun_Kind);
  if (Sim_Access_Level() < gun.Required_Level || upgrades >= kGun_Level_Limit) return;
  const uint32_t cost = Upgrade_Price(gun.Upgrade_Cost, upgrades);
  if (account->m_Credits < cost) {
    Insufficient_Credits("Insufficient Credits for Upgrade");
    return;
  }
  account->m_Credits -= cost;
  account->m_Gun_Levels[gun.Gun_Kind] = static_cast<uint8_t>(upgrades + 1);
  account->m_Current_Gun = static_cast<uint32_t>(gun.Gun_Kind);
  account->Save();
  Build_Layout(2);
}

void CMenu_Simulator::Buy_Or_Select_Weapon() {
  Play_Menu_Sound(kClick_Sound);
  const CMenuItem_List* list = Find_List(kWeapon_List);
  if (!list || list->m_Selected < 0 || static_cast<size_t>(list->m_Selected) >= g_Weapon_Table.size()) return;
  const Weapon_Entry& gun = g_Weapon_Table[static_cast<size_t>(list->m_Selected)];
  CClient_Data* account = Loaded_Account();
  if (!account) return;
  const bool allowed = Sim_Access_Level() >= gun.Required_Level;
  const auto kind = static_cast<uint32_t>(gun.Gun_Kind);
  if (Owns_Gun(*account, gun.Gun_Kind)) {
    if (kind == account->m_Current_Gun || !allowed) return;
    account->m_Current_Gun = kind;
    Build_Layout(2);
    return;
  }
  if (!allowed) return;
  if (account->m_Credits < gun.Price) {
    Insufficient_Credits("Insufficient Credits for Weapon");
    return;
  }
  account->m_Credits -= gun.Price;
  account->m_Owned_Guns |= 1u << kind;
  account->m_Current_Gun = kind;
  account->Save();
  Build_Layout(2);
}

void CMenu_Simulator::Show_Attachment_Info(int32_t row) {
  const CMenuItem_List* list = Find_List(kAttachment_List);
  if (!list || row < 0 || row >= list->Row_Count()) return;
  const Attachment_Entry* item = Find_Attachment_Entry(list->Get_Row_Value(row));
  if (!item) return;
  const CClient_Data& account = Shown_Account();
  const int32_t kind = item->Attachment_Kind;
  const bool allowed = kind == 0 || Sim_Access_Level() >= item->Required_Level;
  Set_Text(m_Panel, kAttachment_Text, "Description: " + item->Description);
  if (Owns_Attachment(account, kind)) {
    const int upgrades = Attachment_Level(account, kind);
    Set_Text(m_Panel, kAttachment_Label, item->Stat_Label);
    std::string value;
    if (item->Upgrade_Cost != 0) {
      char text[32];
      std::snprintf(text, sizeof text, "+ %d", upgrades * static_cast<int>(item->Stat_Step));
      value = upgrades * item->Stat_Step == 0 ? "Not Upgraded" : text;
    }
    Set_Text(m_Panel, kAttachment_Value, value, kValue_Chars);
    if (item->Upgrade_Cost != 0) {
      const uint32_t cost = kind == 0 ? 0 : Upgrade_Price(item->Upgrade_Cost, upgrades);
      Set_Button(m_Panel, kAttachment_Upgrade, Upgrade_Caption(cost), kind != 0 && upgrades < kAttachment_Level_Limit,
                 false);
    } else {
      Set_Button(m_Panel, kAttachment_Upgrade, "Upgrade", false, false);
    }
    Set_Button(m_Panel, kAttachment_Buy, "Select Item", static_cast<uint32_t>(kind) != account.m_Current_Attachment,
               true);
  } else {
    Set_Text(m_Panel, kAttachment_Label, allowed ? "Cost:" : "Required Access Level:");
    Set_Text(m_Panel, kAttachment_Value, allowed ? Format_Number_Grouped(item->Price) : Number(item->Required_Level),
             kValue_Chars);
    Set_Button(m_Panel, kAttachment_Upgrade, "Upgrade", false, false);
    Set_Button(m_Panel, kAttachment_Buy, "Purchase", allowed, false);
  }
}

void CMenu_Simulator::Upgrade_Attachment() {
  Play_Menu_Sound(kClick_Sound);
  const Attachment_Entry* item = Selected_Attachment_Row(Find_List(kAttachment_List));
  CClient_Data* account = Loaded_Account();
  if (!item || !account) return;
  const int32_t kind = item->Attachment_Kind;
  if (!Owns_Attachment(*account, kind)) {
    Build_Layout(2);
    return;
  }
  const bool allowed = kind == 0 || Sim_Access_Level() >= item->Required_Level;
  const int upgrades = Attachment_Level(*account, kind);
  if (!allowed || upgrades > kAttachment_Level_Limit - 1 || item->Upgrade_Cost == 0 || kind <= 0 ||
      kind >= CClient_Data::kKind_Slots)
    return;
  const uint32_t cost = Upgrade_Price(item->Upgrade_Cost, upgrades);
  if (account->m_Credits < cost) {
    Insufficient_Credits("Insufficient Credits for Upgrade");
    return;
  }
  account->m_Credits -= cost;
  account->m_Attachment_Levels[kind] = static_cast<uint8_t>(upgrades + 1);
  account->m_Current_Attachment = static_cast<uint32_t>(kind);
  account->Save();
  Build_Layout(2);
}

void CMenu_Simulator::Buy_Or_Select_Attachment() {
  Play_Menu_Sound(kClick_Sound);
  const Attachment_Entry* item = Selected_Attachment_Row(Find_List(kAttachment_List));
  CClient_Data* account = Loaded_Account();
  if (!item || !account) return;
  const int32_t kind = item->Attachment_Kind;
  const bool allowed = kind == 0 || Sim_Access_Level() >= item->Required_Level;
  if (!Owns_Attachment(*account, kind)) {
    if (!allowed) return;
    if (account->m_Credits < item->Price) {
      Insufficient_Credits("Insufficient Credits for Secondary Attachment");
      return;
    }
    account->m_Credits -= item->Price;
    account->m_Owned_Attachments |= 1u << kind;
    account->m_Current_Attachment = static_cast<uint32_t>(kind);
    account->Save();
    Build_Layout(2);
    return;
  }
  if (!allowed || static_cast<uint32_t>(kind) == account->m_Current_Attachment) return;
  account->m_Current_Attachment = static_cast<uint32_t>(kind);
  Build_Layout(2);
}
