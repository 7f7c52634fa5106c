// The settings section over a map-backed store: defaults, range rules, the
// "%f"/"%d" scan, separators, and what the writers store.
#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <map>
#include <string>

#include "shell/settings.h"
#include "text/separators.h"

namespace ionsift {
namespace {

// The private-profile reader as the settings code sees it: missing keys give
// the fallback, values are cut to the buffer.
class MapStore : public SettingsStore {
public:
    std::map<std::string, std::string> values;
    bool fileExists = true;

    void Read(const char* key, const char* fallback, char* buffer, std::size_t size) override {
        const auto found = values.find(key);
        const std::string text = (fileExists && found != values.end()) ? found->second : fallback;
        const std::size_t length = std::min(text.size(), size - 1);
        std::memcpy(buffer, text.data(), length);
        buffer[length] = '\0';
    }
    void Write(const char* key, const char* value) override { values[key] = value; }
};

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        SetSettingsStore(&store);
        SetLocaleDecimalSeparator('.');
    }
    void TearDown() override {
        SetSettingsStore(nullptr);
        SetLocaleDecimalSeparator('.');
    }
    std::string Read(int index) { return ReadSetting(index, false); }

    MapStore store;
};

TEST_F(Settings, NoFileReadsAsTheDefaults) {
    store.fileExists = false;
    store.values = {{"MASS", "180"}};
    EXPECT_EQ(Read(kSettingMass), "");
    EXPECT_EQ(Read(kSettingMaxResults), "200");
    EXPECT_EQ(Read(kSettingPpm), "2");
    EXPECT_EQ(Read(kSettingDatabase), "None");
    // Without any store the same holds.
    SetSettingsStore(nullptr);
    EXPECT_EQ(Read(kSettingPpm), "2");
}

TEST_F(Settings, ValuesBelowTheLowerBoundReadAsTheDefault) {
    store.values = {{"MASS", "0.5"}, {"PPM", "-3"}, {"MAXRESULTS", "0"}, {"DATABASE", ""}};
    EXPECT_EQ(Read(kSettingMass), "");
    EXPECT_EQ(Read(kSettingPpm), "2");
    EXPECT_EQ(Read(kSettingMaxResults), "200");
    EXPECT_EQ(Read(kSettingDatabase), "");  // text is taken as it is
    store.values = {{"MASS", "1"}, {"PPM", "0"}, {"MAXRESULTS", "1"}};
    EXPECT_EQ(Read(kSettingMass), "1");
    EXPECT_EQ(Read(kSettingPpm), "0");
    EXPECT_EQ(Read(kSettingMaxResults), "1");
}

TEST_F(Settings, AValueInRangeIsReturnedWithItsTrailingText) {
    store.values = {{"PPM", "abc"}, {"MAXRESULTS", "12abc"}, {"MASS", " 150.25 Da"}};
    EXPECT_EQ(Read(kSettingPpm), "abc");  // scanned as 0, not below 0
    EXPECT_EQ(Read(kSettingMaxResults), "12abc");
    EXPECT_EQ(Read(kSettingMass), " 150.25 Da");
    store.values = {{"MASS", "abc"}, {"MAXRESULTS", "x12"}};
    EXPECT_EQ(Read(kSettingMass), "");  // 0 is below 1
    EXPECT_EQ(Read(kSettingMaxResults), "200");
}

TEST_F(Settings, TheScanDoesNotWrapOrOverflow) {
    store.values = {{"MAXRESULTS", "4294967297"}, {"MASS", "1e300"}, {"PPM", "-1e300"}};
    EXPECT_EQ(Read(kSettingMaxResults), "4294967297");  // saturates, not 1
    EXPECT_EQ(Read(kSettingMass), "1e300");
    EXPECT_EQ(Read(kSettingPpm), "2");
    store.values = {{"MAXRESULTS", "-4294967295"}};
    EXPECT_EQ(Read(kSettingMaxResults), "200");
}

TEST_F(Settings, UnderACommaSeparatorTheFirstPointBecomesAComma) {
    SetLocaleDecimalSeparator(',');
    store.values = {{"MASS", "150.25"}, {"PPM", "1.2.3"}, {"MAXRESULTS", "2.5"}};
    EXPECT_EQ(Read(kSettingMass), "150,25");
    EXPECT_EQ(Read(kSettingPpm), "1,2.3");
    EXPECT_EQ(Read(kSettingMaxResults), "2.5");  // integers are not touched
    // The stored comma is not a decimal point: "0,5" scans as 0, below 1.
    store.values = {{"MASS", "0,5"}, {"PPM", "2,5"}};
    EXPECT_EQ(Read(kSettingMass), "");
    EXPECT_EQ(Read(kSettingPpm), "2,5");
}

TEST_F(Settings, TheScanIgnoresACommaCRuntimeLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "de_DE.UTF-8")) << "German locale missing: run scripts/bootstrap";
    // "%f" in a comma C locale would stop at the point and see 0 < 1.
    store.values = {{"MASS", "0.5"}, {"PPM", "3,5"}};
    EXPECT_EQ(Read(kSettingMass), "");
    store.values = {{"MASS", "1.5"}};
    EXPECT_EQ(Read(kSettingMass), "1.5");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST_F(Settings, TheDefaultsFlagIgnoresTheFile) {
    store.values = {{"MASS", "180"}, {"PPM", "5"}, {"MAXRESULTS", "50"}, {"DATABASE", "structures"}};
    EXPECT_STREQ(ReadSetting(kSettingMass, true), "");
    EXPECT_STREQ(ReadSetting(kSettingPpm, true), "2");
    EXPECT_STREQ(ReadSetting(kSettingMaxResults, true), "200");
    EXPECT_STREQ(ReadSetting(kSettingDatabase, true), "None");
    EXPECT_EQ(ReadSetting(kSettingDatabase, true), kSettingKeys[kSettingDatabase].defaultText);
}

TEST_F(Settings, IndexesOutsideTheTableReadAsEmptyTextAndWriteNothing) {
    EXPECT_STREQ(ReadSetting(4, false), "");
    EXPECT_STREQ(ReadSetting(-1, true), "");
    WriteSetting(4, "x");
    WriteRealSetting(-1, "1,5");
    EXPECT_TRUE(store.values.empty());
}

TEST_F(Settings, WritersStoreThePointFormAndTheTextUnchanged) {
    WriteRealSetting(kSettingMass, "150,25");
    WriteRealSetting(kSettingPpm, "1,2,3");
    WriteSetting(kSettingMaxResults, "2,5");
    WriteSetting(kSettingDatabase, "structures");
    EXPECT_EQ(store.values["MASS"], "150.25");
    EXPECT_EQ(store.values["PPM"], "1.2,3");
    EXPECT_EQ(store.values["MAXRESULTS"], "2,5");
    EXPECT_EQ(store.values["DATABASE"], "structures");
    WriteSetting(kSettingDatabase, nullptr);
    EXPECT_EQ(store.values["DATABASE"], "");
}

TEST_F(Settings, ALongRealTextIsCutAt511Characters) {
    std::string text(600, '7');
    text[550] = ',';  // beyond the cut: stays out
    WriteRealSetting(kSettingMass, text.c_str());
    ASSERT_EQ(store.values["MASS"].size(), 511u);
    EXPECT_EQ(store.values["MASS"], std::string(511, '7'));
    // Read back through the same 512-byte buffer.
    EXPECT_EQ(Read(kSettingMass).size(), 511u);
}

TEST_F(Settings, TheResolutionIsAWholeNumberFromOneToTenMillionElseTheDefault) {
    const std::pair<const char*, const char*> cases[] = {
        {"60000", "60000"}, {"1", "1"}, {"10000000", "10000000"}, {"0", "30000"},
        {"10000001", "30000"}, {"-5", "30000"}, {"abc", "30000"},
    };
    for (const auto& [stored, read] : cases) {
        store.values = {{"RESOLUTION", stored}};
        EXPECT_EQ(Read(kSettingResolution), read) << stored;
    }
    store.values.clear();
    EXPECT_EQ(Read(kSettingResolution), "30000");
    store.values = {{"RESOLUTION", "60000"}};
    EXPECT_STREQ(ReadSetting(kSettingResolution, true), "30000");
    WriteSetting(kSettingResolution, "45000");
    EXPECT_EQ(store.values["RESOLUTION"], "45000");
}

}  // namespace
}  // namespace ionsift
