// The block dissolve's mask strip, shared by the sample show and the shows people make from their
// own pictures, so that every show dissolves the same way.
#include "tools/picture_write/dissolve_mask.h"

#include "imagefile/show_shape.h"
#include "tools/picture_write/bmp_write.h"

namespace {

constexpr int kBlock = kMaskBlock;  // one frame is a block of kMaskBlock by kMaskBlock pixels
constexpr int32_t kStripWidth = kBlock * kMaskFrames;

// Ordered-dither (Bayer) order of a 16 by 16 block: rank 0..255; every run of 16 consecutive ranks
// is spread evenly over the block. The finest bit of x and y picks the most significant digit.
int Bayer(int x, int y)
{
    static const int digit[4] = {0, 2, 3, 1};
    int rank = 0;
    for (int k = 0; k < 4; ++k) rank = rank * 4 + digit[((x >> k) & 1) | ((y >> k) & 1) << 1];
    return rank;
}

}  // namespace

size_t DissolveMaskFileSize() { return BmpFileSize24(kStripWidth, kBlock); }

void DissolveMaskWrite(uint8_t* out)
{
    // Frame f has 16 (f + 1) of the 256 pixels switched, so the frames add up and the last is all black.
    uint32_t strip[kStripWidth * kBlock];
    for (int f = 0; f < kMaskFrames; ++f)
        for (int y = 0; y < kBlock; ++y)
            for (int x = 0; x < kBlock; ++x)
                strip[y * kStripWidth + kBlock * f + x] = Bayer(x, y) < kBlock * (f + 1) ? 0x000000 : 0xFFFFFF;
    BmpWrite24(strip, kStripWidth, kBlock, out);
}
