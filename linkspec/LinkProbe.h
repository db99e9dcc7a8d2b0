#pragma once
// What the link sees, step by step, as the receive dialog finds it when it opens: the port,
// the module and its version, the speed, the cost of one port read, the priority an exchange
// gets, and whether a reception could run. For an owner of a link module who wants to know
// whether his port works before he prints.

#include "link/Platform.h"
#include "link/PortSystem.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct CProbeStep {
    std::string strName;  // "link", "port", "module", "version", "speed", "port read", "priority"
    std::string strText;  // what was found, and the way out where something is missing
    bool bOk = true;      // false: this stands in the way of a reception
};

struct CProbeReport {
    std::vector<CProbeStep> steps;
    bool bReceptionPossible = false;
    std::string strVerdict;
};

struct CProbeSetup {
    std::shared_ptr<IPortSystem> pSystem;          // null: the real system calls
    std::shared_ptr<IPlatform> pPlatform;          // null: DefaultPlatform()
    std::function<std::string()> fnDescribePriority; // how the process is scheduled now; null: asks the system
    int32_t nTimedReads = 100000;                  // port reads timed for the cost of one
};

// Probes the link the string names. False (strError naming the bad part) only when the string
// itself is wrong; every other finding, a port out of reach included, is in the report.
bool ProbeLink(const std::string& strSpec, const CProbeSetup& setup, CProbeReport& report, std::string& strError);

// How the calling process is scheduled: "realtime (round-robin)", "nice -10", ...
std::string DescribeProcessPriority();
