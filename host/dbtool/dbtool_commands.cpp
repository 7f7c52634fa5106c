#include "host/dbtool/dbtool_commands.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/chem/cml_limits.h"
#include "host/dbtool/molecule_db.h"
#include "host/dbtool/structure_rows.h"
#include "host/dbtool/synthetic_molecules.h"

namespace ionsift::dbtool {
namespace fs = std::filesystem;
namespace {

bool IsCmlFile(const fs::directory_entry& entry) {
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::error_code ec;
    return extension == ".cml" && entry.is_regular_file(ec);
}

// Sorted, so that IDs do not depend on the order the file system lists.
bool FindCmlFiles(const fs::path& folder, std::vector<fs::path>& files, std::ostream& report) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (IsCmlFile(*it)) files.push_back(it->path());
    }
    if (ec) {
        report << "dbtool: cannot list " << folder.string() << ": " << ec.message() << "\n";
        return false;
    }
    std::sort(files.begin(), files.end());
    return true;
}

bool ReadFile(const fs::path& path, std::string& text, std::string& error) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    if (size > chem::kMaxCmlBytes) {
        error = "larger than " + std::to_string(chem::kMaxCmlBytes >> 20) + " MiB";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        error = "cannot be read";
        return false;
    }
    return true;
}

// Another dbtool writing the same database is waited for, and said so.
void SayWhenWaiting(MoleculeDbWriter& writer, const fs::path& out, std::ostream& report) {
    writer.WhenWaiting([&report, out] {
        report << "dbtool: another dbtool is writing " << out.string() << "; waiting for it to finish\n" << std::flush;
    });
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int BuildStructureDb(const fs::path& folder, const fs::path& out, std::ostream& report) {
    std::vector<fs::path> files;
    if (!FindCmlFiles(folder, files, report)) return 1;
    if (files.empty()) {
        report << "dbtool: no .cml files under " << folder.string() << "\n";
        return 1;
    }
    MoleculeDbWriter writer(out);
    SayWhenWaiting(writer, out, report);
    if (!writer.Open()) {
        report << "dbtool: " << writer.Error() << "\n";
        return 1;
    }
    long long written = 0;
    for (const fs::path& file : files) {
        const std::string shown = file.lexically_relative(folder).generic_string();
        std::string text, error;
        if (!ReadFile(file, text, error)) {
            report << "dbtool: skipped " << shown << ": " << error << "\n";
            continue;
        }
        StructureRow structure = RowFromCml(text, file.stem().string());
        if (!structure.ok) {
            report << "dbtool: skipped " << shown << ": " << structure.error << "\n";
            continue;
        }
        structure.row.id = ++written;
        if (!writer.Insert(structure.row)) {
            report << "dbtool: " << writer.Error() << "\n";
            return 1;
        }
    }
    const auto skipped = static_cast<long long>(files.size()) - written;
    if (written == 0) {
        report << "dbtool: none of the " << files.size() << " CML files could be used\n";
        return 1;
    }
    if (!writer.Finish()) {
        report << "dbtool: " << writer.Error() << "\n";
        return 1;
    }
    report << "dbtool: " << files.size() << " CML files, " << written << " molecules written to "
           << out.string() << ", " << skipped << " skipped\n";
    return 0;
}

int BuildSyntheticDb(long long count, const fs::path& out, std::uint64_t seed, std::ostream& report) {
    if (count < 1) {
        report << "dbtool: the number of molecules must be at least 1\n";
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    MoleculeDbWriter writer(out);
    SayWhenWaiting(writer, out, report);
    if (!writer.Open()) {
        report << "dbtool: " << writer.Error() << "\n";
        return 1;
    }
    SyntheticMolecules molecules(seed);
    MoleculeRow row;
    for (long long id = 1; id <= count; ++id) {
        SyntheticMolecule molecule = molecules.Next();
        row.id = id;
        row.massMI = molecule.massMI;
        row.name = SyntheticName(molecule.formulaText, id);
        row.formula = std::move(molecule.formulaText);
        if (!writer.Insert(row)) {
            report << "dbtool: " << writer.Error() << "\n";
            return 1;
        }
    }
    if (!writer.Finish()) {
        report << "dbtool: " << writer.Error() << "\n";
        return 1;
    }
    report << "dbtool: " << count << " synthetic molecules written to " << out.string() << " in "
           << SecondsSince(start) << " s\n";
    return 0;
}

}  // namespace ionsift::dbtool
