// The isotope-fit accuracy benchmark: ranks every plausible formula within
// the window of each simulated spectrum (bench/simulate_spectra.py) by the
// likelihood score and by the RMS against the host's nominal sticks, and
// reports how often the true formula comes first and among the first three.
//
// usage: fit-accuracy [--misses] SPECTRA.mgf TRUTH.tsv [PPM]
//   PPM: the search window, default 5. --misses lists the spectra whose true
//   formula the score does not put first.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/decoy_formulas.h"
#include "host/chem/formula.h"
#include "host/chem/isotope_distribution.h"
#include "isotopes/fine_structure.h"
#include "isotopes/fit_rank.h"
#include "isotopes/fit_score.h"
#include "isotopes/instrument_view.h"
#include "isotopes/peak_compare.h"

namespace {

using ionsift::bench::Counts;

constexpr double kElectronMass = 0.000548579909;

struct Spectrum {
    std::string title;
    double searchedMz = 0;
    std::vector<ionsift::TPeak> peaks;
};

// The MGF blocks the simulation writes: TITLE, PEPMASS, peak lines.
std::vector<Spectrum> ReadMgf(const std::string& path) {
    std::ifstream in(path);
    std::vector<Spectrum> spectra;
    Spectrum current;
    std::string line;
    while (std::getline(in, line)) {
        if (line == "BEGIN IONS") {
            current = Spectrum{};
        } else if (line == "END IONS") {
            spectra.push_back(current);
        } else if (line.rfind("TITLE=", 0) == 0) {
            current.title = line.substr(6);
        } else if (line.rfind("PEPMASS=", 0) == 0) {
            current.searchedMz = std::strtod(line.c_str() + 8, nullptr);
        } else if (!line.empty() && (std::isdigit(static_cast<unsigned char>(line[0])) != 0)) {
            std::istringstream fields(line);
            double mz = 0, intensity = 0;
            if (fields >> mz >> intensity) current.peaks.push_back({false, mz, intensity});
        }
    }
    return spectra;
}

struct Truth {
    std::string formula;
    double resolvingPower;
};

std::map<std::string, Truth> ReadTruth(const std::string& path) {
    std::ifstream in(path);
    std::map<std::string, Truth> truth;
    std::string line;
    std::getline(in, line);  // header
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string title, formula;
        double resolvingPower = 0;
        if (fields >> title >> formula >> resolvingPower) truth[title] = {formula, resolvingPower};
    }
    return truth;
}

Counts WithProton(Counts counts) {
    ++counts["H"];
    return counts;
}

struct Ranked {
    double score = 0, rms = 0;
};

struct Tally {
    int spectra = 0, scoreTop1 = 0, scoreTop3 = 0, rmsTop1 = 0, rmsTop3 = 0;
    void Add(std::size_t scoreRank, std::size_t rmsRank) {
        ++spectra;
        scoreTop1 += scoreRank == 0;
        scoreTop3 += scoreRank < 3;
        rmsTop1 += rmsRank == 0;
        rmsTop3 += rmsRank < 3;
    }
};

double Percent(int part, int whole) { return whole ? 100.0 * part / whole : 0.0; }

// Place of row `row` in the ranking of `keys`.
std::size_t RankOf(const std::vector<ionsift::FitRankKey>& keys, std::size_t row) {
    const std::vector<std::size_t> order = ionsift::RankOrder(keys);
    return static_cast<std::size_t>(std::find(order.begin(), order.end(), row) - order.begin());
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool listMisses = !args.empty() && args.front() == "--misses";
    if (listMisses) args.erase(args.begin());
    if (args.size() < 2) {
        std::cerr << "usage: fit-accuracy [--misses] SPECTRA.mgf TRUTH.tsv [PPM]\n";
        return 2;
    }
    const double ppm = args.size() > 2 ? std::strtod(args[2].c_str(), nullptr) : 5.0;
    const std::vector<Spectrum> spectra = ReadMgf(args[0]);
    const std::map<std::string, Truth> truths = ReadTruth(args[1]);

    std::map<double, Tally> byResolution;
    Tally all;
    int implausible = 0, outsideWindow = 0;
    std::vector<std::size_t> candidateCounts;
    for (const Spectrum& spectrum : spectra) {
        const auto truth = truths.find(spectrum.title);
        if (truth == truths.end()) continue;
        const ionsift::chem::FormulaParse parsed = ionsift::chem::ParseFormula(truth->second.formula);
        if (!parsed.ok || !ionsift::bench::IsPlausible(parsed.formula.counts)) {
            ++implausible;
            continue;
        }
        const Counts& trueCounts = parsed.formula.counts;
        // The neutral mass of an [M+H]+ at the searched m/z, and the window.
        const double hydrogen = ionsift::chem::MonoisotopicMass({{{"H", 1}}});
        const double neutral = spectrum.searchedMz + kElectronMass - hydrogen;
        std::vector<Counts> candidates =
            ionsift::bench::DecoyFormulas(neutral, spectrum.searchedMz * ppm * 1e-6, trueCounts);
        auto trueRow = std::find(candidates.begin(), candidates.end(), trueCounts);
        if (trueRow == candidates.end()) {
            // The noise put the true m/z outside the window; ranked all the same.
            ++outsideWindow;
            candidates.push_back(trueCounts);
            trueRow = candidates.end() - 1;
        }
        candidateCounts.push_back(candidates.size());

        ionsift::FitSettings settings;
        settings.resolvingPower = truth->second.resolvingPower;
        std::vector<ionsift::FitRankKey> byScore, byRms;
        for (const Counts& candidate : candidates) {
            const Counts ion = WithProton(candidate);
            const ionsift::chem::Formula formula{ion};
            const double mz = ionsift::chem::MonoisotopicMass(formula) - kElectronMass;
            const double errorPpm = (spectrum.searchedMz - mz) / mz * 1e6;

            std::vector<ionsift::IsotopeLine> lines;
            std::string problem;
            std::optional<double> score;
            if (ionsift::FineStructure(ion, 1, lines, problem)) {
                score = ionsift::FitScore(spectrum.peaks,
                                          ionsift::Centroids(lines, settings.resolvingPower), settings);
            }
            std::vector<ionsift::TPeak> sticks;
            for (const ionsift::chem::Peak& peak : ionsift::chem::CoarseDistribution(formula)) {
                sticks.push_back({false, peak.mass - kElectronMass, peak.abundance});
            }
            // The RMS ranks ascending: as a score, its negative.
            std::optional<double> rms = ionsift::CompareRms(sticks, spectrum.peaks);
            if (rms) rms = -*rms;
            byScore.push_back({score, errorPpm});
            byRms.push_back({rms, errorPpm});
        }
        const std::size_t row = static_cast<std::size_t>(trueRow - candidates.begin());
        const std::size_t scoreRank = RankOf(byScore, row), rmsRank = RankOf(byRms, row);
        byResolution[truth->second.resolvingPower].Add(scoreRank, rmsRank);
        all.Add(scoreRank, rmsRank);
        if (listMisses && scoreRank > 0) {
            const std::size_t best = ionsift::RankOrder(byScore).front();
            std::printf("miss %s R=%.0f %s rank %zu score %.2f err %.2f; first %s score %.2f err %.2f\n",
                        spectrum.title.c_str(), truth->second.resolvingPower,
                        truth->second.formula.c_str(), scoreRank + 1, byScore[row].score.value_or(std::nan("")),
                        byScore[row].errorPpm,
                        ionsift::chem::HillFormula({candidates[best]}).c_str(),
                        byScore[best].score.value_or(std::nan("")), byScore[best].errorPpm);
        }
    }
    std::sort(candidateCounts.begin(), candidateCounts.end());
    std::printf("Isotope-fit accuracy: %d spectra ([M+H]+, window %.1f ppm); %d skipped (true "
                "formula outside the plausibility rules); candidates per spectrum: median %zu, "
                "max %zu; %d true m/z outside the window, ranked all the same\n",
                all.spectra, ppm, implausible,
                candidateCounts.empty() ? 0 : candidateCounts[candidateCounts.size() / 2],
                candidateCounts.empty() ? 0 : candidateCounts.back(), outsideWindow);
    std::printf("%-10s %8s %12s %12s %12s %12s\n", "R", "spectra", "Score top-1", "Score top-3",
                "RMS top-1", "RMS top-3");
    const auto row = [](const char* name, const Tally& t) {
        std::printf("%-10s %8d %11.1f%% %11.1f%% %11.1f%% %11.1f%%\n", name, t.spectra,
                    Percent(t.scoreTop1, t.spectra), Percent(t.scoreTop3, t.spectra),
                    Percent(t.rmsTop1, t.spectra), Percent(t.rmsTop3, t.spectra));
    };
    for (const auto& [resolvingPower, tally] : byResolution) {
        row(std::to_string(static_cast<long>(resolvingPower)).c_str(), tally);
    }
    row("all", all);
    return 0;
}
