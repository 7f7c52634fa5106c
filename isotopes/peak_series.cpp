#include "isotopes/peak_series.h"

#include "shell/host_numbers.h"

namespace ionsift {
namespace {

// A carriage return separates too, so that blank lines typed as CR LF never
// shift the pairing.
bool IsPairSeparator(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A token as strtod reads it in the C locale, minus the words: "inf" and
// "nan" have no numeric prefix here and read as 0, like any other letters.
double ReadPeakNumber(const char* token) {
    const char* p = token;
    while (*p == '\v' || *p == '\f') ++p;  // the C white space left in a token
    if (*p == '+' || *p == '-') ++p;
    if (!IsDigit(*p) && *p != '.') return 0.0;
    return ReadHostReal(token);
}

}  // namespace

void AddPeak(ChartSeries& series, double mass, double abundance) {
    constexpr ChartColour kBlack = 0;
    if (series.Count() == 0) series.Add(mass - 1.0, 0.0, kBlack);
    series.Add(mass, 0.0, kBlack);
    series.Add(mass, abundance, kBlack);
    series.Add(mass, 0.0, series.Colour());
}

std::size_t ParsePeaks(ChartSeries* series, char* text) {
    if (!series || !text) return 0;
    return ReadPeakPairs(text, [series](double mass, double abundance) {
        AddPeak(*series, mass, abundance);
    });
}

std::size_t ReadPeakPairs(char* text, const std::function<void(double, double)>& pair) {
    if (!text) return 0;
    std::size_t pairs = 0;
    double mass = 0.0;
    bool haveMass = false;
    char* p = text;
    for (;;) {
        while (IsPairSeparator(*p)) ++p;
        if (*p == '\0') break;
        const char* token = p;
        while (*p != '\0' && !IsPairSeparator(*p)) ++p;
        // The last token: the text ends with it or right after its separator.
        const bool last = *p == '\0' || p[1] == '\0';
        if (*p != '\0') *p++ = '\0';
        const double value = ReadPeakNumber(token);
        if (haveMass) {
            pair(mass, value);
            ++pairs;
        } else {
            mass = value;
        }
        haveMass = !haveMass;
        if (last) break;
    }
    return pairs;
}

}  // namespace ionsift
