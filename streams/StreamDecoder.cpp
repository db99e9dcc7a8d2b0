#include "streams/StreamDecoder.h"

void CStreamDecoder::CCountingSink::OnPacket(const CStreamPacket& packet)
{
    ++m_Stats.nPackets;
    m_Stats.nCut += packet.m_eEnd == EPacketEnd::Cut;
    m_Stats.nGarbled += packet.m_eEnd == EPacketEnd::Garbled;
    m_Stats.nBadSums += packet.m_bSumCarried && !packet.m_bSumOk;
    m_Sink.OnPacket(packet);
}

CStreamDecoder::CStreamDecoder(IStreamPacketSink& sink, EStreamSource eSource)
    : m_eSource(eSource), m_Counter(sink), m_Hex(m_Counter), m_Parse(m_Counter), m_Pico(m_Counter)
{
}

void CStreamDecoder::Feed(const uint8_t* pData, size_t nSize)
{
    if (nSize == 0)
        return;
    if (!m_bStarted) {
        m_bStarted = true;
        // Text starts with a letter, a digit, a comment mark or a blank; a dump with a record
        // type, a control byte no text begins with.
        if (m_eSource == EStreamSource::Any && LooksLikePicoDump(pData, nSize))
            m_eFamily = EFamily::Pico;
    }
    if (m_eFamily == EFamily::Pico) {
        m_Pico.Feed(pData, nSize);
        return;
    }
    m_Lines.Feed(pData, nSize, [this](const CTextLine& line) { OnLine(line); });
}

void CStreamDecoder::Finish()
{
    if (m_eFamily == EFamily::Pico) {
        m_Pico.Finish();
        return;
    }
    m_Lines.Finish([this](const CTextLine& line) { OnLine(line); });
    EndOfSession();
}

void CStreamDecoder::EndOfSession()
{
    m_Hex.EndOfSession();
    m_Parse.EndOfSession();
}

void CStreamDecoder::OnLine(const CTextLine& line)
{
    if (line.bComment) {
        m_bAnyComment = true;
        switch (ReadComment(line.strComment, line.bBlockComment, m_Banner)) {
        case ECommentKind::SessionEnd: EndOfSession(); break;
        case ECommentKind::Sniffer:
            if (m_eFamily == EFamily::Hex && m_Hex.GetLayout() == EStreamLayout::RawPackets)
                m_Hex.SetLayout(EStreamLayout::SnifferLog);
            break;
        default: break;
        }
    }
    bool bPrefixed = false;
    const ELineKind eKind = ReadLineCode(line.strCode, m_LineBytes, bPrefixed);
    switch (eKind) {
    case ELineKind::Blank: return;
    case ELineKind::Text: ++m_nTextLines; return;
    case ELineKind::Json:
        if (m_eFamily == EFamily::Undecided) {
            m_eFamily = EFamily::ParseMode;
            m_bBangJson = TrimBlanks(line.strCode).front() == '!';
            m_Parse.SetLayout(m_bBangJson ? EStreamLayout::ParseModeV2 : EStreamLayout::ParseModeV3);
        }
        if (m_eFamily == EFamily::ParseMode)
            m_Parse.OnJson(line.strCode);
        else
            ++m_nTextLines;
        return;
    case ELineKind::Hex:
    case ELineKind::HexThenJunk: break;
    }
    if (m_eFamily == EFamily::ParseMode) {
        m_Parse.OnPayload(m_LineBytes, eKind == ELineKind::HexThenJunk);
        return;
    }
    if (m_eFamily == EFamily::Undecided) {
        m_eFamily = EFamily::Hex;
        if (bPrefixed)
            m_Hex.SetLayout(EStreamLayout::CArray);
        else if (m_Banner.bSniffer)
            m_Hex.SetLayout(EStreamLayout::SnifferLog);
        else if (m_bAnyComment)
            m_Hex.SetLayout(EStreamLayout::RawPackets);
        // else: the first trailer tells a plain capture from a device's lines.
    }
    m_Hex.Feed(m_LineBytes.data(), m_LineBytes.size());
    if (eKind == ELineKind::HexThenJunk)
        m_Hex.MarkGarbled();
}

EStreamLayout CStreamDecoder::GetLayout() const
{
    switch (m_eFamily) {
    case EFamily::Hex: return m_Hex.GetLayout();
    case EFamily::ParseMode: return m_bBangJson ? EStreamLayout::ParseModeV2 : EStreamLayout::ParseModeV3;
    case EFamily::Pico: return EStreamLayout::PicoDump;
    case EFamily::Undecided: break;
    }
    return EStreamLayout::Unknown;
}

EDeviceMode CStreamDecoder::GetDeviceMode() const
{
    if (m_Banner.eMode != EDeviceMode::Unknown)
        return m_Banner.eMode;
    switch (m_eFamily) {
    case EFamily::Hex: return EDeviceMode::RawPackets;
    case EFamily::ParseMode: return EDeviceMode::ParseMode;
    default: return EDeviceMode::Unknown;
    }
}

bool CStreamDecoder::IsInPacket() const
{
    return m_Hex.IsInPacket() || m_Parse.IsInPacket() || m_Pico.IsInPacket();
}

CStreamStats CStreamDecoder::GetStats() const
{
    CStreamStats stats = m_Counter.m_Stats;
    stats.nSkippedBytes = m_Hex.GetSkippedBytes() + m_Pico.GetSkippedBytes();
    stats.nTextLines = m_nTextLines + m_Parse.GetSkippedLines();
    return stats;
}
