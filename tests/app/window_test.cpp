#include "app/window.h"

#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include "app/screen.h"

namespace {
void ExpectPlacement(int screenWidth, int screenHeight, WindowPlacement expected) {
  const WindowPlacement p = ComputeWindowPlacement(screenWidth, screenHeight);
  EXPECT_EQ(p.width, expected.width) << screenWidth << "x" << screenHeight;
  EXPECT_EQ(p.height, expected.height) << screenWidth << "x" << screenHeight;
  EXPECT_EQ(p.x, expected.x) << screenWidth << "x" << screenHeight;
  EXPECT_EQ(p.y, expected.y) << screenWidth << "x" << screenHeight;
}

TEST(WindowTest, LargestCentredFourByThreeWithinEightyPercent) {
  ExpectPlacement(1280, 1024, {128, 128, 1024, 768});
  // Wider than 4:3: the height is the limit.
  ExpectPlacement(1920, 1080, {384, 108, 1152, 864});
  // 614.4 rounds to 614; 4 x 614 / 3 truncates to 818.
  ExpectPlacement(1366, 768, {274, 77, 818, 614});
  // Taller than 4:3: the width is the limit.
  ExpectPlacement(1080, 1920, {108, 636, 864, 648});
}

TEST(WindowTest, PointerIsNormalisedFromTheBottomLeftAtPixelCentres) {
  double x = 0;
  double y = 0;
  ASSERT_TRUE(NormalisePointer(0, 0, 800, 600, x, y));
  EXPECT_DOUBLE_EQ(x, 0.000625);
  EXPECT_NEAR(y, 0.9991667, 1e-7);
  ASSERT_TRUE(NormalisePointer(799, 599, 800, 600, x, y));
  EXPECT_DOUBLE_EQ(x, 0.999375);
  EXPECT_NEAR(y, 0.0008333, 1e-7);
  // The pointer may leave the window while a button is held.
  ASSERT_TRUE(NormalisePointer(-40, 900, 800, 600, x, y));
  EXPECT_LT(x, 0);
  EXPECT_LT(y, 0);
}

TEST(WindowTest, NoPointerPositionInAMinimisedWindow) {
  double x = 7;
  double y = 7;
  EXPECT_FALSE(NormalisePointer(0, 0, 0, 600, x, y));
  EXPECT_FALSE(NormalisePointer(0, 0, 800, 0, x, y));
  EXPECT_FALSE(NormalisePointer(0, 0, 0, 0, x, y));
  EXPECT_EQ(x, 7);
  EXPECT_EQ(y, 7);
}

TEST(WindowTest, ButtonsAndKeysMapToTheGamesNames) {
  int button = -1;
  bool pressed = false;
  ASSERT_TRUE(MapMouseButton(GLUT_MIDDLE_BUTTON, GLUT_UP, button, pressed));
  EXPECT_EQ(button, MB_MIDDLE);
  EXPECT_FALSE(pressed);
  ASSERT_TRUE(MapMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, button, pressed));
  EXPECT_EQ(button, MB_RIGHT);
  EXPECT_TRUE(pressed);
  // Wheel steps come as buttons 3 and 4; no other state than down and up.
  EXPECT_FALSE(MapMouseButton(3, GLUT_DOWN, button, pressed));
  EXPECT_FALSE(MapMouseButton(GLUT_LEFT_BUTTON, 2, button, pressed));

  EXPECT_EQ(MapSpecialKey(GLUT_KEY_F7), SK_F7);
  EXPECT_EQ(MapSpecialKey(GLUT_KEY_UP), SK_UP);
  EXPECT_EQ(MapSpecialKey(GLUT_KEY_DOWN), SK_DOWN);
  EXPECT_EQ(MapSpecialKey(GLUT_KEY_INSERT), SK_INSERT);
  // Anything else passes through with its own value.
  for (int key : {13, 109, GLUT_KEY_DELETE, 1000, -5}) EXPECT_EQ(MapSpecialKey(key), key);
}
}  // namespace
