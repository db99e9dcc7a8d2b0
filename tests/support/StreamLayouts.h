#pragma once
// Print sessions in the layouts the printer devices write, made from the console's packets: for
// the stream readers' tests and for later tests that run a reception over such a stream.
// A packet is given whole as the console sent it: 88 33 CMD FLAG LEN_LO LEN_HI data SUM_LO
// SUM_HI 00 00.
#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "streams/StreamDecoder.h"

using CPacketBytes = std::vector<uint8_t>;

// One packet a line of hex bytes, as in the recorded sessions (blank lines skipped).
inline std::vector<CPacketBytes> ReadPlainPackets(const std::filesystem::path& path)
{
    std::vector<CPacketBytes> packets;
    std::ifstream in(path);
    for (std::string strLine; std::getline(in, strLine);) {
        CPacketBytes bytes;
        unsigned nByte = 0;
        int nUsed = 0;
        for (const char* p = strLine.c_str(); std::sscanf(p, "%2x%n", &nByte, &nUsed) == 1; p += nUsed)
            bytes.push_back(static_cast<uint8_t>(nByte));
        if (!bytes.empty())
            packets.push_back(bytes);
    }
    return packets;
}

inline uint8_t PacketCommand(const CPacketBytes& packet) { return packet[2]; }
inline size_t PacketLength(const CPacketBytes& packet) { return packet[4] | packet[5] << 8; }
inline CPacketBytes PacketData(const CPacketBytes& packet)
{
    return CPacketBytes(packet.begin() + 6, packet.begin() + 6 + static_cast<ptrdiff_t>(PacketLength(packet)));
}

inline std::string HexBytes(const uint8_t* p, size_t n, const char* pszPrefix = "", const char* pszSeparator = " ")
{
    static const char DIGITS[] = "0123456789ABCDEF";
    std::string str;
    for (size_t k = 0; k < n; ++k) {
        if (k)
            str += pszSeparator;
        str += pszPrefix;
        str += DIGITS[p[k] >> 4];
        str += DIGITS[p[k] & 15];
    }
    return str;
}

struct CTextStyle {
    const char* pszEol = "\n";
    bool bTrailingSpace = false;   // a blank after every packet line, as the V2 firmware writes
    bool bPacketComments = false;  // "// 3 : DATA" before every packet
    bool bTrailingComments = false;  // "  // DATA" after every packet line
    bool bBanner = true;
};

inline const char* CommentName(uint8_t nCommand)
{
    switch (nCommand) {
    case 0x01: return "INIT";
    case 0x02: return "PRINT";
    case 0x04: return "DATA";
    case 0x0F: return "INQUIRY";
    default: return "UNKNOWN";
    }
}

// The emulator's raw packet lines: every packet's trailer replaced by the reply 81 and the
// status byte given for it (statuses shorter than the session: 00).
inline std::string ToRawText(const std::vector<CPacketBytes>& packets, const std::vector<uint8_t>& statuses,
                             const CTextStyle& style = {})
{
    std::string str;
    if (style.bBanner)
        str += std::string("// GAMEBOY PRINTER Packet Capture V3.2.1 (Brian Khuu 2020)") + style.pszEol + "// Note: the last two bytes of each packet are the printer's" + style.pszEol;
    for (size_t n = 0; n < packets.size(); ++n) {
        CPacketBytes bytes = packets[n];
        bytes[bytes.size() - 2] = 0x81;
        bytes[bytes.size() - 1] = n < statuses.size() ? statuses[n] : 0;
        if (style.bPacketComments)
            str += "// " + std::to_string(n) + " : " + CommentName(bytes[2]) + (style.bTrailingSpace ? " " : "") + style.pszEol;
        str += HexBytes(bytes.data(), bytes.size());
        if (style.bTrailingSpace)
            str += ' ';
        if (style.bTrailingComments)
            str += std::string("  // ") + CommentName(bytes[2]);
        str += style.pszEol;
    }
    return str;
}

// The plain layout: one packet a line, the console's 00 00 trailer.
inline std::string ToPlainText(const std::vector<CPacketBytes>& packets)
{
    std::string str;
    for (const CPacketBytes& bytes : packets)
        str += HexBytes(bytes.data(), bytes.size()) + "\n";
    return str;
}

// A C-array capture: a packet over lines of 16 bytes, its trailer as the reply in /*( )*/.
inline std::string ToCArray(const std::vector<CPacketBytes>& packets, const std::vector<uint8_t>& statuses)
{
    std::string str = "const unsigned char capture[] = {\n";
    for (size_t n = 0; n < packets.size(); ++n) {
        const CPacketBytes& bytes = packets[n];
        str += "  /* " + std::to_string(n) + " : " + CommentName(bytes[2]) + " */\n";
        const size_t nBody = bytes.size() - 2;
        for (size_t k = 0; k < nBody; k += 16) {
            const size_t nTake = std::min<size_t>(16, nBody - k);
            str += "  " + HexBytes(bytes.data() + k, nTake, "0x", ", ") + ",\n";
        }
        const uint8_t reply[2] = {0x81, n < statuses.size() ? statuses[n] : uint8_t{0}};
        str += "  /*(*/ " + HexBytes(reply, 2, "0x", ", ") + ", /*)*/\n";
    }
    return str + "};\n";
}

// Parse mode: V3 ({...}, // comments) or V2 (!{...}, # comments, # Timed Out at the end).
inline std::string ToParseMode(const std::vector<CPacketBytes>& packets, const std::vector<uint8_t>& statuses, bool bV2)
{
    const std::string strComment = bV2 ? "# " : "// ";
    const std::string strOpen = bV2 ? "!{" : "{";
    std::string str = strComment + (bV2 ? "GAMEBOY PRINTER Emulator V2 : Copyright (C) 2020 Brian Khuu\n"
                                        : "GAMEBOY PRINTER Emulator V3.2.1 (Brian Khuu 2020)\n");
    static const char* const BITS[8] = {"LowBat", "ER2", "ER1", "ER0", "Untran", "Full", "Busy", "Sum"};
    for (size_t n = 0; n < packets.size(); ++n) {
        const CPacketBytes& bytes = packets[n];
        const CPacketBytes data = PacketData(bytes);
        switch (PacketCommand(bytes)) {
        case 0x01: str += strOpen + "\"command\":\"INIT\"}\n"; break;
        case 0x08: str += strOpen + "\"command\":\"BREK\"}\n"; break;
        case 0x0F: {
            const uint8_t nStatus = n < statuses.size() ? statuses[n] : 0;
            str += strOpen + "\"command\":\"INQY\", \"status\":{";
            for (int nBit = 0; nBit < 8; ++nBit)
                str += std::string(nBit ? "," : "") + "\"" + BITS[nBit] + "\":" + std::to_string(nStatus >> (7 - nBit) & 1);
            str += "}}\n";
            break;
        }
        case 0x02:
            str += strOpen + "\"command\":\"PRNT\", \"sheets\":" + std::to_string(data[0]) +
                   ", \"margin_upper\":" + std::to_string(data[1] >> 4) + ", \"margin_lower\":" +
                   std::to_string(data[1] & 15) + ", \"pallet\":" + std::to_string(data[2]) +
                   ", \"density\":" + std::to_string(data[3]) + "}\n";
            break;
        case 0x04:
            str += strOpen + "\"command\":\"DATA\", \"compressed\":" + std::to_string(bytes[3]) +
                   ", \"more\":" + (data.empty() ? "0" : "1") + "}\n";
            for (size_t k = 0; k < data.size(); k += 16)
                str += HexBytes(data.data() + k, std::min<size_t>(16, data.size() - k)) + "\n";
            break;
        default: break;
        }
    }
    return str + (bV2 ? "# Timed Out\n" : "// Completed (Memory Waterline: 650B out of 650B)\n");
}

// The RP2040's dump: data and print records, INIT bytes only for the older firmware.
inline std::string ToPicoDump(const std::vector<CPacketBytes>& packets, bool bInit)
{
    std::string str;
    for (const CPacketBytes& bytes : packets) {
        const CPacketBytes data = PacketData(bytes);
        switch (PacketCommand(bytes)) {
        case 0x01:
            if (bInit)
                str += '\x01';
            break;
        case 0x02: str += std::string("\x02\x04\x00", 3); break;
        case 0x04: str += std::string{'\x04', static_cast<char>(bytes[3]), static_cast<char>(bytes[4]), static_cast<char>(bytes[5])}; break;
        default: continue;
        }
        if (PacketCommand(bytes) != 0x01)
            str.append(data.begin(), data.end());
    }
    return str;
}

// A whole packet as the console sends it, with its sum and the console's 00 00 trailer.
inline CPacketBytes MakePacket(uint8_t nCommand, uint8_t nFlag, const CPacketBytes& data)
{
    CPacketBytes bytes(data.size() + 10);
    const uint8_t header[6] = {0x88, 0x33, nCommand, nFlag, static_cast<uint8_t>(data.size()),
                               static_cast<uint8_t>(data.size() >> 8)};
    std::copy(std::begin(header), std::end(header), bytes.begin());
    std::copy(data.begin(), data.end(), bytes.begin() + 6);
    uint32_t nSum = 0;
    for (size_t n = 2; n < 6 + data.size(); ++n)
        nSum += bytes[n];
    bytes[6 + data.size()] = static_cast<uint8_t>(nSum);
    bytes[7 + data.size()] = static_cast<uint8_t>(nSum >> 8);
    return bytes;
}

// A packet in a few words: "DATA/640 ok", "INIT cut", "PRINT unchecked", "0x77 garbled".
inline std::string DescribePacket(const CStreamPacket& packet)
{
    std::string str = StreamCommandName(packet.m_nCommand);
    if (packet.m_nCommand == 0x04 || packet.m_nCommand == STREAM_CMD_TRANSFER)
        str += "/" + std::to_string(packet.m_Payload.size());
    if (packet.m_eEnd == EPacketEnd::Cut)
        return str + " cut";
    if (packet.m_eEnd == EPacketEnd::Garbled)
        return str + " garbled";
    if (!packet.m_bSumCarried)
        return str + " unchecked";
    return str + (packet.m_bSumOk ? " ok" : " bad");
}

inline std::string DescribePackets(const std::vector<CStreamPacket>& packets)
{
    std::string str;
    for (const CStreamPacket& packet : packets)
        str += (str.empty() ? "" : ", ") + DescribePacket(packet);
    return str;
}

// Every packet a reader gives, kept.
class CPacketCollector : public IStreamPacketSink {
public:
    void OnPacket(const CStreamPacket& packet) override { m_Packets.push_back(packet); }
    std::vector<CStreamPacket> m_Packets;
};

// Feeds the input in chunks of nChunk bytes (as a serial line brings it) and finishes.
inline std::vector<CStreamPacket> DecodeStream(const std::string& strInput, size_t nChunk = 4096,
                                               CStreamLayoutInfo* pInfo = nullptr, CStreamStats* pStats = nullptr)
{
    CPacketCollector collector;
    CStreamDecoder decoder(collector);
    for (size_t n = 0; n < strInput.size(); n += nChunk)
        decoder.Feed(std::string_view(strInput).substr(n, nChunk));
    decoder.Finish();
    if (pInfo)
        *pInfo = {decoder.GetLayout(), decoder.GetBanner()};
    if (pStats)
        *pStats = decoder.GetStats();
    return collector.m_Packets;
}
