// quillomat-cli colorize: the colouring command on a bitmap or PNG file.
#include "cli/Commands.h"
#include "cli/PictureCommandSupport.h"

#include "bitmap/CDib.h"
#include "effects/Colorize.h"
#include "effects/EffectDepth.h"

namespace {

int RunColorize(const std::vector<std::string>& args)
{
    int32_t nColor = 0, nBright = 0, nScale = 1;
    std::vector<std::string> files;
    if (int nStatus = ParseIntOptions("colorize", args, {{"--color", &nColor, 0, 6}, {"--bright", &nBright, 0, 2}, {SCALE_OPTION, &nScale, 1, 16}}, files))
        return nStatus;
    if (files.size() != 2)
        return CliUsageError("colorize: give one input and one output file (colorize [--color 0..6] [--bright 0..2] [--scale N] IN OUT)");

    CFileMessages messages(files[0]);
    CDib dib;
    if (!LoadPictureFile(dib, files[0]))
        return CLI_FAILED;
    if (!ShowResult(CheckEffectDepth(dib)))
        return CLI_FAILED;
    // Nothing can be undone here, so no snapshot is taken.
    ColorizeDib(dib, nColor + 16 * nBright);
    messages.SetFile(files[1]);
    return WritePicture(dib, files[1], nScale) ? CLI_OK : CLI_FAILED;
}

const CCommandRegistrar registrar(
    {"colorize", "colorize [--color 0..6] [--bright 0..2] [--scale N] IN OUT",
     "colour a bitmap or PNG file (colour: 0 grey, 1 red, 2 green, 3 blue, 4 yellow, 5 violet, 6 turquoise; "
     "brightest: 0 as the colour, 1 white, 2 console green; scale 1..16 enlarges the result; OUT.png writes PNG)",
     RunColorize,
     "\n--color C   0 grey, 1 red, 2 green, 3 blue, 4 yellow, 5 violet, 6 turquoise (0..6; default 0)\n"
     "--bright B  the brightest colour: 0 as the colour gives it, 1 white, 2 the console's pale\n"
     "            green (0..2; default 0)\n"
     "--scale N   writes the result N times larger, every pixel an N x N block (1..16; default 1)\n"
     "IN          a bitmap or PNG file; OUT ending in .png (any case) is written as PNG, else as a\n"
     "            Windows bitmap\n"});

} // namespace
