// The compound file formats `dbtool import` reads, told by the file's
// extension (case-insensitive), each optionally gzip-compressed (".gz").
#pragma once

#include <filesystem>
#include <optional>

namespace ionsift::dbtool {

enum class FileFormat { kSd, kSmiles, kCsv, kTsv };

struct FileKind {
    FileFormat format;
    bool gzip;
};

// ".sdf", ".sd", ".mol" -> kSd; ".smi", ".smiles" -> kSmiles; ".csv", ".tsv";
// "x.sdf.gz" is gzip SD. Empty for any other name.
std::optional<FileKind> KindOfFile(const std::filesystem::path& path);

// For the usage text: ".sdf, .sd, .mol, .smi, .smiles, .csv, .tsv".
const char* KnownExtensions();

}  // namespace ionsift::dbtool
