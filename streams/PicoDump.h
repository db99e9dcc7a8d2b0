#pragma once
// Packets out of the RP2040 printer's reduced dump (image.bin): records with no sync, no
// checksum and no replies, and no inquiry or break packets:
//   DATA      04 COMP LEN_LO LEN_HI <LEN payload bytes, compressed ones as sent>
//   PRINT     02 LEN_LO LEN_HI <sheets margins palette exposure>
//   TRANSFER  10 LEN_LO LEN_HI <LEN bytes of 16-tile-wide rows>   (a camera's direct transfer)
//   INIT      01                                                   (firmware before late 2024)
// A record type the dump does not have leaves the rest unreadable: there is no sync to find
// the next record by.
#include <cstddef>
#include <cstdint>

#include "streams/StreamPacket.h"

class CPicoDumpReader {
public:
    explicit CPicoDumpReader(IStreamPacketSink& sink) : m_Sink(sink) {}

    void Feed(const uint8_t* pData, size_t nSize);
    // The end of the dump: a record still open is reported cut.
    void Finish();

    bool IsInPacket() const { return m_eState == EState::Header || m_eState == EState::Payload; }
    // An unknown record type was met; everything from it on was skipped.
    bool IsLost() const { return m_eState == EState::Lost; }
    size_t GetSkippedBytes() const { return m_nSkipped; }

private:
    enum class EState { Type, Header, Payload, Lost };
    void StartRecord(uint8_t nType);
    void HeaderDone();
    void Emit(EPacketEnd eEnd);

    IStreamPacketSink& m_Sink;
    EState m_eState = EState::Type;
    uint8_t m_Header[3] = {};
    size_t m_nHeaderHave = 0;
    size_t m_nHeaderWant = 0;
    size_t m_nPayloadWant = 0;
    size_t m_nSkipped = 0;
    CStreamPacket m_Packet;
};

// Whether bytes look like the start of a dump: a record type, a control byte no text starts with.
bool LooksLikePicoDump(const uint8_t* pData, size_t nSize);
