// Every recorded session, written out in each layout a printer device uses, reads back as the
// packets the console sent: commands, flags, payloads and print arguments, with checksums and
// replies where the layout carries them.
#include <gtest/gtest.h>

#include "support/StreamLayouts.h"

namespace {

const char* const SESSIONS[] = {
    "camera_jp", "camera_wildframe", "pokemon_tcg_compressed", "tales_of_phantasia_compressed", "alice_palettes_d2_47",
    "mcdonalds_palettes_03_30", "nakayoshi_cooking1_palette_07", "pokemon_yellow", "smb_deluxe_banner",
    "tsuri_sensei2_break",
};

enum class EWritten { Plain, Raw, RawCrlfV2Style, RawTrailingComments, CArray, ParseV3, ParseV2, Pico, PicoWithInit };

struct CLayoutCase {
    const char* pName;
    EWritten eWritten;
    EStreamLayout eLayout;
    size_t nChunk;  // as a serial line would bring it
};

const CLayoutCase LAYOUTS[] = {
    {"Plain", EWritten::Plain, EStreamLayout::PlainCapture, 1 << 20},
    {"Raw", EWritten::Raw, EStreamLayout::RawPackets, 64},
    {"RawCrlfV2Style", EWritten::RawCrlfV2Style, EStreamLayout::RawPackets, 7},
    {"RawTrailingComments", EWritten::RawTrailingComments, EStreamLayout::RawPackets, 1},
    {"CArray", EWritten::CArray, EStreamLayout::CArray, 100},
    {"ParseV3", EWritten::ParseV3, EStreamLayout::ParseModeV3, 64},
    {"ParseV2", EWritten::ParseV2, EStreamLayout::ParseModeV2, 3},
    {"Pico", EWritten::Pico, EStreamLayout::PicoDump, 512},
    {"PicoWithInit", EWritten::PicoWithInit, EStreamLayout::PicoDump, 1},
};

std::string Write(const CLayoutCase& c, const std::vector<CPacketBytes>& packets, const std::vector<uint8_t>& statuses)
{
    switch (c.eWritten) {
    case EWritten::Plain: return ToPlainText(packets);
    case EWritten::Raw: return ToRawText(packets, statuses);
    case EWritten::RawCrlfV2Style: return ToRawText(packets, statuses, {"\r\n", true, true, false, true});
    case EWritten::RawTrailingComments: return ToRawText(packets, statuses, {"\n", false, false, true, false});
    case EWritten::CArray: return ToCArray(packets, statuses);
    case EWritten::ParseV3: return ToParseMode(packets, statuses, false);
    case EWritten::ParseV2: return ToParseMode(packets, statuses, true);
    case EWritten::Pico: return ToPicoDump(packets, false);
    case EWritten::PicoWithInit: return ToPicoDump(packets, true);
    }
    return {};
}

class CaptureLayoutTest : public ::testing::TestWithParam<std::tuple<const char*, CLayoutCase>> {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(QUILLOMAT_CAPTURES_DIR))
            GTEST_SKIP() << "no recorded sessions at " << QUILLOMAT_CAPTURES_DIR << " (QUILLOMAT_CAPTURES_DIR)";
    }
};

TEST_P(CaptureLayoutTest, ReadsBackTheConsolesPackets)
{
    const auto& [pSession, c] = GetParam();
    const std::filesystem::path dir = QUILLOMAT_CAPTURES_DIR;
    const std::vector<CPacketBytes> packets = ReadPlainPackets(dir / (std::string(pSession) + ".txt"));
    std::vector<uint8_t> statuses;
    for (const CPacketBytes& reply : ReadPlainPackets(dir / (std::string(pSession) + ".replies.txt")))
        statuses.push_back(reply.at(1));
    ASSERT_FALSE(packets.empty());
    ASSERT_EQ(statuses.size(), packets.size());

    const bool bPico = c.eLayout == EStreamLayout::PicoDump;
    const bool bParse = c.eLayout == EStreamLayout::ParseModeV2 || c.eLayout == EStreamLayout::ParseModeV3;
    const bool bSums = !bPico && !bParse;
    // A dump holds data and print records, and init bytes only from the older firmware.
    std::vector<size_t> kept;
    for (size_t n = 0; n < packets.size(); ++n) {
        const uint8_t nCommand = PacketCommand(packets[n]);
        if (!bPico || nCommand == PRINTER_CMD_DATA || nCommand == PRINTER_CMD_PRINT ||
            (nCommand == PRINTER_CMD_INIT && c.eWritten == EWritten::PicoWithInit))
            kept.push_back(n);
    }

    CStreamLayoutInfo info;
    CStreamStats stats;
    const std::vector<CStreamPacket> decoded = DecodeStream(Write(c, packets, statuses), c.nChunk, &info, &stats);
    EXPECT_EQ(info.eLayout, c.eLayout) << StreamLayoutName(info.eLayout);
    EXPECT_EQ(stats.nSkippedBytes, 0u);
    ASSERT_EQ(decoded.size(), kept.size());
    for (size_t k = 0; k < kept.size(); ++k) {
        const CPacketBytes& sent = packets[kept[k]];
        const CStreamPacket& got = decoded[k];
        SCOPED_TRACE("packet " + std::to_string(kept[k]));
        ASSERT_EQ(got.m_nCommand, PacketCommand(sent));
        EXPECT_EQ(got.m_eEnd, EPacketEnd::Whole);
        EXPECT_EQ(got.m_eLayout, c.eLayout);
        const CPacketBytes data = PacketData(sent);
        if (got.m_nCommand == PRINTER_CMD_PRINT) {
            ASSERT_TRUE(got.m_bHasPrintArgs);
            EXPECT_TRUE(std::equal(data.begin(), data.end(), got.m_PrintArgs.begin()));
        } else if (got.m_nCommand == PRINTER_CMD_DATA) {
            EXPECT_EQ(got.m_nFlag, sent[3]);
            EXPECT_EQ(got.m_Payload, data);
        }
        EXPECT_EQ(got.m_bSumCarried, bSums);
        EXPECT_EQ(got.m_bSumOk, bSums);
        // Replies: every packet of a device's hex lines, only inquiries in parse mode.
        const bool bReplies = (bSums && c.eLayout != EStreamLayout::PlainCapture) ||
                              (bParse && got.m_nCommand == PRINTER_CMD_STATUS);
        ASSERT_EQ(got.m_bRepliesCarried, bReplies);
        if (bReplies) {
            EXPECT_EQ(got.m_Replies, (std::array<uint8_t, 2>{PRINTER_ACK, statuses[kept[k]]}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sessions, CaptureLayoutTest,
                         ::testing::Combine(::testing::ValuesIn(SESSIONS), ::testing::ValuesIn(LAYOUTS)),
                         [](const ::testing::TestParamInfo<std::tuple<const char*, CLayoutCase>>& info) {
                             return std::string(std::get<0>(info.param)) + "_" + std::get<1>(info.param).pName;
                         });

}  // namespace
