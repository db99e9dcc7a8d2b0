#include "console/DefaultPicture.h"

#include "console/ConsolePicture.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr int32_t WIDTH = TILE_PICTURE_WIDTH;
constexpr int32_t HEIGHT = 144;
// The camera's photo, 128 x 112, sits in a frame 16 pixels wide.
constexpr int32_t FRAME = 16;
constexpr int32_t PHOTO_WIDTH = WIDTH - 2 * FRAME;
constexpr int32_t PHOTO_HEIGHT = HEIGHT - 2 * FRAME;

constexpr double WHITE = 0.0;
constexpr double BLACK = 3.0;

// Where the sky meets the water, and the sun.
constexpr double HORIZON = 66.0;
constexpr double SUN_X = 88.0;
constexpr double SUN_Y = 40.0;
constexpr double SUN_RADIUS = 9.0;

// The 4 x 4 ordered-dither thresholds, in sixteenths.
constexpr uint8_t BAYER[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Darkness from 0 (white) to 3 (black) -> one of the four levels; levels in between are mixed
// in the proportion the darkness asks for.
uint8_t Dither(double dDark, int32_t x, int32_t y)
{
    const double dThreshold = (BAYER[y & 3][x & 3] + 0.5) / 16.0;
    const int nLevel = static_cast<int>(std::floor(std::clamp(dDark, WHITE, BLACK) + dThreshold));
    return static_cast<uint8_t>(std::min(nLevel, 3));
}

// A repeatable grain from 0 to 1 for texture.
double Grain(int32_t x, int32_t y)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<double>((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double MountainRidge(double u)
{
    return 50.0 + 6.0 * std::sin(u * 0.045 + 0.3) + 4.0 * std::sin(u * 0.13 + 1.7) + 2.0 * std::sin(u * 0.31);
}

double NearRidge(double u)
{
    return 59.0 + 5.0 * std::sin(u * 0.08 + 4.0) - std::max(0.0, (u - 96.0) * 0.35);
}

double ShoreLine(double u)
{
    return 90.0 + 4.0 * std::sin(u * 0.06) - 3.0 * std::sin(u * 0.17 + 2.0);
}

// Sky and mountains above the horizon; also what the lake mirrors.
double Landscape(double u, double v)
{
    if (v >= NearRidge(u) && u > 60.0)
        return 2.5 - 0.4 * (v - NearRidge(u)) / 8.0;
    const double dRidge = MountainRidge(u);
    if (v >= dRidge)
        return 1.4 + 0.5 * (HORIZON - v) / std::max(1.0, HORIZON - dRidge);  // haze towards the water
    const double dSun = std::hypot(u - SUN_X, v - SUN_Y);
    if (dSun < SUN_RADIUS)
        return WHITE;
    double dSky = 2.1 - 1.7 * v / HORIZON;
    const double dGlow = std::max(0.0, 1.0 - dSun / 34.0);
    dSky -= 1.4 * dGlow * dGlow;
    // Two thin evening clouds, dark against the glow.
    for (const auto& [dY, dFrom, dTo] : {std::array<double, 3>{22.0, 8.0, 70.0}, {29.0, 50.0, 120.0}}) {
        const double dAlong = std::clamp(std::min(u - dFrom, dTo - u) / 12.0, 0.0, 1.0);
        dSky += 0.9 * dAlong * std::exp(-(v - dY) * (v - dY) / 2.5);
    }
    return dSky;
}

// A tree on the left shore, lit from the sun on its right.
bool Tree(double u, double v, double& dDark)
{
    struct SBlob {
        double x, y, r;
    };
    constexpr SBlob foliage[] = {{20, 38, 14}, {9, 47, 10}, {32, 46, 10}, {21, 25, 9}};
    for (const SBlob& b : foliage) {
        const double dx = (u - b.x) / b.r;
        const double dy = (v - b.y) / b.r;
        if (dx * dx + dy * dy < 1.0) {
            const double dLight = std::max(0.0, 0.8 * dx - 0.6 * dy);
            dDark = 2.75 - 1.1 * dLight + 0.5 * (Grain(int32_t(u), int32_t(v)) - 0.5);
            return true;
        }
    }
    const double dTrunk = 19.0 + (v - 50.0) * 0.06;
    if (v > 50.0 && v < ShoreLine(u) + 4.0 && u >= dTrunk && u < dTrunk + 4.0) {
        dDark = (int32_t(v) % 5 == 0 || u >= dTrunk + 3.0) ? BLACK : 2.4;
        return true;
    }
    return false;
}

double Photo(int32_t x, int32_t y)
{
    const double u = x;
    const double v = y;
    double dDark = 0.0;
    if (Tree(u, v, dDark))
        return dDark;
    const double dShore = ShoreLine(u);
    // Reeds along the shore, rising into the water.
    const double dReed = 3.0 + 5.0 * Grain(x, 7);
    if (v >= dShore - dReed && v < dShore + 2.0 && Grain(x, 3) > 0.72 && u > 40.0)
        return BLACK;
    if (v >= dShore)
        return 2.0 + 0.8 * (v - dShore) / (PHOTO_HEIGHT - dShore) + 0.25 * (Grain(x, y) - 0.5);
    if (v < HORIZON)
        return Landscape(u, v);
    // The lake: the landscape mirrored, a little darker, broken into ripples.
    const double dRipple = 2.0 * std::sin(v * 1.7) * (v - HORIZON) / 24.0;
    double dWater = Landscape(u + dRipple, 2.0 * HORIZON - v - 1.0) + 0.35;
    if (y % 3 == 0)
        dWater += 0.3;
    // The sun's path on the water: glints that widen towards the viewer.
    const double dPath = 3.0 + (v - HORIZON) * 0.35;
    if (std::abs(u - SUN_X) < dPath && y % 2 == 0 && Grain(x / 3, y) > 0.5)
        dWater = WHITE;
    return dWater;
}

// Gulls over the water.
void DrawBirds(std::vector<uint8_t>& levels)
{
    constexpr int32_t shape[][2] = {{-3, 0}, {-2, -1}, {-1, -1}, {0, 0}, {1, -1}, {2, -1}, {3, 0}};
    constexpr int32_t birds[][2] = {{62, 30}, {72, 26}, {104, 22}};
    for (const auto& bird : birds)
        for (const auto& d : shape)
            levels[static_cast<size_t>(FRAME + bird[1] + d[1]) * WIDTH + FRAME + bird[0] + d[0]] = 3;
}

// 5 x 7 letters, rows from the top, bit 4 the leftmost pixel.
struct SGlyph {
    char c;
    uint8_t rows[7];
};
constexpr SGlyph FONT[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}}, {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}}, {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
};
constexpr char NAME[] = "QUILLOMAT";
constexpr int32_t NAME_WIDTH = static_cast<int32_t>(sizeof NAME - 1) * 6 - 1;
constexpr int32_t NAME_X = (WIDTH - NAME_WIDTH) / 2;
constexpr int32_t NAME_Y = HEIGHT - FRAME + 4;

void DrawName(std::vector<uint8_t>& levels)
{
    for (int32_t i = 0; NAME[i] != '\0'; ++i)
        for (const SGlyph& glyph : FONT) {
            if (glyph.c != NAME[i])
                continue;
            for (int32_t r = 0; r < 7; ++r)
                for (int32_t q = 0; q < 5; ++q)
                    if (glyph.rows[r] & (0x10 >> q))
                        levels[static_cast<size_t>(NAME_Y + r) * WIDTH + NAME_X + 6 * i + q] = 0;
        }
}

// The frame: a strip of film, black with sprocket holes above and below, a light edge outside
// and a white line round the photo.
uint8_t Frame(int32_t x, int32_t y)
{
    const int32_t nEdge = std::min({x, y, WIDTH - 1 - x, HEIGHT - 1 - y});
    if (nEdge < 2)
        return 1;
    if (nEdge == FRAME - 1)
        return 0;
    if (nEdge == FRAME - 2)
        return 2;
    const bool bTopOrBottom = y < FRAME || y >= HEIGHT - FRAME;
    const int32_t nBandY = y < FRAME ? y : y - (HEIGHT - FRAME);
    const bool bBesideName = x >= NAME_X - 6 && x < NAME_X + NAME_WIDTH + 6;
    const bool bHole = nBandY >= 6 && nBandY < 10 && x > 4 && x < WIDTH - 4 && (x - 4) % 12 >= 2 && (x - 4) % 12 < 8;
    if (bTopOrBottom && bHole && !(y >= HEIGHT - FRAME && bBesideName))
        return 0;
    return 3;
}

} // namespace

std::vector<uint8_t> BuildDefaultPictureLevels()
{
    std::vector<uint8_t> levels(static_cast<size_t>(WIDTH) * HEIGHT);
    for (int32_t y = 0; y < HEIGHT; ++y)
        for (int32_t x = 0; x < WIDTH; ++x) {
            const bool bPhoto = x >= FRAME && x < FRAME + PHOTO_WIDTH && y >= FRAME && y < FRAME + PHOTO_HEIGHT;
            levels[static_cast<size_t>(y) * WIDTH + x] =
                bPhoto ? Dither(Photo(x - FRAME, y - FRAME), x, y) : Frame(x, y);
        }
    DrawBirds(levels);
    DrawName(levels);
    return levels;
}

std::vector<uint8_t> BuildDefaultPicture()
{
    return EncodeTiles(BuildDefaultPictureLevels(), HEIGHT);
}
