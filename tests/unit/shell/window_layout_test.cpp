// The window's geometry: the designed twips at the usual resolutions, the
// created controls from the client size, centring and dragging.
#include "shell/window_layout.h"

#include <gtest/gtest.h>

namespace tolvaran {
namespace {

TEST(WindowLayoutTest, DesignedSizesFollowTheScreenResolution) {
  struct Case {
    int dpi;
    int clientWidth;
    int clientHeight;
    PixelRect status;
  };
  // 144 dpi puts the client on half pixels: they round away from zero.
  for (const Case& c :
       {Case{96, 715, 231, {120, 208, 433, 25}}, Case{120, 894, 289, {150, 260, 541, 31}},
        Case{144, 1073, 347, {180, 312, 650, 38}}, Case{0, 715, 231, {120, 208, 433, 25}}}) {
    SCOPED_TRACE(c.dpi);
    EXPECT_EQ(twipsToPixels(kClientWidthTwips, c.dpi), c.clientWidth);
    EXPECT_EQ(twipsToPixels(kClientHeightTwips, c.dpi), c.clientHeight);
    EXPECT_EQ(twipsToPixels(kStatusTwips, c.dpi), c.status);
  }
  EXPECT_EQ(twipsToPixels(kStatusCaptionTwips, 96), (PixelRect{24, 208, 65, 25}));
  EXPECT_EQ(twipsToPixels(kVersionTwips, 96), (PixelRect{592, 208, 113, 25}));
  EXPECT_FLOAT_EQ(twipsPerPixel(96), 15.0f);
  EXPECT_FLOAT_EQ(twipsPerPixel(-1), 15.0f);
}

TEST(WindowLayoutTest, EditBoxAndButtonsShareTheClientArea) {
  EXPECT_EQ(editBoxRect(715, 231), (PixelRect{0, 0, 555, 201}));
  const PixelRect expected[] = {
      {567, 8, 140, 40}, {567, 55, 140, 40}, {567, 102, 140, 40}, {567, 149, 140, 40}};
  for (int i = 1; i <= kButtonCount; ++i) EXPECT_EQ(buttonRect(i, 715), expected[i - 1]) << i;
  // The last button ends above the labels' strip, clear of the edit box.
  const PixelRect last = buttonRect(kButtonCount, 715);
  EXPECT_LE(last.y + last.height, 201);
  EXPECT_GT(last.x, editBoxRect(715, 231).width);
  // A client area smaller than the margins gives an empty box, never a negative one.
  EXPECT_EQ(editBoxRect(100, 20), (PixelRect{0, 0, 0, 0}));
}

TEST(WindowLayoutTest, CentringUsesTheWorkAreaAndWholeTwips) {
  EXPECT_EQ(centredPosition({0, 0, 1024, 768}, 11000.0f, 3900.0f, 15.0f).left, 2180.0f);
  EXPECT_EQ(centredPosition({0, 0, 1024, 768}, 11000.0f, 3900.0f, 15.0f).top, 3810.0f);
  // A task bar on the left moves the work area, and the window with it.
  EXPECT_EQ(centredPosition({100, 0, 924, 768}, 11000.0f, 3900.0f, 15.0f).left, 2930.0f);
  EXPECT_EQ(centredPosition({0, 0, 1024, 768}, 11001.0f, 3900.0f, 15.0f).left, 2180.0f);
  // A window larger than the screen goes above and left of it rather than nowhere.
  EXPECT_LT(centredPosition({0, 0, 640, 480}, 20000.0f, 3900.0f, 15.0f).left, 0.0f);
}

TEST(WindowLayoutTest, DragMovesByTheDistanceFromThePressedPoint) {
  WindowDrag drag;
  EXPECT_FALSE(drag.moveTo(50, 50)) << "no drag before a press";
  EXPECT_FALSE(drag.release());

  drag.press(10, 20);
  EXPECT_FALSE(drag.moveTo(10, 20)) << "a click is not a move";
  const auto offset = drag.moveTo(25, 5);
  ASSERT_TRUE(offset);
  EXPECT_EQ(offset->dx, 15);
  EXPECT_EQ(offset->dy, -15);
  // The window followed the mouse: the pressed point is under it again.
  EXPECT_FALSE(drag.moveTo(10, 20));
  EXPECT_TRUE(drag.release()) << "the window came to rest";
  EXPECT_FALSE(drag.dragging());
  EXPECT_FALSE(drag.moveTo(30, 30));
  EXPECT_FALSE(drag.release()) << "released once";
}

}  // namespace
}  // namespace tolvaran
