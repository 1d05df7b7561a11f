#include "platform/window/picture_placement.h"

#include <gtest/gtest.h>

namespace {

using plat::Picture_Placement;
using plat::Place_Picture;

TEST(Picture_Placement, FitsWholeCentredWithBarsOnTheSidesLeftOver) {
  struct Case {
    int window_w, window_h, picture_w, picture_h;
    int x, y, w, h;
  };
  const Case cases[] = {
      {800, 600, 800, 600, 0, 0, 800, 600},        // one to one
      {1024, 768, 800, 600, 0, 0, 1024, 768},      // same shape, larger: no bars
      {1920, 1080, 800, 600, 240, 0, 1440, 1080},  // wider: bars left and right
      {1600, 1200, 1024, 768, 0, 0, 1600, 1200},
      {800, 1000, 800, 600, 0, 200, 800, 600},     // taller: bars above and below
      {400, 300, 800, 600, 0, 0, 400, 300},        // a smaller window shrinks it
      {1280, 1024, 800, 600, 0, 32, 1280, 960},
      {0, 0, 800, 600, 0, 0, 800, 600},            // no window area: one to one
      {1024, 768, 0, 0, 0, 0, 0, 0},               // no picture
  };
  for (const Case& c : cases) {
    const Picture_Placement p = Place_Picture(c.window_w, c.window_h, c.picture_w, c.picture_h);
    EXPECT_EQ(p.x, c.x) << c.window_w << "x" << c.window_h;
    EXPECT_EQ(p.y, c.y) << c.window_w << "x" << c.window_h;
    EXPECT_EQ(p.width, c.w) << c.window_w << "x" << c.window_h;
    EXPECT_EQ(p.height, c.h) << c.window_w << "x" << c.window_h;
    EXPECT_EQ(p.picture_width, c.picture_w);
    EXPECT_EQ(p.picture_height, c.picture_h);
  }
  EXPECT_TRUE(Place_Picture(800, 600, 800, 600).Is_Identity());
  EXPECT_FALSE(Place_Picture(1024, 768, 800, 600).Is_Identity());
}

// The window pixels at the picture's corners and centre reach the picture's corners and centre;
// the bars lie outside the picture.
TEST(Picture_Placement, WindowPixelsMapOntoThePicturePixelsShownThere) {
  struct Case {
    int window_w, window_h;
    POINT window, picture;
  };
  const Case cases[] = {
      {1024, 768, {0, 0}, {0, 0}},
      {1024, 768, {1023, 0}, {799, 0}},
      {1024, 768, {0, 767}, {0, 599}},
      {1024, 768, {1023, 767}, {799, 599}},
      {1024, 768, {512, 384}, {400, 300}},
      {1024, 768, {640, 480}, {500, 375}},  // 1.28 times
      {1920, 1080, {240, 0}, {0, 0}},
      {1920, 1080, {1679, 1079}, {799, 599}},
      {1920, 1080, {960, 540}, {400, 300}},
      {1920, 1080, {239, 540}, {-1, 300}},   // on the left bar
      {1920, 1080, {1680, 540}, {800, 300}},  // on the right bar
      {1920, 1080, {0, 0}, {-134, 0}},
      {800, 600, {123, 456}, {123, 456}},
      {400, 300, {399, 299}, {799, 599}},
  };
  for (const Case& c : cases) {
    const Picture_Placement p = Place_Picture(c.window_w, c.window_h, 800, 600);
    const POINT got = plat::Window_To_Picture(p, c.window);
    EXPECT_EQ(got.x, c.picture.x) << c.window_w << " at " << c.window.x << "," << c.window.y;
    EXPECT_EQ(got.y, c.picture.y) << c.window_w << " at " << c.window.x << "," << c.window.y;
  }
}

// Every picture pixel goes to a window pixel inside the picture's rectangle and comes back to
// itself, whatever the scale, as long as the picture is not shrunk.
TEST(Picture_Placement, PicturePixelsGoThereAndBack) {
  const int windows[][2] = {{800, 600}, {1024, 768}, {1920, 1080}, {1600, 1200}, {1366, 768}, {801, 601}};
  for (const auto& window : windows) {
    const Picture_Placement p = Place_Picture(window[0], window[1], 800, 600);
    for (int i = 0; i < 800; ++i) {
      const POINT picture{i, (i * 3) % 600};
      const POINT shown = plat::Picture_To_Window(p, picture);
      ASSERT_GE(shown.x, p.x);
      ASSERT_LT(shown.x, p.x + p.width);
      ASSERT_GE(shown.y, p.y);
      ASSERT_LT(shown.y, p.y + p.height);
      const POINT back = plat::Window_To_Picture(p, shown);
      ASSERT_EQ(back.x, picture.x) << window[0] << "x" << window[1] << " pixel " << i;
      ASSERT_EQ(back.y, picture.y) << window[0] << "x" << window[1] << " pixel " << i;
    }
  }
  // The client rectangle's far corner (one past the last pixel) lands on the picture's far edge.
  const Picture_Placement wide = Place_Picture(1920, 1080, 800, 600);
  const POINT far = plat::Picture_To_Window(wide, POINT{800, 600});
  EXPECT_EQ(far.x, 1680);
  EXPECT_EQ(far.y, 1080);
}

}  // namespace
