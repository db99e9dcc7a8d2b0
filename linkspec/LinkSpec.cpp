#include "linkspec/LinkSpec.h"

#include "console/CSimConsole.h"
#include "console/SimOptions.h"
#include "link/HardwarePorts.h"
#include "streams/LinkTargets.h"

#include <cstdlib>

std::string ResolveLinkSpec(const std::string& strEnvironment, const std::string& strProfile)
{
    if (!strEnvironment.empty())
        return strEnvironment;
    constexpr const char* BLANKS = " \t\n\v\f\r";
    const size_t nFirst = strProfile.find_first_not_of(BLANKS);
    if (nFirst != std::string::npos)
        return strProfile.substr(nFirst, strProfile.find_last_not_of(BLANKS) - nFirst + 1);
    return "auto";
}

std::string DefaultLinkSpec(const std::string& strProfile)
{
    const char* pszLink = std::getenv("QUILLOMAT_LINK");
    return ResolveLinkSpec(pszLink ? pszLink : "", strProfile);
}

namespace {

std::shared_ptr<CPpdevPortIo> OpenPpdev(const std::vector<std::string>& devices, std::string& strError,
                                  const std::shared_ptr<IPortSystem>& pSystem)
{
    auto pPort = std::make_shared<CPpdevPortIo>(pSystem);
    std::string strFirstError;
    for (const std::string& strDevice : devices) {
        const CResult added = pPort->AddDevice(strDevice);
        if (!added.Ok() && strFirstError.empty())
            strFirstError = added.m_strMessage;
        if (pPort->GetDeviceCount() == 3)
            break;
    }
    if (pPort->GetDeviceCount() == 0) {
        strError = "ppdev: " + (strFirstError.empty() ? std::string("no /dev/parport* device") : strFirstError);
        return nullptr;
    }
    return pPort;
}

std::shared_ptr<PortIo> OpenDirect(std::string& strError, const std::shared_ptr<IPortSystem>& pSystem)
{
    auto pPort = std::make_shared<CDirectPortIo>(pSystem);
    if (const CResult opened = pPort->Open(); !opened.Ok()) {
        strError = "direct: " + opened.m_strMessage;
        return nullptr;
    }
    return pPort;
}

} // namespace


COpenedLink OpenLink(const std::string& strSpec, const std::shared_ptr<IPortSystem>& pGivenSystem)
{
    const std::shared_ptr<IPortSystem> pSystem = pGivenSystem ? pGivenSystem : RealPortSystem();
    COpenedLink link;
    // Until a backend is tried, every failure is a fault of the string itself.
    const auto Refuse = [&link](std::string strError, std::string strCulprit) {
        link.eFailure = ELinkFailure::BadSpec;
        link.strError = std::move(strError);
        link.strCulprit = std::move(strCulprit);
        return link;
    };
    // A backend was tried: it gives the port, or the reason it could not open what was named.
    const auto Tried = [&link](std::shared_ptr<PortIo> pPort, std::string strTarget = std::string()) {
        link.pPort = std::move(pPort);
        link.eFailure = link.pPort ? ELinkFailure::None : ELinkFailure::Unreachable;
        if (!link.pPort)
            link.strCulprit = std::move(strTarget);
        return link;
    };
    const auto TriedPpdev = [&link, &Tried](std::shared_ptr<CPpdevPortIo> pPort, std::string strTarget = std::string()) {
        for (size_t n = 0; pPort && n < pPort->GetDeviceCount(); ++n)
            link.ppdevBases.push_back(pPort->GetDeviceBase(n));
        return Tried(std::move(pPort), std::move(strTarget));
    };
    if (IsStreamLinkSpec(strSpec)) {
        CStreamLinkTarget target;
        std::string strError;
        if (!ParseStreamLink(strSpec, target, strError))
            return Refuse(std::move(strError), strSpec);
        link.pSource = OpenPacketSource(target, link.strError, link.strUiText);
        if (!link.pSource) {
            link.eFailure = ELinkFailure::Unreachable;
            link.strCulprit = target.strPath;
        }
        return link;
    }
    const size_t nColon = strSpec.find(':');
    const std::string strKind = strSpec.substr(0, nColon);
    const bool bHasArgument = nColon != std::string::npos;
    const std::string strArgument = bHasArgument ? strSpec.substr(nColon + 1) : std::string();

    if (strKind == "sim") {
        CSimOptions options;
        std::string strError;
        std::string strCulprit;
        if (!ParseSimOptions(strArgument, options, strError, &strCulprit))
            return Refuse(std::move(strError), std::move(strCulprit));
        return Tried(CreateSimConsole(options, link.strError),
                     options.strReplay.empty() ? options.strPicture : options.strReplay);
    }
    if (strKind == "ppdev") {
        if (bHasArgument && strArgument.empty())
            return Refuse("ppdev: the device after ':' is missing (e.g. ppdev:/dev/parport0)", strSpec);
        return TriedPpdev(OpenPpdev(bHasArgument ? std::vector<std::string>{strArgument} : FindParportDevices(*pSystem),
                               link.strError, pSystem),
                     bHasArgument ? strArgument : std::string("/dev/parport*"));
    }
    if (strKind == "direct" || strKind == "auto") {
        if (bHasArgument)
            return Refuse("link '" + strKind + "' takes no options: '" + strArgument + "'", strArgument);
        if (strKind == "direct")
            return Tried(OpenDirect(link.strError, pSystem));
        // auto: the first backend that works, else a port where nothing answers.
        std::string strIgnored;
        const std::vector<std::string> devices = FindParportDevices(*pSystem);
        if (!devices.empty())
            if (auto pPort = OpenPpdev(devices, strIgnored, pSystem))
                return TriedPpdev(std::move(pPort));
        if (auto pPort = OpenDirect(strIgnored, pSystem))
            return Tried(std::move(pPort));
        return Tried(std::make_shared<CNoPortIo>());
    }
    return Refuse("unknown link '" + strKind + "' (expected auto, ppdev[:DEVICE], direct, sim[:OPTIONS], serial:DEVICE[,baud=N] or file:PATH)", strKind);
}
