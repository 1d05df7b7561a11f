#include <cmath>
#include <cstring>
#include <set>

#include "game/core/CFrame_Info.h"
#include "game/fx/FX_Resources.h"
#include "game/menu/CMenuItem_Edit.h"
#include "runtime/src/render/sys/pc/renderstatemgr.h"
#include "tests/game/simulator/simulator_fixture.h"

namespace {

class ForumPages : public SimulatorScreen {
 protected:
  static uint32_t Post(const char* author, uint16_t type, const char* recipient, const char* subject) {
    Forum_Message message;
    Clear_Message_Record(message.Record);
    message.Record.Id = 0x04000000u | static_cast<uint32_t>(forum().m_Posted.size() + 1);
    message.Record.Type = type;
    std::strcpy(message.Record.Author, author);
    std::strcpy(message.Record.Recipient, recipient);
    std::strcpy(message.Record.Subject, subject);
    message.Text = std::string("Text of ") + subject;
    EXPECT_TRUE(forum().Post(message, 0.0f, false));
    return forum().m_Posted.back().Record.Id;
  }
  static std::set<std::string> Listed_Subjects() {
    std::set<std::string> subjects;
    if (CMenuItem_List* list = List(1))
      for (const CMenuItem_List::Row& row : list->m_Rows) subjects.insert(row.columns.at(1));
    return subjects;
  }
  static void Type(int field, const std::string& text) {
    auto* edit = static_cast<CMenuItem_Edit*>(screen().m_Panel.Find_Item(field, kItem_Edit));
    ASSERT_NE(edit, nullptr);
    edit->Set_Text(text.c_str());
  }
};

TEST_F(ForumPages, ADeletedMessageStaysHiddenAfterAReload) {
  Open(1);
  Post("Kastor", kMessage_Public, "", "Keep me");
  Post("Kastor", kMessage_Public, "", "Throw me away");
  screen().Build_Layout(3);
  ASSERT_EQ(Listed_Subjects(), (std::set<std::string>{"Keep me", "Throw me away"}));
  CMenuItem_List* list = List(1);
  for (int i = 0; i < list->Row_Count(); ++i)
    if (list->m_Rows[i].columns[1] == "Throw me away") list->Select_Row(i);
  screen().On_Char('.', 0);
  EXPECT_EQ(Listed_Subjects(), (std::set<std::string>{"Keep me"}));
  Reopen(3);
  EXPECT_EQ(Listed_Subjects(), (std::set<std::string>{"Keep me"}));
}

TEST_F(ForumPages, AnotherUsersPrivateMessageIsNotListed) {
  Open(1);
  Post("Kastor", kMessage_Private, "someone_else", "Not yours");
  Post("Kastor", kMessage_Public, "", "For all");
  screen().Build_Layout(3);
  EXPECT_EQ(Listed_Subjects(), (std::set<std::string>{"For all"}));
}

TEST_F(ForumPages, ReadingAMessageMarksItReadAndAGoneMessageShowsNoText) {
  Open(1);
  const uint32_t id = Post("Kastor", kMessage_Public, "", "Hello");
  screen().Build_Layout(3);
  List(1)->Select_Row(0);
  EXPECT_EQ(Text(2), "Text of Hello");
  EXPECT_EQ(account().m_Read_Set.count(id), 1u);
  forum().m_Posted.clear();
  screen().Show_Message_Info(0);
  EXPECT_EQ(Text(2), "") << "the message is gone";
}

TEST_F(ForumPages, SendingNeedsATitleAndABody) {
  Open(3);
  struct Case {
    const char* title;
    const char* body;
    const char* first;
    const char* second;
  } cases[] = {
      {"", "", "Empty message.", "Press the 'Cancel Message' button to abort."},
      {"Subject", "", "Message body not specified.", "Messages without a body are not allowed."},
      {"", "Body", "No title specified for message.", "Messages without titles are not allowed."},
  };
  const size_t posted = forum().m_Posted.size();
  for (const Case& c : cases) {
    screen().Compose_Message();
    ASSERT_EQ(screen().m_Current_Tab, 4);
    Type(1, c.title);
    Type(2, c.body);
    screen().Send_Message();
    EXPECT_EQ(Dialog_Line(0), c.first);
    EXPECT_EQ(Dialog_Line(1), c.second);
    EXPECT_EQ(screen().m_Current_Tab, 4) << "the page keeps the typed text";
    g_Modal_Dlg.Term();
  }
  EXPECT_EQ(forum().m_Posted.size(), posted);
}

TEST_F(ForumPages, ASentMessageIsPostedWithItsTitleCutTo127) {
  Open(3);
  const uint32_t posts = account().m_Forum_Posts;
  screen().Compose_Message();
  Type(1, std::string(200, 't'));
  Type(2, "The body.");
  screen().Send_Message();
  EXPECT_FALSE(g_Modal_Dlg.Is_Open());
  EXPECT_EQ(screen().m_Current_Tab, 3);
  const Forum_Message* found = nullptr;
  for (const Forum_Message& message : forum().m_Posted)
    if (std::string(message.Record.Author) == "pilot") found = &message;
  ASSERT_NE(found, nullptr);
  const Forum_Message& sent = *found;
  EXPECT_EQ(std::string(sent.Record.Subject), std::string(127, 't'));
  EXPECT_EQ(std::string(sent.Record.Author), "pilot");
  EXPECT_EQ(sent.Record.Type, kMessage_Public);
  EXPECT_EQ(sent.Text, "The body.");
  EXPECT_EQ(account().m_Forum_Posts, posts + 1);
}

TEST_F(ForumPages, EscapeCancelsAndTabMovesTheFocus) {
  Open(3);
  screen().Compose_Message();
  ASSERT_NE(screen().m_Panel.Get_Focus(), nullptr);
  EXPECT_EQ(screen().m_Panel.Get_Focus()->m_Id, 1);
  screen().On_Char(9, 0);
  EXPECT_EQ(screen().m_Panel.Get_Focus()->m_Id, 2);
  screen().On_Char('x', 0);
  std::string body;
  screen().m_Panel.Get_Focus()->Get_Text(body);
  EXPECT_EQ(body, "x");
  screen().On_Char(27, 0);
  EXPECT_EQ(screen().m_Current_Tab, 3);
}

TEST_F(ForumPages, TheBriefingsDifficultyFollowsTheLevelAndChoosesItsRegion) {
  Open(1);
  const std::string easy = "A light infection has been reported. Fly in, find the source and clean it out.";
  struct Case {
    uint32_t level;
    std::set<int> regions;
    size_t kinds_of_text;
  } cases[] = {{1, {1, 4, 5}, 1}, {4, {1, 2, 3, 4, 5, 6, 7, 8}, 3}};
  for (const Case& c : cases) {
    account().m_Access_Level = c.level;
    std::set<std::string> texts;
    plat::Seed_Random(11);
    for (int draw = 0; draw < 40; ++draw) {
      forum().m_Delivered.clear();
      const std::string text = screen().Pick_Mission_Message();
      texts.insert(text);
      EXPECT_TRUE(c.regions.count(g_WarRoom_Target_Region)) << c.level << " " << g_WarRoom_Target_Region;
      if (c.level == 1) {
        EXPECT_EQ(text, easy);
      }
    }
    EXPECT_EQ(texts.size(), c.kinds_of_text) << c.level;
  }
}

// ---------------------------------------------------------------------------------------------
// Drawing

TEST(Rotation_From_Euler, TurnsTheAxesAsItsAnglesSay) {
  const float half = 3.14159265f / 2.0f;
  struct Case {
    float yaw, pitch, roll;
    float row0[3], row1[3], row2[3];
  } cases[] = {
      {0, 0, 0, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
      {half, 0, 0, {0, 0, -1}, {0, 1, 0}, {1, 0, 0}},
      {0, half, 0, {1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
      {0, 0, half, {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
      {0, -half, half, {0, 0, -1}, {-1, 0, 0}, {0, 1, 0}},
  };
  for (const Case& c : cases) {
    const CMatrix4x4 m = Rotation_From_Euler(c.yaw, c.pitch, c.roll);
    const float* rows[3] = {c.row0, c.row1, c.row2};
    for (int r = 0; r < 3; ++r)
      for (int k = 0; k < 3; ++k) EXPECT_NEAR(m.m[r][k], rows[r][k], 1e-5f) << c.yaw << c.pitch << c.roll << r << k;
    for (int k = 0; k < 3; ++k) EXPECT_EQ(m.m[3][k], 0.0f);
    EXPECT_EQ(m.m[3][3], 1.0f);
  }
}

TEST_F(SimulatorScreen, NothingIsDrawnClosedAndTheBeamsStandStillWithoutAnAlert) {
  Open(1);
  CFrame_Info frame;
  frame.Delta = frame.Unpaused_Delta = 1.0f;
  screen().m_Alert_Pending = true;
  screen().m_Beam_Fade = 0.0f;
  screen().m_Anim_State = CMenu_Simulator::kClosed;
  screen().Render(frame);
  EXPECT_EQ(screen().m_Beam_Fade, 0.0f) << "a closed screen draws nothing";
  screen().m_Anim_State = CMenu_Simulator::kOpen;
  screen().Render(frame);
  EXPECT_NEAR(screen().m_Beam_Fade, 0.1f, 1e-6f) << "the beams fade in while the alert is pending";

  screen().m_Alert_Pending = false;
  screen().m_Beam_Fade = 0.0f;
  const float angle = g_Sim_Alert_Angle;
  screen().Render(frame);
  EXPECT_EQ(g_Sim_Alert_Angle, angle);
}

TEST_F(SimulatorScreen, TheBackdropAlphaIsCutAt255AndTheHighlightRestoresNormalisation) {
  Open(1);
  CFrame_Info frame;
  screen().m_Backdrop_Fade = 1.3f;  // flicker x fade would pass 255
  screen().m_Blink = 0.5f;
  g_pRenderStateMgr->SetRenderState(D3DRS_NORMALIZENORMALS, 1);
  screen().Render(frame);
  EXPECT_EQ(screen().m_Outer_Quad[0].color >> 24, 255u);
  EXPECT_EQ(screen().m_Outer_Quad[0].color & 0xffffff, 0x8888aau);
  EXPECT_EQ(g_pRenderStateMgr->GetRenderState(D3DRS_NORMALIZENORMALS), 0u) << "set back after the highlight";
  screen().m_Blink = 0.0f;
  g_pRenderStateMgr->SetRenderState(D3DRS_NORMALIZENORMALS, 1);
  screen().Render(frame);
  EXPECT_EQ(g_pRenderStateMgr->GetRenderState(D3DRS_NORMALIZENORMALS), 1u) << "no highlight, no change";
}

TEST_F(SimulatorScreen, AResourceThatCannotBeHadStopsTheScreen) {
  struct Case {
    uint32_t id;
    const char* message;
  } cases[] = {
      {0x22000067, "Error in CMenu_Simulator\nUnable to create renderable object..."},
      {0x2200006a, "Error in CMenu_Simulator\nUnable to load texture..."},
      {0x220000cf, "Error in CMenu_Simulator\nUnable to create texture..."},
      {0x2200006b, "Error in CMenu_Simulator\nUnable to shader..."},
      {0x2200002e, "Error in CMenu_Simulator\nUnable to load shader..."},
  };
  screen().Term();
  for (const Case& c : cases) {
    messages.clear();
    const uint32_t refused = c.id;
    fx::Set_Resource_Filter([refused](uint32_t id) { return id != refused; });
    EXPECT_FALSE(screen().Init());
    fx::Set_Resource_Filter(nullptr);
    EXPECT_FALSE(screen().m_Initialised);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back(), c.message);
    for (CRenderableObject* held : screen().m_Renderables) EXPECT_EQ(held, nullptr);
  }
  EXPECT_TRUE(screen().Init());
}

}  // namespace
