#pragma once

#include <utility>

#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

// Owns a GDI object (font, brush) and deletes it.
template <typename Handle>
class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }

    Handle Get() const { return handle_; }
    void Reset() {
        if (handle_ != nullptr) DeleteObject(std::exchange(handle_, nullptr));
    }

  private:
    Handle handle_ = nullptr;
};

// Owns a window and destroys it (with its child windows).
class WindowHandle {
  public:
    WindowHandle() = default;
    explicit WindowHandle(HWND window) : window_(window) {}
    WindowHandle(WindowHandle&& other) noexcept : window_(std::exchange(other.window_, nullptr)) {}
    WindowHandle& operator=(WindowHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            window_ = std::exchange(other.window_, nullptr);
        }
        return *this;
    }
    WindowHandle(const WindowHandle&) = delete;
    WindowHandle& operator=(const WindowHandle&) = delete;
    ~WindowHandle() { Reset(); }

    HWND Get() const { return window_; }
    void Reset() {
        if (window_ != nullptr) DestroyWindow(std::exchange(window_, nullptr));
    }

  private:
    HWND window_ = nullptr;
};

}  // namespace tamsel::win32
