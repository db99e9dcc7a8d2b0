#include "streams/ParseModeText.h"

#include <algorithm>
#include <string>

namespace {

constexpr size_t PAYLOAD_LINE_BYTES = 16;  // one tile a line

// The text after "key": in a JSON line (blanks skipped), or an empty view.
std::string_view FieldValue(std::string_view line, std::string_view key)
{
    std::string strQuoted = "\"";
    strQuoted.append(key);
    strQuoted += '"';
    size_t nAt = line.find(strQuoted);
    if (nAt == std::string_view::npos)
        return {};
    nAt += strQuoted.size();
    while (nAt < line.size() && (line[nAt] == ' ' || line[nAt] == '\t'))
        ++nAt;
    if (nAt >= line.size() || line[nAt] != ':')
        return {};
    ++nAt;
    while (nAt < line.size() && (line[nAt] == ' ' || line[nAt] == '\t'))
        ++nAt;
    return line.substr(nAt);
}

// A decimal field as a byte; false when it is missing or not a number of 0..255.
bool ByteField(std::string_view line, std::string_view key, uint8_t& nValue)
{
    const std::string_view value = FieldValue(line, key);
    uint32_t n = 0;
    size_t nDigits = 0;
    while (nDigits < value.size() && value[nDigits] >= '0' && value[nDigits] <= '9' && n <= 255) {
        n = n * 10 + static_cast<uint32_t>(value[nDigits] - '0');
        ++nDigits;
    }
    if (nDigits == 0 || n > 255)
        return false;
    nValue = static_cast<uint8_t>(n);
    return true;
}

std::string_view StringField(std::string_view line, std::string_view key)
{
    std::string_view value = FieldValue(line, key);
    if (value.empty() || value.front() != '"')
        return {};
    value.remove_prefix(1);
    return value.substr(0, value.find('"'));
}

struct CCommandName {
    const char* pName;
    uint8_t nCommand;
};
constexpr CCommandName COMMANDS[] = {
    {"INIT", PRINTER_CMD_INIT}, {"PRNT", PRINTER_CMD_PRINT}, {"DATA", PRINTER_CMD_DATA},
    {"INQY", PRINTER_CMD_STATUS}, {"BREK", PRINTER_CMD_BREAK},
};

// The status bits as the device spells them out, bit 7 first.
constexpr const char* STATUS_BITS[8] = {"LowBat", "ER2", "ER1", "ER0", "Untran", "Full", "Busy", "Sum"};

}  // namespace

bool IsWholeCompressedPayload(const std::vector<uint8_t>& payload)
{
    size_t nOut = 0;
    size_t n = 0;
    while (n < payload.size()) {
        const uint8_t nControl = payload[n];
        if (nControl < 0x80) {
            if (n + 1 + nControl + 1 > payload.size())
                return false;
            nOut += nControl + 1u;
            n += nControl + 2u;
        } else {
            if (n + 2 > payload.size())
                return false;
            nOut += (nControl & 0x7Fu) + 2u;
            n += 2;
        }
    }
    return nOut > 0 && nOut % STREAM_BAND_BYTES == 0;
}

void CParseModeText::OnJson(std::string_view line)
{
    if (m_bDataOpen)
        CloseData(true);
    const std::string_view name = StringField(line, "command");
    if (name.empty()) {
        ++m_nSkippedLines;
        return;
    }
    CStreamPacket& packet = m_Packet;
    packet.Reset(m_eLayout);
    packet.m_eEnd = EPacketEnd::Garbled;  // until the name is known
    for (const CCommandName& command : COMMANDS)
        if (name == command.pName) {
            packet.m_nCommand = command.nCommand;
            packet.m_eEnd = EPacketEnd::Whole;
        }
    switch (packet.m_nCommand) {
    case PRINTER_CMD_DATA: {
        uint8_t nCompressed = 0;
        ByteField(line, "compressed", nCompressed);
        packet.m_nFlag = nCompressed;
        m_bDataOpen = true;
        m_bIrregular = false;
        m_nLastLineBytes = PAYLOAD_LINE_BYTES;
        return;  // its payload follows
    }
    case PRINTER_CMD_PRINT: {
        uint8_t nSheets = 0, nUpper = 0, nLower = 0, nPalette = 0, nExposure = 0;
        const bool bAll = ByteField(line, "sheets", nSheets) && ByteField(line, "margin_upper", nUpper) &&
                          ByteField(line, "margin_lower", nLower) && ByteField(line, "pallet", nPalette) &&
                          ByteField(line, "density", nExposure);
        if (!bAll || nUpper > 15 || nLower > 15) {
            packet.m_eEnd = EPacketEnd::Garbled;
            break;
        }
        packet.m_Payload = {nSheets, static_cast<uint8_t>(nUpper << 4 | nLower), nPalette, nExposure};
        packet.m_nLengthField = STREAM_PRINT_ARGS;
        packet.TakePrintArgs();
        break;
    }
    case PRINTER_CMD_STATUS: {
        const std::string_view status = FieldValue(line, "status");
        uint8_t nStatus = 0;
        bool bAll = !status.empty() && status.front() == '{';
        for (size_t nBit = 0; nBit < 8 && bAll; ++nBit) {
            uint8_t nValue = 0;
            bAll = ByteField(status, STATUS_BITS[nBit], nValue) && nValue <= 1;
            nStatus = static_cast<uint8_t>(nStatus | nValue << (7 - nBit));
        }
        if (bAll) {
            packet.m_bRepliesCarried = true;
            packet.m_Replies = {PRINTER_ACK, nStatus};
        }
        break;
    }
    default: break;
    }
    m_Sink.OnPacket(packet);
}

void CParseModeText::OnPayload(const std::vector<uint8_t>& bytes, bool bJunkAfter)
{
    if (!m_bDataOpen) {
        ++m_nSkippedLines;
        return;
    }
    // Only the last line of a payload may be shorter than a tile.
    if (m_nLastLineBytes != PAYLOAD_LINE_BYTES || bytes.size() > PAYLOAD_LINE_BYTES || bJunkAfter)
        m_bIrregular = true;
    m_nLastLineBytes = bytes.size();
    // No packet holds more than its 16-bit length can say; what runs on beyond is dropped.
    const size_t nRoom = 0xFFFF - m_Packet.m_Payload.size();
    if (bytes.size() > nRoom)
        m_bIrregular = true;
    m_Packet.m_Payload.insert(m_Packet.m_Payload.end(), bytes.begin(),
                              bytes.begin() + static_cast<ptrdiff_t>(std::min(nRoom, bytes.size())));
}

void CParseModeText::EndOfSession()
{
    if (m_bDataOpen)
        CloseData(false);
}

void CParseModeText::CloseData(bool bLineFollows)
{
    m_bDataOpen = false;
    CStreamPacket& packet = m_Packet;
    packet.m_nLengthField = static_cast<uint16_t>(std::min<size_t>(packet.m_Payload.size(), 0xFFFF));
    if (m_bIrregular) {
        packet.m_eEnd = EPacketEnd::Garbled;
    } else if (!bLineFollows && !packet.m_Payload.empty()) {
        // Nothing after it tells where it ended: whole only when it holds whole bands.
        const bool bWhole = packet.m_nFlag == STREAM_FLAG_COMPRESSED
                                ? IsWholeCompressedPayload(packet.m_Payload)
                                : packet.m_Payload.size() % STREAM_BAND_BYTES == 0;
        packet.m_eEnd = bWhole ? EPacketEnd::Whole : EPacketEnd::Cut;
    }
    m_Sink.OnPacket(packet);
}
