#include "streams/StreamFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

bool DecodeStreamFile(const std::string& strPath, IStreamPacketSink& sink, CStreamFileResult& result)
{
    result = CStreamFileResult{};
    std::FILE* pFile = std::fopen(strPath.c_str(), "rb");
    if (!pFile) {
        result.strError = strPath + ": cannot be read (" + std::strerror(errno) + ")";
        return false;
    }
    CStreamDecoder decoder(sink);
    uint8_t buffer[1 << 16];
    size_t nRead = 0;
    while ((nRead = std::fread(buffer, 1, sizeof buffer, pFile)) > 0)
        decoder.Feed(buffer, nRead);
    const bool bFailed = std::ferror(pFile) != 0;
    const int nErrno = errno;
    std::fclose(pFile);
    if (bFailed) {
        result.strError = strPath + ": cannot be read (" + std::strerror(nErrno) + ")";
        return false;
    }
    decoder.Finish();
    result.info = {decoder.GetLayout(), decoder.GetBanner()};
    result.stats = decoder.GetStats();
    return true;
}
