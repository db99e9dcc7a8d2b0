// The parser fed from recorded bytes, with no line: what each packet was, how it ended, where
// its payload went and what the printer answered in each exchange.
#include "protocol/PacketParser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<uint8_t> Packet(uint8_t nCommand, uint8_t nFlag, const std::vector<uint8_t>& data, int nSumError = 0)
{
    const auto nSum = static_cast<uint16_t>(PacketChecksum(nCommand, nFlag, data) + nSumError);
    std::vector<uint8_t> bytes(PACKET_HEADER_BYTES + data.size() + PACKET_TRAILER_BYTES, 0x00);
    bytes[0] = PRINTER_MAGIC_1;
    bytes[1] = PRINTER_MAGIC_2;
    bytes[PACKET_AT_COMMAND] = nCommand;
    bytes[PACKET_AT_FLAG] = nFlag;
    bytes[PACKET_AT_LENGTH] = static_cast<uint8_t>(data.size() & 0xFF);
    bytes[PACKET_AT_LENGTH + 1] = static_cast<uint8_t>(data.size() >> 8);
    for (size_t k = 0; k < data.size(); ++k)
        bytes[PACKET_HEADER_BYTES + k] = data[k];
    bytes[PACKET_HEADER_BYTES + data.size()] = static_cast<uint8_t>(nSum & 0xFF);
    bytes[PACKET_HEADER_BYTES + data.size() + 1] = static_cast<uint8_t>(nSum >> 8);
    return bytes;
}

struct CParseCase {
    const char* pName;
    std::vector<uint8_t> bytes;
    size_t nSilentFrom;       // bytes from here on are not heard
    uint8_t nCommand;
    EPacketEnd eEnd;
    int32_t nHeard;           // payload bytes before the silence
    std::vector<uint8_t> payload;
};

class PacketParserTest : public ::testing::TestWithParam<CParseCase> {};

TEST_P(PacketParserTest, ReadsOnePacketFromBytes)
{
    const CParseCase& c = GetParam();
    CPacketParser parser(1999);
    parser.Reset();
    uint16_t sink[16] = {};
    std::vector<uint8_t> answers;
    EParseEvent eLast = EParseEvent::None;
    for (size_t i = 0; i < c.bytes.size() && eLast != EParseEvent::Packet; ++i) {
        answers.push_back(parser.Answer(false));
        eLast = parser.Feed(c.bytes[i], i == 7 ? 0x41 : 0, i < c.nSilentFrom);
        if (eLast == EParseEvent::DataHeader)
            parser.SetPayloadSink(sink);
    }
    ASSERT_EQ(eLast, EParseEvent::Packet);
    const CPacketValue& packet = parser.GetPacket();
    EXPECT_EQ(packet.nCommand, c.nCommand);
    EXPECT_EQ(packet.eEnd, c.eEnd);
    // The printer acknowledges in the second to last exchange, whatever the packet brought.
    ASSERT_EQ(answers.size(), c.bytes.size());
    for (size_t i = 0; i < answers.size(); ++i)
        EXPECT_EQ(answers[i], i + 2 == answers.size() ? PRINTER_ACK : PRINTER_NO_ANSWER) << "exchange " << i;
    if (c.nCommand == PRINTER_CMD_PRINT) {
        EXPECT_EQ(std::vector<uint8_t>(packet.args, packet.args + PRINT_ARG_BYTES), c.payload);
        return;
    }
    EXPECT_EQ(packet.nHeard, c.nHeard);
    for (size_t k = 0; k < c.payload.size(); ++k)
        EXPECT_EQ(sink[k], (k == 1 ? 0x4100 : 0) | c.payload[k]) << "payload byte " << k;  // byte 7 was marked
    EXPECT_EQ(packet.bMarked, c.nCommand == PRINTER_CMD_DATA && !c.payload.empty());
}

const std::vector<uint8_t> DATA = {0x10, 0x20, 0x30};

INSTANTIATE_TEST_SUITE_P(
    Packets, PacketParserTest,
    ::testing::Values(
        CParseCase{"Init", Packet(PRINTER_CMD_INIT, 0, {}), 99, PRINTER_CMD_INIT, EPacketEnd::Whole, 0, {}},
        CParseCase{"DataWhole", Packet(PRINTER_CMD_DATA, PACKET_COMPRESSED, DATA), 99, PRINTER_CMD_DATA,
                   EPacketEnd::Whole, 3, DATA},
        CParseCase{"DataSumWrong", Packet(PRINTER_CMD_DATA, 0, DATA, 1), 99, PRINTER_CMD_DATA, EPacketEnd::SumWrong, 3,
                   DATA},
        // Silent from the third data byte: two bytes were heard, the rest reads as zeros.
        CParseCase{"DataCut", Packet(PRINTER_CMD_DATA, 0, DATA), 8, PRINTER_CMD_DATA, EPacketEnd::Cut, 2, {0x10, 0x20}},
        CParseCase{"PrintArguments", Packet(PRINTER_CMD_PRINT, 0, {0x01, 0x13, 0x1B, 0x40}), 99, PRINTER_CMD_PRINT,
                   EPacketEnd::Whole, 0, {0x01, 0x13, 0x1B, 0x40}},
        CParseCase{"StatusCutInItsSum", Packet(PRINTER_CMD_STATUS, 0, {}), 7, PRINTER_CMD_STATUS, EPacketEnd::Cut, 0,
                   {}}),
    [](const ::testing::TestParamInfo<CParseCase>& info) { return info.param.pName; });

}  // namespace
