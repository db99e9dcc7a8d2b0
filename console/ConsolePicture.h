#pragma once
// What the simulated console prints, as a tile stream: bands of 8 pixel rows, 20 tiles of
// 8 x 8 pixels to a band, two bytes per tile row (bit 0 of each colour number, then bit 1;
// bit 7 is the leftmost pixel). Colour numbers 0..3 run from white to black.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

constexpr int32_t CONSOLE_PICTURE_WIDTH = 160;
constexpr int32_t CONSOLE_BAND_BYTES = 320;

// Colour numbers (0..3), row by row, 160 to a row, nRows rows (a multiple of 8) -> tile stream.
std::vector<uint8_t> EncodeTiles(const std::vector<uint8_t>& levels, int32_t nRows);
// The inverse: colour number of pixel (x, y) of a tile stream.
uint8_t TileLevelAt(const std::vector<uint8_t>& tiles, int32_t x, int32_t y);

// The built-in test card, 160 x 144: four grey bands, a black frame and a diagonal.
std::vector<uint8_t> BuildTestCardLevels();
std::vector<uint8_t> BuildTestCard();

// A bitmap file mapped to the four levels by brightness (nearest of white, 0xCC, 0xAA, black);
// 160 pixels wide (wider pictures are cut, narrower ones filled with white), the height rounded
// down to whole bands. False with a reason when the file cannot be used.
bool LoadPictureTiles(const std::filesystem::path& path, std::vector<uint8_t>& tiles, std::string& strError);
