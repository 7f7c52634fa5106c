#include "spectra/mgf_reader.h"

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace ionsift {
namespace {

bool SameLetters(std::string_view text, std::string_view upper) {
    if (text.size() != upper.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != upper[i]) return false;
    }
    return true;
}

bool IsComment(std::string_view line) {
    return line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '!' ||
           line.front() == '/';
}

bool StartsLikeNumber(std::string_view line) {
    const char c = line.front();
    return (c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-';
}

bool IsKeyLine(std::string_view line) {
    return std::isalpha(static_cast<unsigned char>(line.front())) &&
           line.find('=') != std::string_view::npos;
}

std::string UpperKey(std::string_view line) {
    std::string key(TrimBlanks(line.substr(0, line.find('='))));
    for (char& c : key) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

// "2+", "1-", "+2", "2"; charges are at least 1.
bool ReadCharge(std::string_view text, StatedCharge& charge) {
    charge = {};
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        charge.sign = text.front() == '+' ? 1 : -1;
        text.remove_prefix(1);
    } else if (!text.empty() && (text.back() == '+' || text.back() == '-')) {
        charge.sign = text.back() == '+' ? 1 : -1;
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() > 3) return false;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        charge.magnitude = charge.magnitude * 10 + (c - '0');
    }
    return charge.magnitude > 0;
}

// "2+ and 3+", "2+,3+": every listed charge, at least one.
bool ReadCharges(std::string_view value, std::vector<StatedCharge>& charges) {
    charges.clear();
    for (std::string_view field : SplitFields(value, " \t,")) {
        if (SameLetters(field, "AND")) continue;
        StatedCharge charge;
        if (!ReadCharge(field, charge)) return false;
        charges.push_back(charge);
    }
    return !charges.empty();
}

// The reason a peak line cannot be read, or "" when it was added.
std::string ReadPeak(std::string_view line, std::vector<TPeak>& peaks) {
    const std::vector<std::string_view> fields = SplitFields(line, " \t");
    if (fields.size() < 2) return "a peak needs its m/z and intensity";
    return AddPeak(fields[0], fields[1], peaks);
}

// The reason a KEY=value line of a block cannot be taken, or "".
std::string ReadKey(std::string_view line, Spectrum& spectrum) {
    const std::string key = UpperKey(line);
    const std::string_view value = TrimBlanks(line.substr(line.find('=') + 1));
    if (key == "TITLE") {
        spectrum.title = std::string(value);
    } else if (key == "PEPMASS") {
        const std::vector<std::string_view> fields = SplitFields(value, " \t");
        double mz = 0;
        if (fields.empty() || !ReadDecimal(fields[0], mz) || !(mz > 0)) {
            return "PEPMASS is not a positive m/z: " + std::string(value);
        }
        spectrum.precursorMz = mz;
    } else if (key == "CHARGE") {
        if (!ReadCharges(value, spectrum.charges)) return "CHARGE is not a charge: " + std::string(value);
    }
    return "";
}

std::string TooLongReason() {
    return "line longer than " + std::to_string(kMaxSpectrumLineBytes) + " bytes";
}

}  // namespace

ReadStep MgfReader::Next(Spectrum& spectrum, SkippedBlock& skipped) {
    while (!ended_) {
        std::size_t begin = beginLine_;
        std::uint64_t beginOffset = beginOffset_;
        if (pendingBegin_) {
            pendingBegin_ = false;
        } else {
            bool tooLong = false;
            if (!lines_.Next(line_, tooLong)) break;
            begin = lines_.Number();
            beginOffset = lines_.LineStart();
            const std::string_view text = TrimBlanks(line_);
            if (IsComment(text) || (!tooLong && IsKeyLine(text))) continue;
            if (SameLetters(text, "END IONS")) {
                strayReported_ = false;
                skipped = {begin, "END IONS without BEGIN IONS"};
                return ReadStep::Skipped;
            }
            if (!SameLetters(text, "BEGIN IONS")) {
                // One report for a run of such lines, as a misspelt BEGIN IONS makes.
                if (strayReported_) continue;
                strayReported_ = true;
                skipped = {begin, "outside a BEGIN IONS ... END IONS block"};
                return ReadStep::Skipped;
            }
        }
        strayReported_ = false;
        spectrum = Spectrum{};
        spectrum.index = ++blocks_;
        spectrum.line = begin;
        spectrum.offset = beginOffset;
        return ReadBlock(spectrum, skipped);
    }
    ended_ = true;
    return ReadStep::End;
}

ReadStep MgfReader::ReadBlock(Spectrum& spectrum, SkippedBlock& skipped) {
    bool tooLong = false;
    while (lines_.Next(line_, tooLong)) {
        const std::size_t number = lines_.Number();
        const std::string_view text = TrimBlanks(line_);
        std::string fault;
        if (tooLong) {
            fault = TooLongReason();
        } else if (IsComment(text)) {
            continue;
        } else if (SameLetters(text, "END IONS")) {
            if (!spectrum.peaks.empty()) return ReadStep::Spectrum;
            skipped = {spectrum.line, "no peaks"};
            return ReadStep::Skipped;
        } else if (SameLetters(text, "BEGIN IONS")) {
            pendingBegin_ = true;
            beginLine_ = number;
            beginOffset_ = lines_.LineStart();
            skipped = {spectrum.line, "no END IONS before the next BEGIN IONS"};
            return ReadStep::Skipped;
        } else if (StartsLikeNumber(text)) {
            fault = ReadPeak(text, spectrum.peaks);
        } else if (IsKeyLine(text)) {
            fault = ReadKey(text, spectrum);
        } else {
            fault = "neither a peak nor KEY=value";
        }
        if (!fault.empty()) {
            skipped = {number, fault};
            SkipRestOfBlock();
            return ReadStep::Skipped;
        }
    }
    ended_ = true;
    skipped = {spectrum.line, "no END IONS"};
    return ReadStep::Skipped;
}

void MgfReader::SkipRestOfBlock() {
    bool tooLong = false;
    while (lines_.Next(line_, tooLong)) {
        const std::string_view text = TrimBlanks(line_);
        if (SameLetters(text, "END IONS")) return;
        if (SameLetters(text, "BEGIN IONS")) {
            pendingBegin_ = true;
            beginLine_ = lines_.Number();
            beginOffset_ = lines_.LineStart();
            return;
        }
    }
    ended_ = true;
}

}  // namespace ionsift
