// quillomat-cli soften: the softening command on a bitmap or PNG file.
#include "cli/Commands.h"
#include "cli/PictureCommandSupport.h"

#include "bitmap/CDib.h"
#include "effects/EffectDepth.h"
#include "effects/Soften.h"

namespace {

int RunSoften(const std::vector<std::string>& args)
{
    int32_t nPasses = 1, nSize = 8, nScale = 1;
    std::vector<std::string> files;
    if (int nStatus = ParseIntOptions("soften", args, {{"--passes", &nPasses, 1, 100}, {"--size", &nSize, 1, 25}, {SCALE_OPTION, &nScale, 1, 16}}, files))
        return nStatus;
    if (files.size() != 2)
        return CliUsageError("soften: give one input and one output file (soften [--passes N] [--size S] [--scale N] IN OUT)");

    CFileMessages messages(files[0]);
    CDib dib;
    if (!LoadPictureFile(dib, files[0]))
        return CLI_FAILED;
    // As the settings dialog leaves them after OK: centre 25, both sizes the same.
    CSoftenSettings settings;
    settings.m_nSoftCentre = 25;
    settings.m_nSoftSize = nSize;
    settings.m_nSoftSizeEntered = nSize;
    settings.m_nSoftPasses = nPasses;
    // Nothing can be undone here, so no snapshot is taken.
    if (!ShowResult(SoftenDib(dib, settings, {})))
        return CLI_FAILED;
    messages.SetFile(files[1]);
    return WritePicture(dib, files[1], nScale) ? CLI_OK : CLI_FAILED;
}

const CCommandRegistrar registrar({"soften", "soften [--passes N] [--size S] [--scale N] IN OUT",
                                   "soften a bitmap or PNG file (passes 1..100, default 1; size 1..25, default 8; "
                                   "scale 1..16 enlarges the result; OUT.png writes PNG)",
                                   RunSoften,
                                   "\n--passes N  how often the filter runs (1..100; default 1)\n"
                                   "--size S    the filter's size (1..25; default 8)\n"
                                   "--scale N   writes the result N times larger, every pixel an N x N block "
                                   "(1..16; default 1)\n"
                                   "IN          a bitmap or PNG file; OUT ending in .png (any case) is written as "
                                   "PNG,\n            else as a Windows bitmap\n"});

} // namespace
