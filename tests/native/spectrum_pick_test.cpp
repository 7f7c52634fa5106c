// What the window shows for measured spectra, without a window: the texts in
// every catalog (same IDs, mnemonics and printf arguments as the built-in
// English), the pick list's form, and its cells per format.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

#include "host/locale/catalog.h"
#include "shell/format_arguments.h"
#include "shell/string_table.h"
#include "ui/dialogs/dlg_spectra_form.h"
#include "ui/dialogs/spectrum_pick_columns.h"
#include "ui/form/form_check.h"

#ifndef IONSIFT_LOCALE_CATALOG_DIR
#error "IONSIFT_LOCALE_CATALOG_DIR must name the folder of the converted catalogs"
#endif

namespace ionsift {
namespace {

locale::ParsedCatalog LoadSpectra(const std::string& language) {
    const std::string path =
        std::string(IONSIFT_LOCALE_CATALOG_DIR) + "/" + language + "-spectra.txt";
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    locale::ParsedCatalog parsed = locale::ParseCatalog(bytes.data(), bytes.size());
    EXPECT_TRUE(parsed.ok()) << path;
    return parsed;
}

long Ampersands(const std::string& text) { return std::count(text.begin(), text.end(), '&'); }

TEST(SpectrumTexts, EveryCatalogTranslatesTheBuiltInTextsWithTheirArgumentsAndMnemonics) {
    const locale::ParsedCatalog english = LoadSpectra("english");
    EXPECT_EQ(english.texts.size(), static_cast<std::size_t>(kSpectrumStringCount));
    for (const StringRow& text : kSpectrumStrings) {
        ASSERT_EQ(english.texts.count(text.id), 1u) << text.id;
        EXPECT_EQ(english.texts.at(text.id), text.text) << text.id;
        EXPECT_STREQ(DefaultString(text.id), text.text);
    }
    for (const char* language : {"german", "french"}) {
        const locale::ParsedCatalog translated = LoadSpectra(language);
        EXPECT_EQ(translated.texts.size(), english.texts.size()) << language;
        for (const auto& [id, text] : english.texts) {
            ASSERT_EQ(translated.texts.count(id), 1u) << language << " " << id;
            const std::string& own = translated.texts.at(id);
            EXPECT_EQ(Ampersands(own), Ampersands(text)) << language << " " << id;
            EXPECT_TRUE(ReadsSameArguments(own.c_str(), text.c_str())) << language << " " << id;
        }
    }
}

TEST(SpectrumPickList, FormIsConsistentAndFitsItsClientArea) {
    const FormDescription& form = DlgSpectraForm();
    EXPECT_EQ(FormDescriptionProblem(form), "");
    for (int i = 0; i < form.controlCount; ++i) {
        const ControlRow& row = form.controls[i];
        EXPECT_LE(row.rect.Right(), form.clientWidth) << row.name;
        EXPECT_LE(row.rect.Bottom(), form.clientHeight) << row.name;
    }
}

TEST(SpectrumPickList, CellsFollowTheFormatAndTheUserSeparator) {
    SpectrumEntry scan;
    scan.scan = 1204;
    scan.retentionMinutes = 12.345;  // shown rounded half away from zero
    scan.basePeakMz = 181.07065;
    SpectrumEntry block;
    block.title = "glucose [M+H]+";
    block.precursorMz = 181.0707;

    struct Case {
        SpectrumFileFormat format;
        const SpectrumEntry& entry;
        char separator;
        std::vector<std::string> cells;
    };
    const Case cases[] = {
        {SpectrumFileFormat::MzML, scan, '.', {"1204", "12.35", "181.0707"}},
        {SpectrumFileFormat::MzXML, scan, ',', {"1204", "12,35", "181,0707"}},
        {SpectrumFileFormat::Mgf, block, ',', {"glucose [M+H]+", "181,0707"}},
        {SpectrumFileFormat::Msp, block, '.', {"glucose [M+H]+", "181.0707"}},
        // Values a file does not give stay empty.
        {SpectrumFileFormat::MzML, SpectrumEntry{}, '.', {"", "", ""}},
    };
    for (const Case& test : cases) {
        const SpectrumPickColumns columns = PickColumnsFor(test.format);
        std::vector<std::string> cells;
        for (std::size_t i = 0; i < columns.count; ++i) {
            cells.push_back(SpectrumCellText(columns.columns[i].cell, test.entry, test.separator));
        }
        EXPECT_EQ(cells, test.cells) << static_cast<int>(test.format);
    }
    // MSP records are listed by name, MGF blocks by title.
    EXPECT_STREQ(DefaultString(PickColumnsFor(SpectrumFileFormat::Msp).columns[0].stringId), "Name");
    EXPECT_STREQ(DefaultString(PickColumnsFor(SpectrumFileFormat::Mgf).columns[0].stringId), "Title");
}

}  // namespace
}  // namespace ionsift
