// ScanFile's body (spectra/file_bytes.h).
#pragma once

#include <string_view>

namespace ionsift {

template <typename Found>
bool ScanFile(FileBytes& file, const std::string& needle, Found found) {
    constexpr std::size_t kChunk = 4 << 20;
    std::string chunk;
    std::uint64_t start = 0;
    while (start < file.Size()) {
        if (!file.ReadAt(start, kChunk + needle.size() - 1, chunk)) return false;
        const std::string_view text(chunk);
        const std::size_t limit = std::min(text.size(), kChunk);  // later starts belong to the next chunk
        for (std::size_t at = text.find(needle); at != std::string_view::npos && at < limit;
             at = text.find(needle, at + 1)) {
            if (!found(start + at)) return true;
        }
        if (chunk.size() < kChunk + needle.size() - 1) break;
        start += kChunk;
    }
    return true;
}

}  // namespace ionsift
