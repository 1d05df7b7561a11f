// The attachment base, the charge display and the charge-and-cooldown protocol the four charged
// attachments share, with the War Room carry of charges between missions.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/core/CGame_State.h"
#include "game/player/CAttach_Bullet_Spray.h"
#include "game/player/CAttach_Energy_Pulse.h"
#include "game/player/CAttach_Laser.h"
#include "game/player/CAttach_Laser_Pointer.h"
#include "game/player/CAttach_Smart_Bomb.h"
#include "game/player/CAttachment_Display.h"
#include "game/player/CPlayer.h"
#include "game/warroom/CWarRoom_Sim.h"
#include "tests/game/player/arsenal_fixture.h"
#include "tests/game/player/view_probe.h"

namespace {

using arsenal_test::Arsenal;
using arsenal_test::Counted_Resources;

constexpr int kSteel_Ball = 1, kMachine = 2, kCannon = 5;

CAttachment_Charged* Charged() { return dynamic_cast<CAttachment_Charged*>(g_Player.m_Gun->m_Attachment); }

class Attachments : public Arsenal {
 protected:
  void TearDown() override {
    g_WarRoom_Sim.Clear_Region();
    g_WarRoom_Sim.m_Attachment_Carry = -1;
    Arsenal::TearDown();
  }
  // Launches a War Room mission (starting the campaign when none runs) with the loadout.
  void Launch_Mission(int gun, int attachment, int attachment_level) {
    std::ostringstream s;
    s << "loadout " << gun << " " << attachment << " 0 " << attachment_level << "\ncommand 4\ncommand 8 1 0x220003E1 0x220003F1\nframes 2\n";
    std::string error;
    ASSERT_TRUE(harness.Run_Script(s.str(), harness.Work_Dir(), &error)) << error;
    ASSERT_TRUE(g_WarRoom_Sim.m_Initialised);
    ASSERT_NE(g_Player.m_Gun, nullptr);
  }
  // Leaves the mission for the War Room.
  void End_Mission() {
    std::string error;
    ASSERT_TRUE(harness.Run_Script("command 4\nframes 2\n", harness.Work_Dir(), &error)) << error;
    EXPECT_EQ(g_Player.m_Gun, nullptr);
  }
};

TEST_F(Attachments, ChargesAreTheBasePlusTheLevelValueAndNeverMoreThanNine) {
  struct Case {
    int gun, attachment, level, charges;
  };
  const Case cases[] = {
      {kSteel_Ball, 2, 0, 3}, {kSteel_Ball, 2, 2, 5}, {kSteel_Ball, 3, 0, 1}, {kMachine, 4, 3, 4},
      {kCannon, 5, 0, 4},     {kCannon, 5, 5, 9},     {kCannon, 5, 7, 9},     {kSteel_Ball, 2, 9, 9},
  };
  for (const Case& c : cases) {
    Launch(c.gun, c.attachment, 0, c.level);
    ASSERT_NE(Charged(), nullptr) << c.gun << " " << c.attachment;
    EXPECT_EQ(Charged()->m_Kind, c.attachment);
    EXPECT_EQ(Charged()->m_Display.m_Charges, c.charges) << c.attachment << " level " << c.level;
    EXPECT_EQ(Charged()->m_Display.m_Initial_Charges, c.charges);
    EXPECT_TRUE(Charged()->m_Display.m_Ready);
    EXPECT_FALSE(Charged()->m_Fire_Request);
  }
}

TEST_F(Attachments, AHeldButtonUsesAChargeEachTimeTheCooldownEndsUntilNoneAreLeft) {
  struct Case {
    int gun, attachment;
    float cooldown;
  };
  const Case cases[] = {{kSteel_Ball, 2, 4.0f}, {kSteel_Ball, 3, 6.0f}, {kSteel_Ball, 4, 6.0f}, {kCannon, 5, 4.0f}};
  for (const Case& c : cases) {
    Launch(c.gun, c.attachment, 0, 2);
    CAttachment_Charged* a = Charged();
    ASSERT_NE(a, nullptr);
    const int start = a->m_Display.m_Charges;
    EXPECT_FALSE(g_Player.Fire_Attachment());
    EXPECT_TRUE(a->m_Fire_Request);
    a->Update(0.01f);
    EXPECT_EQ(a->m_Display.m_Charges, start - 1) << c.attachment;
    EXPECT_FLOAT_EQ(a->m_Cooldown, c.cooldown) << c.attachment;
    EXPECT_FALSE(a->m_Display.m_Ready);
    EXPECT_FLOAT_EQ(a->m_Display.m_Flash, 1.0f - 0.01f) << "set by the use, then falling by dt";
    a->Fire();  // a second press during the cooldown changes nothing
    a->Update(c.cooldown - 0.1f);
    EXPECT_EQ(a->m_Display.m_Charges, start - 1) << "still cooling down";
    a->Update(0.2f);
    EXPECT_EQ(a->m_Display.m_Charges, start - 2) << "the held button used another as the cooldown ended";
    for (int i = 0; i < 20; ++i) a->Update(c.cooldown);
    EXPECT_EQ(a->m_Display.m_Charges, 0);
    EXPECT_TRUE(a->m_Display.m_Hidden) << "the last charge hides the device";
    EXPECT_TRUE(a->m_Fire_Request) << "the request stays until the button is released";
    g_Player.Release_Fire_Attachment();
    EXPECT_FALSE(a->m_Fire_Request);
    a->Fire();
    EXPECT_FALSE(a->m_Fire_Request) << "with none left a press only clicks";
  }
}

TEST_F(Attachments, AReleaseStopsTheUsesAndAPausedPressRequestsNothing) {
  Launch(kSteel_Ball, 2);
  CAttachment_Charged* a = Charged();
  a->Fire();
  a->Update(0.01f);
  EXPECT_EQ(a->m_Display.m_Charges, 2);
  a->Cancel_Fire();
  for (int i = 0; i < 5; ++i) a->Update(4.0f);
  EXPECT_EQ(a->m_Display.m_Charges, 2) << "after the release nothing more is used";
  EXPECT_TRUE(a->m_Display.m_Ready);
  Set_Game_Paused(true);
  g_Player.Fire_Attachment();
  EXPECT_FALSE(a->m_Fire_Request);
  Set_Game_Paused(false);
}

TEST_F(Attachments, ACampaignCarriesTheChargesLeftIntoTheNextMission) {
  Launch(kSteel_Ball);
  Launch_Mission(kSteel_Ball, 2, 1);
  EXPECT_EQ(Charged()->m_Display.m_Charges, 4) << "the first mission gets the full count";
  Charged()->Fire();
  Charged()->Update(0.01f);
  End_Mission();
  EXPECT_EQ(g_WarRoom_Sim.m_Attachment_Carry, 3);
  Launch_Mission(kCannon, 5, 5);
  EXPECT_EQ(Charged()->m_Display.m_Charges, 3) << "whichever attachment is carried next takes the count";
  End_Mission();
  Launch_Mission(kSteel_Ball, 4, 0);
  EXPECT_EQ(Charged()->m_Display.m_Charges, 3) << "the carry survives a second launch";
  End_Mission();

  struct Damaged {
    int carry, charges;
  };
  for (const Damaged& d : {Damaged{15, 9}, Damaged{-7, 0}, Damaged{0, 0}}) {
    g_WarRoom_Sim.m_Attachment_Carry = d.carry;
    Launch_Mission(kSteel_Ball, 2, 0);
    EXPECT_EQ(Charged()->m_Display.m_Charges, d.charges) << d.carry;
    End_Mission();
  }
  std::string error;
  ASSERT_TRUE(harness.Run_Script("command 3\nframes 2\n", harness.Work_Dir(), &error)) << error;
  g_WarRoom_Sim.m_Attachment_Carry = 1;
  Launch(kSteel_Ball, 2);
  EXPECT_FALSE(g_WarRoom_Sim.m_Initialised);
  EXPECT_EQ(Charged()->m_Display.m_Charges, 3) << "outside a campaign the carry is not read";
  g_Player.Release_Gun();
  EXPECT_EQ(g_WarRoom_Sim.m_Attachment_Carry, 1) << "nor written";
  g_WarRoom_Sim.Init(2);
  EXPECT_EQ(g_WarRoom_Sim.m_Attachment_Carry, -1) << "a new campaign carries nothing";
}

TEST_F(Attachments, TheDeviceSlidesAtItsRatesAndTheFlagHidesIt) {
  Launch(kSteel_Ball, 2);
  CAttachment_Display& d = Charged()->m_Display;
  struct Case {
    uint8_t hidden;
    int charges;
    float fade, flash, dt, want_fade, want_flash;
  };
  const Case cases[] = {
      {0, 3, 0.0f, 0.0f, 2.0f, 0.3f, 0.0f},  // showing: in at 0.15 a second
      {0, 3, 0.95f, 1.0f, 1.0f, 1.0f, 0.0f},   // up to 1; the flash falls by dt
      {1, 3, 1.0f, 1.0f, 2.0f, 0.3f, 0.0f},  // hidden with charges: out at 0.35
      {1, 0, 1.0f, 0.5f, 2.0f, 0.7f, 0.0f},  // hidden and empty: out at 0.15
      {1, 3, 0.1f, 0.9f, 0.5f, 0.0f, 0.4f},   // never below 0
  };
  for (const Case& c : cases) {
    d.m_Hidden = c.hidden;
    d.m_Charges = c.charges;
    d.m_Fade = c.fade;
    d.m_Flash = c.flash;
    d.Update(c.dt);
    EXPECT_NEAR(d.m_Fade, c.want_fade, 1e-5f) << int(c.hidden) << " " << c.charges << " " << c.fade;
    EXPECT_NEAR(d.m_Flash, c.want_flash, 1e-5f);
  }
  d.m_Charges = 2;
  Charged()->Set_Flag(1);
  EXPECT_TRUE(d.m_Hidden);
  Charged()->Fire();
  Charged()->Update(0.01f);
  EXPECT_EQ(d.m_Charges, 1) << "a hidden device still fires";
  d.m_Charges = 0;
  Charged()->Set_Flag(0);
  EXPECT_FALSE(d.m_Hidden) << "the flag shows the device even when empty";
}

TEST_F(Attachments, TheDisplayFailsCleanlyAtEachResource) {
  Launch(kSteel_Ball);
  CAttachment_Display display;
  std::set<uint32_t> ids;
  {
    Counted_Resources resources;
    ASSERT_TRUE(display.Init(0x22000177));
    EXPECT_TRUE(display.m_Loaded);
    ids = resources.counts.requested;
    display.Term();
    EXPECT_EQ(resources.counts.outstanding, 0);
  }
  EXPECT_EQ(ids, (std::set<uint32_t>{0x22000174, 0x22000175, 0x22000043, 0x220000A1, 0x2200002E, 0x2200002A,
                                     0x22000177}));
  struct Failure {
    uint32_t id;
    const char* what;
  };
  const Failure failures[] = {{0x22000174, "Unable to create renderable object..."},
                              {0x22000175, "Unable to create renderable object..."},
                              {0x22000043, "Unable to load shader..."},
                              {0x2200002E, "Unable to load shader..."},
                              {0x2200002A, "Unable to load texture..."},
                              {0x22000177, "Unable to load texture..."}};
  for (const Failure& f : failures) {
    messages.clear();
    Counted_Resources resources;
    resources.counts.failing_id = f.id;
    EXPECT_FALSE(display.Init(0x22000177)) << std::hex << f.id;
    EXPECT_FALSE(display.m_Loaded);
    EXPECT_EQ(resources.counts.outstanding, 0) << std::hex << f.id;
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], std::string("Error in CAttachment_Display\n") + f.what);
  }
}

// The display's lights in their colours: the last light turns from the waiting blue to the
// ready yellow when the cooldown ends, and the flash of a use shows one more light in red. The
// lights add their light: they are measured over the dark ground, the device left out.
TEST_F(Attachments, TheDisplaysLightsShowTheirColours) {
  Launch(kSteel_Ball, 2);
  ASSERT_NE(Charged(), nullptr);
  CAttachment_Display& d = Charged()->m_Display;
  CRenderableObject* const device = d.m_Device_Model;
  d.m_Device_Model = nullptr;
  std::vector<uint32_t> pixels[3];
  uint32_t w = 0, h = 0;
  auto draw = [&](bool ready, float flash, std::vector<uint32_t>& into) {
    d.m_Fade = 1.0f;
    d.m_Hidden = 0;
    d.m_Ready = ready;
    d.m_Flash = flash;
    Charged()->m_Cooldown = ready ? 0.0f : 10.0f;
    harness.Step(1, 1);
    ASSERT_TRUE(harness.Read_Back(into, w, h));
    if (const char* dir = std::getenv("VT_RUN_SHOTS"))
      harness.Save_Png(std::string(dir) + "/display_lights_" + (ready ? "ready" : flash > 0.0f ? "used" : "waiting") + ".png");
  };
  draw(false, 0.0f, pixels[0]);
  draw(true, 0.0f, pixels[1]);
  draw(false, 1.0f, pixels[2]);
  // How the pixels that changed from the waiting picture changed, channel by channel, summed.
  struct Change {
    int64_t r = 0, g = 0, b = 0;
    int count = 0;
  };
  auto change_to = [&](const std::vector<uint32_t>& other) {
    Change c;
    for (size_t i = 0; i < other.size(); ++i) {
      int d[3];
      for (int k = 0; k < 3; ++k) d[k] = int((other[i] >> (16 - 8 * k)) & 0xff) - int((pixels[0][i] >> (16 - 8 * k)) & 0xff);
      if (std::abs(d[0]) + std::abs(d[1]) + std::abs(d[2]) < 30) continue;
      c.r += d[0], c.g += d[1], c.b += d[2];
      ++c.count;
    }
    return c;
  };
  const Change ready = change_to(pixels[1]);
  ASSERT_GT(ready.count, 10) << "the ready light differs from a waiting one";
  // From blue (0.6, 0.6, 0.9) to yellow (0.8, 0.8, 0.5): less blue, and no less red (the red of
  // both may already be full).
  EXPECT_LT(ready.b, -10 * ready.count) << "less blue";
  EXPECT_GE(ready.r, 0) << "no less red";
  EXPECT_LT(ready.b, ready.r - 10 * ready.count);
  const Change used = change_to(pixels[2]);
  ASSERT_GT(used.count, 10) << "the flash shows one more light";
  EXPECT_GT(used.r, used.g + 10 * used.count) << "in red (0.5, 0.3, 0.3)";
  EXPECT_GT(used.r, used.b + 10 * used.count);
  d.m_Device_Model = device;
}

// The display's lights read in the picture in the very colours they are drawn in: the waiting
// blue (0.6, 0.6, 0.9), the ready yellow (0.8, 0.8, 0.5) of the last light and the red
// (0.5, 0.3, 0.3) of a used charge's flash; all nine lights of a full load are in view. The icon
// is a 0.446-unit square 1.5 units left of and 0.35 above the device's place, and a strong shake
// moves the device only by the view's small turn.
TEST_F(Attachments, TheDisplayShowsItsLightsColoursAndItsIconInPlace) {
  Launch(kSteel_Ball, 2);
  CAttachment_Display& d = Charged()->m_Display;
  CRenderableObject* const lights = d.m_Light_Model;
  const auto show_lights = [&](bool shown) { d.m_Light_Model = shown ? lights : nullptr; };
  const auto set = [&](int charges, bool ready, float flash) {
    d.m_Charges = d.m_Initial_Charges = charges;
    d.m_Fade = 1.0f;
    d.m_Hidden = 0;
    d.m_Ready = ready;
    d.m_Flash = flash;
    Charged()->m_Cooldown = ready ? 0.0f : 10.0f;
  };
  // The lower right of the view.
  const view_probe::Region corner{400, 420, 800, 600};
  constexpr uint32_t kWaiting = 0x9999E5, kReady = 0xCCCC7F, kUsed = 0x7F4C4C;
  struct Case {
    const char* name;
    int charges;
    bool ready;
    float flash;
    std::vector<uint32_t> colours;  // left to right
  };
  // Two charges left, the last one ready, and the flash of the one just used after them.
  const Case cases[] = {
      {"used", 2, true, 1.0f, {kWaiting, kReady, kUsed}},
      {"full", 9, true, 0.0f, {kWaiting, kWaiting, kWaiting, kWaiting, kWaiting, kWaiting, kWaiting, kWaiting, kReady}},
  };
  view_probe::Box used;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    set(c.charges, c.ready, c.flash);
    const view_probe::Frame_Pair pair =
        view_probe::Draw_With_And_Without(harness, show_lights, 0.0f, 0, std::string("display_") + c.name + ".png");
    const view_probe::Box box = view_probe::Changed(pair, corner);
    ASSERT_FALSE(box.Empty());
    if (c.flash > 0.0f) used = box;
    EXPECT_LT(box.right, int(pair.width) - 1) << "every light in view";
    // The lights left to right along the row through their middle, each read at its centre.
    const int y = (box.top + box.bottom) / 2;
    std::vector<uint32_t> seen;
    for (int x = box.left; x <= box.right; ++x) {
      const size_t at = size_t(y) * pair.width;
      if (!view_probe::Differs(pair.shown[at + x], pair.hidden[at + x], 24)) continue;
      int end = x;
      while (end + 1 <= box.right && view_probe::Differs(pair.shown[at + end + 1], pair.hidden[at + end + 1], 24)) ++end;
      seen.push_back(pair.shown[at + (x + end) / 2] & 0xFFFFFF);
      x = end;
    }
    ASSERT_EQ(seen.size(), c.colours.size());
    for (size_t i = 0; i < seen.size(); ++i)
      for (int shift = 0; shift < 24; shift += 8)
        EXPECT_NEAR(int((seen[i] >> shift) & 0xFF), int((c.colours[i] >> shift) & 0xFF), 3)
            << "light " << i << std::hex << " reads " << seen[i] << " for " << c.colours[i];
  }

  // The icon, found where its picture differs from a plain white square, against the place of a
  // display of up to five lights (8 units right of and 6 below the view's centre, 15 ahead).
  set(3, true, 0.0f);
  CTextureData* const icon = d.m_Icon_Texture;
  const view_probe::Frame_Pair icon_pair = view_probe::Draw_With_And_Without(
      harness, [&](bool shown) { d.m_Icon_Texture = shown ? icon : nullptr; }, 0.0f, 0);
  const view_probe::Box square = view_probe::Changed(icon_pair, corner);
  ASSERT_FALSE(square.Empty());
  const double per_unit = 0.5 * icon_pair.height / (15.0 * std::tan(0.3926991));
  const double centre_x = 0.5 * icon_pair.width + (8.0 - 1.5) * per_unit;
  const double centre_y = 0.5 * icon_pair.height + (6.0 - 0.35) * per_unit;
  EXPECT_NEAR(0.5 * (square.left + square.right + 1), centre_x, 2.0);
  EXPECT_NEAR(0.5 * (square.top + square.bottom + 1), centre_y, 2.0);
  EXPECT_NEAR(square.Width(), 0.446 * per_unit, 2.0);
  EXPECT_NEAR(square.Height(), 0.446 * per_unit, 2.0);

  // A full-strength hit's shake: the eye moves by up to 5 units each way.
  set(2, true, 1.0f);
  const float strength = 5.0f;
  const view_probe::Box shaken = view_probe::Changed(
      view_probe::Draw_With_And_Without(harness, show_lights, strength, view_probe::Strong_Shake_Seed(strength),
                                        "display_shaken.png"),
      corner);
  ASSERT_GT(std::fabs(g_Camera.Shake_Offset().x), 2.0f) << "a strong shake";
  ASSERT_FALSE(shaken.Empty());
  EXPECT_NEAR(shaken.Centre_X(), used.Centre_X(), 18.0);
  EXPECT_NEAR(shaken.Centre_Y(), used.Centre_Y(), 18.0);
  EXPECT_NEAR(shaken.Width(), used.Width(), 4);
}

TEST_F(Attachments, EveryGunGivesBackItsAttachmentsDisplayWhenItIsReleased) {
  const std::set<uint32_t> display_ids = {0x22000174, 0x22000175, 0x22000176, 0x22000177, 0x22000178, 0x2200017B};
  for (int gun : {kSteel_Ball, kMachine, 3, kCannon}) {
    for (int kind = 1; kind <= 5; ++kind) {
      Counted_Resources resources;
      Launch(gun, kind);
      CAttachment* attachment = g_Player.m_Gun->m_Attachment;
      if (!attachment) continue;  // not allowed on this gun
      EXPECT_EQ(attachment->m_Kind, kind);
      EXPECT_EQ(resources.counts.Held_Of(display_ids), kind == 1 ? 0 : 3) << gun << " " << kind;
      g_Player.Release_Gun();
      EXPECT_EQ(resources.counts.Held_Of(display_ids), 0) << gun << " " << kind;
      EXPECT_FALSE(attachment->m_Loaded);
      EXPECT_FALSE(attachment->m_Active);
      EXPECT_EQ(attachment->m_Gun, nullptr);
    }
  }
}

TEST_F(Attachments, TheLaserPointerIsBrightOnlyWhileTheButtonIsHeld) {
  Launch(kSteel_Ball, 1);
  ASSERT_EQ(g_Player.m_Gun->m_Attachment, &g_Weapon_Attachment_Laser_Pointer);
  EXPECT_FALSE(g_Weapon_Attachment_Laser_Pointer.m_On);
  g_Player.Fire_Attachment();
  EXPECT_TRUE(g_Weapon_Attachment_Laser_Pointer.m_On);
  g_Player.Release_Fire_Attachment();
  EXPECT_FALSE(g_Weapon_Attachment_Laser_Pointer.m_On);
}

}  // namespace
