// The whole game drawing a launched world: terrain, sky, fences, mirror walls with their
// reflected ground (and without them), and a few balls that fall, land and push each other
// apart. Set VT_WORLD_SHOTS to a folder to keep the pictures these tests look at.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/core/CCamera.h"
#include "game/core/CGame.h"
#include "game/core/CGame_State.h"
#include "game/core/CObject_Pool.h"
#include "game/core/CSim_Desc.h"
#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "game/player/CPlayer.h"
#include "game/core/CWorld_Decal_Mgr.h"
#include "game/core/Settings.h"
#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/render/iks_render_device.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "tests/game/core/running_game.h"
#include "game/sim/CMusic_Track.h"
#include "tools/content/sim_content.h"

namespace {

constexpr float kPlain_Ground = 20.0f;  // the flat world of environment variant 1

// A ball without a pool (the sweep deletes it) that draws itself as a red square facing the
// camera.
class Falling_Ball : public CSphere_Object {
 public:
  Falling_Ball(const CVector3& at, float radius) {
    Setup_Object(72, 1.0f, 1.0f, 0, 0);  // a type index no pool holds
    Setup_Sphere_Body(5.0f, radius, 0.0f);
    m_Motion.Clear();
    m_Sphere.floor_contact_flag = 1;
    Set_Position(at);
  }
  void Update(const float& dt) override {
    Collide_Sphere_World(m_Motion);
    Integrate_Sphere(m_Motion, dt);
  }
  void Render(const float&) override {
    if (!g_pWorldDrawPrim) return;
    const CMatrix3x3& axes = g_Camera.Rotation();
    const float r = m_Collision_Radius;
    auto corner = [&](float a, float b) {
      return CVector3{m_Position.x + (axes.rows[0].x * a + axes.rows[1].x * b) * r,
                      m_Position.y + (axes.rows[0].y * a + axes.rows[1].y * b) * r,
                      m_Position.z + (axes.rows[0].z * a + axes.rows[1].z * b) * r};
    };
    DrawPrimFlatQuad quad{{corner(-1, -1), corner(-1, 1), corner(1, 1), corner(1, -1)}, 0xFFE02020};
    CD3DDrawPrim& draw = *g_pWorldDrawPrim;
    draw.SetRenderStyle(nullptr);
    draw.SetTransformType(kDrawPrimWorld);
    draw.SetTexture(nullptr, 0);
    draw.SetColorOp(0);
    draw.SetAlphaBlendMode(0);
    draw.SetZBufferMode(0);
    draw.SetCullMode(0);
    draw.DrawFlatQuads(&quad, 1);
  }
};

class World_Scene : public RunningGame {
 protected:
  void TearDown() override {
    g_Game_State.Mirrors_Enable = true;
    RunningGame::TearDown();
  }

  // A training launch in the flat environment, with the mirrors setting given. The frames of the
  // fade run undrawn (the fade is updated, not drawn); the test steps the frame it looks at.
  void Launch(bool mirrors) {
    Start();
    Launch_Again(mirrors);
  }
  // The same launch in the running program, from the menus as the player would launch again.
  void Launch_Again(bool mirrors) {
    if (g_Game.Get_Mode() != kMode_Menus) g_Menu_Mgr.Command(kCommand_Simulator, 0);
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Menus);
    g_Game_State.Mirrors_Enable = mirrors;
    g_Menu_Mgr.Command(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1]);
    ASSERT_EQ(g_Game.Get_Mode(), kMode_Simulation);
    // The scene alone: the track's objects and the end of its run would come between.
    g_Music_Track.Term();
    harness.Step_Undrawn(200, 40);  // the background fades in
  }

  void Look(const CVector3& from, const CVector3& at) {
    g_Camera.Look_At(from, at);
    harness.Step(1, 16);
  }

  uint32_t Pixel(float x, float y) {
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    if (!harness.Read_Back(pixels, width, height) || width == 0) return 0;
    const uint32_t px = static_cast<uint32_t>(std::clamp(x, 0.0f, float(width - 1)));
    const uint32_t py = static_cast<uint32_t>(std::clamp(y, 0.0f, float(height - 1)));
    return pixels[py * width + px];
  }
  uint32_t Centre() { return Pixel(g_Camera.Screen_Width() / 2, g_Camera.Screen_Height() / 2); }
  // The mean colour of a square of pixels around a point given in fractions of the screen: what
  // shows through a wire fence, whatever single pixel its wires happen to cover.
  uint32_t Mean_Around(float fx, float fy, int half) {
    std::vector<uint32_t> pixels;
    uint32_t width = 0, height = 0;
    if (!harness.Read_Back(pixels, width, height) || width == 0) return 0;
    const int cx = int(fx * float(width)), cy = int(fy * float(height));
    if (cx < half || cy < half || cx + half > int(width) || cy + half > int(height)) return 0;
    uint32_t sums[3] = {0, 0, 0}, count = 0;
    for (int y = cy - half; y < cy + half; ++y)
      for (int x = cx - half; x < cx + half; ++x, ++count)
        for (int c = 0; c < 3; ++c) sums[c] += (pixels[size_t(y) * width + x] >> (16 - 8 * c)) & 0xFF;
    if (count == 0) return 0;
    return (sums[0] / count) << 16 | (sums[1] / count) << 8 | (sums[2] / count);
  }

  void Shot(const std::string& name) {
    if (const char* dir = std::getenv("VT_WORLD_SHOTS")) harness.Save_Png(std::string(dir) + "/" + name);
  }

  static int Red(uint32_t c) { return (c >> 16) & 0xFF; }
  static int Green(uint32_t c) { return (c >> 8) & 0xFF; }
  static int Blue(uint32_t c) { return c & 0xFF; }
  static int Difference(uint32_t a, uint32_t b) {
    return std::abs(Red(a) - Red(b)) + std::abs(Green(a) - Green(b)) + std::abs(Blue(a) - Blue(b));
  }
  static constexpr uint32_t kSky = 0x00402030;
};

TEST_F(World_Scene, TheGroundIsDrawnUnderTheSkyColour) {
  Launch(true);
  harness.Step(1, 40);
  Shot("world_launch.png");
  // Straight down from above the middle: the brown ground texture, lit.
  Look(CVector3{800.0f, 400.0f, 800.0f}, CVector3{800.0f, 0.0f, 800.01f});
  Shot("world_ground.png");
  const uint32_t ground = Centre();
  EXPECT_GT(Difference(ground, kSky), 40) << std::hex << ground;
  EXPECT_GT(Red(ground), Blue(ground));
  EXPECT_EQ(g_World.Tiles_Drawn(), 16);
  // Straight up: nothing but the sky.
  Look(CVector3{800.0f, 100.0f, 800.0f}, CVector3{800.0f, 1000.0f, 800.01f});
  EXPECT_LT(Difference(Centre(), kSky), 8) << std::hex << Centre();
}

TEST_F(World_Scene, MirrorsShowReflectedGroundBeyondTheEdgeAndWithoutThemTheSky) {
  // From inside the world, down across the x = 0 edge to the ground beyond it.
  const CVector3 eye{800.0f, 300.0f, 800.0f}, beyond{-1000.0f, 0.0f, 800.0f};
  Launch(true);
  EXPECT_TRUE(g_World.Walls_Built());
  Look(eye, beyond);
  Shot("world_mirrors_on.png");
  EXPECT_GT(g_World.Reflected_Tiles_Drawn(), 0);
  const uint32_t with_mirrors = Mean_Around(0.42f, 0.62f, 16);

  Launch_Again(false);
  EXPECT_FALSE(g_World.Walls_Built());
  Look(eye, beyond);
  Shot("world_mirrors_off.png");
  EXPECT_EQ(g_World.Reflected_Tiles_Drawn(), 0);
  const uint32_t without = Mean_Around(0.42f, 0.62f, 16);
  // Below the fence's top rail, through its wires: without mirrors the sky, with them the reflected
  // ground. The wires, the same in both, cover about a third of the patch and thin the contrast.
  EXPECT_GT(Difference(with_mirrors, without), 18) << std::hex << with_mirrors << " " << without;
}

TEST_F(World_Scene, TheGlassWallsTintTheSkyBeyondTheCorners) {
  // From inside the world, level, toward the middle of the x = 0 edge: the walls stand beyond
  // its two corners, at the sides of the picture, and the sky is clear between them.
  const CVector3 eye{800.0f, 300.0f, 800.0f}, level{-5000.0f, 300.0f, 800.0f};
  Launch(true);
  Look(eye, level);
  Shot("world_walls.png");
  const float high = g_Camera.Screen_Height() * 0.15f;
  const uint32_t wall = Pixel(g_Camera.Screen_Width() * 0.08f, high);
  const uint32_t between = Pixel(g_Camera.Screen_Width() * 0.5f, high);

  Launch_Again(false);
  Look(eye, level);
  const uint32_t no_wall = Pixel(g_Camera.Screen_Width() * 0.08f, high);
  EXPECT_LT(Difference(between, kSky), 8) << std::hex << between;
  EXPECT_LT(Difference(no_wall, kSky), 8) << std::hex << no_wall;
  // A quarter of the wall's blue-white over the sky.
  EXPECT_GT(Difference(wall, kSky), 40) << std::hex << wall;
  EXPECT_GT(Blue(wall), Blue(kSky) + 20) << std::hex << wall;
}

TEST_F(World_Scene, BallsFallLandAndPushEachOtherApart) {
  Launch(true);
  std::vector<Falling_Ball*> balls;
  // Two dropped side by side, overlapping, and one apart from them.
  const CVector3 drops[] = {{760.0f, 200.0f, 800.0f}, {785.0f, 200.0f, 800.0f}, {850.0f, 260.0f, 790.0f}};
  for (const CVector3& at : drops) {
    balls.push_back(new Falling_Ball(at, 15.0f));
    ASSERT_TRUE(g_World.Add_Object(2, balls.back()));
  }
  g_Camera.Look_At(CVector3{800.0f, 150.0f, 550.0f}, CVector3{800.0f, 60.0f, 800.0f});
  harness.Step_Undrawn(9, 16);
  harness.Step(1, 16);
  Shot("world_balls_falling.png");
  harness.Step_Undrawn(399, 33);
  harness.Step(1, 33);
  Shot("world_balls_landed.png");
  for (Falling_Ball* ball : balls) {
    EXPECT_NEAR(ball->m_Position.y, kPlain_Ground + 15.0f, 1.5f);
    EXPECT_LT(ball->m_Sphere.velocity.Length(), 5.0f);
  }
  // No two overlap any more.
  for (size_t i = 0; i < balls.size(); ++i)
    for (size_t j = i + 1; j < balls.size(); ++j) {
      CVector3 d;
      EXPECT_GT(balls[i]->m_Position.Subtract(balls[j]->m_Position, d).Length(), 29.0f) << i << j;
    }
  // Each ball is drawn where the camera sees it.
  for (Falling_Ball* ball : balls) {
    const CVector3 on_screen = g_Camera.World_To_Screen(ball->m_Position);
    const uint32_t c = Pixel(on_screen.x, on_screen.y);
    EXPECT_GT(Red(c), 120) << std::hex << c;
    EXPECT_LT(Green(c), 80) << std::hex << c;
  }
}

TEST_F(World_Scene, AScorchMarkDarkensTheGroundUnderItAndFadesAway) {
  Launch(true);
  Look(CVector3{800.0f, 300.0f, 800.0f}, CVector3{800.0f, 0.0f, 800.01f});
  g_Player.Release_Gun();  // the player's gun (with its flickering glow) stays out of the picture
  harness.Step(1, 16);
  const uint32_t bare = Centre(), bare_aside = Pixel(40, 300);
  // The mark's projection maps the square of half size 40 around the centre onto the texture.
  const float cx = 800.0f, cz = 800.0f, h = 40.0f;
  CTerrain_Decal geometry;
  ASSERT_TRUE(g_World.Build_Terrain_Decal(CVector3{cx, 0.0f, cz}, h, geometry));
  CMatrix4x4 projection;
  projection.Set_Identity();
  projection.m[0][0] = 1.0f / (2.0f * h);
  projection.m[1][1] = 0.0f;
  projection.m[2][2] = 0.0f;
  projection.m[2][1] = 1.0f / (2.0f * h);
  projection.m[3][0] = 0.5f - cx / (2.0f * h);
  projection.m[3][1] = 0.5f - cz / (2.0f * h);
  ASSERT_TRUE(g_World_Decal_Mgr.Add_Decal(geometry, 0, projection, 2.0f, 0xFFFFFFFF));
  harness.Step(1, 16);
  Shot("world_decal.png");
  const uint32_t marked = Centre();
  EXPECT_LT(Red(marked) + Green(marked) + Blue(marked), Red(bare) + Green(bare) + Blue(bare) - 60)
      << std::hex << bare << " " << marked;
  // Well away from the mark the ground is as it was.
  EXPECT_LT(Difference(Pixel(40, 300), bare_aside), 12);
  // Run out, it is gone and its geometry slot is free again. A mark ages only in drawn frames, by
  // their smoothed step: once undrawn frames have smoothed it to the longest (100 ms), drawn ones
  // run the mark out in the fewest.
  const int free_before = g_World.Free_Terrain_Decal_Count();
  harness.Step_Undrawn(40, 100);
  for (int frame = 0; frame < 200 && g_World_Decal_Mgr.Live_Count() > 0; ++frame) harness.Step(1, 100);
  EXPECT_EQ(g_World_Decal_Mgr.Live_Count(), 0);
  EXPECT_EQ(g_World.Free_Terrain_Decal_Count(), free_before + 1);
  EXPECT_LT(Difference(Centre(), bare), 12);
}

// In a window the splash (painted through its window surface) comes and goes before the first
// frame; the device's own context must still be the one that draws.
TEST_F(World_Scene, AWindowedGameDrawsTheWorld) {
  ASSERT_TRUE(Reg_Write_DWORD(kSettings_Key, "Display_Windowed", 1));
  Launch(true);
  ASSERT_TRUE(g_Game_State.Display_Windowed);
  Look(CVector3{800.0f, 400.0f, 800.0f}, CVector3{800.0f, 0.0f, 800.01f});
  Shot("world_windowed.png");
  const uint32_t ground = Centre();
  EXPECT_GT(Red(ground) + Green(ground) + Blue(ground), 60) << "a black frame: " << std::hex << ground;
  EXPECT_GT(Difference(ground, kSky), 40) << std::hex << ground;
  EXPECT_GT(Red(ground), Blue(ground)) << std::hex << ground;
}

TEST_F(World_Scene, AMissingWorldTextureFailsTheLaunchWithItsMessage) {
  Start();
  CSim_Desc desc;
  CMenu_Mgr::Build_Sim_Desc(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1], desc);
  desc.world_desc.texture_ids[2] = 0x22FFFF01;  // no such texture
  const auto initialised_pools = [] {
    return std::count_if(std::begin(g_Object_Pools), std::end(g_Object_Pools),
                         [](const CObject_Pool* pool) { return pool && pool->Is_Initialised(); });
  };
  const auto pools_before = initialised_pools();
  ASSERT_GT(pools_before, 0);
  const int simulation = 2;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(g_Game.Set_Mode(simulation, 1, &desc));
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(std::find(messages.begin(), messages.end(), "CWorld::Couldn't load world texture."), messages.end());
  // Stderr names the cause: the id that is not there.
  EXPECT_NE(said.find("Vorthane: Get_Resource: Resource ID (22ffff01) not found."), std::string::npos) << said;
  EXPECT_FALSE(g_World.m_World_Ready);
  EXPECT_FALSE(g_World.Has_Terrain());
  // Only the terrain is let go: the object pools and the decal manager serve the next launch.
  EXPECT_EQ(initialised_pools(), pools_before);
  EXPECT_TRUE(g_World_Decal_Mgr.Is_Initialised());
  // The same launch with the texture there goes ahead.
  CMenu_Mgr::Build_Sim_Desc(kCommand_Launch_Training, 1, content::kLaneTrackIds[1], content::kLaneMusicIds[1], desc);
  EXPECT_TRUE(g_Game.Set_Mode(simulation, 1, &desc));
  EXPECT_TRUE(g_World.m_World_Ready);
}

TEST_F(World_Scene, LightsFollowTheDescriptionAndAFlashBrightensThenDims) {
  Launch(true);
  auto expect_color = [](const CColor4& got, float r, float g, float b) {
    EXPECT_NEAR(got.r, r, 1e-4f);
    EXPECT_NEAR(got.g, g, 1e-4f);
    EXPECT_NEAR(got.b, b, 1e-4f);
  };
  g_World.Set_Lights();
  LightDesc main{}, flash{};
  CColor4 ambient{};
  uint8_t on = 0;
  ASSERT_TRUE(g_pRenderDevice->GetLight(0, &main));
  EXPECT_EQ(main.Kind, kLightDirectional);
  EXPECT_NEAR(main.Vector.Length(), 1.0f, 1e-5f);
  expect_color(main.Diffuse, 0.54f, 0.63f, 0.72f);  // the plain environment's light
  ASSERT_TRUE(g_pRenderDevice->GetAmbientLight(&ambient));
  expect_color(ambient, 0.39f, 0.26f, 0.325f);
  ASSERT_TRUE(g_pRenderDevice->IsLightEnabled(1, &on));
  EXPECT_EQ(on, 0);

  // A flash of strength 1: amount 0.7, the main light dims to 0.3 of its reddened colour and a
  // point light stands over the camera.
  g_World.m_Flash.active = true;
  g_World.m_Flash.inputs[0] = g_World.m_Flash.inputs[1] = g_World.m_Flash.inputs[2] = 1.0f;
  g_World.Set_Lights();
  ASSERT_TRUE(g_pRenderDevice->GetLight(0, &main));
  expect_color(main.Diffuse, (0.54f + 0.75f) * 0.3f, (0.63f + 0.2f) * 0.3f, (0.72f + 0.2f) * 0.3f);
  EXPECT_NEAR(main.Diffuse.a, 0.3f, 1e-5f);
  ASSERT_TRUE(g_pRenderDevice->GetAmbientLight(&ambient));
  expect_color(ambient, (0.39f + 0.25f) * 0.3f, (0.26f + 0.1f) * 0.3f, (0.325f + 0.1f) * 0.3f);
  ASSERT_TRUE(g_pRenderDevice->IsLightEnabled(1, &on));
  EXPECT_EQ(on, 1);
  ASSERT_TRUE(g_pRenderDevice->GetLight(1, &flash));
  EXPECT_EQ(flash.Kind, kLightPoint);
  EXPECT_NEAR(flash.Vector.y, g_Camera.Position().y + 250.0f, 1e-3f);
  expect_color(flash.Diffuse, 0.54f * 0.945f, 0.63f * 0.945f, 0.72f * 0.945f);
  EXPECT_EQ(g_World.m_Flash.amount, 0.0f);

  g_World.m_Flash.active = false;
  g_World.Set_Lights();
  ASSERT_TRUE(g_pRenderDevice->IsLightEnabled(1, &on));
  EXPECT_EQ(on, 0);
  ASSERT_TRUE(g_pRenderDevice->GetLight(0, &main));
  expect_color(main.Diffuse, 0.54f, 0.63f, 0.72f);
}

}  // namespace
