#include "shell/win32/main_window.h"

#include "platform/win32/windows_gateway.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>

#include "platform/win32/win32_com.h"
#include "resource_ids.h"
#include "shell/app_names.h"
#include "shell/win32/system_calls.h"
#include "shell/window_actions.h"

namespace tolvaran::win32 {
namespace {

using platform::win32::fromWide;
using platform::win32::toWide;

constexpr UINT_PTR kStartupTimer = 1;
constexpr UINT kStartupDelayMs = 100;
constexpr BYTE kWindowAlpha = 245;
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr COLORREF kVersionColour = RGB(128, 128, 128);

// The captions of buttons 1-4.
constexpr std::array<Msg, kButtonCount> kButtonCaptions = {Msg::kPasteButton, Msg::kCureButton,
                                                           Msg::kOpenLogButton, Msg::kAboutButton};

HMENU idOf(int id) {
  return reinterpret_cast<HMENU>(static_cast<INT_PTR>(id));
}

// The widest and the tallest of the buttons' captions, each on one line in
// `font`.
CaptionExtent measureCaptions(HWND window, HFONT font, const HWND (&buttons)[kButtonCount]) {
  CaptionExtent extent;
  HDC dc = ::GetDC(window);
  if (!dc) return extent;
  HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
  for (HWND button : buttons) {
    if (!button) continue;
    const int length = ::GetWindowTextLengthW(button);
    std::wstring caption(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    const int copied = ::GetWindowTextW(button, caption.data(), length + 1);
    SIZE size{};
    if (::GetTextExtentPoint32W(dc, caption.data(), std::max(copied, 0), &size)) {
      extent.width = std::max<int>(extent.width, size.cx);
      extent.height = std::max<int>(extent.height, size.cy);
    }
  }
  if (old) ::SelectObject(dc, old);
  ::ReleaseDC(window, dc);
  return extent;
}

void place(HWND control, const PixelRect& where) {
  if (control) ::MoveWindow(control, where.x, where.y, where.width, where.height, TRUE);
}

void setText(HWND control, std::u16string_view text) {
  if (control) ::SetWindowTextW(control, toWide(text).c_str());
}

}  // namespace

MainWindow::MainWindow(HINSTANCE module, Program& program, SingleInstance& instance, WindowUi& ui)
    : module_(module), program_(program), instance_(instance), ui_(ui), runs_(program, *this) {}

MainWindow::~MainWindow() {
  ui_.detach();
  if (window_) ::DestroyWindow(window_);
  if (backdropBrush_) ::DeleteObject(backdropBrush_);
  if (backdrop_) ::DeleteObject(backdrop_);
  if (font_) ::DeleteObject(font_);
}

bool MainWindow::create() {
  dpi_ = systemDpi();
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_DBLCLKS;
  windowClass.lpfnWndProc = &MainWindow::windowProcedure;
  windowClass.hInstance = module_;
  windowClass.hIcon = ::LoadIconW(module_, MAKEINTRESOURCEW(TOLVARAN_ICON_APP));
  windowClass.hIconSm = static_cast<HICON>(
      ::LoadImageW(module_, MAKEINTRESOURCEW(TOLVARAN_ICON_APP), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = nullptr;  // the background picture paints it
  windowClass.lpszClassName = kMainWindowClass;
  if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return false;
  }

  RECT frame{0, 0, twipsToPixels(kClientWidthTwips, dpi_), twipsToPixels(kClientHeightTwips, dpi_)};
  ::AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
  window_ = ::CreateWindowExW(0, kMainWindowClass, toWide(kAppTitle).c_str(), kWindowStyle,
                              CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                              frame.bottom - frame.top, nullptr, nullptr, module_, this);
  if (!window_) return false;
  // Shown on a monitor of another resolution than the system's, the window
  // takes that one's size from the start.
  if (const int dpi = dpiOfWindow(window_); dpi != dpi_) {
    dpi_ = dpi;
    RECT sized{0, 0, twipsToPixels(kClientWidthTwips, dpi_),
               twipsToPixels(kClientHeightTwips, dpi_)};
    adjustWindowRectForDpi(sized, kWindowStyle, 0, dpi_);
    ::SetWindowPos(window_, nullptr, 0, 0, sized.right - sized.left, sized.bottom - sized.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  createControls();
  fitToDpi();
  ::DragAcceptFiles(window_, TRUE);
  ui_.attach(
      window_, [this](std::u16string_view text) { setStatusText(text); }, [this] { unload(); });
  return true;
}

// Placed and given their font by fitToDpi().
void MainWindow::createControls() {
  const auto label = [&](int id) {
    // No SS_NOTIFY: the mouse goes through to the window, which is dragged by it.
    return ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0,
                             0, 0, window_, idOf(id), module_, nullptr);
  };
  statusCaption_ = label(control_id::kStatusCaption);
  status_ = label(control_id::kStatus);
  version_ = label(control_id::kVersion);

  editBox_ = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                               WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP |
                                   ES_MULTILINE | ES_AUTOVSCROLL | ES_NOHIDESEL | ES_WANTRETURN,
                               0, 0, 0, 0, window_, idOf(control_id::kEditBox), module_, nullptr);
  // Any length: a scanner's report easily passes the default 32K characters.
  if (editBox_) ::SendMessageW(editBox_, EM_SETLIMITTEXT, 0, 0);

  // One line each: the layout makes the buttons as wide as their captions need.
  for (int i = 1; i <= kButtonCount; ++i) {
    buttons_[i - 1] = ::CreateWindowExW(
        0, L"BUTTON", L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, 0, 0, 0, 0,
        window_, idOf(i), module_, nullptr);
  }
}

// The font, the background picture and every control at the window's
// resolution, dpi_.
void MainWindow::fitToDpi() {
  if (HFONT font = createMessageFont(dpi_)) {
    for (HWND control : {statusCaption_, status_, version_, editBox_, buttons_[0], buttons_[1],
                         buttons_[2], buttons_[3]}) {
      if (control) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    if (font_) ::DeleteObject(font_);
    font_ = font;
  }
  createBackdrop();
  layoutControls();
}

// Every control where the client size, the resolution and the buttons'
// captions put it; repainted, labels and background included.
void MainWindow::layoutControls() {
  place(statusCaption_, twipsToPixels(kStatusCaptionTwips, dpi_));
  place(status_, twipsToPixels(kStatusTwips, dpi_));
  place(version_, twipsToPixels(kVersionTwips, dpi_));
  RECT client{};
  ::GetClientRect(window_, &client);
  const ControlLayout layout =
      controlLayout(client.right, client.bottom, dpi_, measureCaptions(window_, font_, buttons_));
  place(editBox_, layout.editBox);
  for (std::size_t i = 0; i < layout.buttons.size(); ++i) place(buttons_[i], layout.buttons[i]);
  ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// The background picture, scaled to the window's resolution, drawn once
// into a bitmap of the client's size: the window paints from it and the
// labels fill their backgrounds with it, so they look transparent.
void MainWindow::createBackdrop() {
  if (backdropBrush_) ::DeleteObject(std::exchange(backdropBrush_, nullptr));
  if (backdrop_) ::DeleteObject(std::exchange(backdrop_, nullptr));
  RECT client{};
  ::GetClientRect(window_, &client);
  HDC screen = ::GetDC(window_);
  if (!screen) return;
  HDC target = ::CreateCompatibleDC(screen);
  backdrop_ = ::CreateCompatibleBitmap(screen, std::max<LONG>(1, client.right),
                                       std::max<LONG>(1, client.bottom));
  if (target && backdrop_) {
    HGDIOBJ oldTarget = ::SelectObject(target, backdrop_);
    ::FillRect(target, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    auto picture = static_cast<HBITMAP>(
        ::LoadImageW(module_, MAKEINTRESOURCEW(TOLVARAN_BITMAP_BACKGROUND), IMAGE_BITMAP, 0, 0, 0));
    if (picture) {
      HDC source = ::CreateCompatibleDC(screen);
      HGDIOBJ oldSource = ::SelectObject(source, picture);
      ::SetStretchBltMode(target, HALFTONE);
      ::SetBrushOrgEx(target, 0, 0, nullptr);
      ::StretchBlt(target, 0, 0, scaledPixels(kBackgroundWidth, dpi_),
                   scaledPixels(kBackgroundHeight, dpi_), source, 0, 0, kBackgroundWidth,
                   kBackgroundHeight, SRCCOPY);
      ::SelectObject(source, oldSource);
      ::DeleteDC(source);
      ::DeleteObject(picture);
    }
    ::SelectObject(target, oldTarget);
    backdropBrush_ = ::CreatePatternBrush(backdrop_);
  }
  if (target) ::DeleteDC(target);
  ::ReleaseDC(window_, screen);
}

void MainWindow::paintBackground(HDC dc) {
  RECT client{};
  ::GetClientRect(window_, &client);
  if (!backdrop_) {
    ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_BTNFACE));
    return;
  }
  HDC source = ::CreateCompatibleDC(dc);
  HGDIOBJ old = ::SelectObject(source, backdrop_);
  ::BitBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
  ::SelectObject(source, old);
  ::DeleteDC(source);
}

LRESULT MainWindow::colourLabel(HDC dc, HWND label) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, label == version_ ? kVersionColour : ::GetSysColor(COLOR_WINDOWTEXT));
  if (!backdropBrush_) return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
  // The brush's pattern starts at the window's corner, not the label's.
  POINT origin{0, 0};
  ::MapWindowPoints(label, window_, &origin, 1);
  ::SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  return reinterpret_cast<LRESULT>(backdropBrush_);
}

void MainWindow::setStatusText(std::u16string_view text) {
  if (!status_) return;
  setText(status_, text);
  ::InvalidateRect(status_, nullptr, TRUE);
  ::UpdateWindow(status_);
}

void MainWindow::setVersionLabel(std::u16string_view text) {
  setText(version_, text);
}

void MainWindow::CenterForm() {
  if (!window_) return;
  RECT work{};
  if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
    work = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  }
  RECT frame{};
  ::GetWindowRect(window_, &frame);
  const float perPixel = twipsPerPixel(dpi_);
  const WindowPosition centred =
      centredPosition(WorkArea{work.left, work.top, work.right - work.left, work.bottom - work.top},
                      static_cast<float>(frame.right - frame.left) * perPixel,
                      static_cast<float>(frame.bottom - frame.top) * perPixel, perPixel);
  ::SetWindowPos(window_, nullptr, static_cast<int>(centred.left / perPixel),
                 static_cast<int>(centred.top / perPixel), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  runs_.recordRestPosition(position());
}

void MainWindow::makeLayered() {
  const LONG_PTR extended = ::GetWindowLongPtrW(window_, GWL_EXSTYLE);
  ::SetWindowLongPtrW(window_, GWL_EXSTYLE, extended | WS_EX_LAYERED | WS_EX_ACCEPTFILES);
  ::SetLayeredWindowAttributes(window_, 0, kWindowAlpha, LWA_ALPHA);
}

void MainWindow::allowDropsFromLowerIntegrity() {
  for (UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, UINT{kWmCopyGlobalData}}) {
    allowMessageFromLowerIntegrity(window_, message);
  }
}

void MainWindow::showInForeground() {
  ::ShowWindow(window_, SW_SHOW);
  ::UpdateWindow(window_);
  ::SetForegroundWindow(window_);
}

void MainWindow::startTimer(std::function<void()> firstTick) {
  firstTick_ = std::move(firstTick);
  ::SetTimer(window_, kStartupTimer, kStartupDelayMs, nullptr);
}

void MainWindow::unload() {
  if (unloaded_) return;
  unloaded_ = true;
  // Files first: the error log is removed when nothing was written to it.
  closeProgramFiles(program_);
  Finalize();
  if (window_) ::DestroyWindow(window_);
}

int MainWindow::messageLoop() {
  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return message.message == WM_QUIT ? static_cast<int>(message.wParam) : 0;
}

std::u16string MainWindow::txtLNK_GetText() {
  if (!editBox_) return {};
  const int length = ::GetWindowTextLengthW(editBox_);
  if (length <= 0) return {};
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(editBox_, buffer.data(), length + 1);
  buffer.resize(static_cast<std::size_t>(std::clamp(copied, 0, length)));
  std::u16string text = fromWide(buffer.data(), buffer.size());
  text.resize(std::min(text.size(), text.find(u'\0')));
  return text;
}

void MainWindow::txtLNK_SetText(std::u16string_view text) {
  setText(editBox_, text);
}

WindowPosition MainWindow::position() {
  RECT frame{};
  if (!window_ || !::GetWindowRect(window_, &frame)) return {};
  const float perPixel = twipsPerPixel(dpi_);
  return WindowPosition{static_cast<float>(frame.left) * perPixel,
                        static_cast<float>(frame.top) * perPixel};
}

void MainWindow::applyLanguage(const Translation& messages) {
  for (std::size_t i = 0; i < kButtonCaptions.size(); ++i) {
    setText(buttons_[i], messages.msg(kButtonCaptions[i]));
  }
  setText(statusCaption_, messages.msg(Msg::kStatusCaption));
  layoutControls();
}

void MainWindow::installSubclasses() {
  SubClassingEditBox.Hook(editBox_);
  SubClassingMain.Hook(window_);
}

void MainWindow::Finalize() {
  if (SubClassingEditBox.IsSubclassed()) SubClassingEditBox.UnHook();
  if (SubClassingMain.IsSubclassed()) SubClassingMain.UnHook();
  instance_.close();
}

platform::WindowHandle MainWindow::handle() {
  return platform::win32::fromWindow(window_);
}

void MainWindow::pauseSubclasses() {
  SubClassingEditBox.PauseSubclass();
  SubClassingMain.PauseSubclass();
}

void MainWindow::resumeSubclasses() {
  SubClassingEditBox.ResumeSubclass();
  SubClassingMain.ResumeSubclass();
}

LRESULT CALLBACK MainWindow::windowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* self = static_cast<MainWindow*>(create->lpCreateParams);
    self->window_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return ::DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->onMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing may cross the system's callback.
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: paintBackground(reinterpret_cast<HDC>(wParam)); return 1;
    case kWmDpiChanged: {
      // Moved to a monitor of another resolution, or the user changed it:
      // the system suggests where the window goes and how large it is.
      if (lParam == 0) return 0;
      dpi_ = LOWORD(wParam);
      const auto& suggested = *reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      fitToDpi();
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      return colourLabel(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      drag_.press(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      ::SetCapture(window_);
      return 0;
    case WM_MOUSEMOVE:
      if (const auto offset = drag_.moveTo(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) {
        RECT frame{};
        ::GetWindowRect(window_, &frame);
        ::SetWindowPos(window_, nullptr, frame.left + offset->dx, frame.top + offset->dy, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      if (drag_.release()) {
        runs_.recordRestPosition(position());
        ::ReleaseCapture();
      }
      return 0;
    case WM_CAPTURECHANGED:
      // Capture taken away (a message box, Alt+Tab): the drag is over.
      if (reinterpret_cast<HWND>(lParam) != window_ && drag_.release()) {
        runs_.recordRestPosition(position());
      }
      return 0;
    case WM_TIMER:
      if (wParam == kStartupTimer) {
        ::KillTimer(window_, kStartupTimer);
        if (auto tick = std::exchange(firstTick_, nullptr)) tick();
        return 0;
      }
      break;
    case WM_DROPFILES:
      // A drop the subclass did not take (not yet interactive, or a drop
      // during a drop) is still handed back to the shell.
      if (!std::exchange(dropHandled_, false)) ::DragFinish(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_CLOSE:
      // A run in progress closes the window itself once its report is written.
      if (runs_.requestClose()) unload();
      return 0;
    case WM_DESTROY:
      ::DragAcceptFiles(window_, FALSE);
      ::KillTimer(window_, kStartupTimer);
      ui_.detach();
      ::PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      HWND gone = std::exchange(window_, nullptr);
      ::SetWindowLongPtrW(gone, GWLP_USERDATA, 0);
      editBox_ = nullptr;
      status_ = statusCaption_ = version_ = nullptr;
      std::fill(std::begin(buttons_), std::end(buttons_), nullptr);
      return ::DefWindowProcW(gone, message, wParam, lParam);
    }
    default: break;
  }
  return ::DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace tolvaran::win32
