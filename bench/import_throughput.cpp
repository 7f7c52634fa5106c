// Throughput of `dbtool import` on generated compound libraries: a SMILES file
// and an SD file (MOL blocks without coordinates, as registry exports often
// come), each imported with and without 2-D layout, with where the time went.
//
//   import-throughput <work folder> [smiles records] [sd records]
//
// The inputs are written once into the work folder (bench-<n>.smi,
// bench-<n>.sdf) and reused; the same count gives the same molecules.
#include <GraphMol/Conformer.h>
#include <GraphMol/FileParsers/FileParsers.h>
#include <GraphMol/GraphMol.h>
#include <GraphMol/SmilesParse/SmilesParse.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/dbtool/import_command.h"

namespace {

namespace fs = std::filesystem;
using namespace ionsift::dbtool;

// Pieces of drug-like molecules. A middle piece is bonded to the previous one
// at its first atom and to the next at the last atom outside parentheses; each
// closes its own rings, so ring digits are reused.
constexpr const char* kMiddle[] = {
    "CC", "C(=O)N", "NC(=O)", "c1ccc(cc1)", "c1ccc(nc1)", "C1CCN(CC1)", "N1CCN(CC1)", "OCC",
    "C(C)(C)", "S(=O)(=O)N", "c1cc(ccc1F)", "C=C", "CC(O)", "c1ccc2cc(ccc2c1)", "C1CC1",
    "c1cnc(nc1)", "C(F)(F)", "c1ccc(o1)", "c1ccc(s1)", "[C@@H](N)", "C(Cl)",
};
constexpr const char* kEnd[] = {
    "C", "O", "N", "F", "Cl", "Br", "C(F)(F)F", "c1ccccc1", "C#N", "OC", "C(=O)O",
    "c1ccc2[nH]ccc2c1", "[N+](C)(C)C", "C(=O)[O-]",
};

std::string RandomSmiles(std::mt19937_64& random) {
    auto pick = [&random](const auto& pieces) {
        return pieces[random() % std::size(pieces)];
    };
    std::string smiles = pick(kMiddle);
    for (int i = static_cast<int>(random() % 6); i > 0; --i) smiles += pick(kMiddle);
    return smiles + pick(kEnd);
}

fs::path WriteSmiles(const fs::path& folder, long long count) {
    const fs::path path = folder / ("bench-" + std::to_string(count) + ".smi");
    if (fs::exists(path)) return path;
    std::mt19937_64 random(20261209);
    std::ofstream out(path.string() + ".tmp", std::ios::binary);
    for (long long i = 1; i <= count; ++i) out << RandomSmiles(random) << " bench-" << i << "\n";
    out.close();
    fs::rename(path.string() + ".tmp", path);
    return path;
}

// MOL blocks written by the toolkit from the same molecules, with two data
// items; every atom at the origin, i.e. without coordinates.
fs::path WriteSd(const fs::path& folder, long long count) {
    const fs::path path = folder / ("bench-" + std::to_string(count) + ".sdf");
    if (fs::exists(path)) return path;
    std::mt19937_64 random(20261209);
    std::ofstream out(path.string() + ".tmp", std::ios::binary);
    for (long long i = 1; i <= count; ++i) {
        std::unique_ptr<RDKit::RWMol> molecule(RDKit::SmilesToMol(RandomSmiles(random)));
        if (!molecule) continue;
        molecule->setProp("_Name", "bench-" + std::to_string(i));
        auto* origin = new RDKit::Conformer(molecule->getNumAtoms());
        origin->set3D(false);
        molecule->addConformer(origin, true);  // the molecule owns it
        out << RDKit::MolToMolBlock(*molecule) << "> <ID>\n" << i << "\n\n> <NAME>\nbench sd " << i
            << "\n\n$$$$\n";
    }
    out.close();
    fs::rename(path.string() + ".tmp", path);
    return path;
}

void Run(const fs::path& input, const fs::path& folder, bool layout) {
    ImportOptions options;
    options.layout = layout;
    ImportProfile profile;
    std::ostringstream report;
    const fs::path db = folder / "bench-import.db";
    const int status = ImportFiles(db, {input}, options, report, &profile);
    const long long records = profile.imported + profile.skipped;
    const double toolkit = profile.toolkitRead + profile.toolkitLayout;
    std::printf("%s, layout %s: status %d, %lld records (%lld skipped) in %.1f s: %.0f records/s; "
                "CPU %.1f s: toolkit %.1f s (%.0f %%: reading %.1f, layout %.1f), "
                "conversion outside the toolkit %.1f s, writer %.1f s, reader and the rest %.1f s; "
                "%.0f MB database\n",
                input.filename().string().c_str(), layout ? "on" : "off", status, records, profile.skipped,
                profile.wall, records / profile.wall, profile.cpu, toolkit, 100 * toolkit / profile.cpu,
                profile.toolkitRead, profile.toolkitLayout, profile.workerBusy - toolkit, profile.writer,
                profile.cpu - profile.workerBusy - profile.writer,
                fs::exists(db) ? static_cast<double>(fs::file_size(db)) / 1e6 : 0.0);
    std::fflush(stdout);
    if (status != 0) std::cerr << report.str().substr(0, 2000);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: import-throughput <work folder> [smiles records] [sd records]\n";
        return 2;
    }
    const fs::path folder = argv[1];
    const long long smiles = argc > 2 ? std::stoll(argv[2]) : 1000000;
    const long long sd = argc > 3 ? std::stoll(argv[3]) : 100000;
    fs::create_directories(folder);
    std::printf("import-throughput: %u cores\n", std::thread::hardware_concurrency());
    const fs::path smilesFile = WriteSmiles(folder, smiles);
    const fs::path sdFile = WriteSd(folder, sd);
    for (const fs::path& input : {smilesFile, sdFile}) {
        for (const bool layout : {true, false}) Run(input, folder, layout);
    }
    fs::remove(folder / "bench-import.db");
    return 0;
}
