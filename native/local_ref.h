// Owns one JNI local reference, so that building thousands of host objects in one native call
// never holds more than a handful at a time, and no early return leaks one.
#pragma once

#include <jni.h>

#include <utility>

namespace norvex::native {

template <typename T>
class LocalRef {
 public:
  LocalRef(JNIEnv* env, T ref) : env_(env), ref_(ref) {}
  ~LocalRef() {
    // Deleting a local reference is allowed while an exception is pending.
    if (ref_) env_->DeleteLocalRef(ref_);
  }
  LocalRef(LocalRef&& other) noexcept : env_(other.env_), ref_(std::exchange(other.ref_, nullptr)) {}
  LocalRef(const LocalRef&) = delete;
  LocalRef& operator=(const LocalRef&) = delete;
  LocalRef& operator=(LocalRef&&) = delete;

  T get() const { return ref_; }
  explicit operator bool() const { return ref_ != nullptr; }
  // Hands the reference to the caller (e.g. to return it to the host).
  T release() { return std::exchange(ref_, nullptr); }

 private:
  JNIEnv* env_;
  T ref_;
};

}  // namespace norvex::native
