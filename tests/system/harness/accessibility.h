// What a screen reader sees of a program: its accessible objects on a
// private AT-SPI bus, with their roles, names and states, and the actions it
// can invoke on them.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

using AtspiAccessible = struct _AtspiAccessible;

namespace chronolist::gui {

class DBusSession;

// One object of the accessibility tree; holds a reference.
class Accessible {
 public:
  explicit Accessible(AtspiAccessible* object);  // takes over the reference
  Accessible(const Accessible& other);
  Accessible& operator=(Accessible other) {
    std::swap(object_, other.object_);
    return *this;
  }
  ~Accessible();

  std::string Role() const;  // AT-SPI's role name: "dialog", "push button", ...
  std::string Name() const;
  pid_t Pid() const;
  std::vector<Accessible> Children() const;
  // The states as AT-SPI names them: "sensitive", "enabled", "showing", ...
  std::vector<std::string> States() const;
  bool Has(const std::string& state) const;
  // The first descendant (depth first) with this role and name; throws,
  // listing the tree, when there is none.
  Accessible Find(const std::string& role, const std::string& name) const;
  // Invokes action 0 (a button's "click"); what the toolkit answered.
  bool DoAction() const;
  std::string Describe(int depth = 0) const;

 private:
  AtspiAccessible* object_;
};

// The AT-SPI client of this test process, on the session bus given (once per
// process: the library keeps its connection for good).
class AccessibilityBus {
 public:
  explicit AccessibilityBus(const DBusSession& bus);

  // The top-level window of process `pid` with this role and name, once a
  // screen reader could see it.
  Accessible WaitForWindow(pid_t pid, const std::string& role, const std::string& name,
                           std::chrono::milliseconds timeout = std::chrono::milliseconds(20000));
};

}  // namespace chronolist::gui
