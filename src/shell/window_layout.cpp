#include "shell/window_layout.h"

#include <algorithm>
#include <cmath>

namespace tolvaran {
namespace {

constexpr int kDefaultDpi = 96;
// The controls' design at 96 dots per inch.
constexpr int kButtonWidth = 140;
constexpr int kButtonHeight = 40;
constexpr int kButtonGap = 7;     // between two buttons
constexpr int kButtonMargin = 8;  // right of and above the column
constexpr int kEditGap = 12;      // between the edit box and the column
constexpr int kLabelStrip = 30;   // below the edit box
// Room a caption needs on each side: the button's frame and focus
// rectangle, with air to spare so that no font rounding wraps or cuts it.
constexpr int kCaptionPaddingX = 10;
constexpr int kCaptionPaddingY = 6;

int usableDpi(int dpi) noexcept {
  return dpi > 0 ? dpi : kDefaultDpi;
}

}  // namespace

float twipsPerPixel(int dpi) noexcept {
  return static_cast<float>(kTwipsPerInch) / static_cast<float>(usableDpi(dpi));
}

int twipsToPixels(int twips, int dpi) noexcept {
  return static_cast<int>(std::lround(static_cast<double>(twips) * usableDpi(dpi) / kTwipsPerInch));
}

PixelRect twipsToPixels(const TwipsRect& rect, int dpi) noexcept {
  return PixelRect{twipsToPixels(rect.left, dpi), twipsToPixels(rect.top, dpi),
                   twipsToPixels(rect.width, dpi), twipsToPixels(rect.height, dpi)};
}

int scaledPixels(int pixelsAt96, int dpi) noexcept {
  return static_cast<int>(
      std::lround(static_cast<double>(pixelsAt96) * usableDpi(dpi) / kDefaultDpi));
}

ControlLayout controlLayout(int clientWidth, int clientHeight, int dpi,
                            CaptionExtent captions) noexcept {
  const auto scaled = [dpi](int pixels) { return scaledPixels(pixels, dpi); };
  const int width = std::max(scaled(kButtonWidth), captions.width + 2 * scaled(kCaptionPaddingX));
  const int height =
      std::max(scaled(kButtonHeight), captions.height + 2 * scaled(kCaptionPaddingY));
  const int x = clientWidth - width - scaled(kButtonMargin);
  ControlLayout layout;
  layout.editBox = PixelRect{0, 0, std::max(0, x - scaled(kEditGap)),
                             std::max(0, clientHeight - scaled(kLabelStrip))};
  for (int i = 0; i < kButtonCount; ++i) {
    layout.buttons[static_cast<std::size_t>(i)] =
        PixelRect{x, scaled(kButtonMargin) + i * (height + scaled(kButtonGap)), width, height};
  }
  return layout;
}

WindowPosition centredPosition(const WorkArea& workArea, float formWidthTwips,
                               float formHeightTwips, float twipsPerPixel) noexcept {
  const auto axis = [&](int origin, int size, float formSize) {
    const double centre = static_cast<double>(twipsPerPixel) * (origin + size / 2.0);
    return static_cast<float>(std::round(centre - formSize / 2.0));
  };
  return WindowPosition{axis(workArea.left, workArea.width, formWidthTwips),
                        axis(workArea.top, workArea.height, formHeightTwips)};
}

void WindowDrag::press(int x, int y) noexcept {
  dragging_ = true;
  x_ = x;
  y_ = y;
}

std::optional<WindowDrag::Offset> WindowDrag::moveTo(int x, int y) const noexcept {
  if (!dragging_ || (x == x_ && y == y_)) return std::nullopt;
  return Offset{x - x_, y - y_};
}

bool WindowDrag::release() noexcept {
  const bool was = dragging_;
  dragging_ = false;
  return was;
}

}  // namespace tolvaran
