#include "reception/SourceEngine.h"

#include <algorithm>
#include <cstring>

#include "protocol/PacketParser.h"
#include "protocol/PrinterProtocol.h"
#include "reception/PacketEngine.h"
#include "reception/PrintSeries.h"
#include "reception/ReceptionPolicy.h"
#include "reception/ReceptionState.h"
#include "reception/DevicePacket.h"

namespace {

// The parser's record of a device's packet, for the policy.
CPacketValue ToPacketValue(const CDevicePacket& packet)
{
    CPacketValue value;
    value.nCommand = packet.nCommand;
    value.nFlag = packet.nFlag;
    value.nLength = packet.nLengthField;
    value.nPayload = static_cast<int32_t>(std::min<size_t>(packet.payload.size(), MAX_BLOCK_LENGTH));
    value.nHeaderSum = packet.nCommand + packet.nFlag + (packet.nLengthField & 0xFF) + (packet.nLengthField >> 8);
    value.nSum = static_cast<uint32_t>(value.nHeaderSum);
    for (uint8_t b : packet.payload)
        value.nSum += b;
    // A layout without checksums has nothing to disagree with.
    value.nReceivedSum = packet.bSumCarried ? packet.nSum : static_cast<uint16_t>(value.nSum);
    if (packet.bHasPrintArgs)
        std::memcpy(value.args, packet.printArgs, PRINT_ARG_BYTES);
    value.eEnd = packet.bWhole ? EPacketEnd::Whole : EPacketEnd::Cut;
    return value;
}

int32_t ResultOf(const CDevicePacket& packet)
{
    switch (packet.nCommand) {
    case PRINTER_CMD_DATA: return PACKET_DATA;
    case PRINTER_CMD_INIT: return PACKET_INIT;
    case PRINTER_CMD_PRINT: return packet.bHasPrintArgs ? PACKET_PRINT : PACKET_NONE;
    default: return PACKET_STATUS;
    }
}

uint8_t HowOf(const CDevicePacket& packet)
{
    const bool bWhole = packet.bWhole && packet.payload.size() == packet.nLengthField &&
                        packet.payload.size() <= static_cast<size_t>(MAX_BLOCK_LENGTH);
    if (!bWhole)
        return BLOCK_FAILED;
    if (!packet.bSumCarried)
        return BLOCK_UNCHECKED;
    return packet.bSumOk ? BLOCK_AS_RECEIVED : BLOCK_FAILED;
}

void StoreBlock(CBlock& block, const CDevicePacket& packet, const CPacketValue& value)
{
    block.m_nLength = value.nPayload;
    for (int32_t k = 0; k < value.nPayload; ++k)
        block.m_Entries[k] = packet.payload[static_cast<size_t>(k)];
    block.m_nHow = HowOf(packet);
    // The sum the data bytes must give: the carried one where it came, else their own.
    block.m_nSum = static_cast<uint16_t>(value.nReceivedSum - value.nHeaderSum);
    block.m_bTimedOut = !packet.bWhole;
    block.m_nHeard = value.nPayload;
    block.m_nCopies = 0;
}

}  // namespace

CSourceAttempt ReceiveSourcePackets(IPacketSource& source, CReceptionState& state, const IReceptionPolicy& policy,
                                    bool bSeries)
{
    CSourceAttempt attempt;
    state.m_nBlockCount = 0;
    state.m_bPrintAfterData = false;
    int32_t nBlock = policy.BeginAttempt(state);
    if (bSeries) {
        state.m_Series.m_nPassLimit = SERIES_MAX_BLOCKS;
        state.m_Series.m_bRequireInit = IsLiveSource(source);
    }
    const int32_t nMaxBlocks = bSeries ? SERIES_MAX_BLOCKS : BLOCKS_PER_ATTEMPT;
    const int32_t nMaxSearches = policy.MaxSearches();
    int32_t nSinceData = 0;
    bool bHeard = false;
    CDevicePacket packet;
    while (nSinceData < nMaxSearches) {
        const EDeviceRead eRead = ReadDevicePacket(source, packet, bHeard ? SOURCE_SILENCE_MS : SOURCE_FIRST_WAIT_MS);
        if (eRead == EDeviceRead::Idle)
            break;
        if (eRead != EDeviceRead::Packet) {
            attempt.bEnded = true;
            break;
        }
        bHeard = true;
        if (!bSeries && !SourceShowsInit(source))
            state.m_Print.m_bAwaitInit = false;
        const CPacketValue value = ToPacketValue(packet);
        const bool bLost = !packet.bWhole;
        const int32_t nResult = ResultOf(packet);
        if (nResult == PACKET_PRINT && attempt.bData)
            state.m_bPrintAfterData = true;
        if (nResult == PACKET_DATA && value.nLength > 0)
            ++(value.nFlag == PACKET_COMPRESSED ? state.m_nPackedCount : state.m_nPlainCount);
        nBlock = policy.OnPacket(state, nResult, value, bLost, nBlock);
        if (nResult == PACKET_PRINT && bSeries)
            MergeSeriesPrints(state);
        if (nResult != PACKET_DATA) {
            ++nSinceData;
            continue;
        }
        nSinceData = 0;
        if (value.nLength <= 0 && packet.payload.empty())
            continue;  // the empty packet that closes a print's data
        attempt.bData = true;
        state.m_bPrintAfterData = false;  // this data still waits for its print packet
        if (nBlock >= nMaxBlocks)
            continue;
        CBlock& block = state.m_Blocks[nBlock % BLOCK_TABLE_SIZE];
        // One print: a block that is good stays as it is, and a new print fills the others.
        // A series reads every block afresh (the series keeps what earlier passes brought).
        if (bSeries || !block.IsGood())
            StoreBlock(block, packet, value);
        ++state.m_nBlockCount;
        state.m_nMaxBlockCount = std::max(state.m_nMaxBlockCount, std::min(state.m_nBlockCount, BLOCK_TABLE_SIZE));
        ++nBlock;
    }
    policy.EndAttempt(state, nBlock);
    return attempt;
}
