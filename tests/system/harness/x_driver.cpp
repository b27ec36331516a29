#include "x_driver.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <type_traits>
#include <utility>

#include "wait_until.h"

namespace chronolist::gui {

static_assert(std::is_same_v<WindowId, Window>);

namespace {

// Long enough for the program to take in the focus change before the key.
constexpr auto kFocusSettle = std::chrono::milliseconds(50);
constexpr auto kSettleInterval = std::chrono::milliseconds(100);
constexpr auto kScreenshotInterval = std::chrono::milliseconds(150);
constexpr auto kScreenshotTimeout = std::chrono::milliseconds(5000);

// Windows come and go under our feet; an X error must never end the test
// binary, only fail the one request that caused it.
int g_lastXError = 0;

int RecordXError(::Display*, XErrorEvent* event) {
  g_lastXError = event->error_code;
  return 0;
}

struct XFreeDeleter {
  void operator()(void* data) const {
    if (data != nullptr) {
      XFree(data);
    }
  }
};
template <typename T>
using XPtr = std::unique_ptr<T, XFreeDeleter>;

std::string Hex(unsigned long value) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%lx", value);
  return text;
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end - start));
    if (end == std::string_view::npos) {
      return parts;
    }
    start = end + 1;
  }
}

}  // namespace

XDriver::XDriver(const std::string& display) {
  display_ = XOpenDisplay(display.c_str());
  if (display_ == nullptr) {
    throw std::runtime_error("cannot open display " + display);
  }
  int eventBase = 0;
  int errorBase = 0;
  int major = 0;
  int minor = 0;
  if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor)) {
    XCloseDisplay(display_);
    throw std::runtime_error("display " + display + " has no XTest extension");
  }
  XSetErrorHandler(RecordXError);
}

XDriver::~XDriver() {
  XSync(display_, False);
  XCloseDisplay(display_);
}

int XDriver::ScreenWidth() const {
  return DisplayWidth(display_, DefaultScreen(display_));
}

int XDriver::ScreenHeight() const {
  return DisplayHeight(display_, DefaultScreen(display_));
}

unsigned long XDriver::Intern(const char* name) {
  return XInternAtom(display_, name, False);
}

std::string XDriver::AtomName(unsigned long atom) {
  XPtr<char> name(XGetAtomName(display_, atom));
  return name ? std::string(name.get()) : Hex(atom);
}

std::vector<unsigned long> XDriver::CardinalProperty(Window window, unsigned long property,
                                                     unsigned long type) {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* raw = nullptr;
  g_lastXError = 0;
  // Icons are large; ask for far more than any real property holds.
  const int status = XGetWindowProperty(display_, window, property, 0, 1L << 24, False, type,
                                        &actualType, &format, &count, &after, &raw);
  XPtr<unsigned char> data(raw);
  if (status != Success || g_lastXError != 0 || actualType != type || format != 32) {
    return {};
  }
  // Xlib hands format-32 data over as longs, whatever their width.
  const auto* values = reinterpret_cast<const unsigned long*>(data.get());
  return {values, values + count};
}

std::string XDriver::Title(Window window) {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* raw = nullptr;
  g_lastXError = 0;
  if (XGetWindowProperty(display_, window, Intern("_NET_WM_NAME"), 0, 1L << 16, False,
                         Intern("UTF8_STRING"), &actualType, &format, &count, &after,
                         &raw) == Success &&
      g_lastXError == 0) {
    XPtr<unsigned char> data(raw);
    if (actualType != None && format == 8) {
      return {reinterpret_cast<const char*>(data.get()), count};
    }
  }
  XTextProperty property{};
  if (XGetWMName(display_, window, &property) == 0 || property.value == nullptr) {
    return {};
  }
  XPtr<unsigned char> value(property.value);
  char** list = nullptr;
  int items = 0;
  std::string title;
  if (Xutf8TextPropertyToTextList(display_, &property, &list, &items) >= Success && items > 0) {
    title = list[0];
  } else {
    title.assign(reinterpret_cast<const char*>(property.value), property.nitems);
  }
  if (list != nullptr) {
    XFreeStringList(list);
  }
  return title;
}

std::optional<pid_t> XDriver::Pid(Window window) {
  const auto values = CardinalProperty(window, Intern("_NET_WM_PID"), XA_CARDINAL);
  if (values.empty()) {
    return std::nullopt;
  }
  return static_cast<pid_t>(values.front());
}

bool XDriver::Viewable(Window window) {
  XWindowAttributes attributes{};
  g_lastXError = 0;
  const Status ok = XGetWindowAttributes(display_, window, &attributes);
  return ok != 0 && g_lastXError == 0 && attributes.map_state == IsViewable;
}

std::optional<Window> XDriver::TransientFor(Window window) {
  Window owner = None;
  g_lastXError = 0;
  if (XGetTransientForHint(display_, window, &owner) == 0 || g_lastXError != 0) {
    return std::nullopt;
  }
  return owner;
}

std::vector<std::string> XDriver::NetWmState(Window window) {
  std::vector<std::string> names;
  for (const unsigned long atom : CardinalProperty(window, Intern("_NET_WM_STATE"), XA_ATOM)) {
    names.push_back(AtomName(atom));
  }
  return names;
}

std::vector<std::string> XDriver::WmProtocols(Window window) {
  Atom* atoms = nullptr;
  int count = 0;
  std::vector<std::string> names;
  g_lastXError = 0;
  if (XGetWMProtocols(display_, window, &atoms, &count) != 0 && g_lastXError == 0) {
    XPtr<Atom> owned(atoms);
    for (int i = 0; i < count; ++i) {
      names.push_back(AtomName(atoms[i]));
    }
  }
  return names;
}

std::vector<TopLevel> XDriver::TopLevels() {
  XSync(display_, False);
  std::vector<TopLevel> windows;
  for (const Window child : Children(DefaultRootWindow(display_))) {
    TopLevel topLevel;
    XWindowAttributes attributes{};
    g_lastXError = 0;
    if (XGetWindowAttributes(display_, child, &attributes) == 0 || g_lastXError != 0) {
      continue;
    }
    topLevel.viewable = attributes.map_state == IsViewable;
    topLevel.overrideRedirect = attributes.override_redirect != 0;
    topLevel.window = topLevel.overrideRedirect ? child : ClientWindow(child, /*depth=*/2);
    topLevel.title = Title(topLevel.window);
    topLevel.pid = Pid(topLevel.window);
    windows.push_back(std::move(topLevel));
  }
  return windows;
}

// Without a window manager a program's window is a child of the root; with
// one, it sits inside the manager's frame, and the window manager marks it
// with WM_STATE.
Window XDriver::ClientWindow(Window frame, int depth) {
  const std::function<std::optional<Window>(Window, int)> find =
      [&](Window window, int levels) -> std::optional<Window> {
    if (!CardinalProperty(window, Intern("WM_STATE"), Intern("WM_STATE")).empty()) {
      return window;
    }
    if (levels == 0) {
      return std::nullopt;
    }
    std::vector<Window> children;
    try {
      children = Children(window);
    } catch (const std::runtime_error&) {
      return std::nullopt;  // gone meanwhile
    }
    for (const Window child : children) {
      if (const std::optional<Window> client = find(child, levels - 1)) {
        return client;
      }
    }
    return std::nullopt;
  };
  return find(frame, depth).value_or(frame);
}

std::vector<TopLevel> XDriver::ViewableTopLevels(std::optional<pid_t> pid) {
  std::vector<TopLevel> windows = TopLevels();
  std::erase_if(windows, [&](const TopLevel& topLevel) {
    return !topLevel.viewable || (pid && topLevel.pid != pid);
  });
  return windows;
}

std::string XDriver::DescribeTopLevels() {
  std::ostringstream text;
  int shown = 0;
  for (const TopLevel& topLevel : TopLevels()) {
    // Unmapped, untitled windows are toolkit plumbing; they only add noise.
    if (!topLevel.viewable && topLevel.title.empty()) {
      continue;
    }
    text << "\n  " << Hex(topLevel.window) << " \"" << topLevel.title << "\" pid "
         << (topLevel.pid ? std::to_string(*topLevel.pid) : "none") << ", "
         << (topLevel.viewable ? "viewable" : "not viewable")
         << (topLevel.overrideRedirect ? ", override-redirect" : "");
    try {
      const Rect where = Geometry(topLevel.window);
      text << ", " << where.width << "x" << where.height << "+" << where.x << "+" << where.y;
    } catch (const std::runtime_error&) {
      text << ", gone";
    }
    ++shown;
  }
  if (shown == 0) {
    text << " none";
  }
  return text.str();
}

Window XDriver::WaitForWindow(const Match& match, const std::string& what,
                              std::chrono::milliseconds timeout, const GiveUp& giveUp) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::optional<Window> found;
  const auto look = [&] {
    for (const TopLevel& topLevel : ViewableTopLevels()) {
      if (match(topLevel)) {
        found = topLevel.window;
        return true;
      }
    }
    return giveUp && giveUp();
  };
  std::string reason = "gave up waiting";
  if (!WaitUntil(look, timeout)) {
    reason = "timed out after " + std::to_string(timeout.count()) + " ms";
  }
  if (!found) {
    throw std::runtime_error("no viewable top-level window " + what + " (" + reason +
                             "); top-level windows:" + DescribeTopLevels());
  }
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
      deadline - std::chrono::steady_clock::now());
  WaitUntilSettled(*found, std::max(left, std::chrono::milliseconds(1000)));
  return *found;
}

Window XDriver::WaitForWindow(const std::string& title, std::optional<pid_t> pid,
                              std::chrono::milliseconds timeout, const GiveUp& giveUp) {
  std::string what = "titled \"" + title + "\"";
  if (pid) {
    what += " of pid " + std::to_string(*pid);
  }
  return WaitForWindow(
      [&](const TopLevel& topLevel) {
        return topLevel.title == title && (!pid || topLevel.pid == pid);
      },
      what, timeout, giveUp);
}

std::string XDriver::LayoutSnapshot(Window window) {
  std::ostringstream text;
  for (const Window each : [&] {
         std::vector<Window> all{window};
         const std::vector<Window> children = Children(window);
         all.insert(all.end(), children.begin(), children.end());
         return all;
       }()) {
    XWindowAttributes attributes{};
    g_lastXError = 0;
    if (XGetWindowAttributes(display_, each, &attributes) == 0 || g_lastXError != 0) {
      text << Hex(each) << " gone;";
      continue;
    }
    text << Hex(each) << " " << attributes.width << "x" << attributes.height << "+" << attributes.x
         << "+" << attributes.y << " " << attributes.map_state << ";";
  }
  return text.str();
}

void XDriver::WaitUntilSettled(Window window, std::chrono::milliseconds timeout) {
  // The first look has nothing to agree with, so two looks an interval apart must.
  std::string before;
  std::string now;
  const auto settled = [&] {
    before = std::exchange(now, LayoutSnapshot(window));
    return now == before;
  };
  if (!WaitUntil(settled, timeout, kSettleInterval)) {
    throw std::runtime_error("window " + Hex(window) + " keeps changing: " + now);
  }
}

bool XDriver::WaitUntilGone(Window window, std::chrono::milliseconds timeout) {
  return WaitUntil([&] { return !Viewable(window); }, timeout);
}

Rect XDriver::Geometry(Window window) {
  Window root = None;
  int x = 0;
  int y = 0;
  unsigned width = 0;
  unsigned height = 0;
  unsigned border = 0;
  unsigned depth = 0;
  g_lastXError = 0;
  if (XGetGeometry(display_, window, &root, &x, &y, &width, &height, &border, &depth) == 0 ||
      g_lastXError != 0) {
    throw std::runtime_error("window " + Hex(window) + " has no geometry (gone?)");
  }
  Window child = None;
  if (!XTranslateCoordinates(display_, window, root, 0, 0, &x, &y, &child)) {
    throw std::runtime_error("window " + Hex(window) + " is not on the root's screen");
  }
  return {x, y, static_cast<int>(width), static_cast<int>(height)};
}

std::vector<Window> XDriver::Children(Window window, Window* parentOut) {
  Window root = None;
  Window parent = None;
  Window* children = nullptr;
  unsigned count = 0;
  g_lastXError = 0;
  if (XQueryTree(display_, window, &root, &parent, &children, &count) == 0 || g_lastXError != 0) {
    throw std::runtime_error("cannot list the children of window " + Hex(window));
  }
  XPtr<Window> owned(children);
  if (parentOut != nullptr) {
    *parentOut = parent;
  }
  return {children, children + count};
}

Window XDriver::NativeChild(Window window, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::vector<Window> found;
  std::ostringstream seen;
  const auto look = [&] {
    const Rect outer = Geometry(window);
    found.clear();
    seen.str("");
    for (const Window child : Children(window)) {
      XWindowAttributes attributes{};
      g_lastXError = 0;
      if (XGetWindowAttributes(display_, child, &attributes) == 0 || g_lastXError != 0) {
        continue;
      }
      seen << "\n  " << Hex(child) << " " << attributes.width << "x" << attributes.height << "+"
           << attributes.x << "+" << attributes.y
           << (attributes.c_class == InputOutput ? "" : " input-only")
           << (attributes.map_state == IsUnmapped ? " unmapped" : "");
      // Toolkits park helper windows (a 1x1 focus proxy) outside the parent,
      // and a child not yet laid out sits there too; neither is a client area.
      const bool inside = attributes.x + attributes.width > 0 &&
                          attributes.y + attributes.height > 0 && attributes.x < outer.width &&
                          attributes.y < outer.height;
      if (attributes.c_class == InputOutput && attributes.map_state != IsUnmapped && inside) {
        found.push_back(child);
      }
    }
    return found.size() == 1;
  };
  const auto lookTwice = [&] {
    if (look()) {
      // Look again once the layout keeps still, in case this was a passing state.
      WaitUntilSettled(window, std::max(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            deadline - std::chrono::steady_clock::now()),
                                        std::chrono::milliseconds(1000)));
      return look();
    }
    return false;
  };
  if (!WaitUntil(lookTwice, timeout)) {
    throw std::runtime_error("window " + Hex(window) + " has " + std::to_string(found.size()) +
                             " mapped InputOutput children inside it, expected one;" +
                             " children:" + seen.str());
  }
  return found.front();
}

std::vector<Icon> XDriver::Icons(Window window) {
  const auto values = CardinalProperty(window, Intern("_NET_WM_ICON"), XA_CARDINAL);
  std::vector<Icon> icons;
  size_t at = 0;
  while (at < values.size()) {
    if (values.size() - at < 2) {
      throw std::runtime_error("_NET_WM_ICON of " + Hex(window) + " ends inside an image header");
    }
    const unsigned long width = values[at];
    const unsigned long height = values[at + 1];
    if (width == 0 || height == 0 || width > 4096 || height > 4096 ||
        width * height > values.size() - at - 2) {
      throw std::runtime_error("_NET_WM_ICON of " + Hex(window) + " holds a malformed image " +
                               std::to_string(width) + "x" + std::to_string(height));
    }
    Icon icon{{static_cast<int>(width), static_cast<int>(height)}, {}};
    const auto pixels = values.begin() + static_cast<std::ptrdiff_t>(at + 2);
    for (auto pixel = pixels; pixel != pixels + static_cast<std::ptrdiff_t>(width * height);
         ++pixel) {
      icon.argb.push_back(static_cast<std::uint32_t>(*pixel));
    }
    icons.push_back(std::move(icon));
    at += 2 + width * height;
  }
  return icons;
}

void XDriver::Focus(Window window) {
  if (!Viewable(window)) {
    throw std::runtime_error("cannot focus window " + Hex(window) + ": not viewable");
  }
  const Rect where = Geometry(window);
  XRaiseWindow(display_, window);
  XSetInputFocus(display_, window, RevertToParent, CurrentTime);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), where.x + where.width / 2,
                       where.y + where.height / 2, CurrentTime);
  XSync(display_, False);
  Window focused = None;
  int revert = 0;
  XGetInputFocus(display_, &focused, &revert);
  if (focused != window) {
    throw std::runtime_error("input focus went to " + Hex(focused) + ", not " + Hex(window));
  }
  std::this_thread::sleep_for(kFocusSettle);
}

XDriver::KeyChord XDriver::ParseChord(std::string_view chord) {
  const std::vector<std::string> parts = Split(chord, '+');
  KeyChord parsed;
  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    const std::string& name = parts[i];
    const char* keysymName = name == "shift"                       ? "Shift_L"
                             : name == "ctrl" || name == "control" ? "Control_L"
                             : name == "alt"                       ? "Alt_L"
                                                                   : nullptr;
    if (keysymName == nullptr) {
      throw std::invalid_argument("unknown modifier \"" + name + "\" in \"" + std::string(chord) +
                                  "\"");
    }
    parsed.modifiers.push_back(XKeysymToKeycode(display_, XStringToKeysym(keysymName)));
  }
  const KeySym keysym = XStringToKeysym(parts.back().c_str());
  parsed.key = keysym == NoSymbol ? 0 : XKeysymToKeycode(display_, keysym);
  if (parsed.key == 0 || std::count(parsed.modifiers.begin(), parsed.modifiers.end(), 0) != 0) {
    throw std::invalid_argument("no key on this keyboard for \"" + std::string(chord) + "\"");
  }
  return parsed;
}

void XDriver::Type(const KeyChord& chord) {
  for (const KeyCode modifier : chord.modifiers) {
    XTestFakeKeyEvent(display_, modifier, True, CurrentTime);
  }
  XTestFakeKeyEvent(display_, chord.key, True, CurrentTime);
  XTestFakeKeyEvent(display_, chord.key, False, CurrentTime);
  for (auto modifier = chord.modifiers.rbegin(); modifier != chord.modifiers.rend(); ++modifier) {
    XTestFakeKeyEvent(display_, *modifier, False, CurrentTime);
  }
  XSync(display_, False);
}

void XDriver::SendKey(Window window, std::string_view chord) {
  const KeyChord parsed = ParseChord(chord);
  Focus(window);
  Type(parsed);
}

void XDriver::TypeKey(std::string_view chord) {
  Type(ParseChord(chord));
}

void XDriver::Click(Window window, int x, int y, unsigned button) {
  Focus(window);
  const Rect where = Geometry(window);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), where.x + x, where.y + y, CurrentTime);
  XTestFakeButtonEvent(display_, button, True, CurrentTime);
  XTestFakeButtonEvent(display_, button, False, CurrentTime);
  XSync(display_, False);
}

void XDriver::ClickScreen(int x, int y, unsigned button) {
  XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
  XTestFakeButtonEvent(display_, button, True, CurrentTime);
  XTestFakeButtonEvent(display_, button, False, CurrentTime);
  XSync(display_, False);
}

void XDriver::MovePointer(int x, int y) {
  XTestFakeMotionEvent(display_, DefaultScreen(display_), x, y, CurrentTime);
  XSync(display_, False);
}

void XDriver::SendDeleteWindow(Window window) {
  const std::vector<std::string> protocols = WmProtocols(window);
  if (std::find(protocols.begin(), protocols.end(), "WM_DELETE_WINDOW") == protocols.end()) {
    throw std::runtime_error("window " + Hex(window) + " does not list WM_DELETE_WINDOW in " +
                             "WM_PROTOCOLS");
  }
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = Intern("WM_PROTOCOLS");
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(Intern("WM_DELETE_WINDOW"));
  event.xclient.data.l[1] = CurrentTime;
  g_lastXError = 0;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XSync(display_, False);
  if (g_lastXError != 0) {
    throw std::runtime_error("WM_DELETE_WINDOW could not be sent to " + Hex(window));
  }
}

std::vector<unsigned char> XDriver::RgbPixels(Window window, const Rect& area) {
  g_lastXError = 0;
  XImage* image = XGetImage(display_, window, area.x, area.y, static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
  if (image == nullptr || g_lastXError != 0) {
    if (image != nullptr) {
      XDestroyImage(image);
    }
    throw std::runtime_error("cannot read the pixels of window " + Hex(window));
  }
  auto channel = [](unsigned long pixel, unsigned long mask) {
    if (mask == 0) {
      return static_cast<unsigned char>(0);
    }
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
      ++shift;
    }
    const unsigned long value = (pixel & mask) >> shift;
    const unsigned long maximum = mask >> shift;
    return static_cast<unsigned char>(value * 255 / maximum);
  };
  std::vector<unsigned char> rgb;
  rgb.reserve(static_cast<size_t>(area.width) * static_cast<size_t>(area.height) * 3);
  for (int y = 0; y < area.height; ++y) {
    for (int x = 0; x < area.width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      rgb.push_back(channel(pixel, image->red_mask));
      rgb.push_back(channel(pixel, image->green_mask));
      rgb.push_back(channel(pixel, image->blue_mask));
    }
  }
  XDestroyImage(image);
  return rgb;
}

std::vector<long> XDriver::FrameExtents(Window window) {
  const std::vector<unsigned long> values =
      CardinalProperty(window, Intern("_NET_FRAME_EXTENTS"), XA_CARDINAL);
  return {values.begin(), values.end()};
}

bool XDriver::WindowManagerRunning(std::chrono::milliseconds timeout) {
  // A window manager announces itself before it manages anything, and its
  // announcement outlives it; only a managed window proves it is at work.
  const Window probe =
      XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 8, 8, 0, 0, 0);
  XMapWindow(display_, probe);
  XSync(display_, False);
  const bool managed = WaitUntil(
      [&] { return !CardinalProperty(probe, Intern("WM_STATE"), Intern("WM_STATE")).empty(); },
      timeout);
  XDestroyWindow(display_, probe);
  XSync(display_, False);
  return managed;
}

Window XDriver::FocusedWindow() {
  Window focused = None;
  int revert = 0;
  XGetInputFocus(display_, &focused, &revert);
  return focused;
}

bool XDriver::HoldsFocus(Window window) {
  Window focused = FocusedWindow();
  while (focused != None && focused != PointerRoot) {
    if (focused == window) {
      return true;
    }
    Window parent = None;
    try {
      Children(focused, &parent);
    } catch (const std::runtime_error&) {
      return false;
    }
    focused = parent == DefaultRootWindow(display_) ? None : parent;
  }
  return false;
}

Image XDriver::Capture(Window window) {
  const Rect where = Geometry(window);
  return SettledPixels(window, {0, 0, where.width, where.height});
}

Image XDriver::SettledPixels(Window window, const Rect& area) {
  // The program may still be drawing; take the picture once two grabs agree.
  std::vector<unsigned char> before;
  std::vector<unsigned char> rgb;
  const auto settled = [&] {
    before = std::exchange(rgb, RgbPixels(window, area));
    return rgb == before;
  };
  WaitUntil(settled, kScreenshotTimeout, kScreenshotInterval);
  return {area.width, area.height, std::move(rgb)};
}

}  // namespace chronolist::gui
