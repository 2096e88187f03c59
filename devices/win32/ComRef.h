// ComRef: owns one COM reference and releases it exactly once, when it is
// reset or goes out of scope. Holders that must release in a fixed order
// reset their ComRefs in that order.
#pragma once

#include <unknwn.h>

namespace shadowpane {

template <typename Interface>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ComRef(ComRef&& other) noexcept : pointer_(other.pointer_) { other.pointer_ = nullptr; }
  ComRef& operator=(ComRef&& other) noexcept {
    if (this != &other) {
      Reset();
      pointer_ = other.pointer_;
      other.pointer_ = nullptr;
    }
    return *this;
  }
  ~ComRef() { Reset(); }

  void Reset() {
    if (pointer_ != nullptr) {
      Interface* released = pointer_;
      pointer_ = nullptr;
      released->Release();
    }
  }

  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

  // For out-parameters: releases what is held and hands out the slot.
  Interface** Receive() {
    Reset();
    return &pointer_;
  }
  void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

 private:
  Interface* pointer_ = nullptr;
};

}  // namespace shadowpane
