#include "linkspec/LinkProbe.h"

#include "link/CIOModul.h"
#include "linkspec/LinkSpec.h"

#include <chrono>
#include <cstdio>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// The message the receive dialog shows for a module that fails the version test.
constexpr const char* READ_LINE_FAULT = "Dein Modul hat einen Fehler auf der Leseleitung\nBitte kontaktiere den Service des Herstellers";

std::string Hex(uint32_t n)
{
    char szText[16];
    std::snprintf(szText, sizeof szText, "0x%X", n);
    return szText;
}

bool Contains(const std::string& str, const char* pszPart)
{
    return str.find(pszPart) != std::string::npos;
}

// Why a backend gave no port, and the way out.
std::string WithFix(const std::string& strKind, const std::string& strError)
{
    if (Contains(strError, "Permission denied") || Contains(strError, "Operation not permitted")) {
        if (strKind == "direct")
            return "no permission (" + strError + "); direct port access needs root, ppdev does not";
        return "no permission (" + strError +
               "); add the user to the lp group (sudo usermod -aG lp $USER) and log in again";
    }
    if (Contains(strError, "busy"))
        return "in use (" + strError +
               "); another driver holds the port: unload the printer driver (sudo modprobe -r lp) or stop the print "
               "service";
    if (strKind == "direct")
        return "not possible here (" + strError + ")";
    return "no device (" + strError +
           "); load the printer port drivers (sudo modprobe parport_pc ppdev) and check that the port is enabled in "
           "the BIOS";
}

std::string DescribePort(const COpenedLink& link)
{
    switch (link.pPort->GetKind()) {
    case ELinkKind::Ppdev: {
        std::string strText = "ppdev, " + std::to_string(link.ppdevBases.size()) + " printer port(s) at";
        for (size_t n = 0; n < link.ppdevBases.size(); ++n)
            strText += (n ? ", " : " ") + Hex(link.ppdevBases[n]);
        return strText;
    }
    case ELinkKind::Direct: return "direct port access (ioperm) to the standard printer port addresses";
    case ELinkKind::Simulated: return "the simulated console and link module, no hardware";
    case ELinkKind::None: break;
    }
    return "a port";
}

std::string DescribeVersion(int32_t nVersion)
{
    switch (nVersion) {
    case 3: return "3: the lines are read as they are";
    case 4: return "4: the lines are read inverted";
    case 2:
        return std::string("2: the module answers the port probe but neither version test; the receive dialog says: \"") +
               READ_LINE_FAULT + "\"";
    default: return std::to_string(nVersion);
    }
}

}  // namespace

std::string DescribeProcessPriority()
{
    const pid_t tid = static_cast<pid_t>(syscall(SYS_gettid));
    const int nPolicy = sched_getscheduler(tid);
    if (nPolicy == SCHED_RR || nPolicy == SCHED_FIFO) {
        sched_param param{};
        sched_getparam(tid, &param);
        return std::string("realtime (") + (nPolicy == SCHED_RR ? "round-robin" : "first in, first out") +
               " scheduler, priority " + std::to_string(param.sched_priority) + ")";
    }
    const int nNice = getpriority(PRIO_PROCESS, static_cast<id_t>(tid));
    return "nice " + std::to_string(nNice) + (nNice == 0 ? " (normal)" : "");
}

bool ProbeLink(const std::string& strSpec, const CProbeSetup& setup, CProbeReport& report, std::string& strError)
{
    report = CProbeReport{};
    const auto add = [&report](const char* pszName, std::string strText, bool bOk = true) {
        report.steps.push_back(CProbeStep{pszName, std::move(strText), bOk});
    };
    const std::shared_ptr<IPortSystem> pSystem = setup.pSystem ? setup.pSystem : RealPortSystem();
    const std::string strKind = strSpec.substr(0, strSpec.find(':'));

    // 1. The port the string names.
    COpenedLink link = OpenLink(strSpec, pSystem);
    if (link.eFailure == ELinkFailure::BadSpec) {
        strError = link.strError;
        return false;
    }
    if (!link.pPort) {
        add("link", strSpec + ": " + WithFix(strKind, link.strError), false);
        report.strVerdict = "no reception possible: the port cannot be opened";
        return true;
    }
    if (link.pPort->GetKind() == ELinkKind::None) {
        // auto found nothing: what each backend said.
        std::string strText = "auto found no printer port:";
        for (const char* pszKind : {"ppdev", "direct"}) {
            const COpenedLink tried = OpenLink(pszKind, pSystem);
            strText += std::string(" ") + pszKind + ": " + (tried.pPort ? "opens" : WithFix(pszKind, tried.strError)) +
                       (pszKind[0] == 'p' ? ";" : "");
        }
        add("link", strText, false);
        report.strVerdict = "no reception possible: no printer port";
        return true;
    }
    add("link", (strKind == "auto" ? "auto: " : "") + DescribePort(link));

    // 2. As the receive dialog opens: the high class, the port probe, the version test, speed.
    const std::shared_ptr<IPlatform> pPlatform = setup.pPlatform ? setup.pPlatform : DefaultPlatform();
    CIOModul module(link.pPort, pPlatform);
    module.RaisePriorityClass(0);
    const uint16_t nBase = module.FindModulPort();
    if (nBase == 0) {
        add("module",
            "none answers at 0x378, 0x278 or 0x3BC: is the link module plugged into the printer port (and the port set "
            "to SPP or bidirectional in the BIOS)?",
            false);
        report.strVerdict = "no reception possible: no link module";
        return true;
    }
    add("module", "found at " + Hex(nBase));
    const int32_t nVersion = module.GetModulVersion();
    add("version", DescribeVersion(nVersion), nVersion >= 3);
    module.GetModulSpeed();
    const int32_t nSpeed = module.GetModulSpeed();
    add("speed", std::to_string(nSpeed) + " port read/write pairs per millisecond (mean of " +
                     std::to_string(module.GetSampleCount()) + " samples)");

    // 3. What one read of the status register costs: the exchange polls it for every clock edge.
    const int32_t nReads = setup.nTimedReads > 0 ? setup.nTimedReads : 1;
    PortIo& port = module.GetPort();
    volatile unsigned nSink = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int32_t i = 0; i < nReads; ++i)
        nSink = nSink + port.In(static_cast<uint16_t>(nBase + 1));
    const double dNanoseconds =
        std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() / nReads;
    char szRead[96];
    std::snprintf(szRead, sizeof szRead, "%.0f ns (%d reads of the status register)", dNanoseconds,
                  static_cast<int>(nReads));
    add("port read", szRead);

    // 4. The priority a reception asks for, and what the system grants.
    module.RaisePriorityClass(1);
    if (module.IsRealtimeAllowed())
        pPlatform->SetThreadTimeCritical(true);
    const std::string strGranted = setup.fnDescribePriority ? setup.fnDescribePriority() : DescribeProcessPriority();
    if (module.IsRealtimeAllowed())
        pPlatform->SetThreadTimeCritical(false);
    module.ResetPriorityClass();
    if (link.pPort->GetKind() == ELinkKind::Simulated)
        add("priority", "the high class (a simulated link never asks for realtime): " + strGranted);
    else if (strGranted.rfind("realtime", 0) == 0)
        add("priority", "realtime asked for: " + strGranted);
    else
        add("priority", "realtime asked for, the system gave " + strGranted +
                            "; on a busy machine clock edges may be missed (allow it with rtprio in "
                            "/etc/security/limits.conf, or run as root)");

    report.bReceptionPossible = nVersion >= 3;
    report.strVerdict = report.bReceptionPossible
                            ? "a reception can run: choose print on the console"
                            : "no reception possible: the module fails the version test";
    return true;
}
