#pragma once
// The stream readers' fuzz drivers share this: every packet written down in full, so that an
// input read in one piece and the same input read in small chunks must give the same record,
// and the record's own claims (checksum, print arguments) are checked against its bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

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
