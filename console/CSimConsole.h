#pragma once
// The simulated console on the cable of a simulated link module (CSimModule), as the PortIo the
// program polls: the module's registers, with the console's lines moving behind them.
//
// The console is the clock master in virtual time, counted in status-register reads: it keeps
// the clock high while idle, pulls it low for each bit (putting its data bit on the line at the
// falling edge) and releases it after a half-period (sampling our bit at the rising edge), most
// significant bit first. It plays a whole print session packet by packet, checks the printer's
// 0x81 and gives up the print without it. Each status read costs O(1); only clock edges that
// fall due are worked through.

#include "console/CSimModule.h"
#include "console/PrintSession.h"
#include "console/SimOptions.h"
#include "link/PortIo.h"
#include "link/ReprintUser.h"
#include "link/SimulatedTime.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

class CSimConsole final : public PortIo, public ISimulatedTime, public IReprintUser {
public:
    // tiles: the picture the console prints; packets: what it sends per print (replay when
    // options.strReplay is set, otherwise built from the tiles).
    CSimConsole(const CSimOptions& options, std::vector<uint8_t> tiles, std::vector<CPacket> packets);

    uint8_t In(uint16_t nAddress) override;
    void Out(uint16_t nAddress, uint8_t nValue) override { m_Module.Out(nAddress, nValue); }
    ELinkKind GetKind() const override { return ELinkKind::Simulated; }
    ISimulatedTime* GetSimulatedTime() override { return this; }
    IReprintUser* GetReprintUser() override { return this; }
    // The program does not poll for this long: the console's clock runs on, its bytes go
    // unheard and their acknowledgements missing. Costs only the edges that fall due.
    void Elapse(uint32_t nMilliseconds) override;
    // Status reads per millisecond: the console's clock is 8192 Hz, a half-period 61 us.
    int64_t ReadsPerMillisecond() const { return m_Options.nHalf * 16384 / 1000; }
    int64_t GetMilliseconds() const override
    {
        return static_cast<int64_t>(m_nTime) / std::max<int64_t>(1, ReadsPerMillisecond());
    }

    // The receiving program asked its user to print again: he does, once the console is idle
    // and the re-print delay has passed, while re-prints remain. (After a print with a fault
    // he prints again anyway: he saw the bad picture.)
    void AskForReprint() override;

    // For tests: the receiving program misses every read from virtual time nAt on, and its
    // next read finds the time nSpan reads later.
    void ScheduleStall(uint64_t nAt, uint64_t nSpan);

    const CSimOptions& GetOptions() const { return m_Options; }
    const std::vector<uint8_t>& GetTileStream() const { return m_Tiles; }
    const std::vector<CPacket>& GetPackets() const { return m_Packets; }
    uint64_t GetTime() const { return m_nTime; }
    int32_t GetPrintCount() const { return m_nPrints; }        // prints begun
    int64_t GetPacketCount() const { return m_nPacketsSent; }  // packets sent whole
    int64_t GetByteCount() const { return m_nBytesSent; }      // bytes clocked out whole
    int64_t GetStallCount() const { return m_nStalls; }
    int64_t GetFlipCount() const { return m_nFlips; }
    int64_t GetCutCount() const { return m_nCuts; }
    int32_t GetGiveUpCount() const { return m_nGiveUps; }
    bool WasGivenUp() const { return m_bLastPrintGivenUp; }   // the most recent print
    bool IsFinished() const { return m_bFinished; }           // no print is due any more
    // The printer's two answers (acknowledgement, status) for each packet sent whole.
    const std::vector<std::pair<uint8_t, uint8_t>>& GetReplies() const { return m_Replies; }
    // Bytes the console received in the current or last packet, one per byte clocked.
    const std::vector<uint8_t>& GetLastPacketReplies() const { return m_PacketRx; }

private:
    static constexpr uint64_t NEVER = std::numeric_limits<uint64_t>::max();
    enum class Phase { Idle, Low, High };

    void NoteFault();
    void Advance();
    void OnEdge();
    void StartByte();
    void EndByte();
    void StartPrint();
    void EndPrint();
    void UpdateLines();
    bool Chance(double dProbability);

    CSimOptions m_Options;
    std::vector<uint8_t> m_Tiles;
    std::vector<CPacket> m_Packets;
    CSimModule m_Module;
    int32_t m_nStatusAddress = -1;  // the module's status register; -1 without a module
    bool m_bCheckAck = true;
    bool m_bWaitForListener = false;  // the first print waits for the program's ticks ...
    bool m_bStartOnRead = false;      // ... and then for its next read

    // Virtual time: one status read is one unit (In, Advance, ScheduleStall).
    uint64_t m_nTime = 0;
    uint64_t m_nNextEvent = NEVER;
    uint64_t m_nNextCheck = NEVER;
    uint64_t m_nStallAt = NEVER;
    uint64_t m_nStallSpan = 0;

    // The byte on the line.
    Phase m_ePhase = Phase::Idle;
    bool m_bClock = true;
    bool m_bConsoleBit = false;
    uint8_t m_nTxByte = 0;
    uint8_t m_nRxByte = 0;
    int m_nBit = 0;

    // The session.
    size_t m_nPacket = 0;
    size_t m_nPos = 0;
    size_t m_nCutAt = 0; // position in the packet where the console stops; 0: none
    bool m_bPrinting = false;
    bool m_bFaultInPrint = false;
    bool m_bPrintSent = false;  // the print packet of the current print went through
    bool m_bReprintAsked = false;  // the program asked for another print while this one ran
    bool m_bLastPrintGivenUp = false;
    bool m_bFinished = false;
    int32_t m_nPrints = 0;
    int32_t m_nGiveUps = 0;
    int64_t m_nPacketsSent = 0;
    int64_t m_nBytesSent = 0;
    int64_t m_nStalls = 0;
    int64_t m_nFlips = 0;
    int64_t m_nCuts = 0;
    std::vector<std::pair<uint8_t, uint8_t>> m_Replies;
    std::vector<uint8_t> m_PacketRx;

    std::mt19937_64 m_Random;
};

// The simulated console for the options (picture or replay file loaded, test card otherwise).
// Null with a reason when a file cannot be used.
std::shared_ptr<CSimConsole> CreateSimConsole(const CSimOptions& options, std::string& strError);
