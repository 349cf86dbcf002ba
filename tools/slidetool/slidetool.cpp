// slidetool: makes and checks the saver's picture files. encode a 640 by 480 BMP into a QJX slide,
// decode any picture the saver loads into a 24-bit BMP (through the saver's own loader), info on a file,
// makeshow a whole show from a person's own pictures.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "imagefile/bmp_read.h"
#include "tools/picture_write/bmp_write.h"
#include "imagefile/qjx_decode.h"
#include "tools/picture_write/qjx_encode.h"
#include "render/w_dib32.h"
#include "tools/slidetool/make_show.h"
#include "tools/slidetool/whole_file.h"

namespace {

int Encode(const char* in, const char* out)
{
    size_t size = 0;
    uint8_t* file = ReadFileWhole(in, &size);
    if (!file) {
        std::fprintf(stderr, "slidetool: cannot read %s\n", in);
        return 1;
    }
    BmpLayout layout;
    if (BmpReadLayout(file, size, &layout) != 0) {
        std::fprintf(stderr, "slidetool: %s is not a BMP file this tool can read "
                             "(4, 8, 24 or 32 bits per pixel, uncompressed rows)\n", in);
        std::free(file);
        return 1;
    }
    if (layout.width != kQjxWidth || layout.height != kQjxHeight) {
        std::fprintf(stderr, "slidetool: %s is %ld by %ld pixels; a slide must be exactly %d by %d\n", in,
                     long(layout.width), long(layout.height), kQjxWidth, kQjxHeight);
        std::free(file);
        return 1;
    }
    uint32_t table[256];
    uint32_t* pixels = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * kQjxPixelCount));
    uint8_t* bgr = static_cast<uint8_t*>(std::malloc(kQjxDecodedSize));
    uint8_t* qjx = static_cast<uint8_t*>(std::malloc(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount)));
    int result = 1;
    size_t written = 0;
    if (pixels && bgr && qjx && BmpDecode(file, size, nullptr, table, pixels, kQjxPixelCount) == 0) {
        for (uint32_t i = 0; i < kQjxPixelCount; ++i) {
            bgr[3 * i] = uint8_t(pixels[i]);
            bgr[3 * i + 1] = uint8_t(pixels[i] >> 8);
            bgr[3 * i + 2] = uint8_t(pixels[i] >> 16);
        }
        written = QjxEncodeFile(bgr, qjx);
        if (written == 0) {
            std::fprintf(stderr, "slidetool: out of memory\n");
        } else if (!WriteFileWhole(out, qjx, written)) {
            std::fprintf(stderr, "slidetool: cannot write %s\n", out);
        } else {
            std::printf("%s: %lu bytes (all literals: %lu)\n", out, (unsigned long)written,
                        (unsigned long)(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount)));
            result = 0;
        }
    } else if (pixels && bgr && qjx) {
        std::fprintf(stderr, "slidetool: %s could not be read\n", in);
    } else {
        std::fprintf(stderr, "slidetool: out of memory\n");
    }
    std::free(qjx);
    std::free(bgr);
    std::free(pixels);
    std::free(file);
    return result;
}

int Decode(const char* in, const char* out)
{
    // The saver's surfaces draw through a window's device context; this one is never shown.
    HWND window = CreateWindowA("STATIC", "slidetool", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (!window) {
        std::fprintf(stderr, "slidetool: no window for the drawing surface\n");
        return 1;
    }
    CDIBSurface* surface = new (std::nothrow) CDIBSurface(window);
    int result = 1;
    if (!surface) {
        std::fprintf(stderr, "slidetool: out of memory\n");
    } else if (surface->LoadImageFile(in, nullptr) != 0) {
        std::fprintf(stderr, "slidetool: the saver cannot load %s (missing, unreadable or not a valid picture)\n", in);
    } else {
        const int width = surface->GetWidth(), height = surface->GetHeight();
        uint32_t* pixels = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * size_t(width) * size_t(height)));
        uint8_t* bmp = static_cast<uint8_t*>(std::malloc(BmpFileSize24(width, height)));
        if (pixels && bmp) {
            for (int y = 0; y < height; ++y)
                std::memcpy(pixels + size_t(y) * size_t(width), surface->PixelPtr(0, y), 4 * size_t(width));
            BmpWrite24(pixels, width, height, bmp);
            if (WriteFileWhole(out, bmp, BmpFileSize24(width, height))) {
                std::printf("%s: %d by %d pixels\n", out, width, height);
                result = 0;
            } else {
                std::fprintf(stderr, "slidetool: cannot write %s\n", out);
            }
        } else {
            std::fprintf(stderr, "slidetool: out of memory\n");
        }
        std::free(bmp);
        std::free(pixels);
    }
    delete surface;
    DestroyWindow(window);
    return result;
}

int Info(const char* in)
{
    size_t size = 0;
    uint8_t* file = ReadFileWhole(in, &size);
    if (!file) {
        std::fprintf(stderr, "slidetool: cannot read %s\n", in);
        return 1;
    }
    int result = 1;
    if (size >= 2 && file[0] == kQjxMagic0 && file[1] == kQjxMagic1) {
        // The saver's own decoder, into a slide's surface memory: "valid" means the saver shows it.
        uint8_t* decoded = static_cast<uint8_t*>(std::malloc(kQjxSurfaceBytes));
        if (!decoded) {
            std::fprintf(stderr, "slidetool: out of memory\n");
            std::free(file);
            return 1;
        }
        const bool valid = QjxDecodeFile(file, size, decoded) == 0;
        std::printf("%s: QJX, %d by %d, 24 bits, %lu bytes (%.1f%% of all literals): %s\n", in, kQjxWidth,
                    kQjxHeight, (unsigned long)size,
                    100.0 * double(size) / double(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount)),
                    valid ? "valid" : QjxCheckHeader(file, size) != 0 ? "INVALID (header or size)" : "INVALID (stream)");
        result = valid ? 0 : 1;
        std::free(decoded);
    } else if (size >= 2 && file[0] == 'B' && file[1] == 'M') {
        BmpLayout layout;
        if (BmpReadLayout(file, size, &layout) == 0) {
            std::printf("%s: BMP, %ld by %ld, %d bits, %s, %lu bytes: valid\n", in, long(layout.width),
                        long(layout.height), layout.bitCount, layout.storedHeight < 0 ? "top-down" : "bottom-up",
                        (unsigned long)size);
            result = 0;
        } else {
            std::printf("%s: BMP, %lu bytes: INVALID (not readable as 4, 8, 24 or 32 bits per pixel)\n", in,
                        (unsigned long)size);
        }
    } else {
        std::printf("%s: not a picture the saver reads (neither BMP nor QJX)\n", in);
    }
    std::free(file);
    return result;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: slidetool encode IN.bmp OUT.qjx   640 by 480 BMP into a slide\n"
                 "       slidetool decode IN OUT.bmp       a slide or BMP, as the saver loads it, into a 24-bit BMP\n"
                 "       slidetool info IN                 format, size and validity\n"
                 "       slidetool makeshow FOLDER PICTURE...\n"
                 "                                         a whole show from 1 to 15 pictures (BMP, JPEG, PNG, GIF)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "encode") == 0) return Encode(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "decode") == 0) return Decode(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "info") == 0) return Info(argv[2]);
    if (argc >= 4 && std::strcmp(argv[1], "makeshow") == 0) return MakeShow(argv[2], argv + 3, argc - 3);
    return Usage();
}
