// Reading the settings section over any stored text: the result always fits
// the shared buffer and is either the stored text (with its first point made
// the separator, for reals) or the row's default; writing any text stores at
// most 511 characters with no comma before the first point it made.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/settings.h"
#include "text/separators.h"

namespace {

class FuzzStore : public ionsift::SettingsStore {
public:
    std::string stored;
    std::string written;
    void Read(const char*, const char*, char* buffer, std::size_t size) override {
        const std::size_t length = std::min(stored.size(), size - 1);
        std::memcpy(buffer, stored.data(), length);
        buffer[length] = '\0';
    }
    void Write(const char*, const char* value) override { written = value; }
};

std::string WithFirstReplaced(std::string text, char from, char to) {
    const std::size_t at = text.find(from);
    if (at != std::string::npos) text[at] = to;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static FuzzStore store;
    ionsift::SetSettingsStore(&store);
    const char separator = (data[0] & 1) ? ',' : '.';
    ionsift::SetLocaleDecimalSeparator(separator);
    // What the profile reader can give back: no NUL inside, at most 511 bytes.
    store.stored.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    store.stored = store.stored.substr(0, std::strlen(store.stored.c_str()));
    const std::string asRead = store.stored.substr(0, ionsift::kSettingBufferSize - 1);

    for (int index = 0; ionsift::kSettingKeys[index].key; ++index) {
        const ionsift::SettingKey& row = ionsift::kSettingKeys[index];
        const std::string value = ionsift::ReadSetting(index, false);
        if (value.size() >= ionsift::kSettingBufferSize) std::abort();
        std::string storedForm = asRead, defaultForm = row.defaultText;
        if (row.kind == ionsift::SettingKind::Real && separator != '.') {
            storedForm = WithFirstReplaced(storedForm, '.', separator);
            defaultForm = WithFirstReplaced(defaultForm, '.', separator);
        }
        if (value != storedForm && value != defaultForm) std::abort();

        ionsift::WriteRealSetting(index, store.stored.c_str());
        if (store.written != WithFirstReplaced(asRead, ',', '.')) std::abort();
    }
    ionsift::SetSettingsStore(nullptr);
    return 0;
}
