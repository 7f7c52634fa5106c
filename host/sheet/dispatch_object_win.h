// A hand-written IDispatch for the stand-in's objects: names are looked up in
// the object's member table (without regard to case, as automation does),
// and every call is journaled before the object serves it.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

namespace ionsift::sheet {

// The stand-in's live objects and class-factory locks (DllCanUnloadNow).
LONG& ServerReferences();

// A call as the object sees it: the arguments left to right (by-reference
// variants followed), the value of a put apart.
struct DispatchCall {
    WORD flags = 0;
    std::vector<const VARIANT*> arguments;
    const VARIANT* value = nullptr;  // puts only

    bool IsGet() const { return (flags & DISPATCH_PROPERTYGET) != 0; }
    bool IsMethod() const { return (flags & DISPATCH_METHOD) != 0; }
    bool IsPut() const { return (flags & DISPATCH_PROPERTYPUT) != 0; }
};

// Failure an object reports from Serve: the HRESULT and, for
// DISP_E_EXCEPTION, the text the caller gets in EXCEPINFO.
struct ServeFailure {
    HRESULT code;
    std::string description;
};

class DispatchObject : public IDispatch {
public:
    // `members`: the automation names the object answers, indexed by DISPID - 1.
    DispatchObject(const char* typeName, std::vector<const wchar_t*> members);
    virtual ~DispatchObject();
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

protected:
    // Serves member `index` (into the member table). Throws ServeFailure.
    virtual void Serve(int index, const DispatchCall& call, VARIANT* result) = 0;

    // Helpers for Serve.
    static long IntArgument(const DispatchCall& call, std::size_t at);
    static bool BooleanValue(const DispatchCall& call);
    static std::string TextValue(const DispatchCall& call);
    static void ReturnObject(VARIANT* result, DispatchObject* object);
    static void ReturnBoolean(VARIANT* result, bool value);
    static void ReturnText(VARIANT* result, const std::string& text);
    [[noreturn]] static void Fail(const std::string& description);

private:
    // Invoke after its checks of `params`; may throw (out of memory).
    HRESULT Call(int index, WORD flags, const DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* exception, UINT* argumentError);

    const char* typeName_;
    std::vector<const wchar_t*> members_;
    LONG references_ = 1;
};

}  // namespace ionsift::sheet
