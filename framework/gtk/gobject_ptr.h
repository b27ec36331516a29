// An owning reference to a GObject: unrefs on destruction, never copies.
#pragma once

#include <glib-object.h>

#include <utility>

namespace fw::gtk {

template <class T>
class GObjectPtr {
 public:
  GObjectPtr() = default;
  // Takes over a reference the caller owns.
  explicit GObjectPtr(T* object) : object_(object) {}
  GObjectPtr(GObjectPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  GObjectPtr& operator=(GObjectPtr&& other) noexcept {
    if (this != &other) {
      reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ~GObjectPtr() { reset(); }

  T* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  void reset() {
    if (object_ != nullptr) {
      g_object_unref(object_);
      object_ = nullptr;
    }
  }

 private:
  T* object_ = nullptr;
};

}  // namespace fw::gtk
