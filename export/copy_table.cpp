#include "export/copy_table.h"

namespace ionsift {

std::string CopyTableCommand(const std::vector<std::string>& titles, std::size_t rowCount,
                             const std::function<std::string(std::size_t row, std::size_t column)>& cell) {
    std::string command = "CopyText \"";
    for (std::size_t column = 0; column < titles.size(); ++column) {
        if (column > 0) command += '\t';
        command += titles[column];
    }
    command += "\r\n";
    for (std::size_t row = 0; row < rowCount; ++row) {
        for (std::size_t column = 0; column < titles.size(); ++column) {
            if (column > 0) command += '\t';
            command += cell(row, column);
        }
        command += "\r\n";
    }
    command += '"';
    return command;
}

}  // namespace ionsift

#include "ions/ion_formula.h"
#include "text/locale_numbers.h"
#include "text/separators.h"
#include "text/shown_numbers.h"

namespace ionsift {
namespace {

constexpr int kMzDecimals = 6;

std::string ShownMz(double mz, char separator) {
    std::string text = FormatRounded(mz, kMzDecimals);
    ToLocalSeparator(text, separator);
    return text;
}

}  // namespace

RowIonCells DescribeRowIon(const char* massCaption, const char* formula, const Ion& ion,
                           double measured, char separator) {
    RowIonCells cells;
    if (IsoDistFormula(formula ? formula : "", ion, cells.formula) != IonFormulaOutcome::Formula) {
        cells.formula.clear();
    }
    double mass = 0.0;
    if (massCaption && UserTextToReal(massCaption, separator, mass)) {
        cells.mzCalculated = ShownMz(static_cast<double>(IonMz(mass, ion)), separator);
    }
    cells.mzMeasured = ShownMz(measured, separator);
    return cells;
}

}  // namespace ionsift
