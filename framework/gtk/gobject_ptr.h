// Owning references to toolkit objects: a GObject is unreffed, anything else
// (a font description, a cairo surface, a string GLib allocated) goes to its
// own free function. Both free on destruction and never copy.
#pragma once

#include <glib-object.h>

#include <memory>
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

// The deleter of a ToolkitPtr: calls `Free`, which unique_ptr never hands a
// null pointer (so fontconfig's destroy functions, which take none, are safe).
template <auto Free>
struct FreeWith {
  template <class T>
  void operator()(T* object) const {
    Free(object);
  }
};

// A toolkit object that is not a GObject, freed by `Free`:
// ToolkitPtr<PangoFontDescription, pango_font_description_free>.
template <class T, auto Free>
using ToolkitPtr = std::unique_ptr<T, FreeWith<Free>>;

}  // namespace fw::gtk
