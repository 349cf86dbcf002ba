// slidetool makeshow: reads every picture first, then writes the sixteen files under temporary names
// and puts them in place only when all are complete, so a failure never leaves half a show behind; a
// file it did not write is never replaced or deleted.
#include "tools/slidetool/make_show.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imagefile/bmp_read.h"
#include "tools/slidetool/exif_orientation.h"
#include "tools/slidetool/picture_upright.h"
#include "tools/picture_write/qjx_encode.h"
#include "tools/picture_write/dissolve_mask.h"
#include "tools/slidetool/picture_fit.h"
#include "tools/slidetool/system_picture.h"
#include "tools/slidetool/whole_file.h"

namespace {

constexpr int kSlides = 15;
constexpr int kFiles = kSlides + 1;  // the slides and tile.bmp
const char kNewSuffix[] = ".new";    // a file being written
const char kOldSuffix[] = ".old";    // a file of the show being replaced, kept until the new one is in
constexpr size_t kSuffixLength = sizeof kNewSuffix - 1;
static_assert(sizeof kNewSuffix == sizeof kOldSuffix, "one length for both suffixes");

// A path in the 260-byte buffers of the Win32 file functions.
struct Path {
    char text[MAX_PATH];
};

struct Bytes {
    uint8_t* data = nullptr;
    size_t size = 0;
};

bool ReadWhole(const char* path, Bytes* bytes)
{
    bytes->data = ReadFileWhole(path, &bytes->size);
    return bytes->data != nullptr;
}

// Writes the file only under a name that no file has yet: a file already there is not this run's to
// replace or delete. *created says whether this run made it.
bool WriteNew(const Path& path, const Bytes& bytes, bool* created)
{
    HANDLE file = CreateFileA(path.text, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    *created = file != INVALID_HANDLE_VALUE;
    if (!*created) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, bytes.data, DWORD(bytes.size), &written, nullptr) && written == bytes.size;
    return CloseHandle(file) && ok;
}

// folder\name, with no second separator after a folder that ends in one (or after a bare drive
// "C:"). The folder is walked by whole characters: the second byte of a double-byte character may be
// 0x5C, the backslash. The caller has checked that the name and a suffix fit.
Path InFolder(const char* folder, const char* name)
{
    const char* last = nullptr;
    for (const char* p = folder; *p; p = IsDBCSLeadByte(BYTE(*p)) && p[1] ? p + 2 : p + 1) last = p;
    const bool separate = last && *last != '\\' && *last != '/' && !(*last == ':' && last == folder + 1);
    Path path;
    std::snprintf(path.text, sizeof path.text, "%s%s%s", folder, separate ? "\\" : "", name);
    return path;
}

Path With(const Path& path, const char* suffix)
{
    Path longer;
    std::snprintf(longer.text, sizeof longer.text, "%s%s", path.text, suffix);
    return longer;
}

const char* FormatOf(const Bytes& file)
{
    const uint8_t* b = file.data;
    if (file.size >= 2 && b[0] == 'B' && b[1] == 'M') return "BMP";
    if (file.size >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF) return "JPEG";
    if (file.size >= 8 && std::memcmp(b, "\x89PNG\r\n\x1A\n", 8) == 0) return "PNG";
    if (file.size >= 4 && std::memcmp(b, "GIF8", 4) == 0) return "GIF";
    return nullptr;
}

// The picture as 32-bit pixels: BMP files through the saver's own reading, so that every depth the
// saver shows is read the same way; everything else through the system's loader.
int ReadPicture(const Bytes& file, const char* format, uint32_t** pixels, int32_t* width, int32_t* height,
                const char** reason)
{
    BmpLayout layout;
    if (format && std::strcmp(format, "BMP") == 0 && BmpReadLayout(file.data, file.size, &layout) == 0) {
        const size_t count = size_t(layout.width) * size_t(layout.height);
        uint32_t table[256];
        *pixels = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * count));
        if (!*pixels || BmpDecode(file.data, file.size, nullptr, table, *pixels, count) != 0) {
            std::free(*pixels);
            *reason = "out of memory";
            return -1;
        }
        for (size_t i = 0; i < count; ++i) (*pixels)[i] &= 0xFFFFFF;
        *width = layout.width;
        *height = layout.height;
        return 0;
    }
    // BMP files the saver cannot read (1 or 16 bits, compressed rows) may still be read by the system.
    if (SystemPictureRead(file.data, file.size, pixels, width, height, reason) == 0) return 0;
    if (!format) *reason = "not a BMP, JPEG, PNG or GIF picture";
    else if (std::strcmp(format, "BMP") == 0) *reason = "a BMP file that neither the saver nor the system reads";
    return -1;
}

// One slide file from one picture, or false after saying why. A photo is turned upright by its Exif
// orientation before it is fitted. number of count: the running count the progress line shows.
bool MakeSlide(const char* path, const char* slideName, int number, int count, Bytes* slide)
{
    Bytes file;
    if (!ReadWhole(path, &file)) {
        std::free(file.data);
        std::fprintf(stderr, "slidetool: cannot read %s\n", path);
        return false;
    }
    const char* format = FormatOf(file);
    uint32_t* pixels = nullptr;
    int32_t width = 0, height = 0;
    const char* reason = "";
    int read = ReadPicture(file, format, &pixels, &width, &height, &reason);
    const bool jpeg = format && std::strcmp(format, "JPEG") == 0;
    const int orientation = read == 0 && jpeg ? ExifOrientation(file.data, file.size) : 0;
    std::free(file.data);
    if (read == 0 && TurnUpright(pixels, &width, &height, orientation) != 0) {
        std::free(pixels);
        reason = "out of memory to turn it upright";
        read = -1;
    }
    if (read != 0) {
        std::fprintf(stderr, "slidetool: cannot read %s: %s\n", path, reason);
        return false;
    }
    uint32_t* fitted = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * kQjxPixelCount));
    uint8_t* bgr = static_cast<uint8_t*>(std::malloc(kQjxDecodedSize));
    slide->data = static_cast<uint8_t*>(std::malloc(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount)));
    bool ok = fitted && bgr && slide->data &&
              FitPicture(pixels, width, height, fitted, kQjxWidth, kQjxHeight) == 0;
    if (ok) {
        for (uint32_t i = 0; i < kQjxPixelCount; ++i) {
            bgr[3 * i] = uint8_t(fitted[i]);
            bgr[3 * i + 1] = uint8_t(fitted[i] >> 8);
            bgr[3 * i + 2] = uint8_t(fitted[i] >> 16);
        }
        slide->size = QjxEncodeFile(bgr, slide->data);
        ok = slide->size != 0;
    }
    if (ok) {
        const FitPlace place = FitInside(width, height, kQjxWidth, kQjxHeight);
        char upright[40] = "";
        if (orientation > 1) std::snprintf(upright, sizeof upright, ", upright by Exif orientation %d", orientation);
        std::printf("%d/%d %s: %s (%s, %ld by %ld%s) fitted to %ld by %ld, %lu bytes\n", number, count, slideName, path,
                    format ? format : "picture", long(width), long(height), upright, long(place.width),
                    long(place.height), (unsigned long)slide->size);
    } else {
        std::fprintf(stderr, "slidetool: out of memory for %s\n", path);
        std::free(slide->data);
        slide->data = nullptr;
    }
    std::free(bgr);
    std::free(fitted);
    std::free(pixels);
    return ok;
}

bool Exists(const Path& path) { return GetFileAttributesA(path.text) != INVALID_FILE_ATTRIBUTES; }

// Puts the complete new files in place of the show's. The files of an existing show are first set
// aside under their .old names (a move never replaces a file), so that a rename that fails half way
// can be undone and the old show stays whole. Only what this run set aside or placed is touched again.
bool PutInPlace(const Path (&names)[kFiles])
{
    bool setAside[kFiles] = {};
    bool ok = true;
    for (int i = 0; ok && i < kFiles; ++i)
        if (Exists(names[i])) ok = setAside[i] = MoveFileA(names[i].text, With(names[i], kOldSuffix).text) != 0;
    int placed = 0;
    while (ok && placed < kFiles && MoveFileA(With(names[placed], kNewSuffix).text, names[placed].text)) ++placed;
    ok = ok && placed == kFiles;
    for (int i = 0; i < kFiles; ++i) {
        if (!ok && i < placed) DeleteFileA(names[i].text);
        if (!setAside[i]) continue;
        const Path old = With(names[i], kOldSuffix);
        if (ok) DeleteFileA(old.text);
        else MoveFileA(old.text, names[i].text);
    }
    return ok;
}

// A set-aside file that a run cut off before its end left behind may be the only copy of the show that
// was there; a file of that name may also be a person's own. Either way it is not this run's to delete
// or to put in place, so the run does not start. True when none is there.
bool NothingLeftAside(const char* folder, const Path (&names)[kFiles])
{
    bool none = true;
    for (const Path& name : names) {
        const Path old = With(name, kOldSuffix);
        if (!Exists(old)) continue;
        std::fprintf(stderr, "slidetool: %s is in the way\n", old.text);
        none = false;
    }
    if (!none)
        std::fprintf(stderr, "slidetool: a run of makeshow that was cut off leaves such files, and they may be the "
                             "only copy of the show there before: put each back under its name without .old, or move "
                             "it out of %s, then run again; nothing there was changed\n", folder);
    return none;
}

}  // namespace

int MakeShow(const char* folder, const char* const* pictures, int count, const char* skipped)
{
    if (count < 1 || count > kSlides) {
        std::fprintf(stderr, "slidetool: a show takes 1 to %d pictures; %d given\n", kSlides, count);
        return 1;
    }
    if (std::strlen(folder) + std::strlen("\\slide_01.qjx") + kSuffixLength >= MAX_PATH) {
        std::fprintf(stderr, "slidetool: the folder name %s is too long\n", folder);
        return 1;
    }
    Bytes slides[kSlides];
    int made = 0;
    for (; made < count; ++made) {
        char name[16];
        std::snprintf(name, sizeof name, "slide_%02d.qjx", made + 1);
        if (!MakeSlide(pictures[made], name, made + 1, count, &slides[made])) break;
    }
    int result = 1;
    if (made == count) {
        if (count == 1)
            std::printf("slide_02.qjx to slide_%02d.qjx: the same picture again, to fill %d slides\n", kSlides, kSlides);
        else if (count < kSlides)
            std::printf("slide_%02d.qjx to slide_%02d.qjx: the %d pictures again in the same order, to fill %d slides\n",
                        count + 1, kSlides, count, kSlides);
        const DWORD attributes = GetFileAttributesA(folder);
        if (attributes == INVALID_FILE_ATTRIBUTES && !CreateDirectoryA(folder, nullptr)) {
            std::fprintf(stderr, "slidetool: cannot create the folder %s\n", folder);
        } else if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            std::fprintf(stderr, "slidetool: %s is a file, not a folder\n", folder);
        } else {
            Path names[kFiles];
            Bytes files[kFiles];
            for (int i = 0; i < kSlides; ++i) {
                char name[16];
                std::snprintf(name, sizeof name, "slide_%02d.qjx", i + 1);
                names[i] = InFolder(folder, name);
                files[i] = slides[i % count];
            }
            names[kSlides] = InFolder(folder, "tile.bmp");
            files[kSlides].size = DissolveMaskFileSize();
            files[kSlides].data = static_cast<uint8_t*>(std::malloc(files[kSlides].size));
            bool created[kFiles] = {};
            int written = 0;
            bool inTheWay = false;
            unsigned long total = 0;
            if (files[kSlides].data && NothingLeftAside(folder, names)) {
                DissolveMaskWrite(files[kSlides].data);
                for (; written < kFiles; ++written) {
                    if (!WriteNew(With(names[written], kNewSuffix), files[written], &created[written])) break;
                    total += (unsigned long)files[written].size;
                }
                inTheWay = written < kFiles && !created[written] && GetLastError() == ERROR_FILE_EXISTS;
                if (written == kFiles && PutInPlace(names)) {
                    std::printf("%s: %d picture%s read, %d slides and tile.bmp written, %lu bytes in all%s\n",
                                folder, count, count == 1 ? "" : "s", kSlides, total, skipped);
                    result = 0;
                } else {
                    std::fprintf(stderr, "slidetool: cannot write the show into %s", folder);
                    if (written < kFiles)
                        std::fprintf(stderr, " (at %s%s)", With(names[written], kNewSuffix).text,
                                     inTheWay ? ": a file of that name is in the way" : "");
                    std::fprintf(stderr, "; nothing there was changed\n");
                }
            } else if (!files[kSlides].data) {
                std::fprintf(stderr, "slidetool: out of memory for tile.bmp\n");
            }
            for (int i = 0; i < kFiles && result != 0; ++i)
                if (created[i]) DeleteFileA(With(names[i], kNewSuffix).text);
            std::free(files[kSlides].data);
        }
    }
    for (int i = 0; i < made; ++i) std::free(slides[i].data);
    return result;
}
