#pragma once
// One printer packet as a device wrote it down: a serial emulator's text, a sniffer's log, a
// capture file or an RP2040 dump. The readers in this folder turn every layout into this one
// record; what the layout did not carry (a checksum, the replies) is marked as missing.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/PrinterProtocol.h"

// The direct transfer of a camera in an RP2040 dump: rows of 16 tiles, no printer command.
constexpr uint8_t STREAM_CMD_TRANSFER = 0x10;
// The compression flag of a data packet whose payload is run-length coded.
constexpr uint8_t STREAM_FLAG_COMPRESSED = 0x01;
// A print packet carries four argument bytes: sheets, margins, palette, exposure.
constexpr uint16_t STREAM_PRINT_ARGS = 4;
// A band of the picture: 20 tiles of 16 bytes, what one whole data packet holds.
constexpr uint16_t STREAM_BAND_BYTES = 640;

enum class EStreamLayout : uint8_t {
    Unknown,
    RawPackets,    // the emulator's packet lines, its own reply in the last two bytes
    SnifferLog,    // the same, written by a logger between a console and a real printer
    CArray,        // 0xNN, tokens, a packet over several lines
    PlainCapture,  // one packet a line, trailer 00 00: no replies
    ParseModeV2,   // !{...} lines and # comments
    ParseModeV3,   // {...} lines and // comments
    PicoDump,      // the RP2040's binary records
};

enum class EPacketEnd : uint8_t {
    Whole,    // every byte the header promised is there
    Cut,      // it stopped short: the console fell silent, the input ended or the next packet began
    Garbled,  // its bytes came with unreadable text in between, or its record makes no sense
};

struct CStreamPacket {
    uint8_t m_nCommand = 0;
    uint8_t m_nFlag = 0;              // compression flag
    uint16_t m_nLengthField = 0;      // as carried; where no length is carried, the payload's length
    std::vector<uint8_t> m_Payload;   // data bytes as sent (compressed ones still compressed)
    bool m_bSumCarried = false;       // the layout carried the checksum and it arrived
    uint16_t m_nSum = 0;              // the checksum as carried
    bool m_bSumOk = false;            // carried and equal to the sum of command to last data byte
    bool m_bRepliesCarried = false;   // the printer's two trailer bytes are known
    std::array<uint8_t, 2> m_Replies{};  // acknowledgement and status
    bool m_bHasPrintArgs = false;     // a print packet whose four argument bytes arrived
    std::array<uint8_t, 4> m_PrintArgs{};  // sheets, margins (upper << 4 | lower), palette, exposure
    EPacketEnd m_eEnd = EPacketEnd::Whole;
    EStreamLayout m_eLayout = EStreamLayout::Unknown;

    // Back to an empty record; keeps the payload's storage for the next packet.
    void Reset(EStreamLayout eLayout);
    // Sets the print arguments from the payload when this is a print packet with four of them.
    void TakePrintArgs();
};

// What a packet record is for its consumer: called once per packet, in stream order. The record
// is reused after the call returns; copy what must be kept.
class IStreamPacketSink {
public:
    virtual ~IStreamPacketSink() = default;
    virtual void OnPacket(const CStreamPacket& packet) = 0;
};

// Short English name of a layout ("raw packets", "parse mode V3", ...).
const char* StreamLayoutName(EStreamLayout eLayout);
// Short name of a command (INIT, PRINT, DATA, STATUS, BREAK, TRANSFER, or "0xNN").
std::string StreamCommandName(uint8_t nCommand);
