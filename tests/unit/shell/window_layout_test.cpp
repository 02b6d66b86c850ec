// The window's geometry: the designed twips at the usual resolutions, the
// controls from the client size, the resolution and the captions, centring
// and dragging.
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

TEST(WindowLayoutTest, ButtonsScaleAndGrowForTheirCaptions) {
  struct Case {
    const char* what;
    int dpi;
    int clientWidth;
    int clientHeight;
    CaptionExtent captions;
    PixelRect editBox;
    PixelRect first;
    PixelRect last;
  };
  // clang-format off
  const Case cases[] = {
      {"designed", 96, 715, 231, {120, 13},
       {0, 0, 555, 201}, {567, 8, 140, 40}, {567, 149, 140, 40}},
      // 144 dpi puts the gap between buttons on a half pixel.
      {"scaled", 144, 1073, 347, {150, 20},
       {0, 0, 833, 302}, {851, 12, 210, 60}, {851, 225, 210, 60}},
      {"long caption", 96, 715, 231, {146, 13},
       {0, 0, 529, 201}, {541, 8, 166, 40}, {541, 149, 166, 40}},
      {"large font", 96, 715, 231, {100, 34},
       {0, 0, 555, 201}, {567, 8, 140, 46}, {567, 167, 140, 46}},
      {"client too small", 96, 100, 20, {0, 0},
       {0, 0, 0, 0}, {-48, 8, 140, 40}, {-48, 149, 140, 40}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ControlLayout layout = controlLayout(c.clientWidth, c.clientHeight, c.dpi, c.captions);
    EXPECT_EQ(layout.editBox, c.editBox);
    EXPECT_EQ(layout.buttons.front(), c.first);
    EXPECT_EQ(layout.buttons.back(), c.last);
  }
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
