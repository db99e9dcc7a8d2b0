// The stream readers on small hand-made inputs: which layout and banner they find, and which
// packets come out with which end and checksum state, whatever chunks the bytes arrive in.
#include <gtest/gtest.h>

#include "streams/StreamFile.h"
#include "support/StreamLayouts.h"
#include "support/TestFiles.h"

namespace {

struct CStreamCase {
    const char* pName;
    std::string strInput;
    EStreamLayout eLayout;
    const char* pPackets;  // DescribePackets() of what comes out
};

void PrintTo(const CStreamCase& c, std::ostream* pOut)
{
    *pOut << c.pName;
}

#define INIT_LINE "88 33 01 00 00 00 01 00 81 00"
#define STATUS_LINE "88 33 0F 00 00 00 0F 00 81 00"
// A data packet of four bytes 01 02 03 04: its sum is 04 + 04 + 0A = 0x12.
#define DATA4_LINE "88 33 04 00 04 00 01 02 03 04 12 00 81 08"

const CStreamCase CASES[] = {
    {"RawWithBanner", "// GAMEBOY PRINTER Packet Capture V3.2.1\n" INIT_LINE "\n" DATA4_LINE "\n" STATUS_LINE "\n",
     EStreamLayout::RawPackets, "INIT ok, DATA/4 ok, STATUS ok"},
    // The console stopped after five of sixteen data bytes; the emulator's count ran on into the
    // next packets, and its line breaks fell where its count said.
    {"CutPacketRunsOnIntoNextLine",
     "// GAMEBOY PRINTER Packet Capture V3.2.1\n" INIT_LINE "\n88 33 04 00 10 00 AA BB CC DD EE " INIT_LINE
     " 88 33 0F 00 00\n00 0F 00 81 00\n" STATUS_LINE "\n",
     EStreamLayout::RawPackets, "INIT ok, DATA/5 cut, INIT ok, STATUS ok, STATUS ok"},
    // The damaged packet's data holds 88 33 04 by chance, but no header that could start there.
    {"DamagedPacketWithAHeaderLookAlike", "88 33 04 00 06 00 88 33 04 07 00 00 12 00 81 08\n" INIT_LINE "\n",
     EStreamLayout::RawPackets, "DATA/6 bad, INIT ok"},
    {"DamagedDataPacket", INIT_LINE "\n88 33 04 00 04 00 01 02 03 05 12 00 81 08\n" STATUS_LINE "\n",
     EStreamLayout::RawPackets, "INIT ok, DATA/4 bad, STATUS ok"},
    {"BreakPassesThrough", INIT_LINE "\n88 33 08 00 00 00 08 00 81 00\n", EStreamLayout::RawPackets,
     "INIT ok, BREAK ok"},
    {"UnknownCommandPassesThrough", "88 33 55 00 00 00 55 00 81 00\n", EStreamLayout::RawPackets, "0x55 ok"},
    {"BannerInTheMiddle",
     INIT_LINE "\n// GAMEBOY PRINTER Packet Capture V3.2.1\n// by someone\n" DATA4_LINE "\n", EStreamLayout::RawPackets,
     "INIT ok, DATA/4 ok"},
    {"HelpAndWaterlineBetweenPackets",
     INIT_LINE "\r\nwaterline: 40B out of 650B\r\n?\r\nd - waterline, ? - help\r\n" DATA4_LINE "\r\n",
     EStreamLayout::RawPackets, "INIT ok, DATA/4 ok"},
    {"SilenceCutsTheOpenPacket",
     INIT_LINE "\n88 33 04 00 10 00 AA BB CC\n\n// Completed (Memory Waterline: 0B out of 650B)\n" INIT_LINE "\n",
     EStreamLayout::RawPackets, "INIT ok, DATA/3 cut, INIT ok"},
    {"OldTimeOutMarkerCutsToo", "88 33 04 00 10 00 AA\n// ERROR: Timed Out\n" INIT_LINE "\n", EStreamLayout::RawPackets,
     "DATA/1 cut, INIT ok"},
    {"InputEndsInAPacket", INIT_LINE "\n88 33 04 00 10 00 AA BB", EStreamLayout::RawPackets, "INIT ok, DATA/2 cut"},
    {"JunkInsideAPacket", "88 33 04 00 04 00 01 02 zz\n03 04 12 00 81 08\n" INIT_LINE "\n", EStreamLayout::RawPackets,
     "DATA/4 garbled, INIT ok"},
    // A flipped bit in the length's high byte: the header is reported, its data skipped.
    {"ImpossibleLengthCostsThatPacketOnly", "88 33 04 00 04 80 01 02 03 04 12 00 81 08\n" INIT_LINE "\n",
     EStreamLayout::RawPackets, "DATA/0 garbled, INIT ok"},
    {"PacketOverTwoLinesAndNoiseBefore", "00 FF 88 33 0F\n00 00 00 0F 00 81 00\n", EStreamLayout::RawPackets,
     "STATUS ok"},
    {"TrailingCommentsAndTabs", INIT_LINE "\t// INIT\n" DATA4_LINE " # DATA\n", EStreamLayout::RawPackets,
     "INIT ok, DATA/4 ok"},
    {"PlainCaptureAfterByteOrderMark", "\xEF\xBB\xBF" "88 33 01 00 00 00 01 00 00 00\r\n", EStreamLayout::PlainCapture,
     "INIT ok"},
    {"PlainCapture", "88 33 01 00 00 00 01 00 00 00\n88 33 04 00 04 00 01 02 03 04 12 00 00 00\n",
     EStreamLayout::PlainCapture, "INIT ok, DATA/4 ok"},
    {"SnifferLog", "// GAME: Tetris\n// DATE: 2020\n" INIT_LINE "\n/* Printer Status: BUSY */\n",
     EStreamLayout::SnifferLog, "INIT ok"},
    {"SnifferStatusAfterPacket", INIT_LINE "\n/* Printer Status: BUSY FULL */\n" STATUS_LINE "\n",
     EStreamLayout::SnifferLog, "INIT ok, STATUS ok"},
    {"CArray", "/* 0 : INIT */\n0x88, 0x33, 0x01, 0x00,\n0x00, 0x00, 0x01, 0x00, /*(*/ 0x81, 0x00, /*)*/\n",
     EStreamLayout::CArray, "INIT ok"},

    {"ParseV3", "// GAMEBOY PRINTER Emulator V3.2.1\n{\"command\":\"INIT\"}\n{\"command\":\"DATA\", \"compressed\":0, \"more\":1}\n"
     "00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF\n00 11\n"
     "{\"command\":\"PRNT\", \"sheets\":1, \"margin_upper\":1, \"margin_lower\":3, \"pallet\":228, \"density\":64}\n",
     EStreamLayout::ParseModeV3, "INIT unchecked, DATA/18 unchecked, PRINT unchecked"},
    {"ParseDataCutByEndOfInput", "!{\"command\":\"DATA\", \"compressed\":0, \"more\":1}\n00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF\n",
     EStreamLayout::ParseModeV2, "DATA/16 cut"},
    {"ParseDataCutBySilence", "{\"command\":\"DATA\", \"compressed\":0, \"more\":1}\n00 11\n// Completed\n{\"command\":\"INIT\"}\n",
     EStreamLayout::ParseModeV3, "DATA/2 cut, INIT unchecked"},
    // Repeat runs: four of 129 bytes (FF) and one of 124 (FA) make a band of 640.
    {"ParseCompressedBandAtEnd",
     "{\"command\":\"DATA\", \"compressed\":1, \"more\":1}\nFF 00 FF 00 FF 00 FF 00 FA 00\n",
     EStreamLayout::ParseModeV3, "DATA/10 unchecked"},
    {"ParseCompressedShortOfABand",
     "{\"command\":\"DATA\", \"compressed\":1, \"more\":1}\nFF 00 FF 00 FF 00 FF 00 F9 00\n",
     EStreamLayout::ParseModeV3, "DATA/10 cut"},
    {"ParseShortLineInTheMiddle",
     "{\"command\":\"DATA\", \"compressed\":0, \"more\":1}\n00 11\n00 11 22 33 44 55 66 77 88 99 AA BB CC DD EE FF\n{\"command\":\"INIT\"}\n",
     EStreamLayout::ParseModeV3, "DATA/18 garbled, INIT unchecked"},
    {"ParseBadMarginAndUnknownName",
     "{\"command\":\"PRNT\", \"sheets\":1, \"margin_upper\":16, \"margin_lower\":0, \"pallet\":0, \"density\":64}\n"
     "{\"command\":\"WHAT\"}\nwaterline: 0B out of 650B\n{\"command\":\"BREK\"}\n",
     EStreamLayout::ParseModeV3, "PRINT garbled, 0x00 garbled, BREAK unchecked"},

    {"PicoWithInit", std::string("\x01\x04\x00\x04\x00\x01\x02\x03\x04\x02\x04\x00\x01\x13\xE4\x40", 16),
     EStreamLayout::PicoDump, "INIT unchecked, DATA/4 unchecked, PRINT unchecked"},
    {"PicoTransferAndCutRecord", std::string("\x10\x02\x00\xAA\xBB\x04\x01\x80\x02\x81\x00", 11),
     EStreamLayout::PicoDump, "TRANSFER/2 unchecked, DATA/2 cut"},
    {"PicoUnknownRecordEndsReading", std::string("\x04\x00\x01\x00\x55\x77\x01\x01", 8), EStreamLayout::PicoDump,
     "DATA/1 unchecked, 0x77 garbled"},
    {"PicoPrintWithOddLength", std::string("\x02\x05\x00\x01\x13\xE4\x40\x01", 8), EStreamLayout::PicoDump,
     "PRINT garbled, INIT unchecked"},
};

class StreamDecodeTest : public ::testing::TestWithParam<CStreamCase> {};

TEST_P(StreamDecodeTest, GivesItsPacketsInAnyChunks)
{
    const CStreamCase& c = GetParam();
    for (const size_t nChunk : {size_t{1}, size_t{5}, size_t{1} << 20}) {
        SCOPED_TRACE("chunks of " + std::to_string(nChunk));
        CStreamLayoutInfo info;
        EXPECT_EQ(DescribePackets(DecodeStream(c.strInput, nChunk, &info)), c.pPackets);
        EXPECT_EQ(info.eLayout, c.eLayout) << StreamLayoutName(info.eLayout);
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, StreamDecodeTest, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<CStreamCase>& info) { return info.param.pName; });

TEST(StreamDecodeTest, KeepsWhatTheRecordsCarry)
{
    const std::vector<CStreamPacket> raw = DecodeStream(
        INIT_LINE "\n" DATA4_LINE "\n88 33 02 00 04 00 01 13 E4 40 3E 01 81 06\n");
    ASSERT_EQ(raw.size(), 3u);
    EXPECT_TRUE(raw[1].m_bRepliesCarried);
    EXPECT_EQ(raw[1].m_Replies, (std::array<uint8_t, 2>{0x81, 0x08}));
    EXPECT_EQ(raw[1].m_nSum, 0x12);
    EXPECT_EQ(raw[1].m_Payload, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_TRUE(raw[2].m_bHasPrintArgs);
    EXPECT_EQ(raw[2].m_PrintArgs, (std::array<uint8_t, 4>{0x01, 0x13, 0xE4, 0x40}));
    EXPECT_TRUE(raw[2].m_bSumOk);

    const std::vector<CStreamPacket> parsed = DecodeStream(
        "{\"command\":\"INQY\", \"status\":{\"LowBat\":1,\"ER2\":0,\"ER1\":0,\"ER0\":0,\"Untran\":1,\"Full\":0,\"Busy\":1,\"Sum\":0}}\n"
        "{\"command\":\"PRNT\", \"sheets\":1, \"margin_upper\":1, \"margin_lower\":3, \"pallet\":228, \"density\":64}\n");
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_TRUE(parsed[0].m_bRepliesCarried);
    EXPECT_EQ(parsed[0].m_Replies, (std::array<uint8_t, 2>{0x81, 0x8A}));
    EXPECT_EQ(parsed[1].m_PrintArgs, (std::array<uint8_t, 4>{0x01, 0x13, 0xE4, 0x40}));
    EXPECT_FALSE(parsed[1].m_bRepliesCarried);

    const std::vector<CStreamPacket> dump = DecodeStream(std::string("\x04\x01\x02\x00\x81\x00", 6));
    ASSERT_EQ(dump.size(), 1u);
    EXPECT_EQ(dump[0].m_nFlag, 1);
    EXPECT_EQ(dump[0].m_nLengthField, 2);
    EXPECT_FALSE(dump[0].m_bSumCarried || dump[0].m_bRepliesCarried);
}

struct CBannerCase {
    const char* pName;
    const char* pText;
    EDeviceMode eMode;
    const char* pVersion;
};

const CBannerCase BANNERS[] = {
    {"RawV3", "// GAMEBOY PRINTER Packet Capture V3.2.1 (Brian Khuu 2021)\n", EDeviceMode::RawPackets, "3.2.1"},
    {"RawV3Short", "// GAMEBOY PRINTER Packet Capture V3 (Brian Khuu 2020)\n", EDeviceMode::RawPackets, "3"},
    {"RawV2", "// GAMEBOY PRINTER EMULATION PROJECT (Packet Capture Mode)\n// By Brian Khuu (2020)\n",
     EDeviceMode::RawPackets, ""},
    {"ParseV3", "// GAMEBOY PRINTER Emulator V3.2.1 (Brian Khuu 2021)\n", EDeviceMode::ParseMode, "3.2.1"},
    {"ParseV2", "# GAMEBOY PRINTER Emulator V2 : Copyright (C) 2020 Brian Khuu\n", EDeviceMode::ParseMode, "2"},
    {"Bridge", "// GAMEBOY PRINTER Packet Capture V3.2.1\n// Printer found: bridge mode at 9600 baud\n",
     EDeviceMode::PrinterBridge, "3.2.1"},
    {"NoBanner", "?\nwaterline: 0B out of 650B\n", EDeviceMode::Unknown, ""},
};

TEST(StreamLayoutTest, ReadsTheBanner)
{
    for (const CBannerCase& c : BANNERS) {
        SCOPED_TRACE(c.pName);
        const CStreamLayoutInfo info =
            DetectStreamLayout(reinterpret_cast<const uint8_t*>(c.pText), std::char_traits<char>::length(c.pText));
        EXPECT_EQ(info.banner.eMode, c.eMode) << DeviceModeName(info.banner.eMode);
        EXPECT_EQ(info.banner.strVersion, c.pVersion);
        EXPECT_EQ(info.eLayout, EStreamLayout::Unknown);
        EXPECT_EQ(info.banner.strFirmware.empty(), c.eMode == EDeviceMode::Unknown);
    }
}

// The logs the emulator wrote, as they are.
class DeviceLogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(QUILLOMAT_STREAMS_DIR))
            GTEST_SKIP() << "no device logs at " << QUILLOMAT_STREAMS_DIR << " (QUILLOMAT_STREAMS_DIR)";
    }
    static std::string Log(const char* pName) { return ReadBytes(std::filesystem::path(QUILLOMAT_STREAMS_DIR) / pName); }
};

TEST_F(DeviceLogTest, RawPacketSessionGivesItsPackets)
{
    CStreamLayoutInfo info;
    CStreamStats stats;
    const std::vector<CStreamPacket> packets =
        DecodeStream(Log("emulator_v2_raw_packet_mode.txt"), 61, &info, &stats);
    EXPECT_EQ(info.eLayout, EStreamLayout::RawPackets);
    EXPECT_EQ(info.banner.eMode, EDeviceMode::RawPackets);
    ASSERT_EQ(packets.size(), 22u);
    std::string strCommands;
    for (const CStreamPacket& packet : packets) {
        EXPECT_EQ(DescribePacket(packet), StreamCommandName(packet.m_nCommand) +
                                        (packet.m_nCommand == PRINTER_CMD_DATA
                                             ? "/" + std::to_string(packet.m_nLengthField) : std::string()) + " ok");
        EXPECT_TRUE(packet.m_bRepliesCarried);
        EXPECT_EQ(packet.m_Replies[0], PRINTER_ACK);
        strCommands += StreamCommandName(packet.m_nCommand)[0];
    }
    EXPECT_EQ(strCommands, "IDSDSDSDSDSDSDSDSDSDPS");
    EXPECT_EQ(packets[1].m_Payload.size(), 640u);
    EXPECT_EQ(packets[1].m_nFlag, 0);
    EXPECT_EQ(packets[14].m_Replies[1], 0x04);
    EXPECT_EQ(packets[20].m_PrintArgs, (std::array<uint8_t, 4>{0x01, 0x10, 0xD2, 0x40}));
    EXPECT_EQ(stats.nSkippedBytes, 0u);
}

TEST_F(DeviceLogTest, ParseModeHeadGivesItsPacketsAndTheCutOne)
{
    CStreamLayoutInfo info;
    const std::vector<CStreamPacket> packets = DecodeStream(Log("emulator_v2_parse_mode.head30.txt"), 13, &info);
    EXPECT_EQ(info.eLayout, EStreamLayout::ParseModeV2);
    EXPECT_EQ(info.banner.eMode, EDeviceMode::ParseMode);
    EXPECT_EQ(info.banner.strVersion, "2");
    EXPECT_EQ(DescribePackets(packets), "STATUS unchecked, INIT unchecked, STATUS unchecked, STATUS unchecked, "
                                 "STATUS unchecked, STATUS unchecked, STATUS unchecked, STATUS unchecked, "
                                 "STATUS unchecked, STATUS unchecked, DATA/176 cut");
    EXPECT_EQ(packets[0].m_Replies, (std::array<uint8_t, 2>{0x81, 0x00}));
    EXPECT_EQ(packets.back().m_Payload[7], 0xFF);
}

}  // namespace

namespace {

TEST(StreamFileTest, ReadsAFileWholeOrSaysWhyNot)
{
    CScratchFolder dir("quillomat-streams");
    WriteBytes(dir / "image.bin", std::string("\x01\x02\x04\x00\x01\x13\xE4\x40", 8));
    CPacketCollector collector;
    CStreamFileResult result;
    ASSERT_TRUE(DecodeStreamFile((dir / "image.bin").string(), collector, result)) << result.strError;
    EXPECT_EQ(DescribePackets(collector.m_Packets), "INIT unchecked, PRINT unchecked");
    EXPECT_EQ(result.info.eLayout, EStreamLayout::PicoDump);
    EXPECT_EQ(result.stats.nPackets, 2u);

    EXPECT_FALSE(DecodeStreamFile((dir / "missing.txt").string(), collector, result));
    EXPECT_NE(result.strError.find("missing.txt: cannot be read"), std::string::npos) << result.strError;
}

}  // namespace
