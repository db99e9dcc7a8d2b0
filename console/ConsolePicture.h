#pragma once
// What the simulated console prints, as a tile stream (protocol/TileCodec.h): the built-in test
// card or a bitmap file brought to the four levels.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "protocol/TileCodec.h"

// The built-in test card, 160 x 144: four grey bands, a black frame and a diagonal.
std::vector<uint8_t> BuildTestCardLevels();
std::vector<uint8_t> BuildTestCard();

// A bitmap file mapped to the four levels by brightness (nearest of white, 0xCC, 0xAA, black);
// 160 pixels wide (wider pictures are cut, narrower ones filled with white), the height rounded
// down to whole bands. False with a reason when the file cannot be used.
bool LoadPictureTiles(const std::filesystem::path& path, std::vector<uint8_t>& tiles, std::string& strError);
