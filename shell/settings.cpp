#include "shell/settings.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>

#include "shell/host_numbers.h"
#include "text/separators.h"

namespace ionsift {

const SettingKey kSettingKeys[] = {
    {"DATABASE", 0, 0, "None", SettingKind::Text},
    {"MASS", 1, INT32_MIN, "", SettingKind::Real},
    {"MAXRESULTS", 1, INT32_MIN, "200", SettingKind::Integer},
    {"PPM", 0, INT32_MIN, "2", SettingKind::Real},
    {nullptr, 0, 0, nullptr, SettingKind::Flag},
};

const SettingKey kExtensionSettingKeys[] = {
    {"ION", 0, 0, "M", SettingKind::Text},
    {"RESOLUTION", 1, 10000000, "30000", SettingKind::Integer},
    {nullptr, 0, 0, nullptr, SettingKind::Flag},
};

namespace {

SettingsStore* g_store = nullptr;
char g_readBuffer[kSettingBufferSize];

const SettingKey* Row(int index) {
    if (index < 0) return nullptr;
    const SettingKey* table = kSettingKeys;
    if (index >= kFirstExtensionSetting) {
        table = kExtensionSettingKeys;
        index -= kFirstExtensionSetting;
    }
    for (int i = 0; table[i].key; ++i) {
        if (i == index) return &table[i];
    }
    return nullptr;
}

void CopyToBuffer(char* buffer, const char* text) {
    std::strncpy(buffer, text, kSettingBufferSize - 1);
    buffer[kSettingBufferSize - 1] = '\0';
}

void ReplaceFirst(char* text, char from, char to) {
    if (char* found = std::strchr(text, from)) *found = to;
}

bool HasBounds(const SettingKey& row) { return row.lower != 0 || row.upper != 0; }

template <typename Number>
bool OutOfRange(const SettingKey& row, Number value) {
    return (row.upper > row.lower && value > row.upper) || value < row.lower;
}

// "%f" into a float: the longest leading number, 0 when there is none; the
// point is "." whatever locale the C runtime has.
float ScanFloat(const char* text) {
    const double value = ReadHostReal(text);
    if (value > FLT_MAX) return HUGE_VALF;
    if (value < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(value);
}

// "%d": the longest leading decimal integer, 0 when there is none; values
// beyond 32 bits saturate instead of wrapping.
std::int32_t ScanInt(const char* text) {
    const long value = ReadHostInt(text);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

const char* ReadDefault(const SettingKey& row) {
    const char separator = LocaleDecimalSeparator();
    if (row.kind != SettingKind::Real || separator == '.') return row.defaultText;
    CopyToBuffer(g_readBuffer, row.defaultText);
    ReplaceFirst(g_readBuffer, '.', separator);
    return g_readBuffer;
}

}  // namespace

void SetSettingsStore(SettingsStore* store) { g_store = store; }

const char* ReadSetting(int index, bool useDefaults) {
    const SettingKey* row = Row(index);
    if (!row) return "";
    if (useDefaults) return ReadDefault(*row);

    if (g_store) {
        g_store->Read(row->key, row->defaultText, g_readBuffer, sizeof g_readBuffer);
        g_readBuffer[sizeof g_readBuffer - 1] = '\0';
    } else {
        CopyToBuffer(g_readBuffer, row->defaultText);
    }

    switch (row->kind) {
        case SettingKind::Flag:
            return (std::strcmp(g_readBuffer, "0") == 0 || std::strcmp(g_readBuffer, "1") == 0)
                       ? g_readBuffer
                       : row->defaultText;
        case SettingKind::Real: {
            if (HasBounds(*row) && OutOfRange(*row, ScanFloat(g_readBuffer))) {
                CopyToBuffer(g_readBuffer, row->defaultText);
            }
            const char separator = LocaleDecimalSeparator();
            if (separator != '.') ReplaceFirst(g_readBuffer, '.', separator);
            return g_readBuffer;
        }
        case SettingKind::Integer:
            if (HasBounds(*row) && OutOfRange(*row, ScanInt(g_readBuffer))) return row->defaultText;
            return g_readBuffer;
        case SettingKind::Text:
        default:
            return g_readBuffer;
    }
}

void WriteRealSetting(int index, const char* text) {
    const SettingKey* row = Row(index);
    if (!row || !g_store) return;
    // Longer texts are cut to what the reader can give back.
    char value[kSettingBufferSize];
    CopyToBuffer(value, text ? text : "");
    ReplaceFirst(value, ',', '.');
    g_store->Write(row->key, value);
}

void WriteSetting(int index, const char* text) {
    const SettingKey* row = Row(index);
    if (!row || !g_store) return;
    g_store->Write(row->key, text ? text : "");
}

}  // namespace ionsift
