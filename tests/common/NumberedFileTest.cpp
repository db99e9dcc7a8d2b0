// Numbered files: the names, where a series goes on, and that no existing file is ever replaced.
#include "common/NumberedFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

TEST(NumberedFile, NamesHaveAtLeastFourDigits) {
    EXPECT_EQ(NumberedFileName("Bild-", 1, ".png"), "Bild-0001.png");
    EXPECT_EQ(NumberedFileName("Bild-", 9999, ".png"), "Bild-9999.png");
    EXPECT_EQ(NumberedFileName("Bild-", 12345, ".png"), "Bild-12345.png");
}

TEST(NumberedFile, TheSeriesGoesOnAfterTheHighestNumber) {
    const struct {
        std::vector<const char*> names;  // already in the folder
        int64_t nNext;
    } cases[] = {
        {{}, 1},
        {{"Bild-0001.png", "Bild-0002.png"}, 3},
        {{"Bild-0007.png"}, 8},                                      // gaps are not filled
        {{"Bild-0003.bmp", "Foto-0009.png", "Bild-abcd.png", "Bild-.png", "Bild-0002.png.txt"}, 1},
        {{"Bild-12000.png", "Bild-0004.png"}, 12001},
    };
    for (const auto& c : cases) {
        CScratchFolder folder("quillomat-numbered");
        for (const char* pszName : c.names)
            WriteBytes(folder / pszName, "x");
        EXPECT_EQ(NextFileNumber(folder, "Bild-", ".png"), c.nNext) << testing::PrintToString(c.names);
    }
    EXPECT_EQ(NextFileNumber("/no/such/folder", "Bild-", ".png"), 1);
}

TEST(NumberedFile, WritesTheNextFreeNumberAndReplacesNothing) {
    CScratchFolder folder("quillomat-numbered");
    WriteBytes(folder / "Bild-0002.png", "old");
    std::filesystem::path written;
    const CResult first = WriteNumberedFile(folder, "Bild-", ".png", "new", written);
    ASSERT_TRUE(first.Ok()) << first.m_strMessage;
    EXPECT_EQ(written, folder / "Bild-0003.png");
    EXPECT_EQ(ReadBytes(written), "new");
    // A file that appears where the next one was going to be (a dangling link stands for one
    // whose name was taken after the look) is passed over, not replaced.
    std::filesystem::create_symlink(folder / "elsewhere", folder / "Bild-0004.png");
    std::filesystem::create_directory(folder / "Bild-0005.png");
    const CResult second = WriteNumberedFile(folder, "Bild-", ".png", "next", written);
    ASSERT_TRUE(second.Ok()) << second.m_strMessage;
    EXPECT_EQ(written, folder / "Bild-0006.png");
    EXPECT_EQ(ReadBytes(folder / "Bild-0002.png"), "old");
    EXPECT_FALSE(std::filesystem::exists(folder / "elsewhere"));
    EXPECT_EQ(folder.Names(),
              (std::vector<std::string>{"Bild-0002.png", "Bild-0003.png", "Bild-0004.png", "Bild-0005.png", "Bild-0006.png"}));

    const CResult missing = WriteNumberedFile(folder / "missing", "Bild-", ".png", "x", written);
    EXPECT_EQ(missing.m_eKind, EErrorKind::WriteFailed);
    EXPECT_NE(missing.m_strMessage.find("missing"), std::string::npos);
}

}  // namespace
