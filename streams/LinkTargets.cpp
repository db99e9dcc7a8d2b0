#include "streams/LinkTargets.h"

#include <algorithm>

namespace {

constexpr uint32_t BAUD_RATES[] = {1200,   2400,   4800,   9600,    19200,   38400,   57600,   115200,  230400,
                                   460800, 500000, 576000, 921600, 1000000, 1500000, 2000000, 3000000, 4000000};

bool StartsWith(const std::string& str, const char* pszPrefix)
{
    return str.rfind(pszPrefix, 0) == 0;
}

}  // namespace

bool IsSupportedBaud(uint32_t nBaud)
{
    return std::find(std::begin(BAUD_RATES), std::end(BAUD_RATES), nBaud) != std::end(BAUD_RATES);
}

bool IsStreamLinkSpec(const std::string& strSpec)
{
    return StartsWith(strSpec, "serial:") || StartsWith(strSpec, "file:") || strSpec == "serial" || strSpec == "file";
}

bool ParseStreamLink(const std::string& strSpec, CStreamLinkTarget& target, std::string& strError)
{
    target = CStreamLinkTarget{};
    if (StartsWith(strSpec, "file:") || strSpec == "file") {
        target.eKind = EStreamLinkKind::File;
        target.strPath = strSpec.size() > 5 ? strSpec.substr(5) : std::string();
        if (target.strPath.empty()) {
            strError = "file: the path after ':' is missing (e.g. file:session.txt)";
            return false;
        }
        return true;
    }
    if (!StartsWith(strSpec, "serial:") && strSpec != "serial") {
        strError = "not a serial or file link: '" + strSpec + "'";
        return false;
    }
    target.eKind = EStreamLinkKind::Serial;
    const std::string strArgument = strSpec.size() > 7 ? strSpec.substr(7) : std::string();
    const size_t nComma = strArgument.find(',');
    target.strPath = strArgument.substr(0, nComma);
    if (target.strPath.empty()) {
        strError = "serial: the device after ':' is missing (e.g. serial:/dev/ttyACM0)";
        return false;
    }
    size_t nFrom = nComma;
    while (nFrom != std::string::npos) {
        const size_t nNext = strArgument.find(',', nFrom + 1);
        const std::string strOption = strArgument.substr(nFrom + 1, nNext == std::string::npos ? nNext : nNext - nFrom - 1);
        nFrom = nNext;
        if (!StartsWith(strOption, "baud=")) {
            strError = "serial: unknown option '" + strOption + "' (expected baud=N)";
            return false;
        }
        const std::string strValue = strOption.substr(5);
        uint64_t nBaud = 0;
        bool bDigits = !strValue.empty() && strValue.size() <= 8;
        for (const char c : strValue)
            bDigits = bDigits && c >= '0' && c <= '9';
        if (bDigits)
            for (const char c : strValue)
                nBaud = nBaud * 10 + static_cast<uint64_t>(c - '0');
        if (!bDigits || !IsSupportedBaud(static_cast<uint32_t>(nBaud))) {
            strError = "serial: unsupported rate '" + strValue +
                       "' (common rates from 1200 to 4000000, e.g. 9600 or 115200)";
            return false;
        }
        target.nBaud = static_cast<uint32_t>(nBaud);
    }
    return true;
}
