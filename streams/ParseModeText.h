#pragma once
// Packets out of the emulator's parse mode: one JSON object a packet ({"command":"INIT"}, V2
// with a leading !), a data packet's payload on the hex lines after it, 16 bytes a line,
// compressed payload as sent. No sync bytes and no checksums are written, so no packet is
// checked; only an inquiry shows the reply the device gave.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "streams/StreamPacket.h"

class CParseModeText {
public:
    explicit CParseModeText(IStreamPacketSink& sink) : m_Sink(sink) {}

    void SetLayout(EStreamLayout eLayout) { m_eLayout = eLayout; }
    // A {...} line, with or without its leading !.
    void OnJson(std::string_view line);
    // A hex line; bJunkAfter: the line went on with something that is not a byte.
    void OnPayload(const std::vector<uint8_t>& bytes, bool bJunkAfter);
    // The console fell silent or the input ended: an open data packet ends, cut unless its
    // payload is a whole band.
    void EndOfSession();

    bool IsInPacket() const { return m_bDataOpen; }
    // Payload lines with no data packet before them, and JSON lines without a command.
    size_t GetSkippedLines() const { return m_nSkippedLines; }

private:
    void CloseData(bool bLineFollows);

    IStreamPacketSink& m_Sink;
    EStreamLayout m_eLayout = EStreamLayout::ParseModeV3;
    CStreamPacket m_Packet;
    bool m_bDataOpen = false;
    bool m_bIrregular = false;     // a payload line other than the last was not 16 bytes, or had junk
    size_t m_nLastLineBytes = 16;
    size_t m_nSkippedLines = 0;
};

// Whether a compressed payload expands to whole bands and ends on a run boundary.
bool IsWholeCompressedPayload(const std::vector<uint8_t>& payload);
