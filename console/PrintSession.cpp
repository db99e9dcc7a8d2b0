#include "console/PrintSession.h"

#include "common/HexDigit.h"
#include "protocol/RunLength.h"

#include <algorithm>
#include <fstream>
#include <sstream>

CPacket MakePacket(uint8_t nCommand, uint8_t nCompression, std::span<const uint8_t> data)
{
    const auto nLength = static_cast<uint16_t>(data.size());
    CPacket packet(PACKET_HEADER_BYTES + data.size() + PACKET_TRAILER_BYTES, 0x00); // the two answers stay 0x00
    packet[0] = PRINTER_MAGIC_1;
    packet[1] = PRINTER_MAGIC_2;
    packet[PACKET_AT_COMMAND] = nCommand;
    packet[PACKET_AT_FLAG] = nCompression;
    packet[PACKET_AT_LENGTH] = static_cast<uint8_t>(nLength & 0xFF);
    packet[PACKET_AT_LENGTH + 1] = static_cast<uint8_t>(nLength >> 8);
    std::copy(data.begin(), data.end(), packet.begin() + PACKET_HEADER_BYTES);
    const uint16_t nSum = PacketChecksum(nCommand, nCompression, data);
    packet[PACKET_HEADER_BYTES + data.size()] = static_cast<uint8_t>(nSum & 0xFF);
    packet[PACKET_HEADER_BYTES + data.size() + 1] = static_cast<uint8_t>(nSum >> 8);
    return packet;
}

std::vector<CPacket> BuildPrintSession(std::span<const uint8_t> tiles, bool bCompress)
{
    CPrintStyle style;
    style.bCompress = bCompress;
    return BuildPrintSession(tiles, style);
}

std::vector<CPacket> BuildPrintSession(std::span<const uint8_t> tiles, const CPrintStyle& style)
{
    const bool bCompress = style.bCompress;
    std::vector<CPacket> packets;
    const CPacket status = MakePacket(PRINTER_CMD_STATUS, 0, {});
    packets.push_back(MakePacket(PRINTER_CMD_INIT, 0, {}));
    packets.push_back(status);
    for (size_t nOffset = 0; nOffset < tiles.size(); nOffset += CONSOLE_DATA_PACKET_BYTES) {
        const size_t nCount = std::min(CONSOLE_DATA_PACKET_BYTES, tiles.size() - nOffset);
        const std::span<const uint8_t> chunk = tiles.subspan(nOffset, nCount);
        if (bCompress)
            packets.push_back(MakePacket(PRINTER_CMD_DATA, PACKET_COMPRESSED, CompressRuns(chunk)));
        else
            packets.push_back(MakePacket(PRINTER_CMD_DATA, PACKET_PLAIN, chunk));
        packets.push_back(status);
    }
    packets.push_back(MakePacket(PRINTER_CMD_DATA, PACKET_PLAIN, {}));
    // One sheet, margins 1 before and 3 after, the palette, middle exposure.
    uint8_t print[PRINT_ARG_BYTES] = {};
    print[PRINT_ARG_SHEETS] = 0x01;
    print[PRINT_ARG_MARGINS] = 0x13;
    print[PRINT_ARG_PALETTE] = style.nPalette;
    print[PRINT_ARG_EXPOSURE] = 0x40;
    packets.push_back(MakePacket(PRINTER_CMD_PRINT, PACKET_PLAIN, print));
    for (int n = 0; n < style.nPollsAfter; ++n)
        packets.push_back(status);
    if (style.bBreak)
        packets.push_back(MakePacket(PRINTER_CMD_BREAK, 0, {}));
    return packets;
}

std::vector<uint8_t> TilesOfPackets(const std::vector<CPacket>& packets)
{
    std::vector<uint8_t> tiles;
    for (const CPacket& packet : packets) {
        if (packet.size() < PACKET_HEADER_BYTES + PACKET_TRAILER_BYTES || packet[0] != PRINTER_MAGIC_1 ||
            packet[1] != PRINTER_MAGIC_2 || packet[PACKET_AT_COMMAND] != PRINTER_CMD_DATA)
            continue;
        const size_t nLength = std::min<size_t>(packet[PACKET_AT_LENGTH] | (packet[PACKET_AT_LENGTH + 1] << 8),
                                                packet.size() - PACKET_HEADER_BYTES - PACKET_TRAILER_BYTES);
        const std::span<const uint8_t> data(packet.data() + PACKET_HEADER_BYTES, nLength);
        if (packet[PACKET_AT_FLAG] == PACKET_COMPRESSED) {
            const std::vector<uint8_t> expanded = ExpandRuns(data);
            tiles.insert(tiles.end(), expanded.begin(), expanded.end());
        } else {
            tiles.insert(tiles.end(), data.begin(), data.end());
        }
    }
    return tiles;
}

bool ParsePacketText(const std::string& strText, std::vector<CPacket>& packets, std::string& strError)
{
    packets.clear();
    std::istringstream lines(strText);
    std::string strLine;
    int nLine = 0;
    while (std::getline(lines, strLine)) {
        ++nLine;
        std::istringstream words(strLine);
        std::string strWord;
        CPacket packet;
        while (words >> strWord) {
            const int nHigh = strWord.size() == 2 ? HexDigit(strWord[0]) : -1;
            const int nLow = strWord.size() == 2 ? HexDigit(strWord[1]) : -1;
            if (nHigh < 0 || nLow < 0) {
                strError = "line " + std::to_string(nLine) + ": '" + strWord + "' is not a hex byte";
                return false;
            }
            packet.push_back(static_cast<uint8_t>(nHigh * 16 + nLow));
        }
        if (!packet.empty())
            packets.push_back(std::move(packet));
    }
    if (packets.empty()) {
        strError = "no packets";
        return false;
    }
    return true;
}

bool ReadPacketFile(const std::filesystem::path& path, std::vector<CPacket>& packets, std::string& strError)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        strError = "cannot read " + path.string();
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!ParsePacketText(text.str(), packets, strError)) {
        strError = path.string() + ": " + strError;
        return false;
    }
    return true;
}
