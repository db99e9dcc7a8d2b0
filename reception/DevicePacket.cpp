#include "reception/DevicePacket.h"

#include <algorithm>

#include "streams/PacketSource.h"

EDeviceRead ReadDevicePacket(IPacketSource& source, CDevicePacket& packet, int nWaitMs)
{
    static thread_local CStreamPacket record;
    switch (source.Next(record, nWaitMs)) {
    case ESourceRead::Idle: return EDeviceRead::Idle;
    case ESourceRead::End:
    case ESourceRead::Gone: return EDeviceRead::Ended;
    case ESourceRead::Packet: break;
    }
    packet.nCommand = record.m_nCommand;
    packet.nFlag = record.m_nFlag;
    packet.nLengthField = record.m_nLengthField;
    packet.payload.assign(record.m_Payload.begin(), record.m_Payload.end());
    packet.bSumCarried = record.m_bSumCarried;
    packet.nSum = record.m_nSum;
    packet.bSumOk = record.m_bSumOk;
    packet.bWhole = record.m_eEnd == EPacketEnd::Whole;
    packet.bHasPrintArgs = record.m_bHasPrintArgs;
    std::copy(record.m_PrintArgs.begin(), record.m_PrintArgs.end(), packet.printArgs);
    return EDeviceRead::Packet;
}

bool IsLiveSource(const IPacketSource& source)
{
    return source.IsLive();
}

bool SourceShowsInit(const IPacketSource& source)
{
    return source.GetLayout() != EStreamLayout::PicoDump;
}
