// quillomat-cli palette: a known palette, or four colours of one's own, laid over a bitmap or
// PNG file's four grey levels.
#include "cli/Commands.h"
#include "cli/PictureCommandSupport.h"

#include "bitmap/CDib.h"
#include "effects/EffectDepth.h"
#include "effects/Palette.h"

namespace {

constexpr const char* USAGE = "palette (--preset NAME | --colors RRGGBB,RRGGBB,RRGGBB,RRGGBB) [--scale N] IN OUT";

std::string PresetList()
{
    std::string strList;
    for (const CPalettePreset& preset : PalettePresets())
        strList += std::string(strList.empty() ? "" : ", ") + preset.pszName;
    return strList;
}

int RunPalette(const std::vector<std::string>& args)
{
    // --preset and --colors take text; the rest goes to the shared parser (--scale, files).
    std::vector<std::string> rest;
    CPaletteColors colors{};
    int nChoices = 0;
    for (size_t i = 0; i < args.size(); ++i) {
        const bool bPreset = args[i] == "--preset";
        if (!bPreset && args[i] != "--colors") {
            rest.push_back(args[i]);
            continue;
        }
        if (i + 1 >= args.size())
            return CliUsageError("palette: " + args[i] + (bPreset ? " needs a name (" + PresetList() + ")"
                                                                  : " needs four colours RRGGBB,RRGGBB,RRGGBB,RRGGBB"));
        const std::string& strValue = args[++i];
        ++nChoices;
        if (bPreset) {
            const CPalettePreset* pPreset = FindPalettePreset(strValue);
            if (!pPreset)
                return CliUsageError("palette: unknown preset '" + strValue + "' (" + PresetList() + ")");
            colors = pPreset->colors;
        } else if (!ParsePaletteColors(strValue, colors)) {
            return CliUsageError("palette: --colors takes four colours RRGGBB,RRGGBB,RRGGBB,RRGGBB (lightest first), not '" +
                                 strValue + "'");
        }
    }
    if (nChoices != 1)
        return CliUsageError("palette: give either --preset NAME or --colors (" + std::string(USAGE) + ")");
    int32_t nScale = 1;
    std::vector<std::string> files;
    if (int nStatus = ParseIntOptions("palette", rest, {{SCALE_OPTION, &nScale, 1, 16}}, files))
        return nStatus;
    if (files.size() != 2)
        return CliUsageError("palette: give one input and one output file (" + std::string(USAGE) + ")");

    CFileMessages messages(files[0]);
    CDib dib;
    if (!LoadPictureFile(dib, files[0]))
        return CLI_FAILED;
    if (!ShowResult(CheckEffectDepth(dib)))
        return CLI_FAILED;
    // Nothing can be undone here, so no snapshot is taken.
    ApplyPaletteToDib(dib, colors);
    messages.SetFile(files[1]);
    return WritePicture(dib, files[1], nScale) ? CLI_OK : CLI_FAILED;
}

std::string Details()
{
    std::string strText = "presets:\n";
    for (const CPalettePreset& preset : PalettePresets())
        strText += "  " + std::string(preset.pszName) + std::string(10 - std::string(preset.pszName).size(), ' ') +
                   FormatPaletteColors(preset.colors) + "\n";
    strText += "The colours go lightest first. A received picture's four grey levels (FFFFFF, CCCCCC, AAAAAA,\n"
               "000000) take the four colours one to one; other shades go by brightness\n"
               "((299 red + 587 green + 114 blue) / 1000): 230-255 the first colour, 187-229 the second,\n"
               "85-186 the third, 0-84 the fourth. 1- and 8-bit pictures get the colours in their colour table.\n";
    return strText;
}

const CCommandRegistrar registrar({"palette", USAGE,
                                   "lay a known palette (dmg, pocket, bw, printed) or four colours of one's own over a "
                                   "bitmap or PNG file's grey levels (scale 1..16 enlarges the result; OUT.png writes PNG)",
                                   RunPalette, Details()});

} // namespace
