#pragma once
// The reception's attempt over a printer device: the packets a serial emulator or a saved file
// delivers go into the same block table, under the same policy, as those read over the line.
// A device's packet carries its bytes, whether its checksum was carried and matched, and its
// replies; the line's marks do not exist there.
#include <cstdint>

class IPacketSource;
class IReceptionPolicy;
struct CReceptionState;

// How long a live device may be silent before an attempt that heard it ends (the emulator
// itself reports a session's end after 400 ms without a clock).
constexpr int SOURCE_SILENCE_MS = 500;
// How long an attempt that has heard nothing yet waits for a first packet.
constexpr int SOURCE_FIRST_WAIT_MS = 20;

struct CSourceAttempt {
    bool bData = false;   // a data packet with at least one data byte arrived
    bool bEnded = false;  // the file ended or the device went away: nothing more will come
};

// One attempt: packets until the device is silent, the policy's packet count passes without a
// data packet, or the input ends. A data packet's block is good as received when its layout
// carried a checksum that matched, bad when it did not or the packet came cut or garbled, and
// unchecked when the layout carries no checksum. bSeries: a print is merged into the series as
// soon as its print packet came, so that a series may be longer than the block table.
CSourceAttempt ReceiveSourcePackets(IPacketSource& source, CReceptionState& state, const IReceptionPolicy& policy,
                                    bool bSeries);
