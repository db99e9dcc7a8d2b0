#pragma once
// A printer device's packet as the reception's attempt reads it: what the stream readers made
// of it, without their record (whose names the line's parser shares).
#include <cstdint>
#include <vector>

class IPacketSource;

struct CDevicePacket {
    uint8_t nCommand = 0;
    uint8_t nFlag = 0;
    uint16_t nLengthField = 0;
    std::vector<uint8_t> payload;
    bool bSumCarried = false;   // the layout carried the checksum
    uint16_t nSum = 0;          // the checksum as carried
    bool bSumOk = false;        // carried and matching
    bool bWhole = true;         // neither cut nor garbled
    bool bHasPrintArgs = false;
    uint8_t printArgs[4] = {};
};

enum class EDeviceRead : uint8_t { Packet, Idle, Ended };

// The source's next packet, waiting at most nWaitMs; Ended when the input ended or the device
// went away.
EDeviceRead ReadDevicePacket(IPacketSource& source, CDevicePacket& packet, int nWaitMs);
// Whether the source is a device the console prints to now.
bool IsLiveSource(const IPacketSource& source);
// Whether the source's layout shows the INIT that begins a print: every layout but the RP2040's
// dump, whose current firmware writes none.
bool SourceShowsInit(const IPacketSource& source);
