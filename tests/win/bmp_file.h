// Writes an uncompressed BMP file, for the pictures the Windows tests keep
// as artefacts (converted to PNG by their scripts).
#pragma once

#include <windows.h>

#include <cstddef>
#include <fstream>
#include <string>

namespace ionsift::wintest {

// `height` negative: the rows run top-down. `bits` holds the rows as the
// header describes them (bitCount 24 or 32, rows padded to 4 bytes).
inline bool WriteBmp(const std::string& path, int width, int height, int bitCount,
                     const void* bits, std::size_t size) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bitCount);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(size);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

}  // namespace ionsift::wintest
