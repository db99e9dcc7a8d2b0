#include "protocol/PacketParser.h"

void CPacketParser::Reset()
{
    m_eState = EPacketState::Hunt;
    m_bInPacket = false;
    m_nSinceStart = 0;
    m_bAckDue = false;
    m_nForeignPos = 0;
    m_nForeignSum = 0;
    m_Packet.nHeaderSum = 0;
}

bool CPacketParser::TakeLost()
{
    const bool bLost = m_bLost;
    m_bLost = false;
    return bLost;
}

uint8_t CPacketParser::Answer(bool bOutOfStep)
{
    uint8_t nSend = m_bAckDue || (m_bInPacket && m_eState == EPacketState::Ack) ? PRINTER_ACK : PRINTER_NO_ANSWER;
    if (bOutOfStep && !InDataBody()) {
        // A console that misses its acknowledgement gives the print up.
        if (nSend == PRINTER_ACK)
            m_bLost = true;
        nSend = PRINTER_NO_ANSWER;
    }
    return nSend;
}

EParseEvent CPacketParser::Feed(uint8_t b, uint8_t nMark, bool bHeard)
{
    m_bAckDue = false;
    ++m_nSinceStart;
    if (InDataBody())
        return FeedBody(b, nMark, bHeard);
    const bool bForeignByte = m_nForeignPos > 0 && FollowForeign(b, bHeard);
    const bool bStart = !m_bInPacket && b == PRINTER_MAGIC_1;
    if (bStart) {
        m_bInPacket = true;
        m_nSinceStart = 1;
        m_Packet = CPacketValue{};
    }
    m_Packet.bLineMarked = m_Packet.bLineMarked || (m_bInPacket && nMark != 0);
    if (!m_bInPacket) {
        // A byte outside any packet: a packet we could not make out went unanswered.
        if (bHeard && !bForeignByte)
            m_bLost = true;
        return EParseEvent::None;
    }
    // The console fell silent inside the packet: it was cut off.
    if (!bHeard) {
        m_bLost = true;
        m_Packet.eEnd = EPacketEnd::Cut;
    }
    if (bStart) {
        m_eState = EPacketState::Magic2;
        return EParseEvent::None;
    }
    return FeedHeader(b);
}

bool CPacketParser::FollowForeign(uint8_t b, bool bHeard)
{
    const int32_t nPos = ++m_nForeignPos;
    const bool bFits = bHeard && (nPos <= 6   ? b == 0
                                  : nPos == 7 ? b == (m_nForeignSum & 0xFF)
                                  : nPos == 8 ? b == (m_nForeignSum >> 8)
                                              : true);
    if (!bFits)
        m_bLost = true;  // not a packet after all: the console broke off
    else if (nPos == 8 && m_nForeignSum == PRINTER_CMD_BREAK && m_bAnswerBreak)
        m_bAckDue = true;
    if (!bFits || nPos == static_cast<int32_t>(PACKET_HEADER_BYTES + PACKET_TRAILER_BYTES))
        m_nForeignPos = 0;
    return bFits;
}

void CPacketParser::Abandon(bool bLost)
{
    m_bInPacket = false;
    m_eState = EPacketState::Hunt;
    m_bLost = m_bLost || bLost;
}

int32_t CPacketParser::PayloadBytes() const
{
    switch (m_Packet.nCommand) {
    case PRINTER_CMD_DATA:
        return m_Packet.nLength > m_nMaxPayload ? m_nMaxPayload : m_Packet.nLength;
    case PRINTER_CMD_PRINT:
        return static_cast<int32_t>(PRINT_ARG_BYTES);
    default:
        return 0;  // init and status carry nothing, whatever their length field says
    }
}

EParseEvent CPacketParser::FeedHeader(uint8_t b)
{
    CPacketValue& packet = m_Packet;
    switch (m_eState) {
    case EPacketState::Magic2:
        if (b != PRINTER_MAGIC_2)
            Abandon(true);  // a packet began that we cannot answer
        else
            m_eState = EPacketState::Command;
        return EParseEvent::None;
    case EPacketState::Command:
        if (b == PRINTER_CMD_INIT || b == PRINTER_CMD_PRINT || b == PRINTER_CMD_DATA || b == PRINTER_CMD_STATUS) {
            packet.nCommand = b;
            packet.nHeaderSum = b;
            m_eState = EPacketState::Flag;
        } else {
            Abandon(false);
            m_nForeignPos = static_cast<int32_t>(PACKET_AT_COMMAND) + 1;
            m_nForeignSum = b;
        }
        return EParseEvent::None;
    case EPacketState::Flag:
        if (b == PACKET_PLAIN || (b == PACKET_COMPRESSED && packet.nCommand == PRINTER_CMD_DATA)) {
            packet.nFlag = b;
            packet.nHeaderSum += b;
            m_eState = EPacketState::LengthLow;
        } else {
            Abandon(true);
        }
        return EParseEvent::None;
    case EPacketState::LengthLow:
        packet.nLength = b;
        packet.nHeaderSum += b;
        m_eState = EPacketState::LengthHigh;
        return EParseEvent::None;
    case EPacketState::LengthHigh:
        packet.nLength += 256 * b;
        packet.nHeaderSum += b;
        packet.nSum = static_cast<uint32_t>(packet.nHeaderSum);
        packet.nPayload = PayloadBytes();
        packet.nHeard = packet.nPayload;
        m_nAt = 0;
        m_pSink = nullptr;
        m_eState = packet.nPayload > 0 ? EPacketState::Payload : EPacketState::SumLow;
        return packet.nCommand == PRINTER_CMD_DATA ? EParseEvent::DataHeader : EParseEvent::None;
    default:
        return FeedTrailer(b, true);
    }
}

// A data packet from its first data byte on: every byte is read with the data time limit, a
// silence is noted in the packet instead of losing it.
EParseEvent CPacketParser::FeedBody(uint8_t b, uint8_t nMark, bool bHeard)
{
    CPacketValue& packet = m_Packet;
    packet.bLineMarked = packet.bLineMarked || nMark != 0;
    if (m_eState != EPacketState::Payload)
        return FeedTrailer(b, bHeard);
    if (m_pSink != nullptr)
        m_pSink[m_nAt] = static_cast<uint16_t>(nMark << 8 | b);
    packet.bMarked = packet.bMarked || nMark != 0;
    if (!packet.bTimedOut && !bHeard) {
        packet.bTimedOut = true;
        packet.nHeard = m_nAt;
    }
    packet.nSum += b;
    if (++m_nAt == packet.nPayload)
        m_eState = EPacketState::SumLow;
    return EParseEvent::None;
}

// A print packet's arguments, then every packet's checksum and the printer's two answers.
EParseEvent CPacketParser::FeedTrailer(uint8_t b, bool bHeard)
{
    CPacketValue& packet = m_Packet;
    switch (m_eState) {
    case EPacketState::Payload:
        packet.args[m_nAt] = b;
        packet.nSum += b;
        if (++m_nAt == packet.nPayload)
            m_eState = EPacketState::SumLow;
        return EParseEvent::None;
    case EPacketState::SumLow:
        packet.nReceivedSum = b;
        packet.bTimedOut = packet.bTimedOut || !bHeard;
        m_eState = EPacketState::SumHigh;
        return EParseEvent::None;
    case EPacketState::SumHigh:
        packet.nReceivedSum = static_cast<uint16_t>(packet.nReceivedSum + 256 * b);
        packet.bTimedOut = packet.bTimedOut || !bHeard;
        m_eState = EPacketState::Ack;
        return EParseEvent::None;
    case EPacketState::Ack:
        m_eState = EPacketState::Status;
        return EParseEvent::None;
    default:
        if (packet.bTimedOut)
            packet.eEnd = EPacketEnd::Cut;
        else if (packet.eEnd != EPacketEnd::Cut && !packet.SumMatches())
            packet.eEnd = EPacketEnd::SumWrong;
        Abandon(false);
        return EParseEvent::Packet;
    }
}
