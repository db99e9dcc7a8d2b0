#include <gtest/gtest.h>

#include "streams/LinkTargets.h"
#include "streams/SerialPorts.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

struct CLinkCase {
    const char* pSpec;
    bool bOk;
    EStreamLinkKind eKind;
    const char* pPath;
    uint32_t nBaud;
    const char* pErrorPart;  // a part of the error when refused
};

const CLinkCase LINKS[] = {
    {"serial:/dev/ttyACM0", true, EStreamLinkKind::Serial, "/dev/ttyACM0", 115200, ""},
    {"serial:/dev/ttyUSB1,baud=9600", true, EStreamLinkKind::Serial, "/dev/ttyUSB1", 9600, ""},
    {"serial:/dev/ttyACM0,baud=921600", true, EStreamLinkKind::Serial, "/dev/ttyACM0", 921600, ""},
    {"file:/home/a/log, with comma.txt", true, EStreamLinkKind::File, "/home/a/log, with comma.txt", 115200, ""},
    {"serial:", false, EStreamLinkKind::Serial, "", 0, "device after ':' is missing"},
    {"serial", false, EStreamLinkKind::Serial, "", 0, "device after ':' is missing"},
    {"serial:/dev/ttyACM0,baud=12345", false, EStreamLinkKind::Serial, "", 0, "unsupported rate '12345'"},
    {"serial:/dev/ttyACM0,baud=", false, EStreamLinkKind::Serial, "", 0, "unsupported rate ''"},
    {"serial:/dev/ttyACM0,baud=99999999999", false, EStreamLinkKind::Serial, "", 0, "unsupported rate"},
    {"serial:/dev/ttyACM0,parity=even", false, EStreamLinkKind::Serial, "", 0, "unknown option 'parity=even'"},
    {"file:", false, EStreamLinkKind::File, "", 0, "path after ':' is missing"},
    {"ppdev:/dev/parport0", false, EStreamLinkKind::Serial, "", 0, "not a serial or file link"},
};

TEST(LinkTargetsTest, ReadsSerialAndFileLinks)
{
    for (const CLinkCase& c : LINKS) {
        SCOPED_TRACE(c.pSpec);
        CStreamLinkTarget target;
        std::string strError;
        ASSERT_EQ(ParseStreamLink(c.pSpec, target, strError), c.bOk) << strError;
        EXPECT_EQ(IsStreamLinkSpec(c.pSpec), std::string(c.pSpec).rfind("ppdev", 0) != 0);
        if (!c.bOk) {
            EXPECT_NE(strError.find(c.pErrorPart), std::string::npos) << strError;
            continue;
        }
        EXPECT_EQ(target.eKind, c.eKind);
        EXPECT_EQ(target.strPath, c.pPath);
        if (c.eKind == EStreamLinkKind::Serial) {
            EXPECT_EQ(target.nBaud, c.nBaud);
        }
    }
}

}  // namespace

namespace {

TEST(SerialPortsTest, ListsEmulatorDevicesInOrder)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("quillomat-dev-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (const char* pName : {"ttyUSB0", "ttyACM10", "ttyS0", "ttyACM2", "ttyACM", "ttyACMx", "tty0", "null"})
        std::ofstream(dir / pName).put('\n');
    EXPECT_EQ(ListSerialDevices(dir.string()),
              (std::vector<std::string>{(dir / "ttyACM2").string(), (dir / "ttyACM10").string(), (dir / "ttyUSB0").string()}));
    std::filesystem::remove_all(dir);
    EXPECT_TRUE(ListSerialDevices(dir.string()).empty());
}

}  // namespace
