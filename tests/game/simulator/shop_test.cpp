#include <algorithm>

#include "game/trainer/Weapon_Tables.h"
#include "tests/game/simulator/simulator_fixture.h"

namespace {

constexpr int kGun_List = 1, kGun_Value_1 = 4, kGun_Value_2 = 6, kGun_Upgrade = 7, kGun_Buy = 8;
constexpr int kAttachment_List = 9, kAttachment_Value = 12, kAttachment_Upgrade = 13, kAttachment_Buy = 14;

class Shop : public SimulatorScreen {
 protected:
  void SetUp() override {
    SimulatorScreen::SetUp();
    Open(2);
  }
  static int Gun_Row(const char* name) {
    for (size_t i = 0; i < g_Weapon_Table.size(); ++i)
      if (g_Weapon_Table[i].Name == name) return static_cast<int>(i);
    return -1;
  }
  static void Select_Gun(const char* name) { ASSERT_TRUE(List(kGun_List)->Select_Row(Gun_Row(name))); }
  static int Attachment_Row(const char* name) {
    const CMenuItem_List* list = List(kAttachment_List);
    for (int i = 0; list && i < list->Row_Count(); ++i)
      if (list->m_Rows[i].text == name) return i;
    return -1;
  }
  static std::vector<std::string> Attachment_Names() {
    std::vector<std::string> names;
    for (const CMenuItem_List::Row& row : List(kAttachment_List)->m_Rows) names.push_back(row.text);
    return names;
  }
};

TEST_F(Shop, ANewAccountOwnsOnlyTheSelectedLightningGun) {
  account().m_Access_Level = 1;
  screen().Build_Layout(2);
  const CMenuItem_List* guns = List(kGun_List);
  ASSERT_NE(guns, nullptr);
  ASSERT_EQ(guns->Row_Count(), 5);
  struct Expect {
    const char* name;
    uint32_t colour;
  } rows[] = {{"Lightning Gun", 0xffffff88},
              {"Steel Ball Gun", 0x88888888},
              {"Machine Gun", 0x88888888},
              {"Dual Cradle Missile Launcher", 0x88888888},
              {"Shell-Shot Cannon", 0x88aa8888}};
  for (const Expect& e : rows) EXPECT_EQ(guns->m_Rows[Gun_Row(e.name)].colour, e.colour) << e.name;
  EXPECT_EQ(guns->m_Selected, Gun_Row("Lightning Gun"));
  EXPECT_EQ(Button(kGun_Buy)->m_Caption, "Select Weapon");
  EXPECT_FALSE(Enabled(kGun_Buy)) << "the selected gun cannot be selected again";
  EXPECT_EQ(Text(kGun_Value_1), "Not Upgraded");
  for (const char* other : {"Steel Ball Gun", "Machine Gun", "Shell-Shot Cannon"}) {
    Select_Gun(other);
    EXPECT_EQ(Button(kGun_Buy)->m_Caption, "Purchase") << other;
    EXPECT_FALSE(Enabled(kGun_Upgrade)) << other;
  }
  EXPECT_FALSE(Enabled(kGun_Buy)) << "the cannon needs level 2";
}

TEST_F(Shop, TheMachineGunNeedsLevelOneAndFifteenThousandCredits) {
  account().m_Credits = 15000;
  Select_Gun("Machine Gun");
  EXPECT_FALSE(Enabled(kGun_Buy)) << "level 0";
  screen().Buy_Or_Select_Weapon();
  EXPECT_EQ(account().m_Credits, 15000u);
  EXPECT_EQ(account().m_Owned_Guns & (1u << 2), 0u);

  account().m_Access_Level = 1;
  screen().Build_Layout(2);
  Select_Gun("Machine Gun");
  EXPECT_TRUE(Enabled(kGun_Buy));
  screen().Buy_Or_Select_Weapon();
  EXPECT_EQ(account().m_Credits, 0u);
  EXPECT_EQ(account().m_Current_Gun, 2u);
  EXPECT_EQ(Saved_Account().m_Current_Gun, 2u) << "a purchase is saved at once";
  EXPECT_EQ(Saved_Account().m_Credits, 0u);

  // Selecting an owned gun stays in memory until the next save.
  Select_Gun("Lightning Gun");
  screen().Buy_Or_Select_Weapon();
  EXPECT_EQ(account().m_Current_Gun, 4u);
  EXPECT_EQ(Saved_Account().m_Current_Gun, 2u);
}

TEST_F(Shop, TooFewCreditsOpenTheDialogAndChangeNothing) {
  account().m_Access_Level = 1;
  account().m_Credits = 14999;
  screen().Build_Layout(2);
  Select_Gun("Machine Gun");
  screen().Buy_Or_Select_Weapon();
  EXPECT_EQ(Dialog_Line(0), "Insufficient Credits for Weapon");
  EXPECT_EQ(account().m_Credits, 14999u);
  g_Modal_Dlg.Term();
  account().m_Credits = 100;
  Select_Gun("Lightning Gun");
  screen().Upgrade_Weapon();
  EXPECT_EQ(Dialog_Line(0), "Insufficient Credits for Upgrade");
  g_Modal_Dlg.Term();
  ASSERT_GE(Attachment_Row("Overhead Bullet Spray"), 0);
  List(kAttachment_List)->Select_Row(Attachment_Row("Overhead Bullet Spray"));
  screen().Buy_Or_Select_Attachment();
  EXPECT_EQ(Dialog_Line(0), "Insufficient Credits for Secondary Attachment");
  EXPECT_EQ(account().m_Credits, 100u);
}

TEST_F(Shop, LightningGunUpgradesCostMoreEachLevelAndStopAtTen) {
  account().m_Credits = 1000000;
  screen().Build_Layout(2);
  std::vector<uint32_t> costs;
  for (int i = 0; i < 11; ++i) {
    const uint32_t before = account().m_Credits;
    Select_Gun("Lightning Gun");
    screen().Upgrade_Weapon();
    costs.push_back(before - account().m_Credits);
  }
  EXPECT_EQ(costs[0], 2250u);
  EXPECT_EQ(costs[1], 3375u);
  EXPECT_EQ(costs[9], 12375u);
  EXPECT_EQ(costs[10], 0u) << "no eleventh level";
  EXPECT_EQ(account().m_Gun_Levels[4], 10);
  EXPECT_FALSE(Enabled(kGun_Upgrade));
  EXPECT_EQ(Text(kGun_Value_1), "+ 40%");
  EXPECT_EQ(Text(kGun_Value_2), "+ 60%");
  EXPECT_EQ(Saved_Account().m_Gun_Levels[4], 10) << "upgrades are saved";
}

TEST_F(Shop, TheLaserScopeHasNoUpgrade) {
  account().m_Credits = 350;
  screen().Build_Layout(2);
  Select_Gun("Steel Ball Gun");
  account().m_Owned_Guns |= 1u << 1;
  account().m_Current_Gun = 1;
  screen().Build_Layout(2);
  ASSERT_GE(Attachment_Row("Laser Scope"), 0);
  List(kAttachment_List)->Select_Row(Attachment_Row("Laser Scope"));
  EXPECT_EQ(Button(kAttachment_Buy)->m_Caption, "Purchase");
  screen().Buy_Or_Select_Attachment();
  EXPECT_EQ(account().m_Credits, 0u);
  EXPECT_EQ(account().m_Current_Attachment, 1u);
  EXPECT_EQ(Text(kAttachment_Value), "");
  EXPECT_FALSE(Enabled(kAttachment_Upgrade));
}

TEST_F(Shop, TheAttachmentListFollowsTheSelectedGun) {
  EXPECT_EQ(Attachment_Names(), (std::vector<std::string>{"None", "Overhead Bullet Spray", "Auto-Aim Laser"}));
  account().m_Credits = 10000;
  Select_Gun("Steel Ball Gun");
  screen().Buy_Or_Select_Weapon();
  EXPECT_EQ(Attachment_Names(), (std::vector<std::string>{"None", "Laser Scope", "Overhead Bullet Spray",
                                                          "Auto-Aim Laser", "Smart Bomb", "Energy Pulse"}));
}

TEST_F(Shop, OutOfRangeKindsAndLevelsReadSafely) {
  account().m_Current_Gun = 99;
  account().m_Current_Attachment = 77;
  account().m_Gun_Levels[4] = 200;
  account().m_Attachment_Levels[2] = 90;
  account().m_Owned_Attachments = 1u << 2;
  screen().Build_Layout(2);
  EXPECT_EQ(Attachment_Names(), (std::vector<std::string>{"None"})) << "no gun selected, only none";
  account().m_Current_Gun = 4;
  screen().Build_Layout(2);
  Select_Gun("Lightning Gun");
  EXPECT_EQ(Text(kGun_Value_1), "+ 40%") << "a level past ten counts as ten";
  EXPECT_FALSE(Enabled(kGun_Upgrade));
  List(kAttachment_List)->Select_Row(Attachment_Row("Overhead Bullet Spray"));
  EXPECT_EQ(Text(kAttachment_Value), "+ 5");
  EXPECT_FALSE(Enabled(kAttachment_Upgrade));
}

TEST_F(Shop, WithNoAccountLoadedTheShopWritesNothing) {
  account().m_Access_Level = 1;
  account().m_Credits = 50000;
  ASSERT_TRUE(account().Save());
  screen().Build_Layout(2);
  Select_Gun("Machine Gun");
  account().Clear();
  screen().Buy_Or_Select_Weapon();
  screen().Upgrade_Weapon();
  EXPECT_FALSE(account().m_Loaded);
  const CClient_Data saved = Saved_Account();
  EXPECT_EQ(saved.m_Credits, 50000u);
  EXPECT_EQ(saved.m_Owned_Guns & (1u << 2), 0u);
}

TEST_F(Shop, TheProfileShowsTheUserAndRanks) {
  account().m_Credits = 1234567;
  screen().Build_Layout(2);
  std::vector<std::string> texts;
  for (const CMenuItem* item : screen().m_Panel.Items())
    if (item->m_Kind == kItem_Text && item->m_Id == 0)
      texts.push_back(static_cast<const CMenuItem_Text*>(item)->m_Lines.empty()
                          ? ""
                          : static_cast<const CMenuItem_Text*>(item)->m_Lines[0]);
  auto has = [&texts](const std::string& text) { return std::find(texts.begin(), texts.end(), text) != texts.end(); };
  EXPECT_TRUE(has("pilot"));
  EXPECT_TRUE(has("1,234,567"));
  EXPECT_TRUE(has("Not Ranked")) << "a user without scores";
  g_Communications_Mgr.m_Rank_Data.Insert_Score(std::to_string(0x220001bd).c_str(), "pilot", 4000000000u, 0, true);
  screen().Build_Layout(2);
  bool first_place = false;
  for (const CMenuItem* item : screen().m_Panel.Items())
    if (item->m_Kind == kItem_Text && !static_cast<const CMenuItem_Text*>(item)->m_Lines.empty() &&
        static_cast<const CMenuItem_Text*>(item)->m_Lines[0] == "1st")
      first_place = true;
  EXPECT_TRUE(first_place);
}

}  // namespace
