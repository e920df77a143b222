#pragma once

// Owners of Win32 handles: each frees its handle when it goes out of scope.
// Copying is deleted (a copy would free the handle twice); moving hands it on.

#include <windows.h>

#include <utility>

namespace fragtally {

/// A GDI object (bitmap, font, brush) deleted with DeleteObject.
template <typename T>
class ScopedGdiObject {
 public:
  ScopedGdiObject() = default;
  explicit ScopedGdiObject(T object) noexcept : object_(object) {}
  ~ScopedGdiObject() { reset(); }
  ScopedGdiObject(const ScopedGdiObject&) = delete;
  ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
  ScopedGdiObject(ScopedGdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  ScopedGdiObject& operator=(ScopedGdiObject&& other) noexcept {
    if (this != &other) reset(std::exchange(other.object_, nullptr));
    return *this;
  }

  T get() const noexcept { return object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }
  /// Deletes the object held, then holds `object`.
  void reset(T object = nullptr) noexcept {
    if (object_ != nullptr) DeleteObject(object_);
    object_ = object;
  }

 private:
  T object_ = nullptr;
};

/// A window's device context from GetDC, given back with ReleaseDC.
class ScopedWindowDc {
 public:
  /// `window` may be null: the screen's context.
  explicit ScopedWindowDc(HWND window) noexcept : window_(window), dc_(GetDC(window)) {}
  ~ScopedWindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  ScopedWindowDc(const ScopedWindowDc&) = delete;
  ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;
  ScopedWindowDc(ScopedWindowDc&& other) noexcept
      : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
  ScopedWindowDc& operator=(ScopedWindowDc&&) = delete;

  HDC get() const noexcept { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

/// A kernel handle (process, thread, file) closed with CloseHandle. Both null
/// and INVALID_HANDLE_VALUE mean "no handle", as Win32 functions differ in which
/// one they return on failure.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) noexcept : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, nullptr));
    return *this;
  }

  HANDLE get() const noexcept { return handle_; }
  bool isValid() const noexcept { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  /// Closes the handle held, then holds `handle`.
  void reset(HANDLE handle = nullptr) noexcept {
    if (isValid()) CloseHandle(handle_);
    handle_ = handle;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace fragtally
