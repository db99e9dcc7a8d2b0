// The serial device reader against a pseudo-terminal that plays a printer emulator at 115200
// baud: what reaches the stream reader, how the device going away shows, why a device cannot
// be opened, and what the probe makes of a device's banner.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>

#include "streams/SerialDevice.h"
#include "streams/SerialProbe.h"
#include "support/PtyDevice.h"
#include "support/StreamLayouts.h"
#include "support/TestFiles.h"

namespace {

constexpr uint32_t BAUD = 115200;
const char* const BANNER = "// GAMEBOY PRINTER Packet Capture V3.2.1 (Brian Khuu 2021)\r\n";

// A short print: init, one band of data, the empty data packet, print, status polls.
std::vector<CPacketBytes> PrintSession()
{
    CPacketBytes band(STREAM_BAND_BYTES);
    for (size_t n = 0; n < band.size(); ++n)
        band[n] = static_cast<uint8_t>(n * 7);
    return {MakePacket(0x01, 0, {}), MakePacket(0x04, 0, band), MakePacket(0x0F, 0, {}), MakePacket(0x04, 0, {}),
            MakePacket(0x02, 0, {0x01, 0x13, 0xE4, 0x40}), MakePacket(0x0F, 0, {})};
}

std::string Lines(const std::vector<CPacketBytes>& packets)
{
    return ToRawText(packets, {0, 8, 8, 4, 6, 6}, {"\r\n", false, false, false, false});
}

struct CSerialCase {
    const char* pName;
    std::string strStream;
    bool bHangUp;
    const char* pPackets;  // DescribePackets() of what the reader gives
};

std::vector<CSerialCase> SerialCases()
{
    const std::vector<CPacketBytes> session = PrintSession();
    const std::string strLines = Lines(session);
    const std::string strData = Lines({session[1]});
    std::vector<CPacketBytes> damaged = session;
    damaged[1][100] ^= 0x10;
    std::vector<CPacketBytes> cut = session;
    cut[1].resize(6 + 100);  // the console stopped after 100 data bytes; the next packets run on
    std::string strCut = Lines(cut);
    return {
        {"CleanStream", BANNER + strLines, false, "INIT ok, DATA/640 ok, STATUS ok, DATA/0 ok, PRINT ok, STATUS ok"},
        {"CutPacket", BANNER + strCut, false, "INIT ok, DATA/100 cut, STATUS ok, DATA/0 ok, PRINT ok, STATUS ok"},
        {"DamagedPacket", BANNER + Lines(damaged), false,
         "INIT ok, DATA/640 bad, STATUS ok, DATA/0 ok, PRINT ok, STATUS ok"},
        {"BannerInTheMiddle", Lines({session[0], session[1]}) + "\r\n" + BANNER + "// Note: restarted\r\n" +
                                  Lines({session[4], session[5]}),
         false, "INIT ok, DATA/640 ok, PRINT ok, STATUS ok"},
        // Unplugged in the middle of the data packet's line.
        {"DeviceGoesAwayMidPrint", BANNER + Lines({session[0]}) + strData.substr(0, 900), true, "INIT ok, DATA/294 cut"},
    };
}

void PrintTo(const CSerialCase& c, std::ostream* pOut)
{
    *pOut << c.pName;
}

class SerialStreamTest : public ::testing::TestWithParam<CSerialCase> {};

TEST_P(SerialStreamTest, ReaderGivesThePackets)
{
    const CSerialCase& c = GetParam();
    CPtyDevice pty;
    ASSERT_TRUE(pty.IsOpen());
    CSerialDevice device;
    CSerialError error;
    ASSERT_TRUE(device.Open(pty.Path(), BAUD, error)) << error.strMessage;
    pty.Play(c.strStream, BAUD, 0, c.bHangUp);

    CPacketCollector collector;
    CStreamDecoder decoder(collector, EStreamSource::Text);
    bool bGone = false;
    size_t nBytes = 0;
    uint8_t buffer[256];
    // Until the device goes away, or stays quiet once everything is there.
    for (int nQuiet = 0; nQuiet < 3;) {
        size_t nRead = 0;
        const ESerialRead eRead = device.Read(buffer, sizeof buffer, 100, nRead, error);
        if (eRead == ESerialRead::Gone) {
            bGone = true;
            break;
        }
        decoder.Feed(buffer, nRead);
        nBytes += nRead;
        nQuiet = eRead == ESerialRead::Timeout && nBytes == c.strStream.size() ? nQuiet + 1 : 0;
    }
    decoder.Finish();
    EXPECT_EQ(bGone, c.bHangUp);
    EXPECT_EQ(nBytes, c.strStream.size());
    if (bGone) {
        EXPECT_EQ(error.eFailure, ESerialFailure::Gone);
        EXPECT_NE(error.strUiText.find("abgebrochen"), std::string::npos);
    }
    EXPECT_EQ(DescribePackets(collector.m_Packets), c.pPackets);
    for (const CStreamPacket& packet : collector.m_Packets)
        EXPECT_TRUE(packet.m_bRepliesCarried || packet.m_eEnd != EPacketEnd::Whole);
}

INSTANTIATE_TEST_SUITE_P(Rows, SerialStreamTest, ::testing::ValuesIn(SerialCases()),
                         [](const ::testing::TestParamInfo<CSerialCase>& info) { return info.param.pName; });

TEST(SerialDeviceTest, SaysWhyADeviceCannotBeOpened)
{
    CScratchFolder dir("quillomat-serial");
    WriteBytes(dir / "log.txt", "88 33\n");
    CPtyDevice pty;
    ASSERT_TRUE(pty.IsOpen());
    CSerialDevice holder;
    CSerialError error;
    ASSERT_TRUE(holder.Open(pty.Path(), BAUD, error));

    struct CRow {
        std::string strPath;
        uint32_t nBaud;
        ESerialFailure eFailure;
    };
    const CRow rows[] = {
        {(dir / "ttyACM9").string(), BAUD, ESerialFailure::NoDevice},
        {(dir / "log.txt").string(), BAUD, ESerialFailure::NotATty},
        {pty.Path(), BAUD, ESerialFailure::Busy},
        {pty.Path(), 12345, ESerialFailure::BadRate},
    };
    for (const CRow& row : rows) {
        SCOPED_TRACE(row.strPath);
        CSerialDevice device;
        EXPECT_FALSE(device.Open(row.strPath, row.nBaud, error));
        EXPECT_EQ(error.eFailure, row.eFailure) << error.strMessage;
        EXPECT_NE(error.strMessage.find(row.strPath), std::string::npos) << error.strMessage;
        EXPECT_FALSE(error.strUiText.empty());
        EXPECT_FALSE(device.IsOpen());
    }
}

// Root opens any device, so a missing permission is checked on the error it comes with.
TEST(SerialDeviceTest, NamesTheDialoutGroupWhenPermissionIsMissing)
{
    for (const int nErrno : {EACCES, EPERM}) {
        const CSerialError error = DescribeSerialOpenError("/dev/ttyACM0", nErrno);
        EXPECT_EQ(error.eFailure, ESerialFailure::NoPermission);
        EXPECT_NE(error.strMessage.find("dialout"), std::string::npos);
        EXPECT_NE(error.strUiText.find("Gruppe \"dialout\""), std::string::npos);
    }
}

struct CProbeCase {
    const char* pName;
    const char* pStream;  // nullptr: nothing is written
    ESerialProbeVerdict eVerdict;
    EDeviceMode eMode;
    const char* pLastLine;  // the start of the last finding
};

const CProbeCase PROBES[] = {
    {"RawPackets", "\r\n// GAMEBOY PRINTER Packet Capture V3.2.1 (Brian Khuu 2021)\r\n// note\r\n",
     ESerialProbeVerdict::PictureSource, EDeviceMode::RawPackets, "mode: raw packets"},
    {"ParseMode", "// GAMEBOY PRINTER Emulator V3.2.1\r\n{\"command\":\"INIT\"}\r\n", ESerialProbeVerdict::PictureSource,
     EDeviceMode::ParseMode, "mode: parse mode"},
    {"PacketsWithoutBanner", "88 33 0F 00 00 00 0F 00 81 00\r\n", ESerialProbeVerdict::PictureSource,
     EDeviceMode::RawPackets, "mode: raw packets"},
    {"PrinterBridge", "// GAMEBOY PRINTER Packet Capture V3.2.1\r\n// Printer found: bridge mode, 9600 baud\r\n",
     ESerialProbeVerdict::PrinterBridge, EDeviceMode::PrinterBridge, "! mode: printer bridge"},
    {"HelpOnly", "?\r\nwaterline: 0B out of 650B\r\n", ESerialProbeVerdict::Unrecognised, EDeviceMode::Unknown,
     "! mode: none we know"},
    {"Silent", nullptr, ESerialProbeVerdict::Unrecognised, EDeviceMode::Unknown, "! mode: the device said nothing"},
};

TEST(SerialProbeTest, SaysWhatTheDeviceIs)
{
    for (const CProbeCase& c : PROBES) {
        SCOPED_TRACE(c.pName);
        CPtyDevice pty;
        ASSERT_TRUE(pty.IsOpen());
        if (c.pStream)
            pty.Play(c.pStream, BAUD, 50);
        const CSerialProbeReport report = ProbeSerialDevice({EStreamLinkKind::Serial, pty.Path(), BAUD}, {600, 100});
        EXPECT_EQ(report.eVerdict, c.eVerdict) << report.strVerdict;
        EXPECT_EQ(report.eMode, c.eMode);
        ASSERT_FALSE(report.lines.empty());
        EXPECT_EQ(report.lines.back().rfind(c.pLastLine, 0), 0u) << report.lines.back();
    }
    const CSerialProbeReport missing = ProbeSerialDevice({EStreamLinkKind::Serial, "/nonexistent/ttyACM0", BAUD});
    EXPECT_EQ(missing.eVerdict, ESerialProbeVerdict::Unreachable);
    EXPECT_EQ(missing.error.eFailure, ESerialFailure::NoDevice);
}

}  // namespace
