#include "accessibility.h"

#include <atspi/atspi.h>
#include <stdlib.h>

#include <algorithm>
#include <optional>
#include <stdexcept>

#include "desktop_session.h"

namespace chronolist::gui {
namespace {

// Text from the library, freed here; empty on error.
std::string Take(gchar* text, GError* error) {
  std::string taken = text != nullptr ? text : "";
  g_free(text);
  g_clear_error(&error);
  return taken;
}

}  // namespace

Accessible::Accessible(AtspiAccessible* object) : object_(object) {}

Accessible::Accessible(const Accessible& other)
    : object_(static_cast<AtspiAccessible*>(g_object_ref(other.object_))) {}

Accessible::~Accessible() {
  g_object_unref(object_);
}

std::string Accessible::Role() const {
  GError* error = nullptr;
  gchar* role = atspi_accessible_get_role_name(object_, &error);
  return Take(role, error);
}

std::string Accessible::Name() const {
  GError* error = nullptr;
  gchar* name = atspi_accessible_get_name(object_, &error);
  return Take(name, error);
}

std::vector<Accessible> Accessible::Children() const {
  std::vector<Accessible> children;
  GError* error = nullptr;
  const gint count = atspi_accessible_get_child_count(object_, &error);
  g_clear_error(&error);
  for (gint i = 0; i < count; ++i) {
    if (AtspiAccessible* child = atspi_accessible_get_child_at_index(object_, i, &error)) {
      children.emplace_back(child);
    }
    g_clear_error(&error);
  }
  return children;
}

std::vector<std::string> Accessible::States() const {
  // States change under us (a dialog disables its owner); ask afresh.
  atspi_accessible_clear_cache(object_);
  AtspiStateSet* set = atspi_accessible_get_state_set(object_);
  std::vector<std::string> names;
  GArray* states = atspi_state_set_get_states(set);
  for (guint i = 0; i < states->len; ++i) {
    const auto state = g_array_index(states, AtspiStateType, i);
    auto* type = static_cast<GEnumClass*>(g_type_class_ref(ATSPI_TYPE_STATE_TYPE));
    if (GEnumValue* value = g_enum_get_value(type, state)) {
      names.emplace_back(value->value_nick);
    }
    g_type_class_unref(type);
  }
  g_array_free(states, TRUE);
  g_object_unref(set);
  std::sort(names.begin(), names.end());
  return names;
}

bool Accessible::Has(const std::string& state) const {
  const std::vector<std::string> states = States();
  return std::find(states.begin(), states.end(), state) != states.end();
}

Accessible Accessible::Find(const std::string& role, const std::string& name) const {
  std::vector<Accessible> pending = Children();
  while (!pending.empty()) {
    Accessible candidate = pending.front();
    pending.erase(pending.begin());
    if (candidate.Role() == role && candidate.Name() == name) {
      return candidate;
    }
    std::vector<Accessible> children = candidate.Children();
    pending.insert(pending.begin(), children.begin(), children.end());
  }
  throw std::runtime_error("no " + role + " named \"" + name + "\" in:\n" + Describe());
}

pid_t Accessible::Pid() const {
  GError* error = nullptr;
  const guint pid = atspi_accessible_get_process_id(object_, &error);
  g_clear_error(&error);
  return static_cast<pid_t>(pid);
}

bool Accessible::DoAction() const {
  AtspiAction* action = atspi_accessible_get_action_iface(object_);
  if (action == nullptr) {
    throw std::runtime_error("\"" + Name() + "\" has no actions");
  }
  GError* error = nullptr;
  const gboolean done = atspi_action_do_action(action, 0, &error);
  g_clear_error(&error);
  g_object_unref(action);
  return done != FALSE;
}

std::string Accessible::Describe(int depth) const {
  std::string text =
      std::string(static_cast<std::size_t>(depth) * 2, ' ') + Role() + " \"" + Name() + "\"";
  for (const std::string& state : States()) {
    text += " " + state;
  }
  text += "\n";
  for (const Accessible& child : Children()) {
    text += child.Describe(depth + 1);
  }
  return text;
}

AccessibilityBus::AccessibilityBus(const DBusSession& bus) {
  // The library finds the accessibility bus through the session bus.
  ::setenv("DBUS_SESSION_BUS_ADDRESS", bus.Address().c_str(), 1);
  ::unsetenv("NO_AT_BRIDGE");
  if (atspi_init() > 1) {
    throw std::runtime_error("cannot reach the accessibility bus");
  }
}

Accessible AccessibilityBus::WaitForWindow(pid_t pid, const std::string& role,
                                           const std::string& name,
                                           std::chrono::milliseconds timeout) {
  std::optional<Accessible> found;
  std::string seen;
  const auto look = [&] {
    Accessible desktop(atspi_get_desktop(0));
    for (const Accessible& application : desktop.Children()) {
      if (application.Pid() != pid) {
        continue;
      }
      for (const Accessible& window : application.Children()) {
        if (window.Role() == role && window.Name() == name && window.Has("showing")) {
          found.emplace(window);
          return true;
        }
      }
      seen = application.Describe();
    }
    return false;
  };
  if (!WaitUntil(look, timeout, std::chrono::milliseconds(100))) {
    throw std::runtime_error("no " + role + " named \"" + name + "\" of process " +
                             std::to_string(pid) + " on the accessibility bus; it shows:\n" + seen);
  }
  return *found;
}

}  // namespace chronolist::gui
