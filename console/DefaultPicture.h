#pragma once
// The picture the simulated console prints when it is given none: a camera photo in its frame,
// 160 x 144. A lake at sunset with a tree on the shore, drawn as brightness and printed in the
// console's four levels with a 4 x 4 ordered dither, the way the camera renders its photos; the
// frame carries the program's name in a small pixel font.

#include <cstdint>
#include <vector>

// Colour numbers (0 white .. 3 black), row by row, 160 to a row, 144 rows.
std::vector<uint8_t> BuildDefaultPictureLevels();
// The same as a tile stream (5760 bytes).
std::vector<uint8_t> BuildDefaultPicture();
