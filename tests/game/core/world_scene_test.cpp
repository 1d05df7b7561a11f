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
#include "game/core/CSphere_Object.h"
#include "game/core/CWorld.h"
#include "game/menu/CMenu_Mgr.h"
#include "runtime/src/render/sys/pc/d3d_drawprim.h"
#include "tests/game/core/running_game.h"

namespace {

constexpr float kPlain_Ground = 20.0f;  // the flat world of environment variant 1

// A ball without a pool (the sweep deletes it) that draws itself as a red square facing the
// camera.
class Falling_Ball : public CSphere_Object {
 public:
  Falling_Ball(const CVector3& at, float radius) {
    Setup_Object(0, 1.0f, 1.0f, 0, 0);
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

  // A training launch in the flat environment, with the mirrors setting given.
  void Launch(bool mirrors) {
    Start();
    g_Game_State.Mirrors_Enable = mirrors;
    ASSERT_TRUE(g_Menu_Mgr.Command(kCommand_Launch_Training, 1));
    harness.Step(200, 40);  // the background fades in
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
  const uint32_t with_mirrors = Centre();
  harness.Shut_Down();

  Launch(false);
  EXPECT_FALSE(g_World.Walls_Built());
  Look(eye, beyond);
  Shot("world_mirrors_off.png");
  EXPECT_EQ(g_World.Reflected_Tiles_Drawn(), 0);
  const uint32_t without = Centre();
  // Without mirrors the fence stands against the sky; with them, against the reflected ground.
  EXPECT_GT(Difference(with_mirrors, without), 30) << std::hex << with_mirrors << " " << without;
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
  harness.Step(10, 16);
  Shot("world_balls_falling.png");
  harness.Step(400, 33);
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

}  // namespace
