#pragma once
// The one place where a link string becomes a port:
//   auto               ppdev where a /dev/parport* opens, else direct where ioperm is allowed,
//                      else no port at all
//   ppdev[:/dev/parportN]
//   direct             ioperm/inb/outb (x86, root)
//   sim[:options]      the simulated console and module (console/SimOptions.h)

#include "link/PortIo.h"
#include "link/PortSystem.h"

#include <memory>
#include <string>

// $QUILLOMAT_LINK when set and not empty, else "auto".
std::string DefaultLinkSpec();

// Returns the port, or null with strError naming the bad part of the string. "auto" never
// fails: without hardware it gives a port where nothing answers (CNoPortIo).
std::shared_ptr<PortIo> OpenLink(const std::string& strSpec, std::string& strError);

// The same, telling in bBadSpec whether a failure lies with the string itself (true) or with
// the file or device it names (false: a picture or replay that cannot be read, a port that
// cannot be opened).
std::shared_ptr<PortIo> OpenLink(const std::string& strSpec, std::string& strError, bool& bBadSpec);

// The same on a given system-call layer (tests use a fake one).
std::shared_ptr<PortIo> OpenLink(const std::string& strSpec, std::string& strError,
                                 const std::shared_ptr<IPortSystem>& pSystem);
std::shared_ptr<PortIo> OpenLink(const std::string& strSpec, std::string& strError,
                                 const std::shared_ptr<IPortSystem>& pSystem, bool& bBadSpec);
