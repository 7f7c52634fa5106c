#include "spectra/msp_reader.h"

#include <cctype>
#include <string>
#include <vector>

namespace ionsift {
namespace {

std::string UpperKey(std::string_view line) {
    std::string key;
    for (char c : TrimBlanks(line.substr(0, line.find(':')))) {
        if (c != ' ' && c != '_') key.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return key;
}

bool IsKeyLine(std::string_view text) {
    return !text.empty() && std::isalpha(static_cast<unsigned char>(text.front())) &&
           text.find(':') != std::string_view::npos;
}

// The peaks of one line, or the reason it cannot be read.
std::string ReadPeaks(std::string_view text, std::vector<TPeak>& peaks) {
    std::string bare;
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        else if (!quoted) bare.push_back(c);
    }
    if (quoted) return "an annotation's quote is not closed";
    const std::vector<std::string_view> fields = SplitFields(bare, " \t;,");
    if (fields.size() % 2 != 0) return "a peak needs its m/z and intensity";
    for (std::size_t k = 0; k < fields.size(); k += 2) {
        double mz = 0, intensity = 0;
        if (!ReadDecimal(fields[k], mz) || !(mz > 0)) return "m/z is not a positive number: " + std::string(fields[k]);
        if (!ReadDecimal(fields[k + 1], intensity) || intensity < 0) {
            return "intensity is not a number of at least 0: " + std::string(fields[k + 1]);
        }
        if (peaks.size() >= kMaxSpectrumPeaks) return "more than " + std::to_string(kMaxSpectrumPeaks) + " peaks";
        peaks.push_back({false, mz, intensity});
    }
    return "";
}

}  // namespace

bool MspReader::NextLine() {
    if (havePending_) {
        havePending_ = false;
        return true;
    }
    return lines_.Next(line_, tooLong_);
}

ReadStep MspReader::Next(Spectrum& spectrum, SkippedBlock& skipped) {
    if (ended_) return ReadStep::End;
    // Up to the next Name line; anything else between records is passed over.
    for (;;) {
        if (!NextLine()) {
            ended_ = true;
            return ReadStep::End;
        }
        const std::string_view text = TrimBlanks(line_);
        if (!tooLong_ && IsKeyLine(text) && UpperKey(text) == "NAME") break;
    }
    spectrum = Spectrum{};
    spectrum.index = ++records_;
    spectrum.line = lines_.Number();
    spectrum.offset = lines_.LineStart();
    spectrum.title = std::string(TrimBlanks(TrimBlanks(line_).substr(TrimBlanks(line_).find(':') + 1)));
    long long stated = -1;
    std::string fault;
    std::size_t faultLine = 0;
    while (lines_.Next(line_, tooLong_)) {
        const std::string_view text = TrimBlanks(line_);
        if (text.empty()) break;
        if (!fault.empty()) continue;
        if (tooLong_) {
            fault = "line longer than " + std::to_string(kMaxSpectrumLineBytes) + " bytes";
        } else if (IsKeyLine(text) && stated < 0) {
            const std::string key = UpperKey(text);
            const std::string_view value = TrimBlanks(text.substr(text.find(':') + 1));
            if (key == "NAME") {
                havePending_ = true;
                break;
            }
            double number = 0;
            if (key == "NUMPEAKS") {
                if (!ReadDecimal(value, number) || number < 0 || number != static_cast<long long>(number) ||
                    number > static_cast<double>(kMaxSpectrumPeaks)) {
                    fault = "Num Peaks is not a count: " + std::string(value);
                } else {
                    stated = static_cast<long long>(number);
                }
            } else if (key == "PRECURSORMZ" || key == "PEPMASS") {
                const std::vector<std::string_view> fields = SplitFields(value, " \t");
                if (fields.empty() || !ReadDecimal(fields[0], number) || !(number > 0)) {
                    fault = "precursor m/z is not a positive number: " + std::string(value);
                } else {
                    spectrum.precursorMz = number;
                }
            }
        } else if (stated < 0) {
            fault = "peaks before Num Peaks";
        } else if (IsKeyLine(text) && UpperKey(text) == "NAME") {
            havePending_ = true;  // a record without its blank line
            break;
        } else {
            fault = ReadPeaks(text, spectrum.peaks);
        }
        if (!fault.empty()) faultLine = lines_.Number();
    }
    if (fault.empty() && stated < 0) {
        fault = "no Num Peaks";
        faultLine = spectrum.line;
    } else if (fault.empty() && static_cast<std::size_t>(stated) != spectrum.peaks.size()) {
        fault = "Num Peaks states " + std::to_string(stated) + ", the record holds " +
                std::to_string(spectrum.peaks.size());
        faultLine = spectrum.line;
    } else if (fault.empty() && spectrum.peaks.empty()) {
        fault = "no peaks";
        faultLine = spectrum.line;
    }
    if (!fault.empty()) {
        skipped = {faultLine, fault};
        return ReadStep::Skipped;
    }
    return ReadStep::Spectrum;
}

}  // namespace ionsift
