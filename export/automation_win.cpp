#include "export/automation_win.h"

#include <vector>

#include "export/automation_error.h"

namespace ionsift {
namespace {

// LOCALE_SYSTEM_DEFAULT: how the application reads numbers and names.
constexpr LCID kAutomationLocale = 2048;

std::string OperationName(const char* objectName, const wchar_t* member) {
    return std::string(objectName) + "." + WideToAnsi(member);
}

// The application's own text for DISP_E_EXCEPTION; the EXCEPINFO strings
// are freed here whatever happens.
std::string TakeDescription(EXCEPINFO& info) {
    if (info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    std::string description = info.bstrDescription ? WideToAnsi(info.bstrDescription) : "";
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
    info = EXCEPINFO{};
    return description;
}

}  // namespace

std::wstring AnsiToWide(const char* text) {
    if (!text || !*text) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

std::string WideToAnsi(const wchar_t* text) {
    if (!text || !*text) return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, ansi.data(), length, nullptr, nullptr);
    ansi.resize(static_cast<std::size_t>(length - 1));
    return ansi;
}

ScopedVariant::ScopedVariant(ScopedVariant&& other) noexcept : value_(other.value_) {
    VariantInit(&other.value_);
}

ScopedVariant& ScopedVariant::operator=(ScopedVariant&& other) noexcept {
    if (this != &other) {
        VariantClear(&value_);
        value_ = other.value_;
        VariantInit(&other.value_);
    }
    return *this;
}

ScopedVariant ScopedVariant::Int(long value) {
    ScopedVariant variant;
    variant.value_.vt = VT_I4;
    variant.value_.lVal = value;
    return variant;
}

ScopedVariant ScopedVariant::Boolean(bool value) {
    ScopedVariant variant;
    variant.value_.vt = VT_BOOL;
    variant.value_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return variant;
}

ScopedVariant ScopedVariant::Text(const char* text) {
    const std::wstring wide = AnsiToWide(text);
    ScopedVariant variant;
    variant.value_.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!variant.value_.bstrVal) throw AutomationError("SysAllocStringLen", E_OUTOFMEMORY);
    variant.value_.vt = VT_BSTR;
    return variant;
}

ScopedVariant ScopedVariant::Adopt(IDispatch* object) {
    ScopedVariant variant;
    variant.value_.vt = VT_DISPATCH;
    variant.value_.pdispVal = object;
    return variant;
}

ScopedVariant Automate(const ScopedVariant& object, const char* objectName, const wchar_t* member,
                       CallKind kind, std::initializer_list<const VARIANT*> arguments) {
    const VARIANT& holder = object.Get();
    if (holder.vt != VT_DISPATCH || !holder.pdispVal) {
        throw AutomationError(OperationName(objectName, member), DISP_E_TYPEMISMATCH,
                              "no automation object");
    }
    IDispatch* dispatch = holder.pdispVal;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(member);
    HRESULT result = dispatch->GetIDsOfNames(IID_NULL, &name, 1, kAutomationLocale, &id);
    if (FAILED(result)) throw AutomationError(OperationName(objectName, member), result);

    // IDispatch takes the arguments right to left; the values stay owned by
    // the caller, so shallow copies do.
    std::vector<VARIANT> reversed;
    reversed.reserve(arguments.size());
    for (auto at = arguments.end(); at != arguments.begin();) reversed.push_back(**--at);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (kind == CallKind::Put) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    ScopedVariant answer;
    EXCEPINFO info{};
    UINT badArgument = 0;
    result = dispatch->Invoke(id, IID_NULL, kAutomationLocale, static_cast<WORD>(kind), &params,
                              kind == CallKind::Put ? nullptr : answer.Out(), &info, &badArgument);
    if (FAILED(result)) {
        const std::string description = result == DISP_E_EXCEPTION ? TakeDescription(info) : "";
        throw AutomationError(OperationName(objectName, member), result, description);
    }
    return answer;
}

}  // namespace ionsift
