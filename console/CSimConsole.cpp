#include "console/CSimConsole.h"

#include "console/ConsolePicture.h"
#include "console/DefaultPicture.h"

#include <algorithm>
#include <string_view>

CSimConsole::CSimConsole(const CSimOptions& options, std::vector<uint8_t> tiles, std::vector<CPacket> packets)
    : m_Options(options),
      m_Tiles(std::move(tiles)),
      m_Packets(std::move(packets)),
      m_Module(options.nVersion, options.nBase),
      m_Random(options.nSeed)
{
    // Without a module nothing answers, so the console sees no read either.
    m_nStatusAddress = m_Module.IsPresent() ? m_Module.GetStatusAddress() : -1;
    m_bCheckAck = options.strReplay.empty() || options.bReplayAck;
    // A packet without bytes has nothing to put on the line.
    std::erase_if(m_Packets, [](const CPacket& packet) { return packet.empty(); });
    size_t nLongest = 0;
    for (const CPacket& packet : m_Packets)
        nLongest = std::max(nLongest, packet.size());
    m_PacketRx.reserve(nLongest);
    m_Replies.reserve(m_Packets.size() * static_cast<size_t>(options.nReprints + 1));
    UpdateLines();
    if (m_Packets.empty())
        m_bFinished = true;
    else if (options.nStart < 0)
        m_bWaitForListener = true;
    else
        m_nNextEvent = static_cast<uint64_t>(options.nStart);
    m_nNextCheck = m_nNextEvent;
}

uint8_t CSimConsole::In(uint16_t nAddress)
{
    // Each status read is one unit of virtual time; the lines move only when an event falls due.
    if (nAddress == m_nStatusAddress) {
        if (++m_nTime >= m_nNextCheck)
            Advance();
        return m_Module.GetStatus();
    }
    return m_Module.In(nAddress);
}

void CSimConsole::Elapse(uint32_t nMilliseconds)
{
    if (!m_Module.IsPresent())
        return;
    m_nTime += static_cast<uint64_t>(nMilliseconds) * static_cast<uint64_t>(ReadsPerMillisecond());
    while (m_nTime >= m_nNextEvent)
        OnEdge();
    // A stall is the program missing reads; while it makes none there is nothing to miss.
    if (m_nStallAt <= m_nTime)
        m_nStallAt = NEVER;
    m_nNextCheck = std::min(m_nNextEvent, m_nStallAt);
    if (m_bWaitForListener) {
        m_bWaitForListener = false;
        m_bStartOnRead = true;
    }
    if (m_bStartOnRead)
        m_nNextCheck = m_nTime;  // the next read goes through Advance
}

void CSimConsole::NoteFault()
{
    // Once the print packet went through, the picture is on paper: what goes wrong in the
    // status polls after it does not make the user print again.
    if (!m_bPrintSent)
        m_bFaultInPrint = true;
}

void CSimConsole::ScheduleStall(uint64_t nAt, uint64_t nSpan)
{
    m_nStallAt = nAt;
    m_nStallSpan = nSpan;
    m_nNextCheck = std::min(m_nNextEvent, m_nStallAt);
}

void CSimConsole::Advance()
{
    if (m_bStartOnRead) {
        // The user presses print a moment after the dialog began listening.
        constexpr uint64_t PRESS_DELAY = 1000;
        m_bStartOnRead = false;
        m_nNextEvent = m_nTime + PRESS_DELAY;
    }
    if (m_nTime >= m_nStallAt) {
        // The receiving program was descheduled: its next read sees the line much later.
        m_nTime += m_nStallSpan;
        m_nStallAt = NEVER;
    }
    while (m_nTime >= m_nNextEvent)
        OnEdge();
    m_nNextCheck = std::min(m_nNextEvent, m_nStallAt);
}

void CSimConsole::OnEdge()
{
    const uint64_t t = m_nNextEvent;
    const auto nHalf = static_cast<uint64_t>(m_Options.nHalf);
    switch (m_ePhase) {
    case Phase::Idle:
        if (!m_bPrinting)
            StartPrint();
        StartByte();
        break;
    case Phase::Low:
        // Rising edge: the console samples the printer's bit.
        m_bClock = true;
        m_nRxByte = static_cast<uint8_t>((m_nRxByte << 1) | (m_Module.GetPrinterBit() ? 1 : 0));
        if (++m_nBit == 8) {
            EndByte();
        } else {
            m_ePhase = Phase::High;
            m_nNextEvent = t + nHalf;
        }
        break;
    case Phase::High:
        // Falling edge: the console puts its next bit on the line.
        m_bClock = false;
        m_bConsoleBit = ((m_nTxByte >> (7 - m_nBit)) & 1) != 0;
        m_ePhase = Phase::Low;
        m_nNextEvent = t + nHalf;
        break;
    }
    UpdateLines();
}

void CSimConsole::StartPrint()
{
    ++m_nPrints;
    m_bPrinting = true;
    m_bFaultInPrint = false;
    m_bPrintSent = false;
    m_bLastPrintGivenUp = false;
    m_nPacket = 0;
    m_nPos = 0;
    m_nCutAt = 0;
}

void CSimConsole::StartByte()
{
    const uint64_t t = m_nNextEvent;
    const CPacket& packet = m_Packets[m_nPacket];
    if (m_nPos == 0) {
        m_PacketRx.clear();
        m_nCutAt = 0;
        if (packet.size() > 1 && Chance(m_Options.dCut))
            m_nCutAt = 1 + static_cast<size_t>(m_Random() % (packet.size() - 1));
    }
    if (m_nCutAt != 0 && m_nPos == m_nCutAt) {
        // The console stops in the middle of the packet and abandons the print.
        ++m_nCuts;
        NoteFault();
        EndPrint();
        return;
    }
    m_nTxByte = packet[m_nPos];
    if (Chance(m_Options.dFlip)) {
        m_nTxByte ^= static_cast<uint8_t>(1u << (m_Random() % 8));
        ++m_nFlips;
        NoteFault();
    }
    const auto nHalf = static_cast<uint64_t>(m_Options.nHalf);
    if (m_nStallAt == NEVER && Chance(m_Options.dStall)) {
        // Somewhere inside this byte the receiver misses the clock for longer than a half-period.
        m_nStallAt = t + m_Random() % (16 * nHalf);
        m_nStallSpan = nHalf + 1 + m_Random() % (7 * nHalf);
        ++m_nStalls;
        NoteFault();
    }
    m_nRxByte = 0;
    m_nBit = 0;
    m_bClock = false;
    m_bConsoleBit = (m_nTxByte & 0x80) != 0;
    m_ePhase = Phase::Low;
    m_nNextEvent = t + nHalf;
}

void CSimConsole::EndByte()
{
    const uint64_t t = m_nNextEvent;
    const CPacket& packet = m_Packets[m_nPacket];
    ++m_nBytesSent;
    m_PacketRx.push_back(m_nRxByte);
    m_ePhase = Phase::Idle;
    if (m_bCheckAck && m_nPos + 2 == packet.size() && m_nRxByte != PRINTER_ACK) {
        // No printer answered: the console reports the error and abandons the print.
        ++m_nGiveUps;
        m_bLastPrintGivenUp = true;
        NoteFault();
        EndPrint();
        return;
    }
    if (++m_nPos < packet.size()) {
        m_nNextEvent = t + static_cast<uint64_t>(m_Options.nGap);
        return;
    }
    ++m_nPacketsSent;
    if (packet.size() > PACKET_AT_COMMAND && packet[PACKET_AT_COMMAND] == PRINTER_CMD_PRINT)
        m_bPrintSent = true;
    const size_t n = m_PacketRx.size();
    m_Replies.emplace_back(n >= 2 ? m_PacketRx[n - 2] : 0, n >= 1 ? m_PacketRx[n - 1] : 0);
    m_nPos = 0;
    if (++m_nPacket < m_Packets.size())
        m_nNextEvent = t + static_cast<uint64_t>(m_Options.nPause);
    else
        EndPrint();
}

void CSimConsole::EndPrint()
{
    const uint64_t t = m_nNextEvent;
    m_bPrinting = false;
    m_ePhase = Phase::Idle;
    m_bClock = true;
    if ((m_bFaultInPrint || m_bReprintAsked) && m_nPrints <= m_Options.nReprints) {
        m_bReprintAsked = false;
        // The user sees a bad picture and prints again once the receiver has given up.
        m_nNextEvent = t + static_cast<uint64_t>(m_Options.nReprintDelay);
    } else {
        m_bFinished = true;
        m_nNextEvent = NEVER;
    }
}

void CSimConsole::AskForReprint()
{
    if (m_Packets.empty() || m_nPrints > m_Options.nReprints)
        return;
    if (m_bPrinting) {
        // Still polling the busy printer: the user prints again once it has finished.
        m_bReprintAsked = true;
        return;
    }
    if (!m_bFinished)
        return;  // a print is already due
    m_bFinished = false;
    m_nNextEvent = m_nTime + static_cast<uint64_t>(m_Options.nReprintDelay);
    m_nNextCheck = std::min(m_nNextEvent, m_nStallAt);
}

void CSimConsole::UpdateLines()
{
    m_Module.SetConsoleLines(m_bClock, m_bConsoleBit);
}

bool CSimConsole::Chance(double dProbability)
{
    if (dProbability <= 0.0)
        return false;
    return static_cast<double>(m_Random() >> 11) * 0x1.0p-53 < dProbability;
}

std::shared_ptr<CSimConsole> CreateSimConsole(const CSimOptions& options, std::string& strError)
{
    std::vector<uint8_t> tiles;
    std::vector<CPacket> packets;
    if (!options.strReplay.empty()) {
        if (!ReadPacketFile(options.strReplay, packets, strError)) {
            strError = "sim replay: " + strError;
            return nullptr;
        }
        tiles = TilesOfPackets(packets);
    } else {
        // One print per picture, one after another; the console waits for the printer between
        // them with a few status polls, and after the last with options.nPolls.
        std::vector<std::vector<uint8_t>> pictures;
        for (std::string_view list = options.strPicture; !list.empty();) {
            const std::string strFile(list.substr(0, list.find('+')));
            list.remove_prefix(std::min(list.size(), strFile.size() + 1));
            pictures.emplace_back();
            if (strFile == SIM_PICTURE_CARD) {
                pictures.back() = BuildTestCard();
            } else if (!LoadPictureTiles(strFile, pictures.back(), strError)) {
                strError = "sim picture: " + strError;
                return nullptr;
            }
        }
        if (pictures.empty())
            pictures.push_back(BuildDefaultPicture());
        constexpr int32_t POLLS_BETWEEN_PRINTS = 20;
        for (size_t k = 0; k < pictures.size(); ++k) {
            CPrintStyle style;
            style.bCompress = k < options.compressed.size() ? options.compressed[k] : options.bCompress;
            if (!options.palettes.empty())
                style.nPalette = options.palettes[std::min(k, options.palettes.size() - 1)];
            const bool bLast = k + 1 == pictures.size();
            style.nPollsAfter = bLast ? options.nPolls : POLLS_BETWEEN_PRINTS;
            style.bBreak = bLast && options.bBreak;
            const std::vector<CPacket> print = BuildPrintSession(pictures[k], style);
            packets.insert(packets.end(), print.begin(), print.end());
            tiles.insert(tiles.end(), pictures[k].begin(), pictures[k].end());
        }
    }
    return std::make_shared<CSimConsole>(options, std::move(tiles), std::move(packets));
}
