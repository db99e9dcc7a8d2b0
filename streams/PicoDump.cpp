#include "streams/PicoDump.h"

#include <algorithm>

bool LooksLikePicoDump(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return false;
    const uint8_t nType = pData[0];
    return nType == PRINTER_CMD_INIT || nType == PRINTER_CMD_DATA || nType == PRINTER_CMD_PRINT ||
           nType == STREAM_CMD_TRANSFER;
}

void CPicoDumpReader::Feed(const uint8_t* pData, size_t nSize)
{
    size_t n = 0;
    while (n < nSize) {
        switch (m_eState) {
        case EState::Type: StartRecord(pData[n++]); break;
        case EState::Header:
            m_Header[m_nHeaderHave++] = pData[n++];
            if (m_nHeaderHave == m_nHeaderWant)
                HeaderDone();
            break;
        case EState::Payload: {
            const size_t nTake = std::min(nSize - n, m_nPayloadWant - m_Packet.m_Payload.size());
            m_Packet.m_Payload.insert(m_Packet.m_Payload.end(), pData + n, pData + n + nTake);
            n += nTake;
            if (m_Packet.m_Payload.size() == m_nPayloadWant)
                Emit(EPacketEnd::Whole);
            break;
        }
        case EState::Lost:
            m_nSkipped += nSize - n;
            n = nSize;
            break;
        }
    }
}

void CPicoDumpReader::StartRecord(uint8_t nType)
{
    m_Packet.Reset(EStreamLayout::PicoDump);
    m_Packet.m_nCommand = nType;
    m_nHeaderHave = 0;
    switch (nType) {
    case PRINTER_CMD_INIT: Emit(EPacketEnd::Whole); return;
    case PRINTER_CMD_DATA: m_nHeaderWant = 3; break;
    case PRINTER_CMD_PRINT:
    case STREAM_CMD_TRANSFER: m_nHeaderWant = 2; break;
    default:
        // No record starts so: the packet says where reading stopped.
        Emit(EPacketEnd::Garbled);
        m_eState = EState::Lost;
        return;
    }
    m_eState = EState::Header;
}

void CPicoDumpReader::HeaderDone()
{
    CStreamPacket& packet = m_Packet;
    const size_t nAt = packet.m_nCommand == PRINTER_CMD_DATA ? 1 : 0;
    if (nAt)
        packet.m_nFlag = m_Header[0];
    packet.m_nLengthField = static_cast<uint16_t>(m_Header[nAt] | m_Header[nAt + 1] << 8);
    // A print record holds its four arguments whatever its length says.
    m_nPayloadWant = packet.m_nCommand == PRINTER_CMD_PRINT ? STREAM_PRINT_ARGS : packet.m_nLengthField;
    m_eState = EState::Payload;
    if (m_nPayloadWant == 0)
        Emit(EPacketEnd::Whole);
}

void CPicoDumpReader::Emit(EPacketEnd eEnd)
{
    CStreamPacket& packet = m_Packet;
    const bool bOdd = (packet.m_nCommand == PRINTER_CMD_DATA && packet.m_nFlag > STREAM_FLAG_COMPRESSED) ||
                      (packet.m_nCommand == PRINTER_CMD_PRINT && packet.m_nLengthField != STREAM_PRINT_ARGS);
    packet.m_eEnd = eEnd == EPacketEnd::Whole && bOdd ? EPacketEnd::Garbled : eEnd;
    packet.TakePrintArgs();
    m_eState = EState::Type;
    m_Sink.OnPacket(packet);
}

void CPicoDumpReader::Finish()
{
    if (IsInPacket())
        Emit(EPacketEnd::Cut);
}
