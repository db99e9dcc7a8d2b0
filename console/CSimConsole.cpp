#include "console/CSimConsole.h"

#include "console/ConsolePicture.h"
#include "link/PortRegisters.h"

#include <algorithm>

namespace {
// Error, the reserved bits: a printer port with nothing to report reads them as 1.
constexpr uint8_t STATUS_IDLE_BITS = 0x07;
} // namespace

CSimConsole::CSimConsole(const CSimOptions& options, std::vector<uint8_t> tiles, std::vector<CPacket> packets)
    : m_Options(options), m_Tiles(std::move(tiles)), m_Packets(std::move(packets)), m_Random(options.nSeed)
{
    m_bPresent = options.nVersion != 0;
    m_bCheckAck = options.strReplay.empty();
    m_nBase = options.nBase;
    m_nStatusAddress = static_cast<uint16_t>(m_nBase + STATUS_REGISTER);
    // A packet without bytes has nothing to put on the line.
    std::erase_if(m_Packets, [](const CPacket& packet) { return packet.empty(); });
    size_t nLongest = 0;
    for (const CPacket& packet : m_Packets)
        nLongest = std::max(nLongest, packet.size());
    m_PacketRx.reserve(nLongest);
    m_Replies.reserve(m_Packets.size() * static_cast<size_t>(options.nReprints + 1));
    UpdateLines();
    UpdateLoopBack();
    if (m_Packets.empty())
        m_bFinished = true;
    else
        m_nNextEvent = static_cast<uint64_t>(options.nStart);
    m_nNextCheck = m_nNextEvent;
}

uint8_t CSimConsole::In(uint16_t nAddress)
{
    if (!m_bPresent)
        return 0xFF;
    if (nAddress == m_nStatusAddress) {
        if (++m_nTime >= m_nNextCheck)
            Advance();
        return static_cast<uint8_t>(m_nLineBits | m_nLoopBits);
    }
    if (nAddress == m_nBase + DATA_REGISTER)
        return m_nData;
    if (nAddress == m_nBase + CONTROL_REGISTER)
        return m_nControl;
    return 0xFF;
}

void CSimConsole::Out(uint16_t nAddress, uint8_t nValue)
{
    if (!m_bPresent)
        return;
    if (nAddress == m_nBase + DATA_REGISTER) {
        m_nData = nValue;
        UpdateLoopBack();
    } else if (nAddress == m_nBase + CONTROL_REGISTER) {
        m_nControl = nValue;
    }
}

void CSimConsole::ScheduleStall(uint64_t nAt, uint64_t nSpan)
{
    m_nStallAt = nAt;
    m_nStallSpan = nSpan;
    m_nNextCheck = std::min(m_nNextEvent, m_nStallAt);
}

void CSimConsole::Advance()
{
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
        // Rising edge: the console samples the printer's bit (Auto Feed cleared = 1).
        m_bClock = true;
        m_nRxByte = static_cast<uint8_t>((m_nRxByte << 1) | ((m_nControl & CONTROL_DATA_OUT) ? 0 : 1));
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
        m_bFaultInPrint = true;
        EndPrint();
        return;
    }
    m_nTxByte = packet[m_nPos];
    if (Chance(m_Options.dFlip)) {
        m_nTxByte ^= static_cast<uint8_t>(1u << (m_Random() % 8));
        ++m_nFlips;
        m_bFaultInPrint = true;
    }
    const auto nHalf = static_cast<uint64_t>(m_Options.nHalf);
    if (m_nStallAt == NEVER && Chance(m_Options.dStall)) {
        // Somewhere inside this byte the receiver misses the clock for longer than a half-period.
        m_nStallAt = t + m_Random() % (16 * nHalf);
        m_nStallSpan = nHalf + 1 + m_Random() % (7 * nHalf);
        ++m_nStalls;
        m_bFaultInPrint = true;
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
        m_bFaultInPrint = true;
        EndPrint();
        return;
    }
    if (++m_nPos < packet.size()) {
        m_nNextEvent = t + static_cast<uint64_t>(m_Options.nGap);
        return;
    }
    ++m_nPacketsSent;
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
    if (m_bFaultInPrint && m_nPrints <= m_Options.nReprints) {
        // The user sees a bad picture and prints again once the receiver has given up.
        m_nNextEvent = t + static_cast<uint64_t>(m_Options.nReprintDelay);
    } else {
        m_bFinished = true;
        m_nNextEvent = NEVER;
    }
}

void CSimConsole::UpdateLines()
{
    uint8_t nBits = static_cast<uint8_t>((m_bClock ? STATUS_CLOCK : 0) | (m_bConsoleBit ? STATUS_DATA_IN : 0));
    if (m_Options.nVersion == 4)
        nBits ^= STATUS_CLOCK | STATUS_DATA_IN;
    m_nLineBits = nBits;
}

void CSimConsole::UpdateLoopBack()
{
    uint8_t nBits = STATUS_IDLE_BITS;
    if (m_nData & 0x80)
        nBits |= STATUS_LOOP_D7;
    if ((m_Options.nVersion == 3 && !(m_nData & 0x40)) || (m_Options.nVersion == 4 && !(m_nData & 0x20)))
        nBits |= STATUS_LOOP_VERSION;
    m_nLoopBits = nBits;
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
        if (!options.strPicture.empty()) {
            if (!LoadPictureTiles(options.strPicture, tiles, strError)) {
                strError = "sim picture: " + strError;
                return nullptr;
            }
        } else {
            tiles = BuildTestCard();
        }
        packets = BuildPrintSession(tiles, options.bCompress);
    }
    return std::make_shared<CSimConsole>(options, std::move(tiles), std::move(packets));
}
