#pragma once
// Where the main window and its controls go. The window was designed in
// twips (1/1440 inch), so its client area and labels follow the monitor's
// resolution; the edit box and the buttons were designed in pixels at 96
// dots per inch and are scaled to it, the buttons widened for the longest
// caption. Pure arithmetic, shared by the window and its tests.
#include <array>
#include <cstdint>
#include <optional>

#include "shell/runs/main_view.h"

namespace tolvaran {

// Control ids: the edit box is 0 and button i has id i, so a WM_COMMAND
// names the button by its index. The labels get ids of their own so that
// tools can find them.
namespace control_id {
inline constexpr int kEditBox = 0;
inline constexpr int kPaste = 1;
inline constexpr int kCure = 2;
inline constexpr int kOpenLog = 3;
inline constexpr int kAbout = 4;
inline constexpr int kStatusCaption = 11;  // Label1
inline constexpr int kStatus = 12;         // lbStatus
inline constexpr int kVersion = 13;        // lbVer
}  // namespace control_id

inline constexpr int kButtonCount = 4;

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kClientWidthTwips = 10725;
inline constexpr int kClientHeightTwips = 3465;
// The background picture, in pixels at 96 dots per inch.
inline constexpr int kBackgroundWidth = 762;
inline constexpr int kBackgroundHeight = 245;

inline constexpr TwipsRect kStatusCaptionTwips{360, 3120, 975, 375};
inline constexpr TwipsRect kStatusTwips{1800, 3120, 6495, 375};
inline constexpr TwipsRect kVersionTwips{8880, 3120, 1695, 375};

// Twips per pixel at `dpi` dots per inch (15 at 96); 96 is assumed for a
// resolution of 0 or less.
[[nodiscard]] float twipsPerPixel(int dpi) noexcept;
// Nearest whole pixel.
[[nodiscard]] int twipsToPixels(int twips, int dpi) noexcept;
[[nodiscard]] PixelRect twipsToPixels(const TwipsRect& rect, int dpi) noexcept;

// Pixels designed at 96 dots per inch, at `dpi`, to the nearest pixel.
[[nodiscard]] int scaledPixels(int pixelsAt96, int dpi) noexcept;

// The widest and the tallest button caption, measured in the buttons' font
// on one line.
struct CaptionExtent {
  int width = 0;
  int height = 0;
};

// The edit box fills the client area but for a column of buttons on the
// right and a strip for the labels below (never a negative size); the four
// buttons are stacked down the column. A button keeps its designed size
// unless a caption and the padding around it need more: then every button
// grows alike and the edit box gives up the width.
struct ControlLayout {
  PixelRect editBox;
  std::array<PixelRect, kButtonCount> buttons;  // button i at buttons[i - 1]
};
[[nodiscard]] ControlLayout controlLayout(int clientWidth, int clientHeight, int dpi,
                                          CaptionExtent captions) noexcept;

// CenterForm: the window's Left and Top, in whole twips, that centre a form
// of the given size (twips) in the work area (pixels). The work area's
// origin is kept, so a task bar on the left or at the top is allowed for.
struct WorkArea {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};
[[nodiscard]] WindowPosition centredPosition(const WorkArea& workArea, float formWidthTwips,
                                             float formHeightTwips, float twipsPerPixel) noexcept;

// Dragging a window by its background or a label: the mouse is pressed at
// a point of the window (client coordinates); every move while it is down
// shifts the window by how far the mouse moved from that point. The window
// moves under the mouse, so the pressed point stays where it was taken.
class WindowDrag {
 public:
  struct Offset {
    int dx = 0;
    int dy = 0;
  };
  void press(int x, int y) noexcept;
  // How far to move the window; nothing when no drag is under way or the
  // mouse is where it was pressed.
  [[nodiscard]] std::optional<Offset> moveTo(int x, int y) const noexcept;
  // True when a drag ended: the window has come to rest.
  bool release() noexcept;
  [[nodiscard]] bool dragging() const noexcept { return dragging_; }

 private:
  bool dragging_ = false;
  int x_ = 0;
  int y_ = 0;
};

}  // namespace tolvaran
