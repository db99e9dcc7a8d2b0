#pragma once
// The packets of one print as the console sends them to its printer:
//   88 33 CMD COMP LEN_LO LEN_HI <data> SUM_LO SUM_HI 00 00
// where the sum is the 16-bit sum of CMD .. the last data byte and the last two bytes are the
// exchanges in which the printer answers with 0x81 and its status.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "protocol/PrinterProtocol.h"

using CPacket = std::vector<uint8_t>;

constexpr size_t CONSOLE_DATA_PACKET_BYTES = 640;

CPacket MakePacket(uint8_t nCommand, uint8_t nCompression, std::span<const uint8_t> data);

// Init, a status poll, the picture in data packets of 640 bytes (each run-length compressed on
// its own when bCompress), each followed by a status poll, the empty data packet, the print
// packet and three status polls.
std::vector<CPacket> BuildPrintSession(std::span<const uint8_t> tiles, bool bCompress);

// How one print of a session looks on the line.
struct CPrintStyle {
    bool bCompress = false;
    uint8_t nPalette = 0xE4;   // the print packet's palette byte
    int32_t nPollsAfter = 3;   // status inquiries after the print packet
    bool bBreak = false;       // a BREAK packet (0x08) after them
};
std::vector<CPacket> BuildPrintSession(std::span<const uint8_t> tiles, const CPrintStyle& style);

// The picture data that the data packets carry, expanded where they are compressed.
std::vector<uint8_t> TilesOfPackets(const std::vector<CPacket>& packets);

// A recorded session: one packet a line, hex bytes separated by blanks; blank lines skipped.
bool ParsePacketText(const std::string& strText, std::vector<CPacket>& packets, std::string& strError);
bool ReadPacketFile(const std::filesystem::path& path, std::vector<CPacket>& packets, std::string& strError);
