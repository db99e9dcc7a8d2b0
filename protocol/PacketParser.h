#pragma once
// The printer's reading of the console's packets, one byte at a time: a state machine with one
// state per byte position. Whoever holds the bytes feeds them (the line engine with each
// exchange's mark and whether the console was heard at all; a log reader with the bytes of a
// recording) and asks what the printer answers in the next exchange. What a packet was comes
// out as a CPacketValue. Nothing is allocated: a data packet's payload goes where its reader
// says once the header is known, or nowhere.
#include <cstdint>

#include "protocol/PrinterProtocol.h"

// The byte the parser expects next.
enum class EPacketState : uint8_t {
    Hunt,        // outside any packet: a 0x88 may start one
    Magic2,
    Command,
    Flag,
    LengthLow,
    LengthHigh,
    Payload,     // a data packet's data, a print packet's four arguments
    SumLow,
    SumHigh,
    Ack,         // the printer answers 0x81 in this exchange
    Status,      // and its status in this one
};

// How a packet ended.
enum class EPacketEnd : uint8_t {
    Whole,     // every byte heard, the sum matches
    Cut,       // the console fell silent inside it
    SumWrong,  // heard to its end, but the sum does not match
};

// What Feed tells of the byte just read.
enum class EParseEvent : uint8_t {
    None,
    DataHeader,  // a data packet's header is complete: length and flag are known
    Packet,      // a packet of a command we read ended with its status byte
};

struct CPacketValue {
    uint8_t nCommand = 0;
    uint8_t nFlag = 0;
    int32_t nLength = 0;          // the length field
    int32_t nPayload = 0;         // bytes read as payload (a data packet's length, cut to the limit)
    int32_t nHeaderSum = 0;       // command, flag and both length bytes
    uint32_t nSum = 0;            // header and every payload byte as read
    uint16_t nReceivedSum = 0;    // the checksum that came
    uint8_t args[PRINT_ARG_BYTES] = {};  // a print packet's data
    bool bMarked = false;         // the line marked a payload byte
    bool bLineMarked = false;     // the line marked any byte of the packet, header to trailer
    bool bTimedOut = false;       // a data packet: an exchange of its data or checksum timed out
    int32_t nHeard = 0;           // of such a packet: payload bytes before the silence
    EPacketEnd eEnd = EPacketEnd::Whole;

    bool SumMatches() const { return nReceivedSum == static_cast<uint16_t>(nSum); }
};

class CPacketParser {
public:
    // nMaxPayload: payload bytes read from one data packet; the bytes after them are read as
    // its checksum and trailer.
    explicit CPacketParser(int32_t nMaxPayload) : m_nMaxPayload(nMaxPayload) {}

    // A search begins: outside any packet, nothing followed, the byte count at 0.
    void Reset();
    // Whether a BREAK (0x08) that arrives whole is acknowledged as a printer does.
    void SetAnswerBreak(bool bAnswer) { m_bAnswerBreak = bAnswer; }

    // The byte the printer sends in the next exchange. bOutOfStep: a synchronisation error
    // put the console out of step, and any answer is withheld (a withheld acknowledgement
    // loses the packet); inside a data packet's body the printer reads on regardless.
    uint8_t Answer(bool bOutOfStep);
    // The byte of the next exchange, the mark the line left on it and whether the console
    // was heard at all (false: the exchange timed out).
    EParseEvent Feed(uint8_t b, uint8_t nMark, bool bHeard);

    // Where the payload of the data packet whose header was just read goes: one entry per
    // byte, mark in the high byte; null: nowhere (its sum is still counted).
    void SetPayloadSink(uint16_t* pEntries) { m_pSink = pEntries; }

    // In a data packet, after its header: the bytes read with the data time limit.
    bool InDataBody() const { return m_eState >= EPacketState::Payload && m_Packet.nCommand == PRINTER_CMD_DATA && m_bInPacket; }
    // Bytes since the search began or, once a packet began, since its first byte (that one 1).
    int32_t GetBytesSinceStart() const { return m_nSinceStart; }
    const CPacketValue& GetPacket() const { return m_Packet; }
    // The line showed, since the last call, that a packet went unanswered: one cut off, one
    // that could not be made out, a byte outside any packet, an answer withheld.
    bool TakeLost();

private:
    bool FollowForeign(uint8_t b, bool bHeard);
    void Abandon(bool bLost);
    EParseEvent FeedHeader(uint8_t b);
    EParseEvent FeedBody(uint8_t b, uint8_t nMark, bool bHeard);
    EParseEvent FeedTrailer(uint8_t b, bool bHeard);
    int32_t PayloadBytes() const;

    int32_t m_nMaxPayload;
    bool m_bAnswerBreak = false;
    EPacketState m_eState = EPacketState::Hunt;
    bool m_bInPacket = false;
    int32_t m_nSinceStart = 0;
    int32_t m_nAt = 0;             // payload bytes read
    CPacketValue m_Packet;
    uint16_t* m_pSink = nullptr;
    bool m_bLost = false;
    bool m_bAckDue = false;        // the packet or the foreign packet followed wants an ack next
    // A packet of a command we do not read (the BREAK that ends a session) is followed through
    // its flag, length and checksum while the hunt for the next packet goes on: a well-formed
    // one is no sign of trouble.
    int32_t m_nForeignPos = 0;     // its byte position, 0: none followed
    int32_t m_nForeignSum = 0;
};
