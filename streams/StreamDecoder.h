#pragma once
// The one reader of every layout a printer device writes: fed the bytes as they come (chunks
// of any size, from a serial line or a file), it tells the layout by content and hands each
// packet to the sink as soon as it is complete; Finish() ends the input.
//
//   CStreamDecoder decoder(sink);            // sink: IStreamPacketSink
//   decoder.Feed(pBytes, nCount);            // as often as bytes arrive
//   decoder.Finish();                        // end of file, or the device went away
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "streams/HexPacketText.h"
#include "streams/ParseModeText.h"
#include "streams/PicoDump.h"
#include "streams/StreamLayout.h"
#include "streams/StreamText.h"

enum class EStreamSource : uint8_t {
    Any,   // a file: text or an RP2040 dump
    Text,  // a serial line: always text, whatever stray bytes it starts with
};

struct CStreamStats {
    size_t nPackets = 0;
    size_t nCut = 0;          // packets that ended cut
    size_t nGarbled = 0;      // packets that ended garbled
    size_t nBadSums = 0;      // packets whose carried checksum did not match
    size_t nSkippedBytes = 0; // bytes outside any packet (hex layouts, dumps)
    size_t nTextLines = 0;    // lines that were neither packets nor comments: help output, waterline, ...
};

class CStreamDecoder {
public:
    explicit CStreamDecoder(IStreamPacketSink& sink, EStreamSource eSource = EStreamSource::Any);

    void Feed(const uint8_t* pData, size_t nSize);
    void Feed(std::string_view text) { Feed(reinterpret_cast<const uint8_t*>(text.data()), text.size()); }
    // The end of the input: the last line is read and a packet still open is reported cut.
    void Finish();

    EStreamLayout GetLayout() const;
    const CStreamBanner& GetBanner() const { return m_Banner; }
    // The banner's mode, else what the packets showed.
    EDeviceMode GetDeviceMode() const;
    // Whether a packet is open (its start has arrived, its end not yet).
    bool IsInPacket() const;
    CStreamStats GetStats() const;

private:
    class CCountingSink : public IStreamPacketSink {
    public:
        explicit CCountingSink(IStreamPacketSink& sink) : m_Sink(sink) {}
        void OnPacket(const CStreamPacket& packet) override;
        IStreamPacketSink& m_Sink;
        CStreamStats m_Stats;
    };
    enum class EFamily { Undecided, Hex, ParseMode, Pico };

    void OnLine(const CTextLine& line);
    void EndOfSession();

    EStreamSource m_eSource;
    CCountingSink m_Counter;
    EFamily m_eFamily = EFamily::Undecided;
    bool m_bAnyComment = false;
    bool m_bBangJson = false;  // V2 parse mode: JSON lines after !
    bool m_bStarted = false;   // the first byte was seen
    CStreamBanner m_Banner;
    CTextLineSplitter m_Lines;
    CHexPacketFramer m_Hex;
    CParseModeText m_Parse;
    CPicoDumpReader m_Pico;
    std::vector<uint8_t> m_LineBytes;
    size_t m_nTextLines = 0;
};
