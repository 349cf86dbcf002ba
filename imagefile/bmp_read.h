// Windows BMP reading from a whole file held in memory: header checks, colour table, row conversion.
// No Win32 here; the surface loader and the tools share it.
#pragma once

#include <cstddef>
#include <cstdint>

// Largest picture accepted, in pixels (its 32-bit surface is then 256 MB).
constexpr uint64_t kBmpMaxPixels = uint64_t(1) << 26;
constexpr size_t kBmpFileHeaderSize = 14;
constexpr size_t kBmpInfoHeaderSize = 40;

// Where everything of an accepted file lies; every offset and length is inside the file.
struct BmpLayout {
    int32_t width;         // pixels per row, at least 1
    int32_t height;        // rows, at least 1
    int32_t storedHeight;  // biHeight as stored: negative when the rows are stored top row first
    int bitCount;          // 4, 8, 24 or 32
    uint32_t colorCount;   // entries of the file's colour table (4 and 8 bits), else 0
    size_t tableOffset;    // first colour-table entry: right behind the info header
    size_t pixelOffset;    // bfOffBits: first stored row
    size_t rowBytes;       // one stored row with its padding to 4 bytes
};

// Checks the whole file and works out its layout. 0, or -1 for anything that cannot be read safely
// or has no defined reading: short files, zero or negative widths, zero heights, bit depths other
// than 4, 8, 24 and 32, a colour-table count beyond 2^bitCount, rows that end past the file.
int BmpReadLayout(const uint8_t* file, size_t fileSize, BmpLayout* layout);

// The 256-entry table that 4- and 8-bit pixels are looked up in: the caller's palette when there is
// one, otherwise the file's entries followed by zeros.
// palette: 256 entries of blue, green, red, reserved, or null.
void BmpMakeColorTable(const BmpLayout& layout, const uint8_t* file, const void* palette, uint32_t* table);

// The stored bytes of picture row y (0 = top row) whichever order the file keeps its rows in.
const uint8_t* BmpStoredRow(const BmpLayout& layout, const uint8_t* file, int32_t y);

// One stored row to width 32-bit pixels. 4, 8 and 24 bits give a zero fourth byte; 32-bit rows
// are copied as they are.
// The destination needs no particular alignment (surface rows are reached through their addresses).
void BmpConvertRow(const BmpLayout& layout, const uint8_t* row, const uint32_t* table, void* destination);

// The whole picture, top row first, into pixels (width * height entries) and table (256 entries).
int BmpDecode(const uint8_t* file, size_t fileSize, const void* palette, uint32_t* table,
              uint32_t* pixels, size_t pixelCapacity);
