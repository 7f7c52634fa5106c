#include "spectra/spectrum_reader.h"

#include <cctype>
#include <string>

#include "spectra/mgf_reader.h"
#include "spectra/peak_list_reader.h"

namespace ionsift {
namespace {

std::string LowerExtension(std::string_view fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t slash = fileName.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return "";
    std::string extension(fileName.substr(dot));
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

}  // namespace

std::unique_ptr<SpectrumReader> SpectrumReaderFor(std::string_view fileName, std::istream& in) {
    const std::string extension = LowerExtension(fileName);
    if (extension == ".mgf") return std::make_unique<MgfReader>(in);
    if (extension == ".txt" || extension == ".csv" || extension == ".tsv") {
        return std::make_unique<PeakListReader>(in);
    }
    return nullptr;
}

const char* SpectrumFileExtensions() { return ".mgf, .txt, .csv, .tsv"; }

}  // namespace ionsift
