// Throughput of ionsift-annotate: spectra per second over an MGF file of
// [M+H]+ spectra of molecules drawn from a molecule database, with every ion
// window searched in that database.
//
//   annotate-throughput <ionsift-annotate> <database> <work folder> [spectra] [resolving power]
//
// Each spectrum is a molecule's distribution from the host's chemistry (the
// nominal sticks, not the engine under test), its m/z shifted by up to 2 ppm
// and its intensities by up to 5 %; the same count gives the same spectra.
// The file is written once into the work folder and reused.
#include <sqlite3.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <string>

#include "host/chem/formula.h"
#include "host/chem/isotope_distribution.h"
#include "ions/ion_formula.h"
#include "ions/ion_table.h"
#include "shell/host_numbers.h"

namespace {

namespace fs = std::filesystem;
using namespace ionsift;

// Peaks under this share of the tallest are left out, as a centroider would.
constexpr double kMeasuredFloorPercent = 0.5;

bool WriteSpectra(const fs::path& database, const fs::path& mgf, long long count) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(database.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return false;
    sqlite3_stmt* maxId = nullptr;
    sqlite3_stmt* row = nullptr;
    long long rows = 0;
    if (sqlite3_prepare_v2(db, "SELECT max(ID) FROM Molecules", -1, &maxId, nullptr) == SQLITE_OK &&
        sqlite3_step(maxId) == SQLITE_ROW) {
        rows = sqlite3_column_int64(maxId, 0);
    }
    sqlite3_finalize(maxId);
    const bool prepared =
        sqlite3_prepare_v2(db, "SELECT Formula FROM Molecules WHERE ID = ?", -1, &row, nullptr) == SQLITE_OK;
    std::mt19937_64 random(20261209);
    std::uniform_real_distribution<double> ppm(-2, 2), scale(0.95, 1.05);
    const Ion& ion = IonTable()[IonIndex("[M+H]+")];
    std::ofstream out(mgf.string() + ".tmp", std::ios::binary);
    long long written = 0;
    while (prepared && rows > 0 && written < count) {
        sqlite3_bind_int64(row, 1, static_cast<long long>(random() % rows) + 1);
        std::string formula, ionFormula;
        if (sqlite3_step(row) == SQLITE_ROW && sqlite3_column_text(row, 0)) {
            formula = reinterpret_cast<const char*>(sqlite3_column_text(row, 0));
        }
        sqlite3_reset(row);
        if (IonFormula(formula, ion, ionFormula) != IonFormulaOutcome::Formula) continue;
        const chem::FormulaParse parse = chem::ParseFormula(ionFormula);
        if (!parse.ok) continue;
        out << "BEGIN IONS\nTITLE=" << formula << " #" << ++written << "\n";
        bool first = true;
        for (const chem::Peak& peak : chem::CoarseDistribution(parse.formula)) {
            if (peak.abundance < kMeasuredFloorPercent) continue;
            const double mz = StickMz(peak.mass, ion) * (1 + ppm(random) * 1e-6);
            if (first) out << "PEPMASS=" << FormatFixed(mz, 5) << "\n";
            first = false;
            out << FormatFixed(mz, 5) << " " << FormatFixed(peak.abundance * scale(random), 2) << "\n";
        }
        out << "END IONS\n";
    }
    sqlite3_finalize(row);
    sqlite3_close(db);
    out.close();
    if (written < count) return false;
    fs::rename(mgf.string() + ".tmp", mgf);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: annotate-throughput <ionsift-annotate> <database> <work folder> [spectra] "
                     "[resolving power]\n";
        return 2;
    }
    const long long count = argc > 4 ? std::atoll(argv[4]) : 10000;
    const std::string resolution = argc > 5 ? argv[5] : "30000";
    const fs::path folder = argv[3];
    fs::create_directories(folder);
    const fs::path mgf = folder / ("annotate-" + fs::path(argv[2]).stem().string() + "-" + std::to_string(count) +
                                   ".mgf");
    if (!fs::exists(mgf) && !WriteSpectra(argv[2], mgf, count)) {
        std::cerr << "annotate-throughput: cannot draw " << count << " spectra from " << argv[2] << "\n";
        return 1;
    }
    const fs::path rows = folder / "annotate-rows.tsv";
    const std::string command = std::string("'") + argv[1] + "' --ion '[M+H]+' --resolution " + resolution +
                                " '" + argv[2] + "' '" + mgf.string() + "' >'" + rows.string() + "'";
    const auto start = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    long long lines = 0;
    std::ifstream table(rows);
    for (std::string line; std::getline(table, line);) ++lines;
    std::printf("ionsift-annotate, %lld spectra against %s at R = %s: %.2f s, %.0f spectra/s, %lld rows, "
                "exit %d\n",
                count, fs::path(argv[2]).filename().c_str(), resolution.c_str(), seconds, count / seconds,
                lines - 1, WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    return status == 0 ? 0 : 1;
}
