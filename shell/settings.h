// The plug-in's section of the host's settings file: key table, reads with
// range checks and defaults, writes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ionsift {

enum class SettingKind : std::int16_t { Flag = 0, Real = 1, Integer = 2, Text = 3 };

struct SettingKey {
    const char* key;
    std::int32_t lower;
    std::int32_t upper;  // applies only when greater than lower
    const char* defaultText;
    SettingKind kind;
};

enum SettingIndex : int {
    kSettingDatabase = 0,
    kSettingMass = 1,
    kSettingMaxResults = 2,
    kSettingPpm = 3,
    // Keys beyond the original four live in a table of their own, from 100 on.
    kSettingIon = 100,  // the ion searched for: its notation, "M" for the neutral molecule
    kSettingResolution = 101,  // the instrument's resolving power, a whole number from 1
};
constexpr int kFirstExtensionSetting = 100;

constexpr const char* kSettingsSection = "Ionsift";
constexpr std::size_t kSettingBufferSize = 512;

// Rows by index, ended by a row of zeros; the extension rows likewise, their
// index less kFirstExtensionSetting.
extern const SettingKey kSettingKeys[];
extern const SettingKey kExtensionSettingKeys[];

// Where the values live: the private-profile functions on Windows.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Copies the value, or the fallback when the key or file is missing, into
    // buffer (size bytes, always terminated).
    virtual void Read(const char* key, const char* fallback, char* buffer, std::size_t size) = 0;
    virtual void Write(const char* key, const char* value) = 0;
};

void SetSettingsStore(SettingsStore* store);

// The shared read buffer or the row's default text; valid until the next read.
const char* ReadSetting(int index, bool useDefaults);
// Stores the text with its first comma made a point.
void WriteRealSetting(int index, const char* text);
void WriteSetting(int index, const char* text);

}  // namespace ionsift
