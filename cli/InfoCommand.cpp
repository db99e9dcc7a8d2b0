// quillomat-cli info: what a bitmap file holds, or why it is refused.
#include "cli/Commands.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "bitmap/CDib.h"
#include "common/MessageSink.h"

namespace {

// Loads a bitmap file; a file that cannot be opened is named with the system's reason.
bool LoadPicture(CDib& dib, const std::string& strFile) {
    std::ifstream file(strFile, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "quillomat-cli: %s: %s\n", strFile.c_str(), std::strerror(errno));
        return false;
    }
    return dib.Read(file);
}

int RunInfo(const std::vector<std::string>& args) {
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-'))
        return CliUsageError("info: give one bitmap file (info FILE)");
    const std::string& strFile = args[0];
    CScopedMessageSink sink(
        [&](const std::string& s) { std::fprintf(stderr, "quillomat-cli: %s: %s\n", strFile.c_str(), s.c_str()); });
    CDib dib;
    if (!LoadPicture(dib, strFile))
        return CLI_FAILED;
    const CSize size = dib.GetDimensions();
    std::printf("file: %s\n", strFile.c_str());
    std::printf("width: %d\n", size.cx);
    std::printf("height: %d\n", size.cy);
    std::printf("bits per pixel: %u\n", unsigned(dib.GetBitCount()));
    std::printf("colours: %d\n", dib.GetColorCount());
    std::printf("image size: %u\n", dib.GetImageSize());
    std::printf("header size: %u\n", dib.GetHeaderSize());
    const uint16_t nBits = dib.GetBitCount();
    std::printf("effects: %s\n", (nBits == 1 || nBits == 8 || nBits == 24) ? "yes" : "no (not 1, 8 or 24 bits)");
    return CLI_OK;
}

const CCommandRegistrar registrar({"info", "info FILE", "what a bitmap file holds, or why it is refused", RunInfo});

}  // namespace
