#include "cli/PictureCommandSupport.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "bitmap/CDib.h"
#include "bitmap/DibScale.h"
#include "bitmap/PictureFile.h"
#include "cli/Commands.h"

namespace {
bool ParseInt(const std::string& str, int32_t& nValue)
{
    const char* pEnd = str.data() + str.size();
    auto [p, ec] = std::from_chars(str.data(), pEnd, nValue);
    return ec == std::errc() && p == pEnd && !str.empty();
}
} // namespace

int ParseIntOptions(const std::string& strCommand, const std::vector<std::string>& args,
                    std::initializer_list<CIntOption> options, std::vector<std::string>& files)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& strArg = args[i];
        const CIntOption* pOption = nullptr;
        for (const CIntOption& option : options)
            if (strArg == option.pName)
                pOption = &option;
        if (pOption == nullptr) {
            if (strArg.size() > 1 && strArg[0] == '-')
                return CliUsageError(strCommand + ": unknown option '" + strArg + "'");
            files.push_back(strArg);
            continue;
        }
        if (i + 1 >= args.size())
            return CliUsageError(strCommand + ": " + strArg + " needs a number");
        const std::string& strValue = args[++i];
        if (!ParseInt(strValue, *pOption->pValue))
            return CliUsageError(strCommand + ": " + strArg + " takes a whole number, not '" + strValue + "'");
        if (*pOption->pValue < pOption->nMin || *pOption->pValue > pOption->nMax)
            return CliUsageError(strCommand + ": " + strArg + " must be between " + std::to_string(pOption->nMin) +
                                 " and " + std::to_string(pOption->nMax));
    }
    return CLI_OK;
}

bool LoadPictureFile(CDib& dib, const std::string& strFile)
{
    std::ifstream file(strFile, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "quillomat-cli: %s: %s\n", strFile.c_str(), std::strerror(errno));
        return false;
    }
    file.close();
    return ShowResult(ReadPictureFile(dib, strFile));
}

bool WritePicture(const CDib& dib, const std::string& strFile, int32_t nScale)
{
    // A picture without rows would only stand in for one: such a file is no use to anybody.
    if (dib.GetDimensions().cy <= 0) {
        ShowMessage(CLI_MSG_NO_ROWS);
        return false;
    }
    if (nScale <= 1)
        return ShowResult(WritePictureFile(dib, strFile));
    CDib scaled;
    return ShowResult(ScaleDib(dib, nScale, scaled)) && ShowResult(WritePictureFile(scaled, strFile));
}

CFileMessages::CFileMessages(std::string strFile)
    : m_strFile(std::move(strFile)),
      m_Sink([this](const std::string& strText) {
          std::fprintf(stderr, "quillomat-cli: %s: %s\n", m_strFile.c_str(), strText.c_str());
      })
{
}
