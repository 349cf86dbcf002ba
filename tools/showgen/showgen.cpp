// showgen: draws the sample show (fifteen 640 by 480 slides and the dissolve's mask strip "tile.bmp")
// and writes the slides as QJX files with the slide tool's encoder. Usage: showgen OUTPUT_FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "imagefile/show_shape.h"
#include "tools/picture_write/bgr_pixels.h"
#include "tools/picture_write/bmp_write.h"
#include "tools/picture_write/qjx_encode.h"
#include "tools/picture_write/dissolve_mask.h"

namespace {

constexpr int W = kQjxWidth;
constexpr int H = kQjxHeight;
constexpr double kPi = 3.14159265358979323846;

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
double Clamp01(double v) { return v < 0 ? 0 : v > 1 ? 1 : v; }
double Fract(double v) { return v - std::floor(v); }

// Colours along a few stops, t in 0..1 (wraps).
Rgb Ramp(const std::vector<Rgb>& stops, double t)
{
    t = Fract(t) * double(stops.size());
    const size_t i = size_t(t) % stops.size();
    return Mix(stops[i], stops[(i + 1) % stops.size()], t - std::floor(t));
}

// Fewer distinct colours: flat areas stay flat, smooth areas turn into bands (which also compress).
uint32_t Pack(Rgb c, int levels = 64)
{
    auto q = [levels](double v) {
        const int step = 256 / levels;
        int x = int(Clamp01(v) * 255.0 + 0.5);
        x = x / step * step + step / 2;
        return uint32_t(x > 255 ? 255 : x);
    };
    return q(c.b) | q(c.g) << 8 | q(c.r) << 16;
}

using Picture = std::vector<uint32_t>;

const Rgb kNight{0.04, 0.05, 0.16}, kDusk{0.55, 0.25, 0.45}, kGold{1.0, 0.72, 0.3}, kSun{1.0, 0.93, 0.6};

// 1. Sunset over layered hills and a lake.
void Sunset(Picture& p)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double fy = double(y) / H;
            Rgb c = fy < 0.6 ? Ramp({kNight, kDusk, kGold, kGold}, fy / 0.6 * 0.75) : Rgb{0.1, 0.15, 0.3};
            const double dx = x - 420.0, dy = y - 175.0;
            if (dx * dx + dy * dy < 55.0 * 55.0 && y < 288) c = kSun;
            for (int layer = 0; layer < 4; ++layer) {
                const double ridge = 200 + layer * 25 + 30 * std::sin(x * (0.008 + layer * 0.004) + layer * 1.7) +
                                     12 * std::sin(x * 0.031 + layer);
                if (y > ridge && y < 288) c = Mix(Rgb{0.35, 0.18, 0.35}, Rgb{0.05, 0.04, 0.1}, layer / 3.0);
            }
            if (y >= 288) {  // the lake mirrors the sky in slow ripples
                const int my = 2 * 288 - y + int(4 * std::sin(y * 0.9));
                c = Mix(Ramp({kNight, kDusk, kGold, kGold}, double(my) / H / 0.6 * 0.75), Rgb{0.05, 0.1, 0.3}, 0.6);
                if (std::abs(x - 420) < 60 - (y - 288) / 4 && (y / 3) % 2 == 0) c = Mix(c, kSun, 0.6);
            }
            p[y * W + x] = Pack(c, 32);
        }
}

// 2. Mandelbrot set with banded colours.
void Mandelbrot(Picture& p)
{
    const std::vector<Rgb> stops = {{0.0, 0.03, 0.2}, {0.1, 0.4, 0.8}, {0.95, 0.95, 1.0}, {1.0, 0.65, 0.0}, {0.4, 0.05, 0.1}};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double cr = -0.65 + (x - W / 2) * 0.0045, ci = (y - H / 2) * 0.0045;
            double zr = 0, zi = 0;
            int n = 0;
            while (n < 400 && zr * zr + zi * zi < 4) {
                const double t = zr * zr - zi * zi + cr;
                zi = 2 * zr * zi + ci;
                zr = t;
                ++n;
            }
            p[y * W + x] = n == 400 ? 0 : Pack(Ramp(stops, std::sqrt(n) / 6.0), 32);
        }
}

// 3. Plasma of summed waves through a warm palette.
void Plasma(Picture& p)
{
    const std::vector<Rgb> stops = {{0.5, 0.0, 0.4}, {1.0, 0.3, 0.2}, {1.0, 0.85, 0.3}, {0.2, 0.7, 0.6}, {0.1, 0.2, 0.6}};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double v = std::sin(x * 0.021) + std::sin(y * 0.027 + 1) + std::sin((x + y) * 0.013) +
                             std::sin(std::hypot(x - 320.0, y - 180.0) * 0.035);
            p[y * W + x] = Pack(Ramp(stops, v / 8.0 + 0.5), 16);
        }
}

// 4. Truchet tiles: quarter arcs in random turns.
void Truchet(Picture& p)
{
    uint32_t seed = 12345;
    for (int ty = 0; ty < H / 40; ++ty)
        for (int tx = 0; tx < W / 40; ++tx) {
            seed = seed * 1103515245u + 12345u;
            const bool flip = (seed >> 16) & 1;
            const Rgb back = Mix(Rgb{0.1, 0.3, 0.35}, Rgb{0.15, 0.15, 0.4}, tx / 16.0);
            for (int y = 0; y < 40; ++y)
                for (int x = 0; x < 40; ++x) {
                    const int lx = flip ? 39 - x : x;
                    const double d1 = std::hypot(lx, y), d2 = std::hypot(40 - lx, 40 - y);
                    const bool band = std::abs(d1 - 20) < 6 || std::abs(d2 - 20) < 6;
                    p[(ty * 40 + y) * W + tx * 40 + x] = Pack(band ? Rgb{0.98, 0.8, 0.35} : back, 32);
                }
        }
}

// 5. Julia set in cool colours.
void Julia(Picture& p)
{
    const std::vector<Rgb> stops = {{0.02, 0.0, 0.1}, {0.3, 0.1, 0.6}, {0.2, 0.8, 0.9}, {1.0, 1.0, 1.0}};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double zr = (x - W / 2) * 0.0048, zi = (y - H / 2) * 0.0048;
            int n = 0;
            while (n < 120 && zr * zr + zi * zi < 4) {
                const double t = zr * zr - zi * zi - 0.8;
                zi = 2 * zr * zi + 0.156;
                zr = t;
                ++n;
            }
            p[y * W + x] = Pack(Ramp(stops, std::min(n / 40.0, 0.99)), 32);
        }
}

// 6. Rainbow rings around two centres.
void Rings(Picture& p)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double a = std::hypot(x - 200.0, y - 200.0), b = std::hypot(x - 470.0, y - 300.0);
            const int k = (int(a / 18) + int(b / 18)) % 12;
            const double h = k / 12.0;
            Rgb c{0.5 + 0.5 * std::cos(2 * kPi * h), 0.5 + 0.5 * std::cos(2 * kPi * (h - 1.0 / 3)),
                  0.5 + 0.5 * std::cos(2 * kPi * (h - 2.0 / 3))};
            p[y * W + x] = Pack(Mix(c, Rgb{1, 1, 1}, 0.2), 32);
        }
}

// 7. Honeycomb in amber shades.
void Honeycomb(Picture& p)
{
    const double s = 28.0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            // Nearest centre of a hexagonal lattice.
            const double row = std::floor(y / (s * 1.5));
            double best = 1e9, second = 1e9;
            int bi = 0, bj = 0;
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    const int r = int(row) + dr;
                    const int c = int(std::floor(x / (s * std::sqrt(3.0)))) + dc;
                    const double cx = (c + (r & 1) * 0.5) * s * std::sqrt(3.0), cy = r * s * 1.5;
                    const double d = std::hypot(x - cx, y - cy);
                    if (d < best) { second = best; best = d; bi = r; bj = c; }
                    else if (d < second) second = d;
                }
            const double shade = 0.55 + 0.45 * (((bi * 7 + bj * 13) % 5) / 4.0);
            Rgb c = second - best < 3 ? Rgb{0.25, 0.12, 0.02} : Rgb{1.0 * shade, 0.65 * shade, 0.1 * shade};
            p[y * W + x] = Pack(c, 32);
        }
}

// 8. City at night: windows in dark towers under a starry sky.
void City(Picture& p)
{
    uint32_t seed = 99;
    auto rnd = [&seed]() { seed = seed * 1664525u + 1013904223u; return seed >> 8; };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) p[y * W + x] = Pack(Mix(Rgb{0.0, 0.0, 0.08}, Rgb{0.15, 0.1, 0.3}, double(y) / H), 32);
    for (int i = 0; i < 300; ++i) p[(rnd() % 300) * W + rnd() % W] = 0xFFFFFF;
    for (int x = 0; x < W;) {
        const int w = 30 + rnd() % 50, top = 180 + rnd() % 200;
        const uint32_t body = Pack(Rgb{0.06, 0.06, 0.1 + (rnd() % 10) / 100.0}, 32);
        for (int y = top; y < H; ++y)
            for (int xx = x; xx < x + w && xx < W; ++xx) {
                const bool window = (y - top) % 14 > 4 && (y - top) % 14 < 11 && (xx - x) % 10 > 2 && (xx - x) % 10 < 8;
                const bool lit = window && ((xx - x) / 10 * 31 + (y - top) / 14 * 17 + x) % 3 == 0;
                p[y * W + xx] = lit ? 0xFFD070 : body;
            }
        x += w + 4;
    }
}

// 9. Sierpinski carpet in greens.
void Carpet(Picture& p)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            int a = x * 729 / W, b = y * 729 / H, depth = 0;
            while (a > 0 || b > 0) {
                if (a % 3 == 1 && b % 3 == 1) break;
                a /= 3;
                b /= 3;
                ++depth;
            }
            const bool hole = a > 0 || b > 0;
            p[y * W + x] = hole ? Pack(Rgb{0.9, 0.95, 0.8 - depth * 0.1}, 32) : Pack(Rgb{0.1, 0.35 + depth * 0.05, 0.2}, 32);
        }
}

// 10. Stained glass: Voronoi cells with lead lines.
void Glass(Picture& p)
{
    uint32_t seed = 7;
    auto rnd = [&seed]() { seed = seed * 1664525u + 1013904223u; return seed >> 8; };
    struct Cell { double x, y; uint32_t colour; };
    std::vector<Cell> cells;
    const std::vector<Rgb> glass = {{0.8, 0.1, 0.15}, {0.1, 0.3, 0.8}, {0.95, 0.75, 0.1}, {0.1, 0.6, 0.3}, {0.5, 0.2, 0.6}};
    for (int i = 0; i < 60; ++i) cells.push_back({double(rnd() % W), double(rnd() % H), Pack(glass[rnd() % glass.size()], 32)});
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            double best = 1e18, second = 1e18;
            uint32_t colour = 0;
            for (const Cell& c : cells) {
                const double d = (x - c.x) * (x - c.x) + (y - c.y) * (y - c.y);
                if (d < best) { second = best; best = d; colour = c.colour; }
                else if (d < second) second = d;
            }
            p[y * W + x] = std::sqrt(second) - std::sqrt(best) < 3 ? 0x202020 : colour;
        }
}

// 11. A spiral galaxy of arms.
void Spiral(Picture& p)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double dx = x - 320.0, dy = y - 240.0, r = std::hypot(dx, dy) + 1, a = std::atan2(dy, dx);
            const double arm = 0.5 + 0.5 * std::cos(3 * (a - std::log(r) * 1.8));
            const double glow = std::exp(-r / 140);
            Rgb c = Mix(Rgb{0.02, 0.02, 0.08}, Rgb{0.6, 0.7, 1.0}, Clamp01(arm * arm * arm * (1 - r / 420) + glow));
            p[y * W + x] = Pack(c, 16);
        }
}

// 12. Woven ribbons in two directions.
void Weave(Picture& p)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int cx = x / 32, cy = y / 32, lx = x % 32, ly = y % 32;
            const bool over = (cx + cy) % 2 == 0;
            const bool inH = ly > 3 && ly < 28, inV = lx > 3 && lx < 28;
            Rgb c{0.95, 0.92, 0.85};
            if (inH && (over || !inV)) c = Mix(Rgb{0.75, 0.15, 0.2}, Rgb{0.45, 0.05, 0.1}, std::abs(ly - 16) / 12.0);
            else if (inV) c = Mix(Rgb{0.1, 0.35, 0.6}, Rgb{0.05, 0.15, 0.35}, std::abs(lx - 16) / 12.0);
            p[y * W + x] = Pack(c, 32);
        }
}

// 13. Ocean swell: stacked waves.
void Waves(Picture& p)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            Rgb c = Mix(Rgb{0.7, 0.85, 0.95}, Rgb{0.95, 0.95, 1.0}, double(y) / 120);
            for (int k = 0; k < 9; ++k) {
                const double base = 110 + k * 42;
                const double crest = base + 14 * std::sin(x * (0.015 + k * 0.002) + k * 2.1);
                if (y > crest) c = Mix(Rgb{0.1, 0.55, 0.75}, Rgb{0.0, 0.1, 0.3}, k / 8.0);
                if (y > crest && y < crest + 3) c = Rgb{0.9, 0.97, 1.0};
            }
            p[y * W + x] = Pack(c, 32);
        }
}

// 14. Argyle diamonds with stitched lines.
void Argyle(Picture& p)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int u = (x + 2 * y) % 160, v = (x - 2 * y + 4800) % 160;
            const int d = (std::abs(x % 80 - 40) * 2 + std::abs(y % 160 - 80)) < 80 ? 1 : 0;
            const int cell = (x / 80 + y / 160) % 2;
            Rgb c = d ? (cell ? Rgb{0.3, 0.45, 0.25} : Rgb{0.55, 0.2, 0.25}) : Rgb{0.85, 0.8, 0.65};
            if ((u < 2 || v < 2) && (x + y) % 6 < 4) c = Rgb{0.95, 0.95, 0.9};
            p[y * W + x] = Pack(c, 32);
        }
}

// 15. Sunburst rays behind a rising sun.
void Sunburst(Picture& p)
{
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const double dx = x - 320.0, dy = y - 420.0, r = std::hypot(dx, dy), a = std::atan2(dy, dx);
            const bool ray = int(std::floor((a + kPi) / (2 * kPi) * 36)) % 2 == 0;
            Rgb c = ray ? Rgb{1.0, 0.55, 0.2} : Rgb{1.0, 0.75, 0.35};
            c = Mix(c, Rgb{0.6, 0.15, 0.3}, Clamp01(r / 500));
            if (r < 110) c = Rgb{1.0, 0.95, 0.7};
            if (y > 420) c = Rgb{0.15, 0.1, 0.2};
            p[y * W + x] = Pack(c, 16);
        }
}

bool WriteFile(const std::string& path, const uint8_t* bytes, size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: showgen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    void (*const painters[kSlideCount])(Picture&) = {Sunset, Mandelbrot, Plasma, Truchet, Julia, Rings, Honeycomb, City,
                                            Carpet, Glass, Spiral, Weave, Waves, Argyle, Sunburst};
    Picture picture(kQjxPixelCount);
    std::vector<uint8_t> bgr(kQjxDecodedSize), file(kQjxHeaderSize + QjxMaxStreamSize(kQjxPixelCount));
    for (int i = 0; i < kSlideCount; ++i) {
        painters[i](picture);
        PackBgr(picture.data(), kQjxPixelCount, bgr.data());
        const size_t size = QjxEncodeFile(bgr.data(), file.data());
        char name[32];
        std::snprintf(name, sizeof name, "/" NIMBRA_SLIDE_NAME_FORMAT, i + 1);
        if (size == 0 || !WriteFile(folder + name, file.data(), size)) {
            std::fprintf(stderr, "showgen: cannot write %s%s\n", folder.c_str(), name);
            return 1;
        }
    }

    std::vector<uint8_t> tile(DissolveMaskFileSize());
    DissolveMaskWrite(tile.data());
    if (!WriteFile(folder + "/" NIMBRA_MASK_NAME, tile.data(), tile.size())) {
        std::fprintf(stderr, "showgen: cannot write %s/" NIMBRA_MASK_NAME "\n", folder.c_str());
        return 1;
    }
    return 0;
}
