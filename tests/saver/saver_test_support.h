// What the saver's tests share: a slide folder of plain test slides and a mask, the saver's registry values.
#pragma once

#include <windows.h>

#include <shlwapi.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "e2e.h"
#include "imagefile/show_shape.h"
#include "tools/picture_write/bmp_write.h"

namespace saver_test {

const char kSystemKeyName[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers";
const char kSaverKeyName[] = "Software\\Varnel\\Ithra Saver";

inline void WriteBmp(const std::string& path, int width, int height, const std::function<uint32_t(int, int)>& pixel)
{
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(pixel(x, y));
    std::string bytes(BmpFileSize24(width, height), '\0');
    BmpWrite24(pixels.data(), width, height, reinterpret_cast<uint8_t*>(&bytes[0]));
    e2e::WriteFileBytes(path, bytes);
}

inline std::string SlideName(int n)
{
    char name[32];
    snprintf(name, sizeof name, NIMBRA_SLIDE_NAME_FORMAT, n);
    return name;
}

// Fifteen plain slides (BMP pictures under the slides' names), and a 256 by 16 mask whose frame f is
// black in rows 0 to f of its block.
inline void WriteShow(const e2e::TempFolder& folder)
{
    for (int n = 1; n <= kSlideCount; ++n) {
        const uint32_t colour = 0x00102030u + static_cast<uint32_t>(n) * 0x00080A0Cu;
        WriteBmp(folder.File(SlideName(n).c_str()), kStageWidth, kStageHeight, [colour](int, int) { return colour; });
    }
    WriteBmp(folder.File("tile.bmp"), kMaskBlock * kMaskFrames, kMaskBlock,
             [](int x, int y) { return y <= x / kMaskBlock ? 0u : 0xFFFFFFu; });
}

inline void SetValue(const char* keyName, const char* name, DWORD value)
{
    SHSetValueA(HKEY_CURRENT_USER, keyName, name, REG_DWORD, &value, 4);
}

inline void SetValue(const char* keyName, const char* name, const std::string& text)
{
    SHSetValueA(HKEY_CURRENT_USER, keyName, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

}  // namespace saver_test
