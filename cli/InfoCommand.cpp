// quillomat-cli info: what a bitmap or PNG file holds, or why it is refused.
#include "cli/Commands.h"
#include "cli/PictureCommandSupport.h"

#include <cstdio>

#include "bitmap/CDib.h"
#include "effects/EffectDepth.h"

namespace {

int RunInfo(const std::vector<std::string>& args) {
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-'))
        return CliUsageError("info: give one picture file (info FILE)");
    const std::string& strFile = args[0];
    CFileMessages messages(strFile);
    CDib dib;
    if (!LoadPictureFile(dib, strFile))
        return CLI_FAILED;
    const CSize size = dib.GetDimensions();
    std::printf("file: %s\n", strFile.c_str());
    std::printf("width: %d\n", size.cx);
    std::printf("height: %d\n", size.cy);
    std::printf("bits per pixel: %u\n", unsigned(dib.GetBitCount()));
    std::printf("colours: %d\n", dib.GetColorCount());
    std::printf("image size: %u\n", dib.GetImageSize());
    std::printf("header size: %u\n", dib.GetHeaderSize());
    std::printf("effects: %s\n", IsEffectDepthSupported(dib) ? "yes" : "no (not 1, 8 or 24 bits)");
    return CLI_OK;
}

const CCommandRegistrar registrar({"info", "info FILE", "what a bitmap or PNG file holds (a PNG as the 24-bit picture it becomes), or why it is refused", RunInfo});

}  // namespace
