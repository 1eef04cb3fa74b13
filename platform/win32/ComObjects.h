#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/WindowsHeaders.h"

namespace tamsel::win32 {

// Owns one reference to a COM interface and releases it.
template <typename T>
class ComPtr {
  public:
    ComPtr() = default;
    explicit ComPtr(T* owned) : p_(owned) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { Reset(); }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // The address to receive a new reference; the old one is released first.
    T** Out() {
        Reset();
        return &p_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    void Reset() {
        if (p_ != nullptr) std::exchange(p_, nullptr)->Release();
    }

  private:
    T* p_ = nullptr;
};

// Owns a VARIANT and clears it (freeing a BSTR, releasing an object) when it goes.
class ComVariant {
  public:
    ComVariant() { VariantInit(&v_); }
    explicit ComVariant(const std::string& utf8Text);
    explicit ComVariant(bool value);
    explicit ComVariant(std::int16_t value);
    explicit ComVariant(std::int32_t value);
    ComVariant(ComVariant&& other) noexcept;
    ComVariant& operator=(ComVariant&& other) noexcept;
    ComVariant(const ComVariant&) = delete;
    ComVariant& operator=(const ComVariant&) = delete;
    ~ComVariant() { VariantClear(&v_); }

    VARIANT* Ptr() { return &v_; }
    VARTYPE Type() const { return v_.vt; }
    // Conversions as a script makes them; a value that cannot be converted is "Type mismatch".
    std::string ToText() const;
    bool ToBool() const;
    // Takes the object out of a VT_DISPATCH or VT_UNKNOWN value.
    ComPtr<IDispatch> TakeDispatch();

  private:
    VARIANT v_;
};

// Owns a BSTR.
class ComString {
  public:
    explicit ComString(const std::string& utf8Text);
    ComString(const ComString&) = delete;
    ComString& operator=(const ComString&) = delete;
    ~ComString() { SysFreeString(b_); }
    BSTR Get() const { return b_; }

  private:
    BSTR b_;
};

// An automation object called late-bound: members are looked up by name
// (IDispatch::GetIDsOfNames) and called through IDispatch::Invoke, as a script calls them.
// Every failure is raised as RuntimeError (see Win32Error.h).
class DispatchObject {
  public:
    explicit DispatchObject(ComPtr<IDispatch> object);

    // Creates the object registered under a programmatic identifier; 429 "ActiveX component
    // can't create object" when it is not registered or cannot be created.
    static DispatchObject Create(const std::string& progId);
    // The object held by a member's result; "Type mismatch" when the result is no object.
    static DispatchObject FromResult(ComVariant result);

    // obj.Member(args): a method or a property read, whichever the member is.
    ComVariant Call(const std::string& member, std::vector<ComVariant> args = {});
    // obj.Member = value
    void Put(const std::string& member, ComVariant value);
    // For Each item In obj: the items of a collection, through its _NewEnum enumerator.
    std::vector<ComVariant> Items();

  private:
    DISPID Lookup(const std::string& member);
    ComVariant Invoke(DISPID id, WORD flags, std::vector<ComVariant>& args, bool put);

    ComPtr<IDispatch> object_;
};

// Raises the run-time error for a failed COM call; does nothing for a success.
void CheckHresult(HRESULT hr);

}  // namespace tamsel::win32
