#include "shell/window_layout.h"

#include <algorithm>
#include <cmath>

namespace tolvaran {
namespace {

constexpr int kDefaultDpi = 96;
constexpr int kButtonColumn = 160;  // the edit box leaves this much on the right
constexpr int kLabelStrip = 30;     // and this much below
constexpr int kButtonInset = 148;
constexpr int kButtonPitch = 47;
constexpr int kButtonTop = 8;
constexpr int kButtonWidth = 140;
constexpr int kButtonHeight = 40;

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

PixelRect editBoxRect(int clientWidth, int clientHeight) noexcept {
  return PixelRect{0, 0, std::max(0, clientWidth - kButtonColumn),
                   std::max(0, clientHeight - kLabelStrip)};
}

PixelRect buttonRect(int index, int clientWidth) noexcept {
  return PixelRect{clientWidth - kButtonInset, (index - 1) * kButtonPitch + kButtonTop,
                   kButtonWidth, kButtonHeight};
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
