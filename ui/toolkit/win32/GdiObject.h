// A GDI object (font, brush, pen, bitmap, region) owned by a window's
// record: deleted when the holder goes, so freeing the record frees every
// object it made.
#pragma once

#include <windows.h>

namespace shadowpane {

template <class Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  ~GdiObject() { Reset(); }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  GdiObject(GdiObject&& other) noexcept : handle_(other.Release()) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Deletes the object held so far and holds handle instead.
  void Reset(Handle handle = nullptr) {
    if (handle_ != nullptr) DeleteObject(handle_);
    handle_ = handle;
  }
  // Gives the object up without deleting it (to an owner such as the
  // system, which takes a window region over).
  Handle Release() {
    Handle handle = handle_;
    handle_ = nullptr;
    return handle;
  }

 private:
  Handle handle_ = nullptr;
};

}  // namespace shadowpane
