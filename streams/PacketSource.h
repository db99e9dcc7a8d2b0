#pragma once
// A printer device as a source of packets for a reception: a live serial line or a saved file.
// The reception polls it for the next packet with a short wait, so that it can tick while the
// console is silent; the source says when its input ended or its device went away.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "streams/LinkTargets.h"
#include "streams/StreamPacket.h"

enum class ESourceRead : uint8_t {
    Packet,  // a packet was read into the record
    Idle,    // nothing complete arrived within the wait
    End,     // the input ended (the file was read whole); no packet follows
    Gone,    // the device went away or could not be read; GetEndText() says why
};

class IPacketSource {
public:
    virtual ~IPacketSource() = default;
    // The next packet, waiting at most nWaitMs for it (a file never waits).
    virtual ESourceRead Next(CStreamPacket& packet, int nWaitMs) = 0;
    // Live: a device the console is printing to now (a damaged print can be asked for again,
    // and the beginning of a series may have gone by before reading began). A file is not.
    virtual bool IsLive() const = 0;
    // The layout the packets came in so far (Unknown before the first one).
    virtual EStreamLayout GetLayout() const = 0;
    // Why the input ended early (German, for the user); empty while nothing went wrong.
    virtual const std::string& GetEndText() const = 0;
};

// Opens the device or file a serial: or file: link names. Null with the reason in strError
// (English) and strUiText (German) when it cannot be opened.
std::shared_ptr<IPacketSource> OpenPacketSource(const CStreamLinkTarget& target, std::string& strError,
                                                std::string& strUiText);
