// What the saver's tests share: a slide folder of plain test slides and a mask, the saver's registry values.
#pragma once

#include <windows.h>

#include <shlwapi.h>

#include <functional>
#include <string>
#include <vector>

#include "e2e.h"
#include "tools/picture_write/bmp_write.h"

namespace saver_test {

const char kSystemKeyName[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
const char kSaverKeyName[] = "Software\\Varnel\\Ithra Saver";

inline void WriteBmp(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& pixel)
{
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = pixel(static_cast<int>(i % width), static_cast<int>(i / width));
    std::string bytes(BmpFileSize24(width, height), '\0');
    BmpWrite24(pixels.data(), width, height, reinterpret_cast<uint8_t*>(&bytes[0]));
    e2e::WriteFileBytes(path, bytes);
}

inline std::string SlideName(int n) { return "slide_" + std::to_string(n / 10) + std::to_string(n % 10) + ".qjx"; }

// Fifteen plain slides, and a 256 by 16 mask whose frame f turns the first 16 (f + 1) pixels of
// every block, row by row, black.
inline void WriteShow(const e2e::TempFolder& folder)
{
    for (int n = 1; n <= 15; ++n) WriteBmp(folder.File(SlideName(n).c_str()), 640, 480, [n](int, int) { return 0x00102030u + static_cast<uint32_t>(n) * 0x00080A0Cu; });
    WriteBmp(folder.File("tile.bmp"), 256, 16, [](int x, int y) { return y * 16 + x % 16 < 16 * (x / 16 + 1) ? 0u : 0xFFFFFFu; });
}

inline void SetValue(const char* keyName, const char* name, DWORD value) { SHSetValueA(HKEY_CURRENT_USER, keyName, name, REG_DWORD, &value, 4); }
inline void SetValue(const char* keyName, const char* name, const std::string& text)
{
    SHSetValueA(HKEY_CURRENT_USER, keyName, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

}  // namespace saver_test
