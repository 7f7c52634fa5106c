#include "ui/dialogs/row_ion_cells.h"

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
