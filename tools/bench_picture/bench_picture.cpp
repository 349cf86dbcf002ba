// Picture benchmark (native, unsanitized): the saver's QJX decoder on the sample slides next to a memcpy
// of the surface bytes it writes, LZ4 and PNG decoding of the same pixels, and the sizes of each.
// Usage: bench_picture --export-bmp SHOW_DIR OUT_DIR   (24-bit BMPs of the slides, for an outside PNG encoder)
//        bench_picture SHOW_DIR [PNG_DIR]               (PNG_DIR: slide_NN.png made from those BMPs)
#include <lz4.h>
#include <lz4hc.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/picture_write/bmp_write.h"
#include "imagefile/qjx_decode.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

bool ReadWhole(const std::string& path, Bytes* bytes)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    std::fseek(f, 0, SEEK_END);
    bytes->resize(size_t(std::ftell(f)));
    std::fseek(f, 0, SEEK_SET);
    const bool ok = std::fread(bytes->data(), 1, bytes->size(), f) == bytes->size();
    std::fclose(f);
    return ok;
}

// Median microseconds of one run of `work` over enough repetitions to be steady.
template <typename F>
double Median(F work)
{
    std::vector<double> runs;
    for (int i = 0; i < 41; ++i) {
        const auto start = Clock::now();
        work();
        runs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

std::string SlideName(int i, const char* extension)
{
    char name[32];
    std::snprintf(name, sizeof name, "/slide_%02d.%s", i, extension);
    return name;
}

Bytes EncodePng(const Bytes& bgr)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kQjxWidth;
    image.height = kQjxHeight;
    image.format = PNG_FORMAT_BGR;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, bgr.data(), 0, nullptr);
    Bytes png(size);
    if (!png_image_write_to_memory(&image, png.data(), &size, 0, bgr.data(), 0, nullptr)) return {};
    png.resize(size);
    return png;
}

// Into 32-bit pixels (blue, green, red, a fourth byte), as the saver's surfaces hold them; or into BGR.
bool DecodePng(const Bytes& png, Bytes& out, uint32_t format = PNG_FORMAT_BGRA)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return false;
    image.format = format;
    const bool ok = png_image_finish_read(&image, nullptr, out.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--export-bmp") == 0) {
        Bytes file;
        std::vector<uint32_t> pixels(kQjxPixelCount);
        Bytes bmp(BmpFileSize24(kQjxWidth, kQjxHeight));
        for (int i = 1; i <= 15; ++i) {
            if (!ReadWhole(argv[2] + SlideName(i, "qjx"), &file) ||
                QjxDecodeFile(file.data(), file.size(), reinterpret_cast<uint8_t*>(pixels.data())) != 0)
                return 1;
            BmpWrite24(pixels.data(), kQjxWidth, kQjxHeight, bmp.data());
            FILE* f = std::fopen((argv[3] + SlideName(i, "bmp")).c_str(), "wb");
            if (!f || std::fwrite(bmp.data(), 1, bmp.size(), f) != bmp.size()) return 1;
            std::fclose(f);
        }
        return 0;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_picture SHOW_DIR [PNG_DIR] | --export-bmp SHOW_DIR OUT_DIR\n");
        return 2;
    }
    const std::string show = argv[1];
    const std::string pngDir = argc > 2 ? argv[2] : "";
    const size_t literalOnly = kQjxHeaderSize + (kQjxPixelCount + 7) / 8 + kQjxDecodedSize;

    // Every decoder here writes the same 32-bit surface bytes; memcpy copies as many.
    std::printf("slide      QJX bytes  %%lit   PNG bytes   LZ4HC bytes |  memcpy    QJX     LZ4     PNG  (us) | PNG/QJX QJX/LZ4 QJX/memcpy\n");
    double sum[4] = {0, 0, 0, 0}, pngBgr = 0;
    size_t sizes[3] = {0, 0, 0};
    int slides = 0;
    for (int i = 1; i <= 15; ++i) {
        Bytes file;
        if (!ReadWhole(show + SlideName(i, "qjx"), &file)) {
            std::fprintf(stderr, "bench_picture: no %s\n", (show + SlideName(i, "qjx")).c_str());
            return 1;
        }
        Bytes surface(kQjxSurfaceBytes), copy(kQjxSurfaceBytes), scratch(kQjxSurfaceBytes);
        if (QjxDecodeFile(file.data(), file.size(), surface.data()) != 0) return 1;
        Bytes bgr(kQjxDecodedSize);
        for (size_t k = 0; k < kQjxPixelCount; ++k) std::memcpy(&bgr[3 * k], &surface[4 * k], 3);

        Bytes png;
        if (pngDir.empty() || !ReadWhole(pngDir + SlideName(i, "png"), &png)) png = EncodePng(bgr);
        if (!DecodePng(png, scratch, PNG_FORMAT_BGR) || !std::equal(bgr.begin(), bgr.end(), scratch.begin())) {
            std::fprintf(stderr, "bench_picture: the PNG of slide %d is not the same picture\n", i);
            return 1;
        }
        Bytes lz4(static_cast<size_t>(LZ4_compressBound(int(kQjxSurfaceBytes))), 0);
        lz4.resize(size_t(LZ4_compress_HC(reinterpret_cast<const char*>(surface.data()), reinterpret_cast<char*>(lz4.data()),
                                          int(kQjxSurfaceBytes), int(lz4.size()), LZ4HC_CLEVEL_MAX)));

        volatile int sink = 0;
        const double tCopy = Median([&] { std::memcpy(copy.data(), surface.data(), kQjxSurfaceBytes); sink = copy[12345]; });
        const double tQjx = Median([&] { sink = QjxDecodeFile(file.data(), file.size(), scratch.data()); });
        const double tLz4 = Median([&] {
            sink = LZ4_decompress_safe(reinterpret_cast<const char*>(lz4.data()), reinterpret_cast<char*>(scratch.data()),
                                       int(lz4.size()), int(kQjxSurfaceBytes));
        });
        const double tPng = Median([&] { sink = DecodePng(png, scratch); });
        pngBgr += Median([&] { sink = DecodePng(png, scratch, PNG_FORMAT_BGR); });
        (void)sink;

        std::printf("slide_%02d  %9zu  %4.1f  %10zu  %12zu | %7.0f %7.0f %7.0f %7.0f      | %6.1fx %6.2fx %6.2fx\n", i,
                    file.size(), 100.0 * double(file.size()) / double(literalOnly), png.size(), lz4.size(), tCopy, tQjx,
                    tLz4, tPng, tPng / tQjx, tQjx / tLz4, tQjx / tCopy);
        sum[0] += tCopy; sum[1] += tQjx; sum[2] += tLz4; sum[3] += tPng;
        sizes[0] += file.size(); sizes[1] += png.size(); sizes[2] += lz4.size();
        ++slides;
    }
    std::printf("all       %9zu  %4.1f  %10zu  %12zu | %7.0f %7.0f %7.0f %7.0f      | %6.1fx %6.2fx %6.2fx\n", sizes[0],
                100.0 * double(sizes[0]) / double(literalOnly * slides), sizes[1], sizes[2], sum[0], sum[1], sum[2], sum[3],
                sum[3] / sum[1], sum[1] / sum[2], sum[1] / sum[0]);
    std::printf("literal-only QJX: %zu bytes a slide; QJX decode %.0f MB/s of surface, memcpy %.0f MB/s\n", literalOnly,
                slides * double(kQjxSurfaceBytes) / sum[1], slides * double(kQjxSurfaceBytes) / sum[0]);
    std::printf("PNG into 24-bit pixels instead (less work for libpng): %.0f us for all, %.1fx QJX\n", pngBgr, pngBgr / sum[1]);
    std::printf("goals: PNG/QJX >= 12x%s, QJX/LZ4 <= 3x%s\n", sum[3] / sum[1] >= 12 ? "" : " (NOT MET)",
                sum[1] / sum[2] <= 3 ? "" : " (NOT MET)");
    return 0;
}
