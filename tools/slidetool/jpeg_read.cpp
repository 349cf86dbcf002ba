// Baseline JPEG decoding in one pass over the scan. Every length and table index comes from the file,
// so each is checked before use; the entropy-coded data is read through one bit reader that gives
// zeros once the data or a marker is reached, so nothing past the file is ever read.
// Scaling: the average of an n by n square of a block's pixels is a fixed linear mix of the block's
// coefficients (the inverse transform's basis averaged over the square), so each block goes straight
// to its (8 / n) by (8 / n) averages.
#include "tools/slidetool/jpeg_read.h"

#include <cstdlib>
#include <cstring>

namespace {

const uint8_t kZigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                             41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                             30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// Scaled pictures as large as a BMP may be; the whole picture within 256 million pixels, more than any
// camera makes, so that a short file claiming a huge picture is little work.
constexpr uint64_t kMaxScaledPixels = uint64_t(1) << 26;
constexpr uint64_t kMaxPixels = uint64_t(1) << 28;

constexpr int kFastBits = 9;

struct Huffman {
    bool defined = false;
    int32_t firstCode[17], count[17], firstIndex[17];
    uint8_t symbols[256];
    // By the next kFastBits bits: the length (0: a longer code) and symbol of the code they begin with.
    uint8_t fastLength[1 << kFastBits], fastSymbol[1 << kFastBits];
};

struct Component {
    uint8_t id, h, v, quant, dcTable, acTable;
    int32_t dc;
    uint32_t blocksX, blocksY;
    uint8_t* plane;  // blocksX * n by blocksY * n samples, n = 8 >> shift
};

struct Jpeg {
    int32_t width = 0, height = 0;
    int components = 0;
    Component component[3];
    int hMax = 1, vMax = 1;
    uint32_t restart = 0;
    bool quantDefined[4] = {};
    uint16_t quant[4][64];  // in zigzag order, as stored
    Huffman dc[4], ac[4];
    size_t scan = 0;  // where the entropy-coded data begins
    bool rgb = false;  // an Adobe file whose three components are not YCbCr
};

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }

bool ReadHuffman(const uint8_t* p, size_t length, Jpeg* j)
{
    while (length > 0) {
        if (length < 17) return false;
        const int tableClass = p[0] >> 4, id = p[0] & 15;
        if (tableClass > 1 || id > 3) return false;
        Huffman& h = tableClass ? j->ac[id] : j->dc[id];
        int32_t code = 0, total = 0;
        for (int len = 1; len <= 16; ++len) {
            h.firstCode[len] = code;
            h.firstIndex[len] = total;
            h.count[len] = p[len];
            code += p[len];
            total += p[len];
            if (code > (1 << len)) return false;  // more codes than the length allows
            code <<= 1;
        }
        if (total > 256 || length < size_t(17 + total)) return false;
        std::memcpy(h.symbols, p + 17, size_t(total));
        std::memset(h.fastLength, 0, sizeof h.fastLength);
        for (int len = 1; len <= kFastBits; ++len)
            for (int32_t i = 0; i < h.count[len]; ++i) {
                const int32_t first = (h.firstCode[len] + i) << (kFastBits - len);
                for (int32_t k = 0; k < 1 << (kFastBits - len); ++k) {
                    h.fastLength[first + k] = uint8_t(len);
                    h.fastSymbol[first + k] = h.symbols[h.firstIndex[len] + i];
                }
            }
        h.defined = true;
        p += 17 + total;
        length -= size_t(17 + total);
    }
    return true;
}

bool ReadQuant(const uint8_t* p, size_t length, Jpeg* j)
{
    while (length > 0) {
        const int precision = p[0] >> 4, id = p[0] & 15;
        const size_t bytes = 1 + 64 * size_t(precision + 1);
        if (precision > 1 || id > 3 || length < bytes) return false;
        for (int k = 0; k < 64; ++k) j->quant[id][k] = uint16_t(precision ? U16(p + 1 + 2 * k) : p[1 + k]);
        j->quantDefined[id] = true;
        p += bytes;
        length -= bytes;
    }
    return true;
}

bool ReadFrame(const uint8_t* p, size_t length, Jpeg* j)
{
    if (length < 6 || p[0] != 8) return false;
    j->height = int32_t(U16(p + 1));
    j->width = int32_t(U16(p + 3));
    j->components = p[5];
    if (j->height < 1 || j->width < 1 || (j->components != 1 && j->components != 3)) return false;
    if (length < 6 + 3 * size_t(j->components)) return false;
    for (int c = 0; c < j->components; ++c) {
        Component& k = j->component[c];
        k.id = p[6 + 3 * c];
        k.h = p[7 + 3 * c] >> 4;
        k.v = p[7 + 3 * c] & 15;
        k.quant = p[8 + 3 * c];
        if (k.h < 1 || k.h > 2 || k.v < 1 || k.v > 2 || k.quant > 3) return false;
        if (j->components == 1) k.h = k.v = 1;  // one component is coded block by block whatever it says
        if (k.h > j->hMax) j->hMax = k.h;
        if (k.v > j->vMax) j->vMax = k.v;
    }
    return uint64_t(j->width) * uint64_t(j->height) <= kMaxPixels;
}

bool ReadScanHeader(const uint8_t* p, size_t length, Jpeg* j)
{
    if (j->components == 0 || length < 1 || p[0] != j->components || length < 4 + 2 * size_t(p[0])) return false;
    for (int c = 0; c < j->components; ++c) {
        Component& k = j->component[c];
        if (p[1 + 2 * c] != k.id) return false;
        k.dcTable = p[2 + 2 * c] >> 4;
        k.acTable = p[2 + 2 * c] & 15;
        if (k.dcTable > 3 || k.acTable > 3 || !j->dc[k.dcTable].defined || !j->ac[k.acTable].defined ||
            !j->quantDefined[k.quant])
            return false;
    }
    const uint8_t* spectral = p + 1 + 2 * j->components;
    return spectral[0] == 0 && spectral[1] == 63 && spectral[2] == 0;
}

// The segments before the scan. False for anything this reader does not decode.
bool ReadHeaders(const uint8_t* file, size_t size, Jpeg* j)
{
    if (size < 4 || file[0] != 0xFF || file[1] != 0xD8) return false;
    size_t at = 2;
    bool frame = false;
    for (;;) {
        if (at >= size || file[at] != 0xFF) return false;
        while (at < size && file[at] == 0xFF) ++at;  // fill bytes before a marker
        if (at >= size) return false;
        const uint8_t marker = file[at++];
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
        if (marker == 0xD9 || size - at < 2) return false;
        const size_t length = U16(file + at);
        if (length < 2 || size - at < length) return false;
        const uint8_t* p = file + at + 2;
        const size_t bytes = length - 2;
        at += length;
        if (marker == 0xC0 || marker == 0xC1) {
            if (frame || !ReadFrame(p, bytes, j)) return false;
            frame = true;
        } else if ((marker & 0xF0) == 0xC0 && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            return false;  // progressive, lossless or arithmetic-coded
        } else if (marker == 0xC4) {
            if (!ReadHuffman(p, bytes, j)) return false;
        } else if (marker == 0xDB) {
            if (!ReadQuant(p, bytes, j)) return false;
        } else if (marker == 0xDD) {
            if (bytes < 2) return false;
            j->restart = U16(p);
        } else if (marker == 0xEE && bytes >= 12 && std::memcmp(p, "Adobe", 5) == 0) {
            j->rgb = p[11] == 0;
        } else if (marker == 0xDA) {
            if (!frame || !ReadScanHeader(p, bytes, j)) return false;
            j->scan = at;
            return !(j->rgb && j->components == 3);
        }
    }
}

// The entropy-coded data, most significant bit first, with the 0xFF 0x00 stuffing taken out.
struct Bits {
    const uint8_t* p;
    const uint8_t* end;
    uint32_t buffer = 0;
    int count = 0;
    bool atMarker = false;

    void Fill()
    {
        while (count <= 24) {
            uint32_t byte = 0;
            if (!atMarker && p < end) {
                byte = *p;
                if (byte != 0xFF) {
                    ++p;
                } else if (end - p >= 2 && p[1] == 0) {
                    p += 2;
                } else {
                    atMarker = true;
                    byte = 0;
                }
            }
            buffer |= byte << (24 - count);
            count += 8;
        }
    }
    uint32_t Take(int n)  // 1 to 16 bits
    {
        Fill();
        const uint32_t value = buffer >> (32 - n);
        buffer <<= n;
        count -= n;
        return value;
    }
    // After a restart interval: the rest of the byte is padding, then the restart marker.
    void Restart()
    {
        buffer = 0;
        count = 0;
        if (end - p >= 2 && p[0] == 0xFF && p[1] >= 0xD0 && p[1] <= 0xD7) {
            p += 2;
            atMarker = false;
        }
    }
};

int Decode(Bits& bits, const Huffman& h)
{
    bits.Fill();
    const uint32_t next = bits.buffer >> (32 - kFastBits);
    if (h.fastLength[next]) {
        bits.buffer <<= h.fastLength[next];
        bits.count -= h.fastLength[next];
        return h.fastSymbol[next];
    }
    int32_t code = 0;
    for (int len = 1; len <= 16; ++len) {
        code = code << 1 | int32_t(bits.buffer >> 31);
        bits.buffer <<= 1;
        --bits.count;
        const int32_t index = code - h.firstCode[len];
        if (index >= 0 && index < h.count[len]) return h.symbols[h.firstIndex[len] + index];
    }
    return -1;
}

int32_t Extend(uint32_t value, int bits)
{
    return value < (1u << (bits - 1)) ? int32_t(value) - (1 << bits) + 1 : int32_t(value);
}

// cos(k x pi / 16) for any k, from the first quarter turn: the shipped tool takes no maths library in.
double CosSixteenth(int k)
{
    static const double quarter[9] = {1.0, 0.98078528040323044, 0.92387953251128674, 0.83146961230254524,
                                      0.70710678118654752, 0.55557023301960218, 0.38268343236508977,
                                      0.19509032201612827, 0.0};
    k %= 32;
    const double sign = k >= 16 ? -1.0 : 1.0;
    k %= 16;
    return k <= 8 ? sign * quarter[k] : -sign * quarter[16 - k];
}

// average[shift][i][u]: basis function u of the inverse transform averaged over square i of 2^shift samples.
constexpr double kHalfRootHalf = 0.35355339059327376;  // 0.5 / sqrt(2)

struct Averages {
    float of[4][8][8];
    Averages()
    {
        for (int shift = 0; shift < 4; ++shift) {
            const int n = 1 << shift;
            for (int i = 0; i < 8 / n; ++i)
                for (int u = 0; u < 8; ++u) {
                    double sum = 0;
                    for (int x = i * n; x < i * n + n; ++x)
                        sum += (u ? 0.5 : kHalfRootHalf) * CosSixteenth((2 * x + 1) * u);
                    of[shift][i][u] = float(sum / n);
                }
        }
    }
};

// One block's coefficients (natural order, dequantised) to its m by m averages at out.
void PutBlock(const float* block, uint32_t rows, const float (*average)[8], int m, uint8_t* out, size_t stride)
{
    float across[8][8];  // across[v][i]: row v of coefficients mixed for column i
    for (int v = 0; v < 8; ++v)
        for (int i = 0; i < m; ++i) {
            float sum = 0;
            if (rows & (1u << v))
                for (int u = 0; u < 8; ++u) sum += block[8 * v + u] * average[i][u];
            across[v][i] = sum;
        }
    for (int y = 0; y < m; ++y)
        for (int i = 0; i < m; ++i) {
            float sum = 128.5f;
            for (int v = 0; v < 8; ++v) sum += across[v][i] * average[y][v];
            out[size_t(y) * stride + size_t(i)] = uint8_t(sum <= 0 ? 0 : sum >= 255 ? 255 : int(sum));
        }
}

// Minimum coded units across and down: blocks of one component, or the largest sampling's squares.
uint32_t Mcus(int32_t pixels, int sampling)
{
    return (uint32_t(pixels) + 8 * uint32_t(sampling) - 1) / (8 * uint32_t(sampling));
}

bool DecodeScan(const uint8_t* file, size_t size, Jpeg& j, int shift)
{
    const Averages averages;
    const int m = 8 >> shift;
    const uint32_t mcusX = Mcus(j.width, j.hMax), mcusY = Mcus(j.height, j.vMax);
    Bits bits{file + j.scan, file + size};
    uint32_t done = 0;
    for (uint32_t my = 0; my < mcusY; ++my)
        for (uint32_t mx = 0; mx < mcusX; ++mx, ++done) {
            if (j.restart && done && done % j.restart == 0) {
                bits.Restart();
                for (int c = 0; c < j.components; ++c) j.component[c].dc = 0;
            }
            for (int c = 0; c < j.components; ++c) {
                Component& k = j.component[c];
                const uint16_t* quant = j.quant[k.quant];
                const size_t stride = size_t(k.blocksX) * size_t(m);
                for (int by = 0; by < k.v; ++by)
                    for (int bx = 0; bx < k.h; ++bx) {
                        float block[64] = {};
                        const int t = Decode(bits, j.dc[k.dcTable]);
                        if (t < 0 || t > 15) return false;
                        // Wraps rather than overflows in a damaged file.
                        if (t) k.dc = int32_t(uint32_t(k.dc) + uint32_t(Extend(bits.Take(t), t)));
                        block[0] = float(k.dc) * quant[0];
                        uint32_t rows = 1;
                        for (int z = 1; z < 64;) {
                            const int rs = Decode(bits, j.ac[k.acTable]);
                            if (rs < 0) return false;
                            const int run = rs >> 4, s = rs & 15;
                            if (s == 0) {
                                if (run != 15) break;
                                z += 16;
                                continue;
                            }
                            z += run;
                            if (z > 63) return false;
                            block[kZigzag[z]] = float(Extend(bits.Take(s), s)) * quant[z];
                            rows |= 1u << (kZigzag[z] >> 3);
                            ++z;
                        }
                        const size_t x = (size_t(mx) * k.h + size_t(bx)) * size_t(m);
                        const size_t y = (size_t(my) * k.v + size_t(by)) * size_t(m);
                        PutBlock(block, rows, averages.of[shift], m, k.plane + y * stride + x, stride);
                    }
            }
        }
    return true;
}

uint8_t Clamp(int32_t v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); }

}  // namespace

int JpegReadSize(const uint8_t* file, size_t size, int32_t* width, int32_t* height)
{
    Jpeg j;
    if (!ReadHeaders(file, size, &j)) return -1;
    *width = j.width;
    *height = j.height;
    return 0;
}

int JpegShiftFor(int32_t width, int32_t height, int32_t needWidth, int32_t needHeight)
{
    int shift = 0;
    while (shift < 3 && (width >> (shift + 1)) >= needWidth && (height >> (shift + 1)) >= needHeight) ++shift;
    return shift;
}

int JpegDecode(const uint8_t* file, size_t size, int shift, uint32_t** pixels, int32_t* width, int32_t* height)
{
    Jpeg j;
    if (shift < 0 || shift > 3 || !ReadHeaders(file, size, &j)) return -1;
    const int m = 8 >> shift;
    const uint32_t outWidth = (uint32_t(j.width) + (1u << shift) - 1) >> shift;
    const uint32_t outHeight = (uint32_t(j.height) + (1u << shift) - 1) >> shift;
    if (uint64_t(outWidth) * outHeight > kMaxScaledPixels) return -1;
    bool ok = true;
    for (int c = 0; c < j.components; ++c) {
        Component& k = j.component[c];
        k.dc = 0;
        k.blocksX = Mcus(j.width, j.hMax) * k.h;
        k.blocksY = Mcus(j.height, j.vMax) * k.v;
        k.plane = static_cast<uint8_t*>(std::malloc(size_t(k.blocksX) * m * size_t(k.blocksY) * m));
        ok = ok && k.plane;
    }
    uint32_t* out = ok ? static_cast<uint32_t*>(std::malloc(sizeof(uint32_t) * outWidth * outHeight)) : nullptr;
    ok = out && DecodeScan(file, size, j, shift);
    if (ok) {
        const Component& luma = j.component[0];
        const size_t lumaStride = size_t(luma.blocksX) * m;
        for (uint32_t y = 0; y < outHeight; ++y)
            for (uint32_t x = 0; x < outWidth; ++x) {
                const int32_t l = luma.plane[y * lumaStride + x];
                if (j.components == 1) {
                    out[size_t(y) * outWidth + x] = uint32_t(l) * 0x010101u;
                    continue;
                }
                int32_t chroma[2];
                for (int c = 1; c < 3; ++c) {
                    const Component& k = j.component[c];
                    const size_t cx = x * k.h / j.hMax, cy = y * k.v / j.vMax;
                    chroma[c - 1] = int32_t(k.plane[cy * size_t(k.blocksX) * m + cx]) - 128;
                }
                // The JFIF conversion in 16-bit fixed point.
                const int32_t cb = chroma[0], cr = chroma[1];
                const uint8_t r = Clamp(l + ((91881 * cr + 32768) >> 16));
                const uint8_t g = Clamp(l - ((22554 * cb + 46802 * cr + 32768) >> 16));
                const uint8_t b = Clamp(l + ((116130 * cb + 32768) >> 16));
                out[size_t(y) * outWidth + x] = uint32_t(r) << 16 | uint32_t(g) << 8 | b;
            }
    }
    for (int c = 0; c < j.components; ++c) std::free(j.component[c].plane);
    if (!ok) {
        std::free(out);
        return -1;
    }
    *pixels = out;
    *width = int32_t(outWidth);
    *height = int32_t(outHeight);
    return 0;
}
