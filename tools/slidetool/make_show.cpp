// slidetool makeshow: reads every picture first, then writes the sixteen files under temporary names
// and puts them in place only when all are complete, so a failure never leaves half a show behind; a
// file it did not write is never replaced or deleted.
#include "tools/slidetool/make_show.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "imagefile/bmp_read.h"
#include "imagefile/show_shape.h"
#include "tools/picture_write/dissolve_mask.h"
#include "tools/picture_write/qjx_encode.h"
#include "tools/slidetool/exif_orientation.h"
#include "tools/slidetool/jpeg_read.h"
#include "tools/slidetool/picture_fit.h"
#include "tools/slidetool/picture_folder.h"
#include "tools/slidetool/picture_upright.h"
#include "tools/slidetool/system_picture.h"
#include "tools/slidetool/whole_file.h"

namespace {

constexpr int kFiles = kSlideCount + 1;  // the slides and the mask
const char kNewSuffix[] = ".new";        // a file being written
const char kOldSuffix[] = ".old";        // a file of the show being replaced, kept until the new one is in
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

// The caller has checked that the name and a suffix fit.
Path InFolder(const char* folder, const char* name)
{
    Path path;
    JoinPath(folder, name, path.text);
    return path;
}

Path With(const Path& path, const char* suffix)
{
    Path longer;
    std::snprintf(longer.text, sizeof longer.text, "%s%s", path.text, suffix);
    return longer;
}

// A BMP picture's rows, each converted as it is asked for by the saver's own reading, so that every
// depth the saver shows is read the same way.
class BmpRows : public PictureRows {
public:
    BmpRows(const BmpLayout& layout, const uint8_t* file, uint32_t* row) : layout(layout), file(file), row(row)
    {
        BmpMakeColorTable(layout, file, nullptr, table);
    }
    const uint32_t* Row(int32_t y) override
    {
        BmpConvertRow(layout, BmpStoredRow(layout, file, y), table, row);
        return row;
    }

private:
    const BmpLayout& layout;
    const uint8_t* file;
    uint32_t* row;
    uint32_t table[256];
};

// A picture held whole in memory, as the JPEG reader gives it.
class MemoryRows : public PictureRows {
public:
    MemoryRows(const uint32_t* pixels, int32_t width) : pixels(pixels), width(width) {}
    const uint32_t* Row(int32_t y) override { return pixels + size_t(y) * size_t(width); }

private:
    const uint32_t* pixels;
    int32_t width;
};

// A baseline JPEG through our own reader, decoded straight at the smallest scale that still has the
// slide's pixels: a camera's photo of 12 million pixels is read as 750 thousand. -1 for a JPEG it leaves
// to the system's loader.
int FitJpeg(const uint8_t* file, size_t size, int orientation, uint32_t* slide, int32_t* width, int32_t* height,
            const char** reason)
{
    if (JpegReadSize(file, size, width, height) != 0) return -1;
    int32_t uprightWidth = *width, uprightHeight = *height;
    UprightSize(orientation, &uprightWidth, &uprightHeight);
    const FitPlace place = FitInside(uprightWidth, uprightHeight, kStageWidth, kStageHeight);
    int32_t needWidth = place.width, needHeight = place.height;
    UprightSize(orientation, &needWidth, &needHeight);
    uint32_t* pixels = nullptr;
    int32_t decodedWidth = 0, decodedHeight = 0;
    const int shift = JpegShiftFor(*width, *height, needWidth, needHeight);
    if (JpegDecode(file, size, shift, &pixels, &decodedWidth, &decodedHeight) != 0) return -1;
    MemoryRows rows(pixels, decodedWidth);
    const int fitted = FitPicture(rows, decodedWidth, decodedHeight, orientation, slide, kStageWidth, kStageHeight);
    std::free(pixels);
    if (fitted != 0) *reason = "out of memory";
    return fitted;
}

// The picture fitted into the slide's pixels, turned upright by orientation; BMP files through the
// saver's own reading, baseline JPEG through our own, everything else through the system's loader.
// *width and *height: the picture's size as stored. Returns 0, or -1 with *reason saying why.
int FitFile(SystemPictureLoader& loader, const uint8_t* file, size_t size, const char* format, int orientation,
            uint32_t* slide, int32_t* width, int32_t* height, const char** reason)
{
    BmpLayout layout;
    if (format && std::strcmp(format, "BMP") == 0 && BmpReadLayout(file, size, &layout) == 0) {
        uint32_t* row = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * size_t(layout.width)));
        BmpRows rows(layout, file, row);
        *width = layout.width;
        *height = layout.height;
        const int fitted = row ? FitPicture(rows, *width, *height, orientation, slide, kStageWidth, kStageHeight) : -1;
        std::free(row);
        if (fitted != 0) *reason = "out of memory";
        return fitted;
    }
    if (format && std::strcmp(format, "JPEG") == 0 &&
        FitJpeg(file, size, orientation, slide, width, height, reason) == 0)
        return 0;
    // BMP files the saver cannot read (1 or 16 bits, compressed rows), and JPEG files ours does not, may
    // still be read by the system.
    SystemPicture picture;
    if (picture.Read(loader, file, size, reason) != 0) {
        if (!format) *reason = "not a BMP, JPEG, PNG or GIF picture";
        else if (std::strcmp(format, "BMP") == 0) *reason = "a BMP file that neither the saver nor the system reads";
        return -1;
    }
    *width = picture.width;
    *height = picture.height;
    if (FitPicture(picture, *width, *height, orientation, slide, kStageWidth, kStageHeight) == 0) return 0;
    *reason = "out of memory, or the system could not hand over its pixels";
    return -1;
}

// One slide file from one picture, or false after saying why. A photo is turned upright by its Exif
// orientation. number of count: the running count the progress line shows.
bool MakeSlide(SystemPictureLoader& loader, const char* path, const char* slideName, int number, int count,
               Bytes* slide)
{
    size_t size = 0;
    uint8_t* file = ReadFileWhole(path, &size);
    if (!file) {
        std::fprintf(stderr, "slidetool: cannot read %s\n", path);
        return false;
    }
    const char* format = PictureFormat(file, size);
    const int orientation = format && std::strcmp(format, "JPEG") == 0 ? ExifOrientation(file, size) : 0;
    uint32_t* pixels = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * kQjxPixelCount));
    slide->data = static_cast<uint8_t*>(std::malloc(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount)));
    int32_t width = 0, height = 0;
    const char* reason = "out of memory";
    bool ok = pixels && slide->data &&
              FitFile(loader, file, size, format, orientation, pixels, &width, &height, &reason) == 0;
    std::free(file);
    if (ok) {
        slide->size = EncodeSlide(pixels, slide->data);
        ok = slide->size != 0;
        reason = "out of memory";
    }
    std::free(pixels);
    if (!ok) {
        std::fprintf(stderr, "slidetool: cannot read %s: %s\n", path, reason);
        std::free(slide->data);
        slide->data = nullptr;
        return false;
    }
    UprightSize(orientation, &width, &height);
    const FitPlace place = FitInside(width, height, kStageWidth, kStageHeight);
    char upright[40] = "";
    if (orientation > 1) std::snprintf(upright, sizeof upright, ", upright by Exif orientation %d", orientation);
    std::printf("%d/%d %s: %s (%s, %ld by %ld%s) fitted to %ld by %ld, %lu bytes\n", number, count, slideName, path,
                format ? format : "picture", long(width), long(height), upright, long(place.width),
                long(place.height), (unsigned long)slide->size);
    return true;
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

size_t EncodeSlide(const uint32_t* pixels, uint8_t* out)
{
    uint8_t* bgr = static_cast<uint8_t*>(std::malloc(kQjxDecodedSize));
    if (!bgr) return 0;
    for (uint32_t i = 0; i < kQjxPixelCount; ++i) {
        bgr[3 * i] = uint8_t(pixels[i]);
        bgr[3 * i + 1] = uint8_t(pixels[i] >> 8);
        bgr[3 * i + 2] = uint8_t(pixels[i] >> 16);
    }
    const size_t size = QjxEncodeFile(bgr, out);
    std::free(bgr);
    return size;
}

int MakeShow(const char* folder, const char* const* pictures, int count, const char* skipped)
{
    if (count < 1 || count > kSlideCount) {
        std::fprintf(stderr, "slidetool: a show takes 1 to %d pictures; %d given\n", kSlideCount, count);
        return 1;
    }
    if (std::strlen(folder) + 1 + kSlideNameLength + kSuffixLength >= MAX_PATH) {
        std::fprintf(stderr, "slidetool: the folder name %s is too long\n", folder);
        return 1;
    }
    Bytes slides[kSlideCount];
    int made = 0;
    {
        SystemPictureLoader loader;
        for (; made < count; ++made) {
            char name[16];
            std::snprintf(name, sizeof name, NIMBRA_SLIDE_NAME_FORMAT, made + 1);
            if (!MakeSlide(loader, pictures[made], name, made + 1, count, &slides[made])) break;
        }
    }
    int result = 1;
    if (made == count) {
        if (count == 1)
            std::printf(NIMBRA_SLIDE_NAME_FORMAT " to " NIMBRA_SLIDE_NAME_FORMAT
                        ": the same picture again, to fill %d slides\n", 2, kSlideCount, kSlideCount);
        else if (count < kSlideCount)
            std::printf(NIMBRA_SLIDE_NAME_FORMAT " to " NIMBRA_SLIDE_NAME_FORMAT
                        ": the %d pictures again in the same order, to fill %d slides\n",
                        count + 1, kSlideCount, count, kSlideCount);
        const DWORD attributes = GetFileAttributesA(folder);
        if (attributes == INVALID_FILE_ATTRIBUTES && !CreateDirectoryA(folder, nullptr)) {
            std::fprintf(stderr, "slidetool: cannot create the folder %s\n", folder);
        } else if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            std::fprintf(stderr, "slidetool: %s is a file, not a folder\n", folder);
        } else {
            Path names[kFiles];
            Bytes files[kFiles];
            for (int i = 0; i < kSlideCount; ++i) {
                char name[16];
                std::snprintf(name, sizeof name, NIMBRA_SLIDE_NAME_FORMAT, i + 1);
                names[i] = InFolder(folder, name);
                files[i] = slides[i % count];
            }
            names[kSlideCount] = InFolder(folder, NIMBRA_MASK_NAME);
            files[kSlideCount].size = DissolveMaskFileSize();
            files[kSlideCount].data = static_cast<uint8_t*>(std::malloc(files[kSlideCount].size));
            bool created[kFiles] = {};
            int written = 0;
            bool inTheWay = false;
            unsigned long total = 0;
            if (files[kSlideCount].data && NothingLeftAside(folder, names)) {
                DissolveMaskWrite(files[kSlideCount].data);
                for (; written < kFiles; ++written) {
                    const Path name = With(names[written], kNewSuffix);
                    if (!WriteNewFile(name.text, files[written].data, files[written].size, &created[written])) break;
                    total += (unsigned long)files[written].size;
                }
                inTheWay = written < kFiles && !created[written] && GetLastError() == ERROR_FILE_EXISTS;
                if (written == kFiles && PutInPlace(names)) {
                    std::printf("%s: %d picture%s read, %d slides and " NIMBRA_MASK_NAME
                                " written, %lu bytes in all%s\n",
                                folder, count, count == 1 ? "" : "s", kSlideCount, total, skipped);
                    result = 0;
                } else {
                    std::fprintf(stderr, "slidetool: cannot write the show into %s", folder);
                    if (written < kFiles)
                        std::fprintf(stderr, " (at %s%s)", With(names[written], kNewSuffix).text,
                                     inTheWay ? ": a file of that name is in the way" : "");
                    std::fprintf(stderr, "; nothing there was changed\n");
                }
            } else if (!files[kSlideCount].data) {
                std::fprintf(stderr, "slidetool: out of memory for " NIMBRA_MASK_NAME "\n");
            }
            for (int i = 0; i < kFiles && result != 0; ++i)
                if (created[i]) DeleteFileA(With(names[i], kNewSuffix).text);
            std::free(files[kSlideCount].data);
        }
    }
    for (int i = 0; i < made; ++i) std::free(slides[i].data);
    return result;
}
