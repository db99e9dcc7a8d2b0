#include "streams/HexPacketText.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr size_t HEADER_BYTES = 6;   // 88 33 CMD FLAG LEN_LO LEN_HI
constexpr size_t TAIL_BYTES = 4;     // SUM_LO SUM_HI ACK STATUS
// No printer takes a packet this long (a band is 640 bytes, and the emulators buffer 650): a
// header that says more has a damaged length, and trusting it would swallow the packets after it.
constexpr size_t MAX_FRAMED_LENGTH = 2048;

}  // namespace

bool IsKnownPrinterCommand(uint8_t nCommand)
{
    return nCommand == PRINTER_CMD_INIT || nCommand == PRINTER_CMD_PRINT || nCommand == PRINTER_CMD_DATA ||
           nCommand == PRINTER_CMD_STATUS || nCommand == PRINTER_CMD_BREAK;
}

void CHexPacketFramer::Feed(const uint8_t* pData, size_t nSize)
{
    for (size_t n = 0; n < nSize; ++n) {
        Step(pData[n]);
        Drain();
    }
}

void CHexPacketFramer::Drain()
{
    while (m_nReplayPos < m_Replay.size())
        Step(m_Replay[m_nReplayPos++]);
    m_Replay.clear();
    m_nReplayPos = 0;
}

void CHexPacketFramer::Step(uint8_t nByte)
{
    const size_t nHave = m_Frame.size();
    if (nHave == 0) {
        if (nByte == PRINTER_MAGIC_1)
            m_Frame.push_back(nByte);
        else
            ++m_nSkipped;
        return;
    }
    if (nHave == 1 && nByte != PRINTER_MAGIC_2) {
        // Not a packet start; a new 0x88 may be one.
        ++m_nSkipped;
        m_Frame.clear();
        m_bGarbled = false;
        Step(nByte);
        return;
    }
    m_Frame.push_back(nByte);
    if (m_Frame.size() == HEADER_BYTES) {
        const size_t nLength = m_Frame[4] | (size_t{m_Frame[5]} << 8);
        if (nLength > MAX_FRAMED_LENGTH) {
            // The header alone, garbled; what follows is framed anew.
            m_bGarbled = true;
            EmitAndRestart(HEADER_BYTES, EPacketEnd::Garbled);
            return;
        }
        m_nWant = HEADER_BYTES + nLength + TAIL_BYTES;
    }
    if (m_Frame.size() >= HEADER_BYTES && m_Frame.size() == m_nWant)
        Complete();
}

size_t CHexPacketFramer::FindInnerStart() const
{
    // Image data may hold 88 33 and a command byte by chance: as much of the header as is
    // there must fit the command (its flag, and the length that command has).
    const size_t nSize = m_Frame.size();
    for (size_t k = 2; k + 2 < nSize; ++k) {
        const uint8_t nCommand = m_Frame[k + 2];
        if (m_Frame[k] != PRINTER_MAGIC_1 || m_Frame[k + 1] != PRINTER_MAGIC_2 || !IsKnownPrinterCommand(nCommand))
            continue;
        const bool bData = nCommand == PRINTER_CMD_DATA;
        if (k + 3 < nSize && m_Frame[k + 3] != 0 && !(bData && m_Frame[k + 3] == STREAM_FLAG_COMPRESSED))
            continue;
        if (k + 5 < nSize) {
            const size_t nLength = m_Frame[k + 4] | (size_t{m_Frame[k + 5]} << 8);
            const size_t nExpected = nCommand == PRINTER_CMD_PRINT ? STREAM_PRINT_ARGS : 0;
            if (bData ? nLength > MAX_FRAMED_LENGTH : nLength != nExpected)
                continue;
        }
        return k;
    }
    return 0;
}

void CHexPacketFramer::Complete()
{
    const size_t nLength = m_nWant - HEADER_BYTES - TAIL_BYTES;
    uint32_t nSum = 0;
    for (size_t n = 2; n < HEADER_BYTES + nLength; ++n)
        nSum += m_Frame[n];
    const uint16_t nCarried = static_cast<uint16_t>(m_Frame[HEADER_BYTES + nLength] | (m_Frame[HEADER_BYTES + nLength + 1] << 8));
    if (static_cast<uint16_t>(nSum) != nCarried)
        if (const size_t nInner = FindInnerStart()) {
            EmitAndRestart(nInner, EPacketEnd::Cut);
            return;
        }
    EmitAndRestart(m_Frame.size(), EPacketEnd::Whole);
}

void CHexPacketFramer::EmitAndRestart(size_t nBytes, EPacketEnd eEnd)
{
    CStreamPacket& packet = m_Packet;
    packet.Reset(m_eLayout);
    packet.m_nCommand = m_Frame[2];
    if (nBytes > 3)
        packet.m_nFlag = m_Frame[3];
    size_t nLength = 0;
    if (nBytes >= HEADER_BYTES) {
        nLength = m_Frame[4] | (size_t{m_Frame[5]} << 8);
        packet.m_nLengthField = static_cast<uint16_t>(nLength);
        const size_t nEnd = std::min(nBytes, HEADER_BYTES + nLength);
        packet.m_Payload.assign(m_Frame.begin() + HEADER_BYTES, m_Frame.begin() + static_cast<ptrdiff_t>(nEnd));
    }
    if (nBytes >= HEADER_BYTES + nLength + 2) {
        uint32_t nSum = 0;
        for (size_t n = 2; n < HEADER_BYTES + nLength; ++n)
            nSum += m_Frame[n];
        packet.m_bSumCarried = true;
        packet.m_nSum = static_cast<uint16_t>(m_Frame[HEADER_BYTES + nLength] | (m_Frame[HEADER_BYTES + nLength + 1] << 8));
        packet.m_bSumOk = static_cast<uint16_t>(nSum) == packet.m_nSum;
    }
    const bool bTrailer = nBytes >= HEADER_BYTES + nLength + TAIL_BYTES;
    if (bTrailer && m_eLayout == EStreamLayout::Unknown) {
        // Lines without any comment: a capture holds the console's own 00 00 where a device
        // writes its reply.
        const bool bConsoleTrailer = m_Frame[HEADER_BYTES + nLength + 2] == 0 && m_Frame[HEADER_BYTES + nLength + 3] == 0;
        m_eLayout = bConsoleTrailer ? EStreamLayout::PlainCapture : EStreamLayout::RawPackets;
    }
    packet.m_eLayout = m_eLayout;
    if (bTrailer && m_eLayout != EStreamLayout::PlainCapture) {
        packet.m_bRepliesCarried = true;
        packet.m_Replies = {m_Frame[HEADER_BYTES + nLength + 2], m_Frame[HEADER_BYTES + nLength + 3]};
    }
    packet.TakePrintArgs();
    packet.m_eEnd = m_bGarbled ? EPacketEnd::Garbled : eEnd;

    // The rest of the frame, then whatever was still waiting, is framed again.
    m_Scratch.assign(m_Frame.begin() + static_cast<ptrdiff_t>(nBytes), m_Frame.end());
    m_Scratch.insert(m_Scratch.end(), m_Replay.begin() + static_cast<ptrdiff_t>(m_nReplayPos), m_Replay.end());
    m_Replay.swap(m_Scratch);
    m_nReplayPos = 0;
    m_Frame.clear();
    m_nWant = 0;
    m_bGarbled = false;
    m_Sink.OnPacket(packet);
}

void CHexPacketFramer::MarkGarbled()
{
    if (!m_Frame.empty())
        m_bGarbled = true;
}

void CHexPacketFramer::EndOfSession()
{
    Drain();
    while (!m_Frame.empty()) {
        if (m_Frame.size() < 3) {
            // 88 or 88 33 alone: no packet to speak of.
            m_nSkipped += m_Frame.size();
            m_Frame.clear();
            m_bGarbled = false;
            m_nWant = 0;
            break;
        }
        const size_t nInner = FindInnerStart();
        EmitAndRestart(nInner ? nInner : m_Frame.size(), EPacketEnd::Cut);
        Drain();
    }
}
