// The small case ionsift-annotate is tested on, natively and under Wine: a
// molecule database, an MGF file and a peak list, the arguments, and the
// exact output expected.
//
// The masses and the m/z and error columns were worked out by hand from the
// NIST isotope masses (C 12, H 1.00782503207, N 14.0030740048,
// O 15.99491461956, S 31.97207100, Na 22.9897692809, electron 0.000548579909):
// glucose C6H12O6 180.0633881022, as [M+Na]+ 203.052609, searched at
// 203.0526: (203.0526 - 203.0526088) / 203.0526088 x 1e6 = -0.04 ppm. The
// order follows from the measured pattern, glucose's with sodium (M+1 6.9 %,
// M+2 1.4 %): theobromine's M+1 (four N, seven C: about 9 %) fits worse than
// the hexoses', C10H9N3S's (M+1 about 12.8 %, 34S at M+2) and C7H16OS2's
// (two S: M+2 about 9 %) worse still; a row without a formula has no score
// and comes last. The score and RMS values themselves are the core's
// (fit_score_test and peak_compare_test check those), filled in by CoreCells.
#pragma once

#include <sqlite3.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/chem/formula.h"
#include "host/chem/isotope_distribution.h"
#include "ions/ion_cells.h"
#include "ions/ion_formula.h"
#include "ions/ion_table.h"
#include "isotopes/fine_structure.h"
#include "isotopes/fit_score.h"
#include "isotopes/instrument_view.h"
#include "isotopes/peak_compare.h"
#include "shell/host_numbers.h"

namespace ionsift::annotate_case {

struct Molecule {
    long long id;
    double mass;
    const char* formula;  // null: NULL in the database
    const char* name;
};

const Molecule kMolecules[] = {
    {1, 180.0633881022, "C6H12O6", "glucose"},
    {2, 180.0633881022, "C6H12O6", "fructose"},
    {3, 180.0642571327, "C7H16OS2", "decoy\twith a tab"},
    {4, 180.0647255149, "C7H8N4O2", "theobromine"},
    {5, 203.0517183030, "C10H9N3S", "decoy C10H9N3S"},
    {6, 194.0803755790, "C8H10N4O2", "caffeine"},
    {7, 180.0634, nullptr, "no formula"},
};

// The host's schema; false with SQLite's message in `problem`.
inline bool WriteDatabase(const std::string& fileName, std::string& problem) {
    sqlite3* db = nullptr;
    bool ok = sqlite3_open(fileName.c_str(), &db) == SQLITE_OK;
    char* message = nullptr;
    ok = ok && sqlite3_exec(db,
                            "CREATE TABLE Molecules (ID INTEGER PRIMARY KEY, MassMI REAL NOT NULL, "
                            "Formula TEXT, Name TEXT, Structure TEXT);"
                            "CREATE INDEX MoleculesByMass ON Molecules (MassMI);",
                            nullptr, nullptr, &message) == SQLITE_OK;
    sqlite3_stmt* insert = nullptr;
    ok = ok && sqlite3_prepare_v2(db, "INSERT INTO Molecules VALUES (?, ?, ?, ?, NULL)", -1, &insert,
                                  nullptr) == SQLITE_OK;
    for (const Molecule& molecule : kMolecules) {
        if (!ok) break;
        sqlite3_bind_int64(insert, 1, molecule.id);
        sqlite3_bind_double(insert, 2, molecule.mass);
        if (molecule.formula) {
            sqlite3_bind_text(insert, 3, molecule.formula, -1, SQLITE_STATIC);
        } else {
            sqlite3_bind_null(insert, 3);
        }
        sqlite3_bind_text(insert, 4, molecule.name, -1, SQLITE_STATIC);
        ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
    }
    if (!ok) problem = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    sqlite3_finalize(insert);
    sqlite3_close(db);
    return ok;
}

struct SpectrumFile {
    const char* name;
    const char* text;
};

const SpectrumFile kSpectrumFiles[] = {
    {"spectra.mgf",
     "COM=test run\n"
     "BEGIN IONS\nTITLE=glucose [M+Na]+\nPEPMASS=203.0526 5000\nCHARGE=1+\n"
     "203.0526 100\n204.0560 6.9\n205.0569 1.4\nEND IONS\n"
     "BEGIN IONS\nTITLE=broken\nPEPMASS=181.07\n181.07 100\n182,07 6\nEND IONS\n"
     "BEGIN IONS\nTITLE=nothing here\nPEPMASS=500.0\n500.0 100\nEND IONS\n"
     "BEGIN IONS\nTITLE=doubly charged\nPEPMASS=102.03\nCHARGE=2+\n102.03 100\nEND IONS\n"},
    // The lightest peak of at least 1 % is searched: 180.0634.
    {"peaks.csv", "m/z,intensity\r\n179.5,0.5\r\n180.0634,100\r\n181.0668,6.6\r\n182.0677,1.3\r\n"},
};

const std::vector<std::string> kArguments = {"--ion", "M", "--ion", "[M+Na]+", "--ppm", "10",
                                             "structures.db", "spectra.mgf", "peaks.csv"};

// The doubly charged block is searched as M alone, which any charge allows,
// and finds nothing.
const char* const kExpectedMessages = "spectra.mgf:14: m/z is not a positive number: 182,07\n";

// One row without its score and rms.
struct ExpectedRow {
    const char* spectrum;
    int rank;
    const char* id;
    const char* name;
    const char* formula;
    const char* ion;
    const char* mz;
    const char* errorPpm;
};

const ExpectedRow kExpectedRows[] = {
    {"glucose [M+Na]+", 1, "1", "glucose", "C6H12O6", "[M+Na]+", "203.052609", "-0.04"},
    {"glucose [M+Na]+", 2, "2", "fructose", "C6H12O6", "[M+Na]+", "203.052609", "-0.04"},
    {"glucose [M+Na]+", 3, "4", "theobromine", "C7H8N4O2", "[M+Na]+", "203.053946", "-6.63"},
    {"glucose [M+Na]+", 4, "5", "decoy C10H9N3S", "C10H9N3S", "M", "203.051718", "+4.34"},
    {"glucose [M+Na]+", 5, "3", "decoy with a tab", "C7H16OS2", "[M+Na]+", "203.053478", "-4.32"},
    {"glucose [M+Na]+", 6, "7", "no formula", "", "[M+Na]+", "203.052621", "-0.10"},
    {"peaks.csv#1", 1, "1", "glucose", "C6H12O6", "M", "180.063388", "+0.07"},
    {"peaks.csv#1", 2, "2", "fructose", "C6H12O6", "M", "180.063388", "+0.07"},
    {"peaks.csv#1", 3, "4", "theobromine", "C7H8N4O2", "M", "180.064726", "-7.36"},
    {"peaks.csv#1", 4, "3", "decoy with a tab", "C7H16OS2", "M", "180.064257", "-4.76"},
    {"peaks.csv#1", 5, "7", "no formula", "", "M", "180.063400", "+0.00"},
};

// The measured peaks of each spectrum annotated, by its name.
struct MeasuredPeaks {
    const char* spectrum;
    std::vector<std::pair<double, double>> peaks;
};
const MeasuredPeaks kMeasured[] = {
    {"glucose [M+Na]+", {{203.0526, 100}, {204.0560, 6.9}, {205.0569, 1.4}}},
    {"peaks.csv#1", {{179.5, 0.5}, {180.0634, 100}, {181.0668, 6.6}, {182.0677, 1.3}}},
};

// The score and rms cells of a formula as an ion against measured peaks at
// the default resolving power, straight from the core and the host's
// chemistry: the fine structure's centroids scored, and the host's nominal
// sticks at the ion's m/z compared.
inline std::pair<std::string, std::string> CoreCells(const std::string& formula, const std::string& notation,
                                                     const std::vector<std::pair<double, double>>& peaks) {
    const Ion& ion = IonTable()[IonIndex(notation)];
    std::string ionFormula;
    if (formula.empty() || IonFormula(formula, ion, ionFormula) != IonFormulaOutcome::Formula) return {"", ""};
    std::vector<TPeak> measured;
    for (const auto& [mz, intensity] : peaks) measured.push_back({false, mz, intensity});
    ElementCounts counts;
    std::vector<IsotopeLine> lines;
    std::string problem;
    std::string score;
    if (ParseElementCounts(ionFormula, counts) && FineStructure(counts, ion.charge, lines, problem)) {
        if (const auto value = FitScore(measured, Centroids(lines, 30000))) score = FormatFixed(*value, 2);
    }
    if (score == "-0.00") score = "0.00";
    std::vector<TPeak> sticks;
    for (const chem::Peak& peak : chem::CoarseDistribution(chem::ParseFormula(ionFormula).formula)) {
        sticks.push_back({false, StickMz(peak.mass, ion), peak.abundance});
    }
    return {score, RmsText(CompareRms(sticks, measured), '.')};
}

inline std::string ExpectedOutput() {
    std::string output = "spectrum\trank\tid\tname\tformula\tion\tmz\terror_ppm\tscore\trms\n";
    for (const ExpectedRow& row : kExpectedRows) {
        std::vector<std::pair<double, double>> peaks;
        for (const MeasuredPeaks& measured : kMeasured) {
            if (std::string(measured.spectrum) == row.spectrum) peaks = measured.peaks;
        }
        const auto [score, rms] = CoreCells(row.formula, row.ion, peaks);
        output += std::string(row.spectrum) + "\t" + std::to_string(row.rank) + "\t" + row.id + "\t" +
                  row.name + "\t" + row.formula + "\t" + row.ion + "\t" + row.mz + "\t" + row.errorPpm +
                  "\t" + score + "\t" + rms + "\n";
    }
    return output;
}

}  // namespace ionsift::annotate_case
