// The stand-in's in-process server entry points: the class object for the
// application's CLSID, and whether the DLL may be unloaded.
#include <windows.h>
#include <objbase.h>

#include "host/sheet/dispatch_object_win.h"
#include "host/sheet/sheet_objects_win.h"

namespace ionsift::sheet {
namespace {

// The stand-in's own class, registered under the ProgID "Excel.Application"
// only where no spreadsheet application owns it (scripts/register-sheet).
// {B5D61513-FD4E-4299-8A9E-C33AD29DFE15}
constexpr CLSID kApplicationClass = {
    0xb5d61513, 0xfd4e, 0x4299, {0x8a, 0x9e, 0xc3, 0x3a, 0xd2, 0x9d, 0xfe, 0x15}};

class ApplicationFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is static: its references only keep the server loaded.
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&ServerReferences()));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        return static_cast<ULONG>(InterlockedDecrement(&ServerReferences()));
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        IDispatch* application = nullptr;
        try {
            application = NewApplication();
        } catch (...) {
            // Nothing thrown may leave a COM method.
        }
        if (!application) return E_OUTOFMEMORY;
        const HRESULT result = application->QueryInterface(iid, object);
        application->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            InterlockedIncrement(&ServerReferences());
        } else {
            InterlockedDecrement(&ServerReferences());
        }
        return S_OK;
    }
};

ApplicationFactory g_factory;

}  // namespace
}  // namespace ionsift::sheet

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(classId, ionsift::sheet::kApplicationClass)) return CLASS_E_CLASSNOTAVAILABLE;
    try {
        return ionsift::sheet::g_factory.QueryInterface(iid, object);
    } catch (...) {
        return E_UNEXPECTED;
    }
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return ionsift::sheet::ServerReferences() == 0 ? S_OK : S_FALSE;
}
