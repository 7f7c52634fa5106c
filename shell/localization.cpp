#include "shell/localization.h"

#include "shell/error_report.h"
#include "shell/host_link.h"
#include "shell/string_table.h"

namespace ionsift {
namespace {

constexpr int kLocaleErrorId = 49;
constexpr int kLocaleErrorTextSize = 256;

template <typename Fn>
void** Slot(Fn& function) {
    return reinterpret_cast<void**>(&function);
}

bool LoadLocaleLibrary(LocaleLibrary& locale) {
    const HostContext* host = Host();
    if (!host || !host->loadLibrary) return false;
    const short loaded = host->loadLibrary(
        "locale.dll", &locale.module,
        Slot(locale.closeCat), "LocCloseCat",
        Slot(locale.getCatStr), "LocGetCatStr",
        Slot(locale.getErr), "LocGetErr",
        Slot(locale.getErrStr), "LocGetErrStr",
        Slot(locale.openCat), "LocOpenCat",
        static_cast<void**>(nullptr));
    return loaded == 1;
}

}  // namespace

void OpenHostCatalog() {
    LocaleLibrary& locale = TheLocaleLibrary();
    if (!LoadLocaleLibrary(locale) || !locale.openCat) return;

    SendDirect("Get PrfLang");
    locale.catalog = locale.openCat(kCatalogFileName, Host()->hostDirectory, HostResultText(), 1,
                                    kDefaultLanguage);
    if (locale.catalog != 0 || !locale.getErr) return;

    const int code = locale.getErr();
    if (code == kLocErrNone || code == kLocErrNoCatalogForLanguage || code == kLocErrUnknownLanguage)
        return;
    char reason[kLocaleErrorTextSize] = "";
    if (locale.getErrStr) locale.getErrStr(reason, kLocaleErrorTextSize);
    reason[kLocaleErrorTextSize - 1] = '\0';
    ShowError(kLocaleErrorId, reason);
}

void* CloseHostCatalog() {
    LocaleLibrary& locale = TheLocaleLibrary();
    if (locale.catalog != 0 && locale.closeCat) locale.closeCat(locale.catalog);
    void* module = locale.module;
    locale = LocaleLibrary();
    return module;
}

}  // namespace ionsift
