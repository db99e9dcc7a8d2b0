#include "streams/SerialPorts.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <tuple>

namespace {

struct CPortName {
    int nFamily = 0;       // 0 ttyACM, 1 ttyUSB
    unsigned long nNumber = 0;
    std::string strName;
};

bool ReadPortName(const std::string& strName, CPortName& port)
{
    static const char* const FAMILIES[] = {"ttyACM", "ttyUSB"};
    for (int nFamily = 0; nFamily < 2; ++nFamily) {
        const std::string strPrefix = FAMILIES[nFamily];
        if (strName.rfind(strPrefix, 0) != 0 || strName.size() == strPrefix.size())
            continue;
        const std::string strDigits = strName.substr(strPrefix.size());
        if (strDigits.size() > 6 || !std::all_of(strDigits.begin(), strDigits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        port = {nFamily, std::stoul(strDigits), strName};
        return true;
    }
    return false;
}

}  // namespace

std::vector<std::string> ListSerialDevices(const std::string& strDevDir)
{
    std::vector<CPortName> ports;
    std::error_code error;
    for (std::filesystem::directory_iterator it(strDevDir, error), end; !error && it != end; it.increment(error)) {
        CPortName port;
        if (ReadPortName(it->path().filename().string(), port))
            ports.push_back(port);
    }
    std::sort(ports.begin(), ports.end(), [](const CPortName& a, const CPortName& b) {
        return std::tie(a.nFamily, a.nNumber) < std::tie(b.nFamily, b.nNumber);
    });
    std::vector<std::string> paths;
    const std::string strDir = strDevDir.empty() || strDevDir.back() == '/' ? strDevDir : strDevDir + "/";
    for (const CPortName& port : ports)
        paths.push_back(strDir + port.strName);
    return paths;
}
