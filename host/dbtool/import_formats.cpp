#include "host/dbtool/import_formats.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

namespace ionsift::dbtool {
namespace {

struct Extension {
    std::string_view text;
    FileFormat format;
};

constexpr Extension kExtensions[] = {
    {".sdf", FileFormat::kSd},        {".sd", FileFormat::kSd},      {".mol", FileFormat::kSd},
    {".smi", FileFormat::kSmiles},    {".smiles", FileFormat::kSmiles},
    {".csv", FileFormat::kCsv},       {".tsv", FileFormat::kTsv},
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::optional<FileKind> KindOfFile(const std::filesystem::path& path) {
    std::filesystem::path name = path.filename();
    bool gzip = false;
    if (Lower(name.extension().string()) == ".gz") {
        gzip = true;
        name = name.stem();
    }
    const std::string extension = Lower(name.extension().string());
    for (const Extension& known : kExtensions) {
        if (known.text == extension) return FileKind{known.format, gzip};
    }
    return std::nullopt;
}

const char* KnownExtensions() { return ".sdf, .sd, .mol, .smi, .smiles, .csv, .tsv, each optionally .gz"; }

}  // namespace ionsift::dbtool
