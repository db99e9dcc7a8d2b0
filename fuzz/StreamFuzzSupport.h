#pragma once
// The stream readers' fuzz drivers share this: every packet written down in full, so that an
// input read in one piece and the same input read in small chunks must give the same record,
// and the record's own claims (checksum, print arguments) are checked against its bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "streams/StreamDecoder.h"
#include "streams/StreamPacket.h"

class CFingerprintSink : public IStreamPacketSink {
public:
    void OnPacket(const CStreamPacket& packet) override
    {
        if (packet.m_Payload.size() > 0xFFFF)
            std::abort();
        if (packet.m_bHasPrintArgs && (packet.m_nCommand != PRINTER_CMD_PRINT || packet.m_Payload.size() != 4))
            std::abort();
        if (packet.m_bSumCarried) {
            uint32_t nSum = packet.m_nCommand + packet.m_nFlag + (packet.m_nLengthField & 0xFF) + (packet.m_nLengthField >> 8);
            for (const uint8_t nByte : packet.m_Payload)
                nSum += nByte;
            if ((static_cast<uint16_t>(nSum) == packet.m_nSum) != packet.m_bSumOk)
                std::abort();
        }
        const uint8_t head[] = {packet.m_nCommand, packet.m_nFlag, static_cast<uint8_t>(packet.m_nLengthField),
                                static_cast<uint8_t>(packet.m_nLengthField >> 8), packet.m_bSumCarried,
                                static_cast<uint8_t>(packet.m_nSum), packet.m_bSumOk, packet.m_bRepliesCarried,
                                packet.m_Replies[0], packet.m_Replies[1], static_cast<uint8_t>(packet.m_eEnd),
                                static_cast<uint8_t>(packet.m_eLayout)};
        m_strPrint.append(reinterpret_cast<const char*>(head), sizeof head);
        m_strPrint.append(reinterpret_cast<const char*>(packet.m_Payload.data()), packet.m_Payload.size());
        m_strPrint += '|';
    }
    std::string m_strPrint;
};

// One fuzz input: its first byte chooses a chunk size of 1 to 16, the rest is read in one piece
// and in chunks of that size; both must give the same packets and the same layout.
inline int FuzzStreamDecoder(const uint8_t* pData, size_t nSize, EStreamSource eSource)
{
    if (nSize == 0)
        return 0;
    const size_t nChunk = pData[0] % 16 + 1;
    ++pData;
    --nSize;
    CFingerprintSink whole;
    CStreamDecoder wholeDecoder(whole, eSource);
    wholeDecoder.Feed(pData, nSize);
    wholeDecoder.Finish();

    CFingerprintSink pieces;
    CStreamDecoder pieceDecoder(pieces, eSource);
    for (size_t n = 0; n < nSize; n += nChunk)
        pieceDecoder.Feed(pData + n, nSize - n < nChunk ? nSize - n : nChunk);
    pieceDecoder.Finish();
    if (whole.m_strPrint != pieces.m_strPrint || wholeDecoder.GetLayout() != pieceDecoder.GetLayout())
        std::abort();
    return 0;
}
