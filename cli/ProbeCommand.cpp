// quillomat-cli probe: what the link sees, step by step, before a reception is tried.
#include "cli/Commands.h"

#include <cstdio>
#include <string>
#include <vector>

#include "linkspec/LinkProbe.h"
#include "linkspec/LinkSpec.h"
#include "streams/LinkTargets.h"
#include "streams/SerialProbe.h"

namespace {

// A printer device on a serial line: its banner says what it is.
int ProbeSerial(const std::string& strLink)
{
    CStreamLinkTarget target;
    std::string strError;
    if (!ParseStreamLink(strLink, target, strError))
        return CliUsageError("probe: " + strError);
    if (target.eKind != EStreamLinkKind::Serial)
        return CliUsageError("probe: a file link has nothing to probe: '" + strLink + "'");
    const CSerialProbeReport report = ProbeSerialDevice(target);
    for (const std::string& strLine : report.lines)
        std::printf("%s\n", strLine.c_str());
    std::printf("verdict: %s\n", report.strVerdict.c_str());
    return report.eVerdict == ESerialProbeVerdict::PictureSource ? CLI_OK : CLI_FAILED;
}

int RunProbe(const std::vector<std::string>& args)
{
    std::string strLink;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] != "--link")
            return CliUsageError("probe: unexpected argument '" + args[i] + "'");
        if (i + 1 >= args.size())
            return CliUsageError("probe: --link needs a value");
        strLink = args[++i];
    }
    if (strLink.empty())
        strLink = DefaultLinkSpec();
    if (IsStreamLinkSpec(strLink))
        return ProbeSerial(strLink);

    CProbeReport report;
    std::string strError;
    if (!ProbeLink(strLink, CProbeSetup{}, report, strError))
        return CliUsageError("probe: " + strError);
    for (const CProbeStep& step : report.steps)
        std::printf("%s%s: %s\n", step.bOk ? "" : "! ", step.strName.c_str(), step.strText.c_str());
    std::printf("verdict: %s\n", report.strVerdict.c_str());
    return report.bReceptionPossible ? CLI_OK : CLI_FAILED;
}

const CCommandRegistrar registrar({"probe", "probe [--link L]",
                                   "what the link sees, step by step: port, module, version, speed, priority; "
                                   "exit 0 only when a reception could run",
                                   RunProbe,
                                   "\n--link L  the link to probe: auto, ppdev[:/dev/parportN], direct or sim[:options]\n"
                                   "          (default: QUILLOMAT_LINK, else auto)\n"});

}  // namespace
