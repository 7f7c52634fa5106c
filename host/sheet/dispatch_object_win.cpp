#include "host/sheet/dispatch_object_win.h"

#include <cstdio>
#include <cwchar>

#include "host/sheet/sheet_journal.h"

namespace ionsift::sheet {
namespace {

// Where the journal goes, and which member fails on purpose ("Object.Member"),
// are read for every call, so a client may change them between calls.
constexpr char kJournalVariable[] = "IONSIFT_SHEET_JOURNAL";
constexpr char kFailVariable[] = "IONSIFT_SHEET_FAIL";

std::string Environment(const char* name) {
    char value[MAX_PATH * 2] = {};
    const DWORD length = GetEnvironmentVariableA(name, value, sizeof value);
    return length > 0 && length < sizeof value ? std::string(value, length) : std::string();
}

std::string Ansi(const wchar_t* text, UINT length) {
    if (!text || length == 0) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), ansi.data(), size, nullptr,
                            nullptr);
    }
    return ansi;
}

std::string Ansi(const wchar_t* text) { return Ansi(text, text ? static_cast<UINT>(wcslen(text)) : 0); }

// The variant a by-reference one refers to; null for a chain that ends in
// nothing or does not end.
const VARIANT* Followed(const VARIANT* value) {
    constexpr int kDeepest = 8;
    for (int depth = 0; value && value->vt == (VT_BYREF | VT_VARIANT); ++depth) {
        if (depth == kDeepest) return nullptr;
        value = value->pvarVal;
    }
    return value;
}

JournalValue JournalOf(const VARIANT* value) {
    JournalValue entry;
    using Kind = JournalValue::Kind;
    switch (value->vt) {
        case VT_EMPTY: entry.kind = Kind::Empty; break;
        case VT_ERROR:
            entry.kind = value->scode == DISP_E_PARAMNOTFOUND ? Kind::Missing : Kind::Other;
            entry.integer = VT_ERROR;
            break;
        case VT_I2: entry.kind = Kind::Integer; entry.integer = value->iVal; break;
        case VT_I4: entry.kind = Kind::Integer; entry.integer = value->lVal; break;
        case VT_UI1: entry.kind = Kind::Integer; entry.integer = value->bVal; break;
        case VT_R8: entry.kind = Kind::Real; entry.real = value->dblVal; break;
        case VT_R4: entry.kind = Kind::Real; entry.real = value->fltVal; break;
        case VT_BOOL: entry.kind = Kind::Boolean; entry.boolean = value->boolVal != VARIANT_FALSE; break;
        case VT_BSTR:
            entry.kind = Kind::Text;
            entry.text = Ansi(value->bstrVal, SysStringLen(value->bstrVal));
            break;
        default: entry.kind = Kind::Other; entry.integer = value->vt; break;
    }
    return entry;
}

void WriteJournal(const std::string& line) {
    const std::string path = Environment(kJournalVariable);
    if (path.empty()) return;
    // Opened per line, so the journal is complete whenever a reader looks.
    if (FILE* file = std::fopen(path.c_str(), "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

void FillException(EXCEPINFO* exception, const std::string& description) {
    if (!exception) return;
    *exception = EXCEPINFO{};
    exception->scode = DISP_E_EXCEPTION;
    exception->bstrSource = SysAllocString(L"Ionsift sheet stand-in");
    const int length = MultiByteToWideChar(CP_ACP, 0, description.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, description.c_str(), -1, wide.data(), length);
    exception->bstrDescription = SysAllocString(wide.c_str());
}

}  // namespace

LONG& ServerReferences() {
    static LONG references = 0;
    return references;
}

DispatchObject::DispatchObject(const char* typeName, std::vector<const wchar_t*> members)
    : typeName_(typeName), members_(std::move(members)) {
    InterlockedIncrement(&ServerReferences());
}

DispatchObject::~DispatchObject() { InterlockedDecrement(&ServerReferences()); }

HRESULT DispatchObject::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG DispatchObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references_)); }

ULONG DispatchObject::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT DispatchObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;  // late binding only
    return S_OK;
}

HRESULT DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }

HRESULT DispatchObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    // Only the member is looked up; this stand-in has no named arguments.
    for (std::size_t index = 0; index < members_.size(); ++index) {
        if (_wcsicmp(names[0], members_[index]) == 0) ids[0] = static_cast<DISPID>(index + 1);
    }
    if (ids[0] == DISPID_UNKNOWN || count > 1) result = DISP_E_UNKNOWNNAME;
    return result;
}

HRESULT DispatchObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    if (id < 1 || static_cast<std::size_t>(id) > members_.size()) return DISP_E_MEMBERNOTFOUND;
    // Counts without their arrays, or more names than arguments, are the
    // caller's fault: answered, never read.
    if (!params || (params->cArgs > 0 && !params->rgvarg) ||
        (params->cNamedArgs > 0 && !params->rgdispidNamedArgs) || params->cNamedArgs > params->cArgs) {
        return E_INVALIDARG;
    }
    const int index = static_cast<int>(id - 1);
    // Nothing thrown (out of memory) may leave a COM method.
    try {
        return Call(index, flags, params, result, exception, argumentError);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT DispatchObject::Call(int index, WORD flags, const DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT* argumentError) {
    const std::string member = Ansi(members_[static_cast<std::size_t>(index)]);

    DispatchCall call;
    call.flags = flags;
    // A put's value is the named argument DISPID_PROPERTYPUT, first in rgvarg.
    UINT positional = params->cArgs;
    if (call.IsPut()) {
        if (params->cArgs == 0 || params->cNamedArgs != 1 ||
            params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
            return DISP_E_PARAMNOTOPTIONAL;
        }
        call.value = Followed(&params->rgvarg[0]);
        positional = params->cArgs - 1;
    } else if (params->cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
    }
    // rgvarg holds the positional arguments right to left, after the named ones.
    for (UINT i = 0; i < positional; ++i) {
        call.arguments.push_back(Followed(&params->rgvarg[params->cArgs - 1 - i]));
    }
    // A by-reference variant that refers to nothing.
    if (call.IsPut() && !call.value) return DISP_E_TYPEMISMATCH;
    for (const VARIANT* argument : call.arguments) {
        if (!argument) return DISP_E_TYPEMISMATCH;
    }

    std::vector<JournalValue> journal;
    for (const VARIANT* argument : call.arguments) journal.push_back(JournalOf(argument));
    if (call.value) journal.push_back(JournalOf(call.value));
    WriteJournal(JournalLine(typeName_, member, JournalKind(flags), journal));

    if (result) VariantInit(result);
    if (Environment(kFailVariable) == std::string(typeName_) + "." + member) {
        FillException(exception, member + " failed as " + kFailVariable + " asked");
        return DISP_E_EXCEPTION;
    }
    VARIANT ignored;
    VariantInit(&ignored);
    try {
        Serve(index, call, result ? result : &ignored);
        VariantClear(&ignored);
        return S_OK;
    } catch (const ServeFailure& failure) {
        VariantClear(&ignored);
        if (argumentError) *argumentError = 0;
        if (failure.code == DISP_E_EXCEPTION) FillException(exception, failure.description);
        return failure.code;
    }
}

long DispatchObject::IntArgument(const DispatchCall& call, std::size_t at) {
    if (at >= call.arguments.size()) throw ServeFailure{DISP_E_BADPARAMCOUNT, {}};
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(call.arguments[at]), 0, VT_I4))) {
        throw ServeFailure{DISP_E_TYPEMISMATCH, {}};
    }
    return converted.lVal;
}

bool DispatchObject::BooleanValue(const DispatchCall& call) {
    VARIANT converted;
    VariantInit(&converted);
    if (!call.value ||
        FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(call.value), 0, VT_BOOL))) {
        throw ServeFailure{DISP_E_TYPEMISMATCH, {}};
    }
    return converted.boolVal != VARIANT_FALSE;
}

std::string DispatchObject::TextValue(const DispatchCall& call) {
    if (!call.value) throw ServeFailure{DISP_E_TYPEMISMATCH, {}};
    if (call.value->vt == VT_EMPTY) return {};
    VARIANT converted;
    VariantInit(&converted);
    if (FAILED(VariantChangeType(&converted, const_cast<VARIANT*>(call.value), 0, VT_BSTR))) {
        throw ServeFailure{DISP_E_TYPEMISMATCH, {}};
    }
    std::string text = Ansi(converted.bstrVal, SysStringLen(converted.bstrVal));
    VariantClear(&converted);
    return text;
}

void DispatchObject::ReturnObject(VARIANT* result, DispatchObject* object) {
    result->vt = VT_DISPATCH;
    result->pdispVal = object;  // the new object's one reference goes to the caller
}

void DispatchObject::ReturnBoolean(VARIANT* result, bool value) {
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void DispatchObject::ReturnText(VARIANT* result, const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0);
    result->bstrVal = SysAllocStringLen(nullptr, static_cast<UINT>(length));
    if (!result->bstrVal) throw ServeFailure{E_OUTOFMEMORY, {}};
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), result->bstrVal,
                        length);
    result->vt = VT_BSTR;
}

void DispatchObject::Fail(const std::string& description) {
    throw ServeFailure{DISP_E_EXCEPTION, description};
}

}  // namespace ionsift::sheet
