#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CCursor_Mgr.h"
#include "game/menu/CMenu_Mgr.h"
#include "game/core/CFrame_Info.h"
#include "game/core/CGame_State.h"
#include "game/menu/CModal_Dlg.h"
#include "game/menu/CPopup_Mgr.h"
#include "platform/system/message_box.h"
#include "platform/window/cursor.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_renderstyles.h"
#include "runtime/src/libksresource/ksresourcemgr.h"
#include "runtime/src/libkstexture/iks_texture.h"
#include "runtime/src/libkstexture/sys/pc/texture_data.h"
#include "runtime/src/render/sys/pc/d3d_renderobjects.h"
#include "tools/writers/content_files.h"
#include "tools/writers/pack_writer.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"
#include "tests/game/core/running_game.h"

namespace {

// The show counter of the system cursor, read without changing it.
int System_Cursor_Counter() {
  const int counter = ShowCursor(TRUE);
  ShowCursor(FALSE);
  return counter - 1;
}

uint8_t Red(uint32_t pixel) { return (pixel >> 16) & 0xFF; }
uint8_t Green(uint32_t pixel) { return (pixel >> 8) & 0xFF; }
uint8_t Blue(uint32_t pixel) { return pixel & 0xFF; }

constexpr int kSettling_Frames = 40;

class CursorInGame : public RunningGame {
 protected:
  void SetUp() override {
    RunningGame::SetUp();
    Start();
    // The menus' fog eases in over the first frames; until it has, screen drawing is fogged.
    harness.Step(kSettling_Frames);
    saved_sim_kind = g_Game_State.m_Sim_Kind;
    saved_hide = g_Game_State.Hide_Cursor_In_Sims;
    width = g_pRenderDevice->GetScreenWidthF();
    height = g_pRenderDevice->GetScreenHeightF();
  }
  void TearDown() override {
    g_Game_State.m_Sim_Kind = saved_sim_kind;
    g_Game_State.Hide_Cursor_In_Sims = saved_hide;
    g_Cursor_Mgr.m_Show = true;
    g_Modal_Dlg.Term();
    RunningGame::TearDown();
  }

  // The last frame drawn, read back once.
  struct Frame {
    std::vector<uint32_t> pixels;
    uint32_t w = 0, h = 0;
    uint32_t At(float x, float y) const {
      const uint32_t px = static_cast<uint32_t>(x), py = static_cast<uint32_t>(y);
      return px < w && py < h ? pixels[size_t(py) * w + px] : 0;
    }
    // The brightest pixel on the line from the point along (dx, dy), between the two shares of it.
    uint32_t Brightest_Between(const CVector3& from, float dx, float dy, float near, float far) const {
      uint32_t brightest = 0;
      const auto sum = [](uint32_t p) { return Red(p) + Green(p) + Blue(p); };
      const int steps = static_cast<int>(std::ceil((far - near) * std::hypot(dx, dy)));
      for (int i = 0; i <= steps; ++i) {
        const float t = near + (far - near) * static_cast<float>(i) / static_cast<float>(std::max(steps, 1));
        const uint32_t p = At(from.x + t * dx, from.y + t * dy);
        if (sum(p) > sum(brightest)) brightest = p;
      }
      return brightest;
    }
  };
  Frame Read_Frame() {
    Frame frame;
    EXPECT_TRUE(harness.Read_Back(frame.pixels, frame.w, frame.h));
    return frame;
  }

  uint32_t Pixel(float x, float y) {
    std::vector<uint32_t> pixels;
    uint32_t w = 0, h = 0;
    EXPECT_TRUE(harness.Read_Back(pixels, w, h));
    const uint32_t px = static_cast<uint32_t>(x), py = static_cast<uint32_t>(y);
    if (px >= w || py >= h) return 0;
    return pixels[size_t(py) * w + px];
  }

  // One frame drawn by hand: a clear to the colour, then the drawing, no present.
  template <typename Draw>
  void Draw_Frame(uint32_t clear_color, Draw draw) {
    ASSERT_TRUE(g_pRenderDevice->Begin_Render());
    g_pRenderDevice->Clear(nullptr, kClearTarget | kClearDepth, clear_color, 0);
    g_pRenderDevice->BeginScene();
    draw();
    g_pRenderDevice->EndScene();
  }

  uint32_t saved_sim_kind = 0;
  bool saved_hide = false;
  float width = 0.0f, height = 0.0f;
};

TEST_F(CursorInGame, StartUpLoadsTheCursorThroughTheInstalledTypeHandlers) {
  EXPECT_TRUE(g_Cursor_Mgr.Is_Initialised());
  EXPECT_TRUE(messages.empty()) << messages.front();
  // Styles (type 1) and renderables (type 4) load through the resource manager as textures do.
  CD3DRenderStyle* style = g_pRenderStyles->GetRenderStyle(CCursor_Mgr::kMarker_Style_Id);
  EXPECT_NE(style, nullptr);
  g_pRenderStyles->ReleaseRenderStyle(style);
  constexpr uint32_t kSphere_Renderable = 0x22000000;
  CRenderableObject* sphere = g_pRenderObjects->GetRenderObject(kSphere_Renderable);
  EXPECT_NE(sphere, nullptr);
  g_pRenderObjects->ReleaseRenderObject(sphere);
}

TEST_F(CursorInGame, TheKindFollowsTheModeTheDialogAndTheOptions) {
  struct Case {
    unsigned sim_kind;
    bool dialog_open;
    bool popup_open;
    bool hide_in_sims;
    bool show;
    int want;
  };
  const Case cases[] = {
      {0, false, false, false, true, CCursor_Mgr::kArrow},
      {0, true, false, false, true, CCursor_Mgr::kArrow},
      {0, false, false, true, true, CCursor_Mgr::kArrow},  // the option acts only in simulations
      {1, false, false, false, true, CCursor_Mgr::kCross_Hair},
      {2, false, false, false, true, CCursor_Mgr::kCross_Hair},
      {1, true, false, false, true, CCursor_Mgr::kArrow},
      {1, false, false, true, true, CCursor_Mgr::kNo_Cursor},
      {1, false, true, true, true, CCursor_Mgr::kCross_Hair},  // a pop-up brings it back
      {1, true, true, true, true, CCursor_Mgr::kArrow},
      {0, false, false, false, false, CCursor_Mgr::kNo_Cursor},  // held right button
      {1, false, false, false, false, CCursor_Mgr::kNo_Cursor},
  };
  g_Popup_Mgr.Term();
  g_Popup_Mgr.Init(3);
  for (const Case& c : cases) {
    g_Game_State.m_Sim_Kind = c.sim_kind;
    g_Game_State.Hide_Cursor_In_Sims = c.hide_in_sims;
    g_Modal_Dlg.Term();
    if (c.dialog_open) g_Modal_Dlg.Init(CVector3{0.0f, 0.0f, 100.0f}, CVector2{320.0f, 240.0f}, 200.0f, 0.0f, CModal_Dlg::kMode_Message);
    g_Popup_Mgr.Close_All(true);
    if (c.popup_open) g_Popup_Mgr.Toggle_Menu(CPopup_Mgr::kSim_Menu);
    g_Cursor_Mgr.m_Show = c.show;
    EXPECT_EQ(g_Cursor_Mgr.Cursor_Kind(), c.want)
        << c.sim_kind << c.dialog_open << c.popup_open << c.hide_in_sims << c.show;
  }
  g_Popup_Mgr.Close_All(true);
}

TEST_F(CursorInGame, TheArrowIsDrawnWithItsTipAtTheMouseAndFollowsIt) {
  // A plain backdrop: no grid lines and no console text behind the cursor.
  g_Menu_Mgr.m_Grid.Set_Mode(CMenu_Grid::kNone);
  g_Menu_Mgr.m_Console.Show(false, true);
  const float x = width / 2, y = height / 2;
  const float half_width = 0.0354f * width, half_height = 0.045f * height;
  // A point inside the arrow's head, just below and right of its tip.
  const float head_x = x + 0.1f * half_width, head_y = y + 0.5f * half_height;
  harness.Move_Mouse(int(x), int(y));
  harness.Step(2);
  EXPECT_EQ(g_Cursor_Mgr.m_Last_Kind, CCursor_Mgr::kArrow);
  const uint32_t under_arrow = Pixel(head_x, head_y);
  EXPECT_GT(Red(under_arrow), 200);
  EXPECT_GT(Green(under_arrow), 200);
  EXPECT_GT(Blue(under_arrow), 200);
  const uint32_t above_left = Pixel(x - 0.5f * half_width, y - 0.5f * half_height);
  EXPECT_LT(Red(above_left), 60) << "the arrow lies below and right of its tip";

  harness.Move_Mouse(int(x / 4), int(y / 4));
  harness.Step(1);
  EXPECT_LT(Red(Pixel(head_x, head_y)), 60) << "the old place is cleared";
  EXPECT_GT(Red(Pixel(x / 4 + 0.1f * half_width, y / 4 + 0.5f * half_height)), 200);

  // Held right button: no cursor at all.
  g_Cursor_Mgr.m_Show = false;
  harness.Step(1);
  EXPECT_LT(Red(Pixel(x / 4 + 0.1f * half_width, y / 4 + 0.5f * half_height)), 60);
}

TEST_F(CursorInGame, TheArrowIsDrawnAgainAfterTheDeviceIsFreedAndResetByReactivation) {
  const float x = width / 2, y = height / 2;
  const float head_x = x + 0.1f * 0.0354f * width, head_y = y + 0.5f * 0.045f * height;
  harness.Move_Mouse(int(x), int(y));
  harness.Activate(false);
  harness.Pump();
  harness.Activate(true);
  harness.Step(kSettling_Frames);
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_GT(Red(Pixel(head_x, head_y)), 200) << "the cursor's texture came back with the device";
}

// The lock marker is a ring in the colour of its call, clear in the middle and outside the
// ring. The arrow is drawn first, so that the marker's style is reached from another style each
// time, the transition the state manager records and replays.
TEST_F(CursorInGame, EachMarkerIsARingInTheColourOfItsOwnCall) {
  const CVector3 centre{width / 2, height / 2, 0.0f};
  const CVector3 corner{40.0f, 40.0f, 0.0f};
  float half_width = 0.0f, half_height = 0.0f;
  CCursor_Mgr::Marker_Half_Extents(CCursor_Mgr::kMarker, 1.0f, width, height, half_width, half_height);
  const uint32_t colours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFF0000};
  for (uint32_t colour : colours) {
    SCOPED_TRACE(testing::Message() << std::hex << colour);
    Draw_Frame(0xFF000000, [&] {
      g_Cursor_Mgr.Draw_Marker(CCursor_Mgr::kArrow, corner, 0xFFFFFFFF, 1.0f);
      g_Cursor_Mgr.Draw_Marker(CCursor_Mgr::kMarker, centre, colour, 1.0f);
    });
    const Frame frame = Read_Frame();
    const uint32_t on_ring[] = {frame.Brightest_Between(centre, half_width, 0.0f, 0.65f, 0.95f),
                                frame.Brightest_Between(centre, 0.0f, -half_height, 0.65f, 0.95f)};
    for (const uint32_t pixel : on_ring)
      for (int shift : {16, 8, 0}) {
        if ((colour >> shift) & 0xFF) {
          EXPECT_GT(int((pixel >> shift) & 0xFF), 160) << "the ring is lit in the colour";
        } else {
          EXPECT_LT(int((pixel >> shift) & 0xFF), 20) << "in the colour alone";
        }
      }
    const uint32_t clear[] = {frame.At(centre.x, centre.y), frame.At(centre.x + 0.3f * half_width, centre.y),
                              frame.At(centre.x + 0.9f * half_width, centre.y + 0.9f * half_height)};
    for (const uint32_t pixel : clear) {
      EXPECT_LT(Red(pixel) + Green(pixel) + Blue(pixel), 30) << "the middle and the quad's corners stay clear";
    }
  }
  EXPECT_EQ(g_Cursor_Mgr.m_Last_Kind, CCursor_Mgr::kMarker);
}

// The launcher fades the older markers of its trail by their alpha.
TEST_F(CursorInGame, AMarkersAlphaDimsItsRing) {
  const CVector3 centre{width / 2, height / 2, 0.0f};
  float half_width = 0.0f, half_height = 0.0f;
  CCursor_Mgr::Marker_Half_Extents(CCursor_Mgr::kMarker, 1.0f, width, height, half_width, half_height);
  const auto ring_red = [&](uint32_t alpha) {
    const uint32_t colour = alpha << 24 | 0xFF3333;
    Draw_Frame(0xFF000000, [&] { g_Cursor_Mgr.Draw_Marker(CCursor_Mgr::kMarker, centre, colour, 1.0f); });
    return int(Red(Read_Frame().Brightest_Between(centre, half_width, 0.0f, 0.65f, 0.95f)));
  };
  const int full = ring_red(0xFF);
  ASSERT_GT(full, 160);
  for (const uint32_t alpha : {0xC8u, 0x80u, 0x40u, 0x10u}) {
    EXPECT_NEAR(ring_red(alpha), full * int(alpha) / 255, 6) << std::hex << alpha;
  }
}

TEST_F(CursorInGame, TheDarkeningOverlayVeilsTheScreenAndDarkensItsEdges) {
  g_Cursor_Mgr.m_Show = false;
  CFrame_Info long_frame;
  long_frame.Delta = 10.0f;  // enough to take the overlay to its full level at once
  g_Camera.m_Overlay_Requested = true;
  Draw_Frame(0xFFFFFFFF, [&] { g_Camera.Render_Effects(long_frame); });
  EXPECT_FLOAT_EQ(g_Camera.m_Overlay_Level, 1.0f);
  struct Probe {
    float x, y;
    int want;  // of 255, white under the veil (0.9) and the band (alpha 0.6 at the edge, 0 inside)
  };
  const Probe probes[] = {
      {width / 2, height / 2, 229},
      {0.4f * width, height / 2, 229},
      {0.5f, height / 2, 92},
      {0.15f * width, height / 2, 160},
      {width / 2, height - 0.5f, 92},
  };
  for (const Probe& p : probes) EXPECT_NEAR(Red(Pixel(p.x, p.y)), p.want, 6) << p.x << "," << p.y;

  // Released: it fades out and nothing is drawn at level 0.
  g_Camera.m_Overlay_Requested = false;
  Draw_Frame(0xFFFFFFFF, [&] { g_Camera.Render_Effects(long_frame); });
  EXPECT_FLOAT_EQ(g_Camera.m_Overlay_Level, 0.0f);
  EXPECT_EQ(Red(Pixel(0.5f, height / 2)), 255);
}

TEST_F(CursorInGame, MarkerSizesAreFractionsOfTheScreen) {
  struct Case {
    int kind;
    float scale;
    float want_half_width;
    float want_half_height;
  };
  const Case cases[] = {
      {CCursor_Mgr::kArrow, 3.0f, 0.0354f * 800.0f, 0.045f * 600.0f},  // the arrow ignores the scale
      {CCursor_Mgr::kCross_Hair, 1.0f, 0.0236f * 800.0f * 1.25f, 0.03f * 600.0f * 1.25f},
      {CCursor_Mgr::kCross_Hair, 2.0f, 0.0236f * 800.0f * 2.5f, 0.03f * 600.0f * 2.5f},
      {CCursor_Mgr::kMarker, 1.0f, 0.0236f * 800.0f * 1.5f, 0.03f * 600.0f * 1.5f},
  };
  for (const Case& c : cases) {
    float half_width = 0.0f, half_height = 0.0f;
    CCursor_Mgr::Marker_Half_Extents(c.kind, c.scale, 800.0f, 600.0f, half_width, half_height);
    EXPECT_FLOAT_EQ(half_width, c.want_half_width) << c.kind;
    EXPECT_FLOAT_EQ(half_height, c.want_half_height) << c.kind;
  }
  // The drawn quad spans the half extents of the running screen around the point.
  const CVector3 point{100.0f, 80.0f, 0.0f};
  g_Cursor_Mgr.Draw_Marker(CCursor_Mgr::kCross_Hair, point, 0xFFFFFFFF, 2.0f);
  float half_width = 0.0f, half_height = 0.0f;
  CCursor_Mgr::Marker_Half_Extents(CCursor_Mgr::kCross_Hair, 2.0f, width, height, half_width, half_height);
  EXPECT_FLOAT_EQ(g_Cursor_Mgr.m_Quad[0].x, point.x - half_width);
  EXPECT_FLOAT_EQ(g_Cursor_Mgr.m_Quad[0].y, point.y - half_height);
  EXPECT_FLOAT_EQ(g_Cursor_Mgr.m_Quad[2].x, point.x + half_width);
  EXPECT_FLOAT_EQ(g_Cursor_Mgr.m_Quad[2].y, point.y + half_height);
}

TEST(CursorWithoutContent, AMissingTextureFailsInitWithTheMessageAndHoldsNothing) {
  std::vector<std::string> messages;
  plat::Set_Message_Recorder([&](const std::string&, const std::string& text) { messages.push_back(text); });
  const int counter_before = System_Cursor_Counter();
  CCursor_Mgr cursor;
  EXPECT_FALSE(cursor.Init());
  plat::Set_Message_Recorder(nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Error in CCursor_Mgr\nUnable to load texture...");
  EXPECT_FALSE(cursor.Is_Initialised());
  EXPECT_EQ(cursor.Cursor_Kind(), CCursor_Mgr::kNo_Cursor) << "nothing is drawn";
  EXPECT_EQ(System_Cursor_Counter(), counter_before) << "the system cursor is shown as before";
}

TEST(CursorWithoutContent, MissingStylesFailInitWithTheMessageAfterTheTexturesLoaded) {
  // A content folder with the three cursor textures and no styles.
  char pattern[] = "/tmp/vt_cursor_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string dir = pattern;
  std::vector<writers::PackRecord> records;
  for (uint32_t id : {CCursor_Mgr::kCross_Hair_Texture_Id, CCursor_Mgr::kMarker_Texture_Id,
                      CCursor_Mgr::kCursor_Texture_Id}) {
    writers::PatternSpec spec;
    spec.pattern = writers::Pattern::CrossHair;
    spec.width = spec.height = 16;
    writers::Picture picture;
    ASSERT_TRUE(writers::DrawPattern(spec, picture));
    writers::PackRecord record;
    record.id = id;
    record.type = 2;
    record.name = "textures/" + writers::Hex8(id) + ".txb";
    ASSERT_TRUE(writers::EncodeTextureData(writers::kTextureVersionSingle, 1, 0x2033, 1, {picture}, record.data));
    records.push_back(record);
  }
  std::vector<writers::OutFile> files;
  ASSERT_TRUE(writers::BuildPackedSet(0, records, files));
  for (const writers::OutFile& file : files)
    ASSERT_TRUE(writers::WriteWholeFile(writers::JoinPath(dir, file.path), file.bytes));
  ASSERT_NE(g_pRezMgr, nullptr);
  ASSERT_TRUE(g_pRezMgr->Init((dir + "/").c_str()));
  g_pRezMgr->SetTypeHandler(2, &g_TextureDataFactory);
  g_pRezMgr->SetTypeHandler(1, &g_RenderStyleFactory);

  std::vector<std::string> messages;
  plat::Set_Message_Recorder([&](const std::string&, const std::string& text) { messages.push_back(text); });
  CCursor_Mgr cursor;
  EXPECT_FALSE(cursor.Init());
  plat::Set_Message_Recorder(nullptr);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Error in CCursor_Mgr\nUnable to load shader...");
  EXPECT_FALSE(cursor.Is_Initialised());
  // The textures it had taken were handed back: a second load counts from one again.
  CTextureData* texture = g_pTexture->GetTexture(CCursor_Mgr::kCursor_Texture_Id);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(texture->m_RefCount, 1);
  g_pTexture->ReleaseTexture(texture);
  g_pRezMgr->Term();
  std::error_code ignored;
  std::filesystem::remove_all(dir, ignored);
}

}  // namespace
