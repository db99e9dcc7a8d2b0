#pragma once
// The one place where a link string becomes a port:
//   auto               ppdev where a /dev/parport* opens, else direct where ioperm is allowed,
//                      else no port at all
//   ppdev[:/dev/parportN]
//   direct             ioperm/inb/outb (x86, root)
//   sim[:options]      the simulated console and module (console/SimOptions.h)
//   serial:DEVICE[,baud=N]  a printer emulator's live stream on a serial line (115200 baud)
//   file:PATH          a printer device's saved stream or dump file, read whole
// The last two give a packet source instead of a port.

#include "link/PortIo.h"
#include "link/PortSystem.h"
#include "streams/PacketSource.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The link string in force: the environment's value (QUILLOMAT_LINK), else the profile's
// ("Link/Port", blanks around it ignored), else "auto" -- the first that is set and not empty.
std::string ResolveLinkSpec(const std::string& strEnvironment, const std::string& strProfile);

// ResolveLinkSpec with $QUILLOMAT_LINK and the given profile value (none without a profile).
std::string DefaultLinkSpec(const std::string& strProfile = std::string());

// Why a link string gave no port.
enum class ELinkFailure {
    None,        // the port is open
    BadSpec,     // the string itself is wrong (unknown kind, bad option): a usage error
    Unreachable, // the picture, replay file or port device it names cannot be opened
};

struct COpenedLink {
    std::shared_ptr<PortIo> pPort; // null on failure, and for serial: and file:
    // serial: and file: links: the device or file the packets come from (null otherwise).
    std::shared_ptr<IPacketSource> pSource;
    ELinkFailure eFailure = ELinkFailure::None;
    std::string strError;          // names the bad part of the string or what could not be opened
    // The bad part of the string as written (BadSpec), or the file or device that could not be
    // opened (Unreachable; empty when it was direct port access that was refused), for a
    // message in other words than strError's.
    std::string strCulprit;
    // serial: and file: links: why the device or file could not be opened, in German for the
    // user interface (for a device without permission it names the dialout group).
    std::string strUiText;
    // ppdev: the bases the printer ports it claimed were placed at, in the order found.
    std::vector<uint16_t> ppdevBases;

    bool IsOpen() const { return pPort != nullptr || pSource != nullptr; }
};

// Opens the link a string names. "auto" never fails: without hardware it gives a port where
// nothing answers (CNoPortIo). pSystem: the system calls of the hardware backends (tests pass a
// fake one); null for the real ones.
COpenedLink OpenLink(const std::string& strSpec, const std::shared_ptr<IPortSystem>& pSystem = nullptr);
