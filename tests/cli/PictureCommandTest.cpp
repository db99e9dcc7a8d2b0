// quillomat-cli soften, colorize and info on bitmap files: results, refusals and exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "bitmap/BmpBytes.h"
#include "bitmap/CDib.h"
#include "bitmap/DibPng.h"
#include "bitmap/PictureFile.h"
#include "effects/Palette.h"
#include "support/TestFiles.h"

namespace {

struct CCliResult {
    int nStatus = -1;
    std::string strOut, strErr;
};

class PictureCommandTest : public ::testing::Test {
protected:
    std::string Path(const std::string& strName) const { return (m_dir / strName).string(); }

    CCliResult Run(const std::string& strArgs) const {
        const std::string strErr = Path("stderr.txt");
        const std::string strCmd = std::string("'") + QUILLOMAT_CLI_PATH + "' " + strArgs + " 2>'" + strErr + "'";
        CCliResult r;
        FILE* p = ::popen(strCmd.c_str(), "r");
        if (p == nullptr)
            return r;
        char buf[4096];
        for (size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;)
            r.strOut.append(buf, n);
        const int nWait = ::pclose(p);
        r.nStatus = WIFEXITED(nWait) ? WEXITSTATUS(nWait) : -1;
        std::ifstream in(strErr, std::ios::binary);
        r.strErr.assign(std::istreambuf_iterator<char>(in), {});
        return r;
    }

    void WriteBytes(const std::string& strName, const std::string& strBytes) const {
        std::ofstream(Path(strName), std::ios::binary) << strBytes;
    }

    // A 7 × 7 white picture with one black pixel in the middle.
    void WriteDot(const std::string& strName) const {
        CDib dib;
        dib.Create(7, 7);
        dib.SetPixel({3, 3}, 0);
        ASSERT_TRUE(dib.WriteFile(Path(strName)).Ok());
    }

    // The bytes of a file as written.
    std::string ReadBytes(const std::string& strName) const { return ::ReadBytes(Path(strName)); }

    // A 9 × 6 picture in the four grey levels and two colours, as BMP and as PNG.
    void WriteShades(const std::string& strBmp, const std::string& strPng) const {
        CDib dib;
        dib.Create(9, 6);
        const uint32_t values[6] = {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000, 0x336699, 0xF08000};
        for (int32_t y = 0; y < 6; ++y)
            for (int32_t x = 0; x < 9; ++x)
                dib.SetPixel({x, y}, values[(x + 2 * y) % 6]);
        ASSERT_TRUE(dib.WriteFile(Path(strBmp)).Ok());
        ASSERT_TRUE(WritePictureFile(dib, Path(strPng)).Ok());
        ASSERT_EQ(ReadBytes(strPng).substr(0, 4), "\x89PNG");
    }

    CScratchFolder m_dir{"quillomat-picture-cli"};
};

TEST_F(PictureCommandTest, SoftenDefaultsAndOptions) {
    WriteDot("in.bmp");
    struct {
        std::string strOptions;
        uint32_t nCentre;
    } cases[] = {{"", 172}, {"--size 1", 53}, {"--size 25", 221}, {"--passes 3 --size 8", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strOptions);
        const CCliResult r = Run("soften " + c.strOptions + " '" + Path("in.bmp") + "' '" + Path("out.bmp") + "'");
        ASSERT_EQ(r.nStatus, 0) << r.strErr;
        EXPECT_EQ(r.strErr, "");
        CDib out;
        ASSERT_TRUE(out.ReadFile(Path("out.bmp")).Ok());
        if (c.nCentre != 0)
            EXPECT_EQ(out.GetPixel({3, 3}), c.nCentre * 0x010101u);
        else
            EXPECT_GT(out.GetPixel({3, 3}), 172u * 0x010101u);  // more passes spread the dot further
    }
}

TEST_F(PictureCommandTest, ColorizeCombinesTheTwoGroups) {
    CDib dib;
    dib.Create(4, 1);
    const uint32_t levels[4] = {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0};
    for (int32_t x = 0; x < 4; ++x)
        dib.SetPixel({x, 0}, levels[x]);
    ASSERT_TRUE(dib.WriteFile(Path("in.bmp")).Ok());
    struct {
        std::string strOptions;
        uint32_t nWhite, nLight;
    } cases[] = {{"", 0xFFFFFF, 0xCCCCCC}, {"--color 1", 0xFF0000, 0xCC0000},
                 {"--color 1 --bright 2", 0xAAFFCC, 0xCC0000}, {"--bright 1 --color 3", 0xFFFFFF, 0x0000CC}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strOptions);
        const CCliResult r = Run("colorize " + c.strOptions + " '" + Path("in.bmp") + "' '" + Path("out.bmp") + "'");
        ASSERT_EQ(r.nStatus, 0) << r.strErr;
        CDib out;
        ASSERT_TRUE(out.ReadFile(Path("out.bmp")).Ok());
        EXPECT_EQ(out.GetPixel({0, 0}), c.nWhite);
        EXPECT_EQ(out.GetPixel({1, 0}), c.nLight);
        EXPECT_EQ(out.GetPixel({3, 0}), 0u);
    }
}

TEST_F(PictureCommandTest, BadUsageIsExitTwoWithOneLine) {
    WriteDot("in.bmp");
    const std::string strIo = " '" + Path("in.bmp") + "' '" + Path("out.bmp") + "'";
    const char* bad[] = {"soften --passes 0", "soften --passes 101", "soften --size 26", "soften --size x",
                         "soften --passes", "soften --fast", "colorize --color 7", "colorize --bright 3",
                         "colorize --color -1", "colorize --colour 1", "soften --scale 0", "colorize --scale 17",
                         "palette", "palette --preset", "palette --preset gbc", "palette --colors FFFFFF,CCCCCC",
                         "palette --preset dmg --colors FFFFFF,CCCCCC,AAAAAA,000000", "palette --preset bw --scale 0"};
    for (const char* pszArgs : bad) {
        SCOPED_TRACE(pszArgs);
        const CCliResult r = Run(std::string(pszArgs) + strIo);
        EXPECT_EQ(r.nStatus, 2);
        EXPECT_EQ(std::count(r.strErr.begin(), r.strErr.end(), '\n'), 1) << r.strErr;
        EXPECT_FALSE(std::filesystem::exists(Path("out.bmp")));
    }
    EXPECT_EQ(Run("soften '" + Path("in.bmp") + "'").nStatus, 2);
    EXPECT_EQ(Run("info").nStatus, 2);
    EXPECT_EQ(Run("info a b").nStatus, 2);
}

TEST_F(PictureCommandTest, PaletteGivesTheEffectsBytes) {
    WriteShades("in.bmp", "in.png");
    CDib original;
    ASSERT_TRUE(original.ReadFile(Path("in.bmp")).Ok());
    const char* palettes[] = {"--preset dmg", "--preset pocket", "--preset bw", "--preset printed",
                              "--colors e0f8d0,88C070,#346856,081820"};
    for (const char* pszPalette : palettes) {
        SCOPED_TRACE(pszPalette);
        const CCliResult r = Run(std::string("palette ") + pszPalette + " '" + Path("in.png") + "' '" + Path("out.bmp") + "'");
        ASSERT_EQ(r.nStatus, 0) << r.strErr;
        CDib expected, out;
        ASSERT_TRUE(expected.ReadFile(Path("in.bmp")).Ok());
        const std::string strPalette = pszPalette;
        CPaletteColors colors{};
        if (strPalette.starts_with("--preset "))
            colors = FindPalettePreset(strPalette.substr(9))->colors;
        else
            ASSERT_TRUE(ParsePaletteColors(strPalette.substr(9), colors));
        ApplyPaletteToDib(expected, colors);
        ASSERT_TRUE(out.ReadFile(Path("out.bmp")).Ok());
        ASSERT_EQ(out.GetDimensions(), expected.GetDimensions());
        for (int32_t y = 0; y < 6; ++y)
            ASSERT_EQ(std::memcmp(out.GetRowBits(y), expected.GetRowBits(y), 27), 0) << y;
        EXPECT_EQ(out.GetPixel({0, 0}), colors[0]);  // white: the lightest colour
    }
}

TEST_F(PictureCommandTest, UnreadableInputAndUnwritableOutputAreExitOne) {
    WriteDot("in.bmp");
    WriteBytes("short.bmp", "BM12345678901");
    CCliResult r = Run("soften '" + Path("missing.bmp") + "' '" + Path("out.bmp") + "'");
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_NE(r.strErr.find("missing.bmp"), std::string::npos);
    r = Run("colorize '" + Path("short.bmp") + "' '" + Path("out.bmp") + "'");
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_NE(r.strErr.find("Error reading header"), std::string::npos);
    r = Run("soften '" + Path("in.bmp") + "' '" + Path("no/such/folder/out.bmp") + "'");
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_NE(r.strErr.find("Write error"), std::string::npos);
    // A picture without rows is read, but written nowhere.
    WriteBytes("rowless.bmp", MakeBmpFile({.nWidth = 4, .nHeight = 0, .nPixelBytes = 0}));
    r = Run("colorize '" + Path("rowless.bmp") + "' '" + Path("out.bmp") + "'");
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_NE(r.strErr.find("no rows; no file is written"), std::string::npos) << r.strErr;
    EXPECT_FALSE(std::filesystem::exists(Path("out.bmp")));
}

TEST_F(PictureCommandTest, EffectsRefuseOtherDepthsWithTheGermanMessage) {
    WriteBytes("four.bmp", MakeBmpFile({.nWidth = 4, .nHeight = 2, .nBitCount = 4, .nColorEntries = 16}));
    for (const char* pszCommand : {"soften", "colorize", "palette --preset dmg"}) {
        const CCliResult r = Run(std::string(pszCommand) + " '" + Path("four.bmp") + "' '" + Path("out.bmp") + "'");
        EXPECT_EQ(r.nStatus, 1);
        EXPECT_NE(r.strErr.find("Dieses Bild wurde ausserhalb von Quillomat erzeugt"), std::string::npos) << r.strErr;
        EXPECT_FALSE(std::filesystem::exists(Path("out.bmp")));
    }
}

TEST_F(PictureCommandTest, InfoTellsWhatAFileHoldsOrWhyItIsRefused) {
    WriteBytes("eight.bmp", MakeBmpFile({.nWidth = 9, .nHeight = 3, .nBitCount = 8, .nClrUsed = 5, .nColorEntries = 5}));
    CCliResult r = Run("info '" + Path("eight.bmp") + "'");
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_NE(r.strOut.find("format: Windows bitmap\nwidth: 9\nheight: 3\nbits per pixel: 8\ncolours: 5\n"
                            "image size: 36\nheader size: 60\n"),
              std::string::npos)
        << r.strOut;
    WriteBytes("deep.bmp", MakeBmpFile({.nWidth = 2, .nHeight = 2, .nBitCount = 32}));
    r = Run("info '" + Path("deep.bmp") + "'");
    EXPECT_EQ(r.nStatus, 0);
    EXPECT_NE(r.strErr.find(DIB_MSG_DEPTH), std::string::npos);
    WriteBytes("ba.bmp", "BA" + std::string(60, '\0'));
    r = Run("info '" + Path("ba.bmp") + "'");
    EXPECT_EQ(r.nStatus, 1);
    EXPECT_NE(r.strErr.find("Invalid bitmap file"), std::string::npos);
    EXPECT_EQ(r.strOut, "");
}

TEST_F(PictureCommandTest, PngInGivesTheSameBytesAsTheBitmapRoad) {
    WriteShades("in.bmp", "in.png");
    struct {
        const char* pCommand;
        const char* pOut;     // the PNG road's output
        int32_t nScale;
    } cases[] = {{"soften --passes 2", "png.bmp", 1}, {"colorize --color 2 --bright 2", "png.bmp", 1},
                 {"soften", "png.png", 1}, {"colorize --color 5", "PNG.PNG", 1}, {"soften --scale 3", "png.png", 3},
                 {"colorize --color 1 --scale 2", "png.bmp", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pCommand) + " > " + c.pOut);
        std::filesystem::remove(Path(c.pOut));
        CCliResult r = Run(std::string(c.pCommand) + " '" + Path("in.bmp") + "' '" + Path("bmp.bmp") + "'");
        ASSERT_EQ(r.nStatus, 0) << r.strErr;
        r = Run(std::string(c.pCommand) + " '" + Path("in.png") + "' '" + Path(c.pOut) + "'");
        ASSERT_EQ(r.nStatus, 0) << r.strErr;
        EXPECT_EQ(ReadBytes(c.pOut).substr(0, 4) == "\x89PNG", IsPngFileName(c.pOut));
        CDib viaBmp, viaPng;
        ASSERT_TRUE(viaBmp.ReadFile(Path("bmp.bmp")).Ok());
        ASSERT_TRUE(ReadPictureFile(viaPng, Path(c.pOut)).Ok());
        ASSERT_EQ(viaPng.GetDimensions(), (CSize{9 * c.nScale, 6 * c.nScale}));
        ASSERT_EQ(viaBmp.GetDimensions(), viaPng.GetDimensions());
        EXPECT_EQ(viaPng.GetBitCount(), 24);
        // The same pixel bytes in every row; enlarged, every pixel a block of the unenlarged
        // picture's colour.
        for (int32_t y = 0; y < 6 * c.nScale; ++y)
            ASSERT_EQ(std::memcmp(viaBmp.GetRowBits(y), viaPng.GetRowBits(y), size_t(27 * c.nScale)), 0) << y;
        if (c.nScale > 1) {
            ASSERT_EQ(Run(std::string(c.pCommand).substr(0, std::string(c.pCommand).find(" --scale")) + " '" +
                          Path("in.png") + "' '" + Path("one.bmp") + "'").nStatus, 0);
            CDib one;
            ASSERT_TRUE(one.ReadFile(Path("one.bmp")).Ok());
            for (int32_t y = 0; y < 6 * c.nScale; ++y)
                for (int32_t x = 0; x < 9 * c.nScale; ++x)
                    ASSERT_EQ(viaPng.GetPixel({x, y}), one.GetPixel({x / c.nScale, y / c.nScale})) << x << "," << y;
        }
    }
}

TEST_F(PictureCommandTest, BadPngIsExitOneWithItsReasonAndNoOutput) {
    WriteShades("in.bmp", "in.png");
    const std::string png = ReadBytes("in.png");
    WriteBytes("cut.png", png.substr(0, png.size() / 2));
    WriteBytes("noend.png", png.substr(0, png.size() - 12));
    std::string lying = png;
    lying[19] = 7;  // the width's low byte: the header's check sum no longer fits
    WriteBytes("lying.png", lying);
    struct {
        const char* pArgs;
        const char* pMessage;
    } cases[] = {{"soften cut.png out.png", PNG_MSG_TRUNCATED},
                 {"colorize noend.png out.bmp", PNG_MSG_TRUNCATED},
                 {"soften --scale 2 lying.png out.png", PNG_MSG_INVALID},
                 {"info cut.png", PNG_MSG_TRUNCATED}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pArgs);
        std::string strArgs = c.pArgs;
        for (const char* pName : {"cut.png", "noend.png", "lying.png", "out.png", "out.bmp"})
            if (size_t n = strArgs.find(pName); n != std::string::npos)
                strArgs.replace(n, std::strlen(pName), "'" + Path(pName) + "'");
        const CCliResult r = Run(strArgs);
        EXPECT_EQ(r.nStatus, 1);
        EXPECT_NE(r.strErr.find(c.pMessage), std::string::npos) << r.strErr;
        EXPECT_EQ(r.strOut, "");
        // Nothing written, not even a temporary file.
        for (const auto& entry : std::filesystem::directory_iterator(m_dir))
            EXPECT_TRUE(entry.path().filename().string().rfind("out", 0) != 0 &&
                        entry.path().filename().string()[0] != '.')
                << entry.path();
    }
}

// A PNG is described by its own header, not by the bitmap it is read into.
TEST_F(PictureCommandTest, InfoDescribesAPngAsAPng) {
    WriteShades("in.bmp", "in.png");
    const CCliResult r = Run("info '" + Path("in.png") + "'");
    EXPECT_EQ(r.nStatus, 0) << r.strErr;
    EXPECT_NE(r.strOut.find("format: PNG\nwidth: 9\nheight: 6\ncolour type: 2 (RGB)\nbit depth: 8\ninterlace: none\n"
                            "transparency: none\nread as: 24-bit picture\neffects: yes\n"),
              std::string::npos)
        << r.strOut;
    EXPECT_EQ(r.strOut.find("header size"), std::string::npos) << r.strOut;
    EXPECT_EQ(r.strOut.find("colours:"), std::string::npos) << r.strOut;
}

}  // namespace
