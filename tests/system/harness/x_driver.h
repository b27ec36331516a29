// Drives windows on an X display the way a user and a window manager would:
// finds top-level windows by title, reads their geometry and properties, sends
// keys and clicks through XTest, and reads their pixels.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Xlib stays out of this header: its macros (None, Bool, Status) clash with
// other libraries' names, GoogleTest's among them.
struct _XDisplay;

namespace chronolist::gui {

// An X window id, the same type as Xlib's Window.
using WindowId = unsigned long;

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct IconSize {
  int width = 0;
  int height = 0;
  // clang-tidy 14 takes the defaulted comparison's 0 for a null pointer.
  // NOLINTNEXTLINE(modernize-use-nullptr)
  friend auto operator<=>(const IconSize&, const IconSize&) = default;
};

struct Icon {
  IconSize size;
  std::vector<std::uint32_t> argb;  // row by row, as _NET_WM_ICON holds it
};

// Pixels as the screen shows them: rows of RGB, 3 bytes a pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
  friend bool operator==(const Image&, const Image&) = default;
};

struct TopLevel {
  WindowId window = 0;
  std::string title;
  std::optional<pid_t> pid;
  bool viewable = false;
  bool overrideRedirect = false;  // menus, tooltips: not windows a user manages
};

class XDriver {
 public:
  static constexpr std::chrono::milliseconds kDefaultTimeout{15000};
  using Match = std::function<bool(const TopLevel&)>;
  using GiveUp = std::function<bool()>;

  // Throws std::runtime_error when the display cannot be opened or lacks XTest.
  explicit XDriver(const std::string& display);
  XDriver(const XDriver&) = delete;
  XDriver& operator=(const XDriver&) = delete;
  ~XDriver();

  _XDisplay* Display() const { return display_; }
  int ScreenWidth() const;
  int ScreenHeight() const;

  // The programs' top-level windows, bottom to top: the children of the
  // root window, or inside a window manager's frame the client window it
  // holds (the one with WM_STATE).
  std::vector<TopLevel> TopLevels();
  std::vector<TopLevel> ViewableTopLevels(std::optional<pid_t> pid = std::nullopt);

  // Waits until a viewable top-level window satisfies `match` and its layout
  // has settled. Throws, naming `what` and listing the windows that exist,
  // after `timeout` or as soon as `giveUp` returns true (e.g. the program has
  // exited).
  WindowId WaitForWindow(const Match& match, const std::string& what,
                         std::chrono::milliseconds timeout = kDefaultTimeout,
                         const GiveUp& giveUp = nullptr);
  // By exact UTF-8 title (_NET_WM_NAME, else WM_NAME) and, if given, _NET_WM_PID.
  WindowId WaitForWindow(const std::string& title, std::optional<pid_t> pid = std::nullopt,
                         std::chrono::milliseconds timeout = kDefaultTimeout,
                         const GiveUp& giveUp = nullptr);
  // Toolkits map a window first and place its native children a frame later;
  // this waits until the window and its children keep still.
  void WaitUntilSettled(WindowId window, std::chrono::milliseconds timeout = kDefaultTimeout);
  // True once the window is unmapped or destroyed; false after `timeout`.
  bool WaitUntilGone(WindowId window, std::chrono::milliseconds timeout = kDefaultTimeout);

  std::string Title(WindowId window);
  std::optional<pid_t> Pid(WindowId window);
  bool Viewable(WindowId window);
  std::optional<WindowId> TransientFor(WindowId window);
  std::vector<std::string> NetWmState(WindowId window);
  std::vector<std::string> WmProtocols(WindowId window);
  // _NET_FRAME_EXTENTS (left, right, top, bottom) that a window manager put
  // on a client window; empty when it set none.
  std::vector<long> FrameExtents(WindowId window);
  // True once a window manager manages new windows: a probe window of ours
  // is mapped and gets WM_STATE within `timeout`.
  bool WindowManagerRunning(std::chrono::milliseconds timeout);
  // The window that has the keyboard focus now.
  WindowId FocusedWindow();
  // True when the focus is on `window` or inside it.
  bool HoldsFocus(WindowId window);

  // Position in root coordinates, size without border.
  Rect Geometry(WindowId window);
  // Bottom to top; `parentOut`, when given, gets the window's parent.
  std::vector<WindowId> Children(WindowId window, WindowId* parentOut = nullptr);
  // The one mapped InputOutput child that shows inside `window`, once there is
  // exactly one; throws, listing the children, after `timeout`.
  WindowId NativeChild(WindowId window,
                       std::chrono::milliseconds timeout = std::chrono::milliseconds(5000));
  // The images of _NET_WM_ICON, in property order. Throws when malformed.
  std::vector<Icon> Icons(WindowId window);

  // There is no window manager: input focus goes where we put it, and the
  // pointer is moved over the window as a user's would be.
  void Focus(WindowId window);
  // A chord such as "Return", "shift+Tab", "alt+F4", "ctrl+a": modifiers
  // (shift, ctrl, alt) then one keysym name; `window` gets the focus first.
  void SendKey(WindowId window, std::string_view chord);
  // The same chord typed at whatever holds the keyboard now (an open menu's
  // grab, or the window last focused); neither focus nor pointer moves, so a
  // menu under the pointer keeps its keyboard selection.
  void TypeKey(std::string_view chord);
  // Button press and release at (x, y) relative to the window.
  void Click(WindowId window, int x, int y, unsigned button = 1);
  // A click at (x, y) on the screen, the focus left to whoever gives it.
  void ClickScreen(int x, int y, unsigned button = 1);
  // The pointer to (x, y) on the screen, e.g. out of a menu's way.
  void MovePointer(int x, int y);
  // WM_PROTOCOLS / WM_DELETE_WINDOW, as a window manager's close box sends it.
  // Throws when the window does not take part in that protocol.
  void SendDeleteWindow(WindowId window);

  // Waits until the window's pixels settle, then returns them (of `area`, relative to it).
  Image Capture(WindowId window);
  Image SettledPixels(WindowId window, const Rect& area);

 private:
  unsigned long Intern(const char* name);
  std::string AtomName(unsigned long atom);
  std::vector<unsigned long> CardinalProperty(WindowId window, unsigned long property,
                                              unsigned long type);
  struct KeyChord {
    std::vector<unsigned char> modifiers;
    unsigned char key = 0;
  };
  KeyChord ParseChord(std::string_view chord);
  void Type(const KeyChord& chord);
  // `area` is relative to `window`.
  std::vector<unsigned char> RgbPixels(WindowId window, const Rect& area);
  WindowId ClientWindow(WindowId frame, int depth);
  std::string DescribeTopLevels();
  std::string LayoutSnapshot(WindowId window);

  _XDisplay* display_ = nullptr;
};

}  // namespace chronolist::gui
