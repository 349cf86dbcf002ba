// Resampling for slidetool makeshow. Each axis gets a table of source pixels and integer weights
// over one common denominator, so the result is exact to the last rounding and the same on every
// compiler. Each source row is resampled across once, as it comes; output rows then weigh the one or
// two rows across they need, so only two of them and one row of sums are kept.
#include "tools/slidetool/picture_fit.h"

#include <cstdlib>
#include <cstring>

#include "tools/slidetool/picture_upright.h"

namespace {

// Output pixel i of an axis takes count source pixels from first on, with weights[offset + k].
struct Tap {
    uint32_t first, count, offset;
};

struct Axis {
    Tap* taps = nullptr;
    uint32_t* weights = nullptr;
    uint64_t denominator = 1;
    ~Axis()
    {
        std::free(taps);
        std::free(weights);
    }
};

// Shrinking averages: output pixel i covers source [i * src / dst, (i + 1) * src / dst) and each
// source pixel weighs by how much of it lies inside, counted in units of 1 / dst.
// Growing interpolates between the two source pixels whose centres are nearest, measured from
// pixel centres so that the picture neither shifts nor loses half a pixel at its edges.
bool MakeAxis(uint32_t src, uint32_t dst, Axis* axis)
{
    // Shrinking touches at most src + dst pixels in all (a source pixel is split at most once per
    // output border); growing two a pixel.
    const uint64_t room = uint64_t(src) + 2 * uint64_t(dst);
    axis->taps = static_cast<Tap*>(std::malloc(sizeof(Tap) * dst));
    axis->weights = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * room));
    if (!axis->taps || !axis->weights) return false;
    uint32_t used = 0;
    if (dst <= src) {
        axis->denominator = src;
        for (uint32_t i = 0; i < dst; ++i) {
            const uint64_t begin = uint64_t(i) * src, end = begin + src;  // in units of 1 / dst
            Tap& tap = axis->taps[i];
            tap.first = uint32_t(begin / dst);
            tap.offset = used;
            tap.count = 0;
            for (uint64_t j = tap.first; j * dst < end; ++j) {
                const uint64_t from = j * dst > begin ? j * dst : begin;
                const uint64_t to = (j + 1) * dst < end ? (j + 1) * dst : end;
                axis->weights[used++] = uint32_t(to - from);
                ++tap.count;
            }
        }
    } else {
        // Source position of output centre i: ((2i + 1) src - dst) / (2 dst).
        axis->denominator = 2 * uint64_t(dst);
        for (uint32_t i = 0; i < dst; ++i) {
            const int64_t at = (2 * int64_t(i) + 1) * int64_t(src) - int64_t(dst);
            int64_t j = at / int64_t(axis->denominator), part = at % int64_t(axis->denominator);
            if (at < 0) j = 0, part = 0;
            if (j >= int64_t(src) - 1) j = int64_t(src) - 1, part = 0;
            Tap& tap = axis->taps[i];
            tap.first = uint32_t(j);
            tap.offset = used;
            tap.count = part ? 2 : 1;
            axis->weights[used++] = uint32_t(axis->denominator - uint64_t(part));
            if (part) axis->weights[used++] = uint32_t(part);
        }
    }
    return true;
}

// A source row resampled across: blue, green and red sums of each output column.
struct Across {
    uint64_t* sums = nullptr;
    int64_t row = -1;  // the source row it holds
};

void Resample(const Axis& axis, int32_t width, const uint32_t* line, uint64_t* sums)
{
    for (int32_t x = 0; x < width; ++x) {
        const Tap& tap = axis.taps[x];
        const uint32_t* pixel = line + tap.first;
        const uint32_t* weight = axis.weights + tap.offset;
        uint64_t b = 0, g = 0, r = 0;
        for (uint32_t c = 0; c < tap.count; ++c) {
            b += uint64_t(weight[c]) * (pixel[c] & 0xFF);
            g += uint64_t(weight[c]) * (pixel[c] >> 8 & 0xFF);
            r += uint64_t(weight[c]) * (pixel[c] >> 16 & 0xFF);
        }
        sums[3 * x] = b;
        sums[3 * x + 1] = g;
        sums[3 * x + 2] = r;
    }
}

// The picture resampled to exactly width by height pixels, top row first.
int ResampleTo(PictureRows& source, uint32_t sourceWidth, uint32_t sourceHeight, uint32_t* out, int32_t width,
               int32_t height)
{
    Axis across, down;
    const size_t row = 3 * size_t(width);
    uint64_t* sums = static_cast<uint64_t*>(std::malloc(sizeof(uint64_t) * 3 * row));
    if (!sums || !MakeAxis(sourceWidth, uint32_t(width), &across) ||
        !MakeAxis(sourceHeight, uint32_t(height), &down)) {
        std::free(sums);
        return -1;
    }
    // An output row's source rows follow on from the last one's, sharing at most the last two.
    Across kept[2] = {{sums + row, -1}, {sums + 2 * row, -1}};
    // Weights multiply to at most 255 * (width + 2 * 640) * (height + 2 * 480) within the picture
    // size the readers accept: far inside 64 bits.
    const uint64_t whole = across.denominator * down.denominator;
    for (int32_t y = 0; y < height; ++y) {
        std::memset(sums, 0, sizeof(uint64_t) * row);
        const Tap& tap = down.taps[y];
        for (uint32_t k = 0; k < tap.count; ++k) {
            const int64_t j = int64_t(tap.first) + k;
            Across* line = kept[0].row == j ? &kept[0] : kept[1].row == j ? &kept[1] : nullptr;
            if (!line) {
                line = kept[0].row < kept[1].row ? &kept[0] : &kept[1];
                const uint32_t* pixels = source.Row(int32_t(j));
                if (!pixels) {
                    std::free(sums);
                    return -1;
                }
                Resample(across, width, pixels, line->sums);
                line->row = j;
            }
            const uint64_t weight = down.weights[tap.offset + k];
            for (size_t i = 0; i < row; ++i) sums[i] += weight * line->sums[i];
        }
        uint32_t* pixels = out + size_t(y) * size_t(width);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t b = uint32_t((sums[3 * x] + whole / 2) / whole);
            const uint32_t g = uint32_t((sums[3 * x + 1] + whole / 2) / whole);
            const uint32_t r = uint32_t((sums[3 * x + 2] + whole / 2) / whole);
            pixels[x] = b | g << 8 | r << 16;
        }
    }
    std::free(sums);
    return 0;
}

}  // namespace

FitPlace FitInside(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight)
{
    FitPlace place{0, 0, boxWidth, boxHeight};
    // Compared by cross-multiplication so that exact proportions fill the box with no rounding.
    if (int64_t(width) * boxHeight >= int64_t(height) * boxWidth) {
        const int64_t h = (int64_t(height) * boxWidth * 2 + width) / (int64_t(width) * 2);
        place.height = h < 1 ? 1 : int32_t(h);
    } else {
        const int64_t w = (int64_t(width) * boxHeight * 2 + height) / (int64_t(height) * 2);
        place.width = w < 1 ? 1 : int32_t(w);
    }
    place.x = (boxWidth - place.width) / 2;
    place.y = (boxHeight - place.height) / 2;
    return place;
}

int FitPicture(PictureRows& source, int32_t width, int32_t height, int orientation, uint32_t* destination,
               int32_t boxWidth, int32_t boxHeight)
{
    // The place is the upright picture's; the resampling works on the picture as stored, at that place's
    // size turned back, and only the small result is turned.
    int32_t uprightWidth = width, uprightHeight = height;
    UprightSize(orientation, &uprightWidth, &uprightHeight);
    const FitPlace place = FitInside(uprightWidth, uprightHeight, boxWidth, boxHeight);
    int32_t storedWidth = place.width, storedHeight = place.height;
    UprightSize(orientation, &storedWidth, &storedHeight);
    const size_t pixels = size_t(place.width) * size_t(place.height);
    uint32_t* fitted = static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * pixels));
    if (!fitted || ResampleTo(source, uint32_t(width), uint32_t(height), fitted, storedWidth, storedHeight) != 0) {
        std::free(fitted);
        return -1;
    }
    std::memset(destination, 0, sizeof(uint32_t) * size_t(boxWidth) * size_t(boxHeight));
    CopyUpright(fitted, storedWidth, storedHeight, orientation,
                destination + size_t(place.y) * size_t(boxWidth) + size_t(place.x), size_t(boxWidth));
    std::free(fitted);
    return 0;
}
