// Packet recognition: what is answered when, and what each packet returns.
#include <gtest/gtest.h>

#include <memory>

#include "protocol/PacketParser.h"
#include "protocol/PrinterProtocol.h"
#include "reception/FakePrinterLink.h"
#include "reception/PacketEngine.h"
#include "reception/ReceptionState.h"

namespace {

struct CHeaderCase {
    const char* pName;
    std::vector<uint8_t> console;
    int32_t nResult;
    size_t nExchanges;
    std::vector<size_t> ackAt;  // 0-based exchanges answered with 0x81
    bool bLost;                 // a packet went unanswered: a console gives its print up
};

std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class ReadPacketHeaderTest : public ::testing::TestWithParam<CHeaderCase> {};

TEST_P(ReadPacketHeaderTest, AnswersAndResult)
{
    const CHeaderCase& c = GetParam();
    CFakePrinterLink link;
    link.Add(c.console);
    auto pState = std::make_unique<CReceptionState>();
    CPacketParser parser(MAX_BLOCK_LENGTH);

    EXPECT_EQ(ReadPacketHeader(link, parser, *pState), c.nResult);
    EXPECT_EQ(parser.TakeLost(), c.bLost);
    ASSERT_EQ(link.Exchanges(), c.nExchanges);
    for (size_t i = 0; i < link.m_Sent.size(); ++i) {
        const bool bAck = std::find(c.ackAt.begin(), c.ackAt.end(), i) != c.ackAt.end();
        EXPECT_EQ(link.m_Sent[i], bAck ? 0x81 : 0x00) << "exchange " << i;
        EXPECT_EQ(link.m_PollLimits[i], SEARCH_POLL_LIMIT);
    }
    EXPECT_EQ(pState->m_nBlockCount, 0);
    EXPECT_EQ(pState->m_nMaxBlockCount, 0);
}

const std::vector<uint8_t> NOISE15 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 0x33, 0x01};

INSTANTIATE_TEST_SUITE_P(
    Packets, ReadPacketHeaderTest,
    ::testing::Values(
        CHeaderCase{"Init", InitPacket(), PACKET_INIT, 10, {8}, false},
        CHeaderCase{"Status", StatusPacket(), PACKET_STATUS, 10, {8}, false},
        CHeaderCase{"Print", PrintPacket(), PACKET_PRINT, 14, {12}, false},
        CHeaderCase{"DataHeaderOnly", DataPacket(std::vector<uint8_t>(640, 0)), PACKET_DATA, 6, {}, false},
        // The second 0x88 is a wrong magic byte, the 0x33 after it opens nothing.
        CHeaderCase{"DoubleMagicLosesPacket", Concat({0x88}, InitPacket()), PACKET_NONE, 20, {}, true},
        CHeaderCase{"AfterFifteenNoiseBytes", Concat(NOISE15, InitPacket()), PACKET_INIT, 25, {23}, true},
        CHeaderCase{"InitWithCompressionFlag", MakePacket(0x01, 0x01, {}), PACKET_NONE, 20, {}, true},
        // A well-formed packet we do not answer (the BREAK that ends a session) is no trouble;
        // one whose sum does not match was garbled on the way.
        CHeaderCase{"UnknownCommand", MakePacket(0x08, 0x00, {}), PACKET_NONE, 20, {}, false},
        CHeaderCase{"UnknownCommandGarbled", MakePacket(0x08, 0x00, {}, 1), PACKET_NONE, 20, {}, true},
        CHeaderCase{"Silence", {}, PACKET_NONE, 20, {}, false},
        // The silence after a cut reads as zero bytes: the status packet still completes.
        CHeaderCase{"CutAfterCommand", {0x88, 0x33, 0x0F, 0x00}, PACKET_STATUS, 10, {8}, true},
        CHeaderCase{"CutAfterMagic", {0x88}, PACKET_NONE, 20, {}, true},
        // A packet abandoned at its command byte: the next 0x88 starts over.
        CHeaderCase{"AbandonedThenStatus", Concat({0x88, 0x33, 0x07}, StatusPacket()), PACKET_STATUS, 13, {11}, true}),
    [](const ::testing::TestParamInfo<CHeaderCase>& info) { return info.param.pName; });

TEST(ReadPacketHeader, DataHeaderLeavesLengthSumAndCounts)
{
    CFakePrinterLink link;
    link.Add(MakePacket(0x04, 0x01, std::vector<uint8_t>(0x1234 & 0x7FF, 0)));
    link.Add(DataPacket({}));
    auto pState = std::make_unique<CReceptionState>();
    CPacketParser parser(MAX_BLOCK_LENGTH);

    ASSERT_EQ(ReadPacketHeader(link, parser, *pState), PACKET_DATA);
    EXPECT_EQ(parser.GetPacket().nLength, 0x234);
    EXPECT_EQ(parser.GetPacket().nHeaderSum, 0x04 + 0x01 + 0x34 + 0x02);
    EXPECT_EQ(pState->m_nPackedCount, 1);
    EXPECT_EQ(pState->m_nPlainCount, 0);
    EXPECT_EQ(parser.GetPacket().nFlag, 0x01);

    // An empty data packet carries nothing to expand: it does not vote on compression.
    CFakePrinterLink empty;
    empty.Add(DataPacket({}));
    CPacketParser emptyParser(MAX_BLOCK_LENGTH);
    ASSERT_EQ(ReadPacketHeader(empty, emptyParser, *pState), PACKET_DATA);
    EXPECT_EQ(emptyParser.GetPacket().nLength, 0);
    EXPECT_EQ(pState->m_nPackedCount, 1);
    EXPECT_EQ(pState->m_nPlainCount, 0);
}

// All-prints mode takes the palette from the print packet, and trusts it only when the
// packet's checksum matches; the answers do not depend on it.
TEST(ReadPacketHeader, PrintPacketLeavesItsDataAndWhetherItsSumMatched)
{
    for (const int32_t nChecksumError : {0, 1, 0x100}) {
        CFakePrinterLink link;
        link.Add(MakePacket(0x02, 0x00, {0x01, 0x10, 0xD2, 0x7F}, nChecksumError));
        auto pState = std::make_unique<CReceptionState>();
        CPacketParser parser(MAX_BLOCK_LENGTH);
        ASSERT_EQ(ReadPacketHeader(link, parser, *pState), PACKET_PRINT);
        EXPECT_EQ(std::vector<uint8_t>(parser.GetPacket().args, parser.GetPacket().args + 4),
                  (std::vector<uint8_t>{0x01, 0x10, 0xD2, 0x7F}));
        EXPECT_EQ(parser.GetPacket().SumMatches(), nChecksumError == 0) << nChecksumError;
        EXPECT_EQ(link.m_Sent[12], 0x81);
    }
}

TEST(ReadPacketHeader, SyncErrorWithholdsTheAcknowledgement)
{
    // The eighth byte's exchange stops on lost synchronisation: the ninth sends 0x00.
    CFakePrinterLink link;
    link.Add(StatusPacket());
    link.SetMark(7, 131, MODUL_SYNC_ERROR);
    auto pState = std::make_unique<CReceptionState>();
    CPacketParser parser(MAX_BLOCK_LENGTH);

    EXPECT_EQ(ReadPacketHeader(link, parser, *pState), PACKET_STATUS);
    ASSERT_EQ(link.Exchanges(), 10u);
    EXPECT_EQ(link.m_Sent[8], 0x00);
    EXPECT_TRUE(parser.TakeLost());  // the console misses its answer and gives up
}

TEST(ReadPacketHeader, SyncErrorElsewhereLeavesAcknowledgement)
{
    CFakePrinterLink link;
    link.Add(StatusPacket());
    link.SetMark(6, 131, MODUL_SYNC_ERROR);
    auto pState = std::make_unique<CReceptionState>();
    CPacketParser parser(MAX_BLOCK_LENGTH);

    EXPECT_EQ(ReadPacketHeader(link, parser, *pState), PACKET_STATUS);
    EXPECT_EQ(link.m_Sent[8], 0x81);
    EXPECT_FALSE(parser.TakeLost());
}

TEST(ReadPacketHeader, AllPrintsAnswersABreakAsAPrinterDoes)
{
    for (const bool bAllPrints : {false, true}) {
        CFakePrinterLink link;
        link.Add(MakePacket(PRINTER_CMD_BREAK, 0x00, {}));
        auto pState = std::make_unique<CReceptionState>();
        CPacketParser parser(MAX_BLOCK_LENGTH);
        parser.SetAnswerBreak(bAllPrints);

        EXPECT_EQ(ReadPacketHeader(link, parser, *pState), PACKET_NONE);
        ASSERT_GE(link.Exchanges(), 10u);
        EXPECT_EQ(link.m_Sent[8], bAllPrints ? 0x81 : 0x00) << "all prints " << bAllPrints;
        EXPECT_FALSE(parser.TakeLost());
    }
}

TEST(RegisterReceptionHandles, TwelveRowsInOrder)
{
    CFakePrinterLink link;
    RegisterReceptionHandles(link);
    ASSERT_EQ(link.m_Handles.size(), 12u);
    EXPECT_EQ(std::get<0>(link.m_Handles[0]), "WInit PR");
    EXPECT_EQ(std::get<1>(link.m_Handles[0]), "Warte auf Init Sequenz f\xFCr Printer");
    EXPECT_EQ(std::get<0>(link.m_Handles[7]), "CheckSum");
    EXPECT_EQ(std::get<2>(link.m_Handles[7]), 4);
    EXPECT_EQ(std::get<0>(link.m_Handles[11]), "ByteCount");
    EXPECT_EQ(std::get<1>(link.m_Handles[11]), "Position im Speicher");
    EXPECT_EQ(link.Exchanges(), 0u);
}

}  // namespace
