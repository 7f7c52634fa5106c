// One run of ionsift-annotate: every spectrum of every file searched in the
// database for each ion, its candidates fitted and ranked, the best rows
// written. Spectra are read and their candidates queried in file order on
// the calling thread; the fitting of a batch is shared among the cores.
#pragma once

#include <ostream>

#include "annotate/annotate_options.h"
#include "annotate/molecule_database.h"
#include "ions/candidate_fit.h"

namespace ionsift::annotate {

// Exit statuses.
constexpr int kAnnotated = 0;    // at least one spectrum got a row
constexpr int kNoneAnnotated = 1;
constexpr int kFailed = 2;       // usage, database or spectrum file error

struct RunStreams {
    std::ostream& rows;      // the table
    std::ostream& messages;  // skipped blocks, errors, progress
    bool progress = false;   // keep a progress line on `messages` (a terminal)
};

// Writes the header and the rows; returns the exit status. A spectrum file
// that cannot be opened or has no known format is reported and passed over
// (status kFailed at the end); a query the database fails stops the run.
int AnnotateSpectra(const AnnotateOptions& options, const MoleculeDatabase& database,
                    const NominalDistribution& nominal, RunStreams streams);

}  // namespace ionsift::annotate
