#pragma once
// The console's run-length coding of picture data. A control byte 0x00..0x7F is followed by
// control + 1 literal bytes; 0x80..0xFF by one byte repeated (control & 0x7F) + 2 times.

#include <cstdint>
#include <span>
#include <vector>

std::vector<uint8_t> CompressRuns(std::span<const uint8_t> data);
// The inverse, without any padding; a run cut short by the end of the input ends there.
std::vector<uint8_t> ExpandRuns(std::span<const uint8_t> data);
