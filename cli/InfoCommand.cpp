// quillomat-cli info: what a bitmap or PNG file holds, or why it is refused. Each kind is
// described in its own terms: a bitmap by its header's fields, a PNG by its own header.
#include "cli/Commands.h"
#include "cli/PictureCommandSupport.h"
#include "cli/PngHeader.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "bitmap/CDib.h"
#include "effects/EffectDepth.h"

namespace {

void PrintPng(const CPngHeader& png, const CDib& dib)
{
    std::printf("format: PNG\n");
    std::printf("width: %u\n", png.nWidth);
    std::printf("height: %u\n", png.nHeight);
    std::printf("colour type: %u (%s)\n", unsigned(png.nColourType), PngColourTypeName(png.nColourType));
    std::printf("bit depth: %u\n", unsigned(png.nBitDepth));
    std::printf("interlace: %s\n", png.nInterlace == 0 ? "none" : "Adam7");
    if (png.nPaletteEntries >= 0)
        std::printf("palette entries: %d\n", png.nPaletteEntries);
    const bool bAlpha = png.nColourType == 4 || png.nColourType == 6;
    std::printf("transparency: %s\n", bAlpha ? "alpha channel" : png.bTransparency ? "tRNS chunk" : "none");
    std::printf("read as: %u-bit picture%s\n", unsigned(dib.GetBitCount()),
                bAlpha || png.bTransparency ? ", transparent pixels on white" : "");
}

void PrintBitmap(const CDib& dib)
{
    const CSize size = dib.GetDimensions();
    std::printf("format: Windows bitmap\n");
    std::printf("width: %d\n", size.cx);
    std::printf("height: %d\n", size.cy);
    std::printf("bits per pixel: %u\n", unsigned(dib.GetBitCount()));
    std::printf("colours: %d\n", dib.GetColorCount());
    std::printf("image size: %u\n", dib.GetImageSize());
    std::printf("header size: %u\n", dib.GetHeaderSize());
}

int RunInfo(const std::vector<std::string>& args) {
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-'))
        return CliUsageError("info: give one picture file (info FILE)");
    const std::string& strFile = args[0];
    CFileMessages messages(strFile);
    CDib dib;
    if (!LoadPictureFile(dib, strFile))
        return CLI_FAILED;
    std::ifstream file(strFile, std::ios::binary);
    const std::string strBytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::printf("file: %s\n", strFile.c_str());
    if (CPngHeader png; ReadPngHeader(strBytes, png))
        PrintPng(png, dib);
    else
        PrintBitmap(dib);
    std::printf("effects: %s\n", IsEffectDepthSupported(dib) ? "yes" : "no (not 1, 8 or 24 bits)");
    return CLI_OK;
}

const CCommandRegistrar registrar({"info", "info FILE",
                                   "what a bitmap or PNG file holds, each in its own terms, or why it is refused",
                                   RunInfo,
                                   "\nA bitmap: width, height, bits per pixel, colours, image and header size.\n"
                                   "A PNG: width, height, colour type, bit depth, interlacing, palette and\n"
                                   "transparency, and the picture it is read as (24 bits, transparent pixels on\n"
                                   "white). Both: whether the effects work on it.\n"});

}  // namespace
