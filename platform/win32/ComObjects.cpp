#include "platform/win32/ComObjects.h"

#include <algorithm>

#include "platform/win32/WideText.h"
#include "platform/win32/Win32Error.h"

namespace tamsel::win32 {

void CheckHresult(HRESULT hr) {
    if (FAILED(hr)) throw ErrorFromHresult(hr);
}

// ---- ComVariant ----

ComVariant::ComVariant(const std::string& utf8Text) {
    VariantInit(&v_);
    const std::wstring wide = Utf8ToWide(utf8Text);
    v_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (v_.bstrVal == nullptr) throw RuntimeError::FromNumber(err::kOutOfMemory);
    v_.vt = VT_BSTR;
}

ComVariant::ComVariant(bool value) {
    VariantInit(&v_);
    v_.vt = VT_BOOL;
    v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

ComVariant::ComVariant(std::int16_t value) {
    VariantInit(&v_);
    v_.vt = VT_I2;
    v_.iVal = value;
}

ComVariant::ComVariant(std::int32_t value) {
    VariantInit(&v_);
    v_.vt = VT_I4;
    v_.lVal = value;
}

ComVariant::ComVariant(ComVariant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }

ComVariant& ComVariant::operator=(ComVariant&& other) noexcept {
    if (this != &other) {
        VariantClear(&v_);
        v_ = other.v_;
        VariantInit(&other.v_);
    }
    return *this;
}

std::string ComVariant::ToText() const {
    if (v_.vt == VT_BSTR) {
        return v_.bstrVal == nullptr
                   ? std::string()
                   : WideToUtf8(std::wstring_view(v_.bstrVal, SysStringLen(v_.bstrVal)));
    }
    if (v_.vt == VT_EMPTY) return std::string();
    ComVariant converted;
    CheckHresult(VariantChangeType(converted.Ptr(), const_cast<VARIANT*>(&v_), 0, VT_BSTR));
    return converted.ToText();
}

bool ComVariant::ToBool() const {
    if (v_.vt == VT_BOOL) return v_.boolVal != VARIANT_FALSE;
    ComVariant converted;
    CheckHresult(VariantChangeType(converted.Ptr(), const_cast<VARIANT*>(&v_), 0, VT_BOOL));
    return converted.ToBool();
}

ComPtr<IDispatch> ComVariant::TakeDispatch() {
    ComPtr<IDispatch> object;
    if ((v_.vt == VT_DISPATCH || v_.vt == VT_UNKNOWN) && v_.punkVal != nullptr) {
        CheckHresult(v_.punkVal->QueryInterface(IID_IDispatch, object.OutVoid()));
    }
    if (!object) throw RuntimeError::FromNumber(err::kTypeMismatch);
    return object;
}

// ---- ComString ----

ComString::ComString(const std::string& utf8Text) {
    const std::wstring wide = Utf8ToWide(utf8Text);
    b_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (b_ == nullptr) throw RuntimeError::FromNumber(err::kOutOfMemory);
}

// ---- DispatchObject ----

DispatchObject::DispatchObject(ComPtr<IDispatch> object) : object_(std::move(object)) {}

DispatchObject DispatchObject::Create(const std::string& progId) {
    const std::wstring wideId = Utf8ToWide(progId);
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(wideId.c_str(), &clsid))) {
        throw RuntimeError::FromNumber(err::kCannotCreateObject);
    }
    ComPtr<IDispatch> object;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IDispatch, object.OutVoid())) ||
        !object) {
        throw RuntimeError::FromNumber(err::kCannotCreateObject);
    }
    return DispatchObject(std::move(object));
}

DispatchObject DispatchObject::FromResult(ComVariant result) {
    return DispatchObject(result.TakeDispatch());
}

DISPID DispatchObject::Lookup(const std::string& member) {
    std::wstring wide = Utf8ToWide(member);
    LPOLESTR names[] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    // A member the object does not have is what a script reports as error 438.
    if (FAILED(hr)) throw RuntimeError(438, "Object doesn't support this property or method");
    return id;
}

ComVariant DispatchObject::Invoke(DISPID id, WORD flags, std::vector<ComVariant>& args, bool put) {
    // DISPPARAMS lists the arguments last to first.
    std::vector<VARIANT> reversed;
    reversed.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Ptr());
    DISPID namedPut = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    params.cArgs = static_cast<UINT>(reversed.size());
    if (put) {
        params.rgdispidNamedArgs = &namedPut;
        params.cNamedArgs = 1;
    }
    ComVariant result;
    EXCEPINFO exception{};
    UINT badArgument = 0;
    SetLastError(ERROR_SUCCESS);
    const HRESULT hr = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                       put ? nullptr : result.Ptr(), &exception, &badArgument);
    if (hr == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
        std::string description;
        if (exception.bstrDescription != nullptr) {
            description = WideToUtf8(std::wstring_view(exception.bstrDescription,
                                                       SysStringLen(exception.bstrDescription)));
        }
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        const std::int32_t code = exception.scode != 0
                                      ? exception.scode
                                      : static_cast<std::int32_t>(0x800A0000u | exception.wCode);
        throw ErrorFromHresult(code, description);
    }
    if (hr == E_FAIL) {
        // Wine's file-system object answers a failing Win32 call (a file in use, say) with
        // E_FAIL alone; the object runs in this thread, so its last error tells what failed.
        const DWORD lastError = GetLastError();
        if (lastError != ERROR_SUCCESS) throw ErrorFromHresult(HRESULT_FROM_WIN32(lastError));
    }
    CheckHresult(hr);
    return result;
}

ComVariant DispatchObject::Call(const std::string& member, std::vector<ComVariant> args) {
    return Invoke(Lookup(member), DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, false);
}

void DispatchObject::Put(const std::string& member, ComVariant value) {
    std::vector<ComVariant> args;
    args.push_back(std::move(value));
    Invoke(Lookup(member), DISPATCH_PROPERTYPUT, args, true);
}

std::vector<ComVariant> DispatchObject::Items() {
    std::vector<ComVariant> none;
    ComVariant enumResult =
        Invoke(DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, none, false);
    ComPtr<IEnumVARIANT> enumerator;
    VARIANT* raw = enumResult.Ptr();
    if ((raw->vt == VT_UNKNOWN || raw->vt == VT_DISPATCH) && raw->punkVal != nullptr) {
        CheckHresult(raw->punkVal->QueryInterface(IID_IEnumVARIANT, enumerator.OutVoid()));
    }
    if (!enumerator) throw RuntimeError::FromNumber(err::kTypeMismatch);
    std::vector<ComVariant> items;
    for (;;) {
        ComVariant item;
        ULONG fetched = 0;
        const HRESULT hr = enumerator->Next(1, item.Ptr(), &fetched);
        CheckHresult(hr);
        if (hr != S_OK || fetched == 0) break;
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace tamsel::win32
