#pragma once
// The printer's side of the console's printer protocol: recognises packets byte by byte,
// answers them with 0x81 and status 0x00, and keeps the payload of each data packet as one
// block of the block table.
#include <cstdint>

class CPacketParser;
class IPrinterLink;
class IReceptionPolicy;
struct CReceptionState;

enum : int32_t {
    PACKET_DATA = 1,     // the header of a data packet is read; its data follows
    PACKET_STATUS = 0,   // a status packet was read and answered
    PACKET_NONE = -1,    // no packet completed within 20 bytes
    PACKET_INIT = -3,    // an init packet was read and answered
    PACKET_PRINT = -4,   // a print packet was read and answered
};

constexpr int32_t SEARCH_POLL_LIMIT = 30000;   // each exchange while looking for packets
constexpr int32_t DATA_POLL_LIMIT = 5000;      // data, checksum and trailer of a data packet

// Puts the engine's twelve handles into the log's handle table (found again if present).
void RegisterReceptionHandles(IPrinterLink& link);

// One search: feeds the parser up to 20 bytes (counted again from every packet start) and
// returns a PACKET_ code; what the packet was is the parser's. A data packet's header ends the
// search (it counts in the state's vote on compression when it has data), its body follows.
int32_t ReadPacketHeader(IPrinterLink& link, CPacketParser& parser, CReceptionState& state);

// One reception attempt under the policy of the mode: packets until the console falls silent.
// Returns true when a data packet with at least one data byte arrived; m_bPrintAfterData tells
// whether the console's print packet followed the last of them. Without a policy: one print.
bool ReceivePackets(IPrinterLink& link, CReceptionState& state, const IReceptionPolicy& policy);
bool ReceivePackets(IPrinterLink& link, CReceptionState& state);
