#include "linkspec/LinkSpec.h"

#include "console/CSimConsole.h"
#include "console/SimOptions.h"
#include "link/HardwarePorts.h"

#include <cstdlib>

std::string DefaultLinkSpec()
{
    const char* pszLink = std::getenv("QUILLOMAT_LINK");
    return pszLink && *pszLink ? std::string(pszLink) : std::string("auto");
}

namespace {

std::shared_ptr<PortIo> OpenPpdev(const std::vector<std::string>& devices, std::string& strError,
                                  const std::shared_ptr<IPortSystem>& pSystem)
{
    auto pPort = std::make_shared<CPpdevPortIo>(pSystem);
    std::string strFirstError;
    for (const std::string& strDevice : devices) {
        std::string strDeviceError;
        if (!pPort->AddDevice(strDevice, strDeviceError) && strFirstError.empty())
            strFirstError = strDeviceError;
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
    std::string strOpenError;
    if (!pPort->Open(strOpenError)) {
        strError = "direct: " + strOpenError;
        return nullptr;
    }
    return pPort;
}

} // namespace

std::shared_ptr<PortIo> OpenLink(const std::string& strSpec, std::string& strError,
                                 const std::shared_ptr<IPortSystem>& pSystem, bool& bBadSpec)
{
    strError.clear();
    // Until a backend is tried, every failure is a fault of the string itself.
    bBadSpec = true;
    const size_t nColon = strSpec.find(':');
    const std::string strKind = strSpec.substr(0, nColon);
    const bool bHasArgument = nColon != std::string::npos;
    const std::string strArgument = bHasArgument ? strSpec.substr(nColon + 1) : std::string();

    if (strKind == "sim") {
        CSimOptions options;
        if (!ParseSimOptions(strArgument, options, strError))
            return nullptr;
        bBadSpec = false;
        return CreateSimConsole(options, strError);
    }
    if (strKind == "ppdev") {
        if (bHasArgument && strArgument.empty()) {
            strError = "ppdev: the device after ':' is missing (e.g. ppdev:/dev/parport0)";
            return nullptr;
        }
        bBadSpec = false;
        return OpenPpdev(bHasArgument ? std::vector<std::string>{strArgument} : FindParportDevices(*pSystem),
                         strError, pSystem);
    }
    if (strKind == "direct" || strKind == "auto") {
        if (bHasArgument) {
            strError = "link '" + strKind + "' takes no options: '" + strArgument + "'";
            return nullptr;
        }
        bBadSpec = false;
        if (strKind == "direct")
            return OpenDirect(strError, pSystem);
        // auto: the first backend that works, else a port where nothing answers.
        std::string strIgnored;
        const std::vector<std::string> devices = FindParportDevices(*pSystem);
        if (!devices.empty())
            if (auto pPort = OpenPpdev(devices, strIgnored, pSystem))
                return pPort;
        if (auto pPort = OpenDirect(strIgnored, pSystem))
            return pPort;
        return std::make_shared<CNoPortIo>();
    }
    strError = "unknown link '" + strKind + "' (expected auto, ppdev[:DEVICE], direct or sim[:OPTIONS])";
    return nullptr;
}

std::shared_ptr<PortIo> OpenLink(const std::string& strSpec, std::string& strError,
                                 const std::shared_ptr<IPortSystem>& pSystem)
{
    bool bBadSpec = false;
    return OpenLink(strSpec, strError, pSystem, bBadSpec);
}

std::shared_ptr<PortIo> OpenLink(const std::string& strSpec, std::string& strError, bool& bBadSpec)
{
    return OpenLink(strSpec, strError, RealPortSystem(), bBadSpec);
}

std::shared_ptr<PortIo> OpenLink(const std::string& strSpec, std::string& strError)
{
    bool bBadSpec = false;
    return OpenLink(strSpec, strError, RealPortSystem(), bBadSpec);
}
