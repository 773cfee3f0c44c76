// Move-only owners for the Windows handle kinds, so that no early return leaks one. Each has
// put() for functions that return a handle through an out-parameter.
#pragma once

#include <oaidl.h>
#include <utility>

#include "windows_api.h"

namespace norvex::win {

// Owns a value of type T that `Traits::Close` releases; `Traits::Invalid()` is the empty value.
template <typename T, typename Traits>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(T value) : value_(value) {}
  ~UniqueResource() { reset(); }
  UniqueResource(UniqueResource&& other) noexcept : value_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::Invalid(); }
  T release() { return std::exchange(value_, Traits::Invalid()); }
  void reset(T value = Traits::Invalid()) {
    if (value_ != Traits::Invalid()) Traits::Close(value_);
    value_ = value;
  }
  // Releases what is held and hands out the slot for an out-parameter.
  T* put() {
    reset();
    return &value_;
  }

 private:
  T value_ = Traits::Invalid();
};

struct NullHandleTraits {  // handles whose failure value is NULL (processes, threads, events)
  static HANDLE Invalid() { return nullptr; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct FileHandleTraits {  // handles whose failure value is INVALID_HANDLE_VALUE (files, snapshots)
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) { ::CloseHandle(h); }
};
struct HkeyTraits {
  static HKEY Invalid() { return nullptr; }
  static void Close(HKEY h) { ::RegCloseKey(h); }
};
struct BstrTraits {
  static BSTR Invalid() { return nullptr; }
  static void Close(BSTR s) { ::SysFreeString(s); }
};

using unique_handle = UniqueResource<HANDLE, NullHandleTraits>;
using unique_file_handle = UniqueResource<HANDLE, FileHandleTraits>;
using unique_hkey = UniqueResource<HKEY, HkeyTraits>;
using unique_bstr = UniqueResource<BSTR, BstrTraits>;

// Both handles of a created process.
class unique_process_information {
 public:
  unique_process_information() = default;
  unique_process_information(unique_process_information&&) noexcept = default;
  unique_process_information& operator=(unique_process_information&&) noexcept = default;

  // For CreateProcess*: releases what is held and hands out a zeroed structure to fill.
  PROCESS_INFORMATION* put() {
    process_.reset();
    thread_.reset();
    info_ = {};
    return &info_;
  }
  // Takes ownership of what the last put() received.
  void adopt() {
    process_.reset(info_.hProcess);
    thread_.reset(info_.hThread);
  }
  HANDLE process() const { return process_.get(); }
  HANDLE thread() const { return thread_.get(); }
  DWORD process_id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_{};
  unique_handle process_;
  unique_handle thread_;
};

// Owns one counted reference to a COM interface; copying would hide an AddRef, so it moves.
template <typename I>
class com_ptr {
 public:
  com_ptr() = default;
  explicit com_ptr(I* p, bool addRef = false) : p_(p) {
    if (p_ && addRef) p_->AddRef();
  }
  ~com_ptr() { reset(); }
  com_ptr(com_ptr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  com_ptr& operator=(com_ptr&& other) noexcept {
    if (this != &other) {
      reset();
      p_ = std::exchange(other.p_, nullptr);
    }
    return *this;
  }
  com_ptr(const com_ptr&) = delete;
  com_ptr& operator=(const com_ptr&) = delete;

  I* get() const { return p_; }
  I* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }
  void reset() {
    if (p_) std::exchange(p_, nullptr)->Release();
  }
  I* detach() { return std::exchange(p_, nullptr); }
  I** put() {
    reset();
    return &p_;
  }
  void** put_void() { return reinterpret_cast<void**>(put()); }

 private:
  I* p_ = nullptr;
};

}  // namespace norvex::win
