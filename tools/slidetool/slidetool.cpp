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
#include "imagefile/show_shape.h"
#include "render/w_dib32.h"
#include "tools/slidetool/make_show.h"
#include "tools/slidetool/picture_folder.h"
#include "tools/slidetool/picture_pick.h"
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
    uint8_t* qjx = static_cast<uint8_t*>(std::malloc(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount)));
    int result = 1;
    size_t written = 0;
    if (pixels && qjx && BmpDecode(file, size, nullptr, table, pixels, kQjxPixelCount) == 0) {
        written = EncodeSlide(pixels, qjx);
        if (written == 0) {
            std::fprintf(stderr, "slidetool: out of memory\n");
        } else if (!WriteFileWhole(out, qjx, written)) {
            std::fprintf(stderr, "slidetool: cannot write %s\n", out);
        } else {
            std::printf("%s: %lu bytes (all literals: %lu)\n", out, (unsigned long)written,
                        (unsigned long)(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount)));
            result = 0;
        }
    } else if (pixels && qjx) {
        std::fprintf(stderr, "slidetool: %s could not be read\n", in);
    } else {
        std::fprintf(stderr, "slidetool: out of memory\n");
    }
    std::free(qjx);
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

int Usage();

// A whole decimal number, nothing after it.
bool ReadNumber(const char* text, unsigned long* value)
{
    char* end = nullptr;
    *value = std::strtoul(text, &end, 10);
    return *text >= '0' && *text <= '9' && !*end;
}

// makeshow [--pick random [--seed N]] FOLDER PICTURE...: folders among the pictures stand for the
// pictures in them; from more than a show's fifteen, fifteen are taken across the whole list, or at
// random, and the run says which.
int MakeShowCommand(int argc, char** argv)
{
    bool random = false, seeded = false;
    unsigned long seed = 0;
    char** operands = static_cast<char**>(std::malloc(sizeof(char*) * size_t(argc)));
    if (!operands) return 1;
    int count = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--pick") == 0 && i + 1 < argc &&
            (std::strcmp(argv[i + 1], "random") == 0 || std::strcmp(argv[i + 1], "spread") == 0)) {
            random = std::strcmp(argv[++i], "random") == 0;
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc && ReadNumber(argv[i + 1], &seed)) {
            seeded = true;
            ++i;
        } else if (std::strncmp(argv[i], "--", 2) == 0) {
            count = 0;
            break;
        } else {
            operands[count++] = argv[i];
        }
    }
    if (count < 2 || (seeded && !random)) {
        std::free(operands);
        return Usage();
    }
    PictureList list;
    if (!ListPictures(operands + 1, count - 1, &list)) {
        std::fprintf(stderr, "slidetool: out of memory for the list of pictures\n");
        FreePictureList(&list);
        std::free(operands);
        return 1;
    }
    // "; 3 files in the folders skipped: 2 not a BMP, JPEG, PNG or GIF picture, 1 unreadable", naming
    // only the reasons that occurred.
    char skipped[200] = "";
    const uint32_t left = list.notPictures + list.unreadable + list.tooLong;
    const struct { uint32_t files; const char* why; } reasons[] = {
        {list.notPictures, "not a BMP, JPEG, PNG or GIF picture"},
        {list.unreadable, "unreadable"},
        {list.tooLong, "with a path too long for Windows"},
    };
    if (left) {
        size_t used = size_t(std::snprintf(skipped, sizeof skipped, "; %lu file%s in the folders skipped",
                                           (unsigned long)left, left == 1 ? "" : "s"));
        const char* between = ": ";
        for (const auto& r : reasons) {
            if (!r.files) continue;
            used += size_t(std::snprintf(skipped + used, sizeof skipped - used, "%s%lu %s", between,
                                         (unsigned long)r.files, r.why));
            between = ", ";
        }
    }
    int result = 1;
    if (list.count == 0) {
        std::fprintf(stderr, "slidetool: no pictures found%s\n", skipped);
    } else if (list.count <= uint32_t(kSlideCount)) {
        result = MakeShow(operands[0], list.paths, int(list.count), skipped);
    } else {
        uint32_t indices[kSlideCount];
        const char* chosen[kSlideCount];
        if (random) {
            if (!seeded) seed = GetTickCount();
            PickRandom(list.count, uint32_t(kSlideCount), uint32_t(seed), indices);
            std::printf("%lu pictures found; %lu taken at random (seed %lu: --seed %lu takes the same again):",
                        (unsigned long)list.count, (unsigned long)kSlideCount, seed, seed);
        } else {
            PickSpread(list.count, uint32_t(kSlideCount), indices);
            std::printf("%lu pictures found; %lu taken evenly from the first to the last:", (unsigned long)list.count,
                        (unsigned long)kSlideCount);
        }
        for (uint32_t i = 0; i < uint32_t(kSlideCount); ++i) {
            chosen[i] = list.paths[indices[i]];
            std::printf(" %lu", (unsigned long)indices[i] + 1);
        }
        std::printf(" of %lu\n", (unsigned long)list.count);
        result = MakeShow(operands[0], chosen, kSlideCount, skipped);
    }
    FreePictureList(&list);
    std::free(operands);
    return result;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: slidetool encode IN.bmp OUT.qjx   640 by 480 BMP into a slide\n"
                 "       slidetool decode IN OUT.bmp       a slide or BMP, as the saver loads it, into a 24-bit BMP\n"
                 "       slidetool info IN                 format, size and validity\n"
                 "       slidetool makeshow [--pick random [--seed N]] FOLDER PICTURE...\n"
                 "                                         a whole show from pictures (BMP, JPEG, PNG, GIF) or folders\n"
                 "                                         of them; of more than 15, 15 spread over all, or at random\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "encode") == 0) return Encode(argv[2], argv[3]);
    if (argc == 4 && std::strcmp(argv[1], "decode") == 0) return Decode(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "info") == 0) return Info(argv[2]);
    if (argc >= 4 && std::strcmp(argv[1], "makeshow") == 0) return MakeShowCommand(argc - 2, argv + 2);
    return Usage();
}
