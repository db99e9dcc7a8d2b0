// Packets of a print, recorded sessions and the test card.

#include "console/ConsolePicture.h"
#include "console/DefaultPicture.h"
#include "console/PrintSession.h"
#include "protocol/RunLength.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <array>
#include <fstream>
#include <set>
#include <unistd.h>

namespace {

TEST(PrintSession, PacketLayoutAndChecksum)
{
    const std::vector<uint8_t> data{0xFF, 0xFF, 0x01};
    EXPECT_EQ(MakePacket(PRINTER_CMD_DATA, 0, data),
              (CPacket{0x88, 0x33, 0x04, 0x00, 0x03, 0x00, 0xFF, 0xFF, 0x01, 0x06, 0x02, 0x00, 0x00}));
    EXPECT_EQ(MakePacket(PRINTER_CMD_INIT, 0, {}), (CPacket{0x88, 0x33, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}));
    // The sum wraps at 16 bits.
    const std::vector<uint8_t> big(640, 0xFF);
    const CPacket packet = MakePacket(PRINTER_CMD_DATA, 0, big);
    const uint16_t nSum = static_cast<uint16_t>(0x04 + 0x80 + 0x02 + 640 * 0xFF);
    EXPECT_EQ(packet[646], nSum & 0xFF);
    EXPECT_EQ(packet[647], nSum >> 8);
}

TEST(PrintSession, APrintCarriesThePictureInOrder)
{
    const std::vector<uint8_t> card = BuildTestCard();
    for (bool bCompress : {false, true}) {
        const std::vector<CPacket> packets = BuildPrintSession(card, bCompress);
        std::vector<uint8_t> commands;
        for (const CPacket& p : packets)
            commands.push_back(p[2]);
        const std::vector<uint8_t> expected{1, 15, 4, 15, 4, 15, 4, 15, 4, 15, 4, 15, 4, 15, 4, 15, 4, 15, 4, 15,
                                            4, 2, 15, 15, 15};
        EXPECT_EQ(commands, expected);
        for (const CPacket& p : packets) {
            if (p[2] == PRINTER_CMD_DATA && p.size() > 10) {
                EXPECT_EQ(p[3], bCompress ? 1 : 0);
            }
        }
        EXPECT_EQ(packets[20].size(), 10u); // the empty data packet
        EXPECT_EQ(TilesOfPackets(packets), card);
    }
}

TEST(PrintSession, PacketTextParsesAndRefusesJunk)
{
    std::vector<CPacket> packets;
    std::string strError;
    ASSERT_TRUE(ParsePacketText("88 33 01 00 00 00 01 00 00 00\n\n88 33 0f 00 00 00 0F 00 00 00\r\n", packets, strError))
        << strError;
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(packets[1][2], 0x0F);
    EXPECT_FALSE(ParsePacketText("88 33 01\n88 3G\n", packets, strError));
    EXPECT_EQ(strError, "line 2: '3G' is not a hex byte");
    EXPECT_FALSE(ParsePacketText("88 333\n", packets, strError));
    EXPECT_FALSE(ParsePacketText("\n \n", packets, strError));
    EXPECT_EQ(strError, "no packets");
}

TEST(PrintSession, RecordedSessionsCarryTheirPictures)
{
    const std::filesystem::path dir = QUILLOMAT_CAPTURES_DIR;
    if (!std::filesystem::exists(dir / "camera_jp.txt"))
        GTEST_SKIP() << "recorded sessions not found in " << dir;
    struct Case {
        const char* pszName;
        size_t nPackets;
        size_t nTileBytes;
    };
    for (const Case& c : {Case{"camera_jp.txt", 165, 5760}, Case{"pokemon_tcg_compressed.txt", 255, 13 * 640}}) {
        std::vector<CPacket> packets;
        std::string strError;
        ASSERT_TRUE(ReadPacketFile(dir / c.pszName, packets, strError)) << strError;
        EXPECT_EQ(packets.size(), c.nPackets) << c.pszName;
        EXPECT_EQ(TilesOfPackets(packets).size(), c.nTileBytes) << c.pszName;
    }
}

TEST(ConsolePicture, TestCardHasAllFourLevelsAFrameAndADiagonal)
{
    const std::vector<uint8_t> levels = BuildTestCardLevels();
    const std::vector<uint8_t> card = BuildTestCard();
    ASSERT_EQ(card.size(), 5760u);
    std::set<uint8_t> seen;
    for (int32_t y = 0; y < 144; ++y)
        for (int32_t x = 0; x < 160; ++x) {
            const uint8_t c = TileLevelAt(card, x, y);
            ASSERT_EQ(c, levels[static_cast<size_t>(y) * 160 + x]) << x << "," << y;
            seen.insert(c);
        }
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(TileLevelAt(card, 0, 0), 3);
    EXPECT_EQ(TileLevelAt(card, 159, 143), 3);
    EXPECT_EQ(TileLevelAt(card, 10, 10), 0);        // white band, off the diagonal
    EXPECT_EQ(TileLevelAt(card, 18, 10), 3);        // the diagonal across it
    EXPECT_EQ(TileLevelAt(card, 130, 10), 3);       // black band
    EXPECT_EQ(TileLevelAt(card, 50, 100), 0);       // lower half: stripes a band high
    EXPECT_EQ(TileLevelAt(card, 50, 108), 1);
}

TEST(ConsolePicture, DefaultPhotoIsDitheredInAllFourLevels)
{
    const std::vector<uint8_t> levels = BuildDefaultPictureLevels();
    const std::vector<uint8_t> tiles = BuildDefaultPicture();
    ASSERT_EQ(levels.size(), 160u * 144u);
    ASSERT_EQ(tiles.size(), 5760u);
    std::array<int, 4> counts{};
    int nChanges = 0;
    int nPairs = 0;
    for (int32_t y = 0; y < 144; ++y)
        for (int32_t x = 0; x < 160; ++x) {
            const uint8_t c = levels[static_cast<size_t>(y) * 160 + x];
            ASSERT_EQ(TileLevelAt(tiles, x, y), c) << x << "," << y;
            ++counts[c];
            // Inside the photo, neighbours differ wherever the dither mixes two levels.
            if (x > 16 && x < 144 && y >= 16 && y < 128) {
                nChanges += c != levels[static_cast<size_t>(y) * 160 + x - 1];
                ++nPairs;
            }
        }
    for (int c = 0; c < 4; ++c)
        EXPECT_GT(counts[c], 160 * 144 / 20) << "level " << c;
    EXPECT_GT(nChanges, nPairs / 4);
    EXPECT_NE(tiles, BuildTestCard());
}

} // namespace

#include "bitmap/CDib.h"
#include "common/MessageSink.h"
#include "support/TestFiles.h"

namespace {

TEST(ConsolePicture, ABitmapFileIsMappedToTheFourLevelsByBrightness)
{
    const CScratchFolder folder;
    const std::filesystem::path path = folder / "picture.bmp";
    CDib dib;
    ASSERT_TRUE(dib.Create(100, 21)); // narrower than 160, height not a whole number of bands
    // Exact shades, and shades in between that go to the nearest level.
    const uint32_t shades[8] = {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000, 0xF0F0F0, 0xC0C0C0, 0x9A9A9A, 0x303030};
    for (int32_t y = 0; y < 21; ++y)
        for (int32_t x = 0; x < 100; ++x)
            dib.SetPixel(CPoint{x, y}, shades[(x / 10 + y) % 8]);
    ASSERT_TRUE(dib.WriteFile(path).Ok());

    std::vector<uint8_t> tiles;
    std::string strError;
    ASSERT_TRUE(LoadPictureTiles(path, tiles, strError)) << strError;
    ASSERT_EQ(tiles.size(), 2u * 320);
    const uint8_t levels[8] = {0, 1, 2, 3, 0, 1, 2, 3};
    for (int32_t y = 0; y < 16; ++y) {
        for (int32_t x = 0; x < 100; ++x)
            ASSERT_EQ(TileLevelAt(tiles, x, y), levels[(x / 10 + y) % 8]) << x << "," << y;
        for (int32_t x = 100; x < 160; ++x)
            ASSERT_EQ(TileLevelAt(tiles, x, y), 0);
    }
}

TEST(ConsolePicture, UnusablePicturesAreRefusedWithAReason)
{
    std::vector<std::string> messages;
    CScopedMessageSink sink([&](const std::string& strText) { messages.push_back(strText); });
    std::vector<uint8_t> tiles;
    std::string strError;
    EXPECT_FALSE(LoadPictureTiles("/nonexistent/picture.bmp", tiles, strError));
    EXPECT_NE(strError.find("cannot read picture"), std::string::npos);
    // The bitmap reader's complaint is part of the reason, not a message of its own.
    EXPECT_NE(strError.find("(Error reading file"), std::string::npos) << strError;
    EXPECT_TRUE(messages.empty());

    const CScratchFolder folder;
    const std::filesystem::path path = folder / "flat.bmp";
    CDib dib;
    ASSERT_TRUE(dib.Create(160, 7));
    ASSERT_TRUE(dib.WriteFile(path).Ok());
    EXPECT_FALSE(LoadPictureTiles(path, tiles, strError));
    EXPECT_NE(strError.find("fewer than 8 rows"), std::string::npos);

    // A depth without pixel access (16 bits): GetPixel's complaint is part of the reason, too.
    const std::filesystem::path deep = folder / "deep.bmp";
    ASSERT_TRUE(dib.Create(160, 8));
    ASSERT_TRUE(dib.WriteFile(deep).Ok());
    {
        std::fstream file(deep, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(14 + 14);  // biBitCount
        file.put(16);
    }
    EXPECT_FALSE(LoadPictureTiles(deep, tiles, strError));
    EXPECT_NE(strError.find("unsupported pixel format (" + std::string(DIB_MSG_GETPIXEL_DEPTH) + ")"),
              std::string::npos)
        << strError;
    EXPECT_TRUE(messages.empty());
}

} // namespace
