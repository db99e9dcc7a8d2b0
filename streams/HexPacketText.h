#pragma once
// Packets out of the bytes of the hex layouts (raw packet lines, sniffer logs, C arrays, plain
// captures). They are framed by 88 33, the header and its length field, never by line breaks:
// the emulator cuts its lines by its own byte count, and a packet the console broke off runs on
// into the line of the next one. When a framed packet's checksum fails and the start of a
// packet with a known command lies inside it, the packet is reported cut there and framing
// starts again at that point, so a cut packet costs that packet only.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "streams/StreamPacket.h"

class CHexPacketFramer {
public:
    explicit CHexPacketFramer(IStreamPacketSink& sink) : m_Sink(sink) {}

    // The layout named in the packets; the trailer carries replies in every layout but the plain
    // one. Unknown: lines without comments, plain when the first trailer is the console's 00 00.
    void SetLayout(EStreamLayout eLayout) { m_eLayout = eLayout; }
    EStreamLayout GetLayout() const { return m_eLayout; }
    void Feed(const uint8_t* pData, size_t nSize);
    // Unreadable text came between the bytes: the packet being framed is garbled.
    void MarkGarbled();
    // The console fell silent or the input ended: a packet still open is cut.
    void EndOfSession();

    bool IsInPacket() const { return !m_Frame.empty(); }
    // Bytes that belonged to no packet.
    size_t GetSkippedBytes() const { return m_nSkipped; }

private:
    void Step(uint8_t nByte);
    void Drain();
    void Complete();
    // The first nBytes of the frame as a packet; the frame's rest is framed again.
    void EmitAndRestart(size_t nBytes, EPacketEnd eEnd);
    // Where a packet with a known command starts inside the frame, or 0.
    size_t FindInnerStart() const;

    IStreamPacketSink& m_Sink;
    EStreamLayout m_eLayout = EStreamLayout::Unknown;
    std::vector<uint8_t> m_Frame;   // the open packet from its 0x88
    size_t m_nWant = 0;             // its size once the length is known
    bool m_bGarbled = false;
    std::vector<uint8_t> m_Replay;  // bytes to frame again, from m_nReplayPos on
    size_t m_nReplayPos = 0;
    std::vector<uint8_t> m_Scratch;
    size_t m_nSkipped = 0;
    CStreamPacket m_Packet;
};

// True for the commands a console sends its printer, BREAK included.
bool IsKnownPrinterCommand(uint8_t nCommand);
