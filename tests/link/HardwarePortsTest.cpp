// Register accesses of the hardware backends, translated into system calls on a fake layer.

#include "FakePortSystem.h"
#include "link/HardwarePorts.h"

#include <gtest/gtest.h>

namespace {

using Call = CFakePortSystem::Call;

TEST(PpdevPort, RegistersBecomeIoctlsAtTheBaseFromProc)
{
    auto pSystem = std::make_shared<CFakePortSystem>();
    pSystem->m_Devices["/dev/parport1"] = 7;
    pSystem->m_Files["/proc/sys/dev/parport/parport1/base-addr"] = "632\t1656\n";
    CPpdevPortIo port(pSystem);
    const CResult added = port.AddDevice("/dev/parport1");
    ASSERT_TRUE(added.Ok()) << added.m_strMessage;
    EXPECT_EQ(port.GetDeviceBase(0), 0x278);
    EXPECT_EQ(pSystem->m_Calls[0], (Call{7, PPCLAIM, -1}));
    pSystem->m_Calls.clear();

    EXPECT_EQ(port.In(0x278), 0x3A);
    EXPECT_EQ(port.In(0x279), 0x5F);
    EXPECT_EQ(port.In(0x27A), 0xC4 & ~0x20);  // ppdev hides bit 5; it reads as we set it
    port.Out(0x278, 0x81);
    port.Out(0x279, 0x00);                      // status is read-only: no call
    port.Out(0x27A, 0x2E);                      // direction bit set: PPDATADIR first
    EXPECT_EQ(port.In(0x27A) & 0x20, 0x20);
    port.Out(0x27A, 0x0C);                      // and cleared again
    port.Out(0x27A, 0x0D);                      // no change of direction: no PPDATADIR
    const std::vector<Call> expected{
        {7, PPRDATA, -1},     {7, PPRSTATUS, -1},   {7, PPRCONTROL, -1}, {7, PPWDATA, 0x81},
        {7, PPDATADIR, 1},    {7, PPWCONTROL, 0x2E}, {7, PPRCONTROL, -1}, {7, PPDATADIR, 0},
        {7, PPWCONTROL, 0x0C}, {7, PPWCONTROL, 0x0D}};
    EXPECT_EQ(pSystem->m_Calls, expected);

    // Addresses of no device: nothing answers.
    pSystem->m_Calls.clear();
    EXPECT_EQ(port.In(0x379), 0xFF);
    port.Out(0x378, 0x00);
    EXPECT_TRUE(pSystem->m_Calls.empty());
}

TEST(PpdevPort, UnknownOrOddBasesTakeTheFirstFreeStandardBase)
{
    auto pSystem = std::make_shared<CFakePortSystem>();
    pSystem->m_Devices = {{"/dev/parport0", 3}, {"/dev/parport1", 4}, {"/dev/parport2", 5}, {"/dev/parport3", 6}};
    pSystem->m_Files["/proc/sys/dev/parport/parport0/base-addr"] = "888\t1912";
    pSystem->m_Files["/proc/sys/dev/parport/parport1/base-addr"] = "53248\t0"; // a PCI card
    CPpdevPortIo port(pSystem);
    ASSERT_TRUE(port.AddDevice("/dev/parport0").Ok());
    ASSERT_TRUE(port.AddDevice("/dev/parport1").Ok());
    ASSERT_TRUE(port.AddDevice("/dev/parport2").Ok()); // no base-addr file
    EXPECT_EQ(port.GetDeviceBase(0), 0x378);
    EXPECT_EQ(port.GetDeviceBase(1), 0x278);
    EXPECT_EQ(port.GetDeviceBase(2), 0x3BC);
    const CResult refused = port.AddDevice("/dev/parport3");
    EXPECT_EQ(refused.m_eKind, EErrorKind::Unreachable);
    EXPECT_NE(refused.m_strMessage.find("no free port base"), std::string::npos);
    EXPECT_EQ(pSystem->m_Closed, std::vector<int>{6});
}

TEST(PpdevPort, OpenAndClaimFailuresNameTheDevice)
{
    auto pSystem = std::make_shared<CFakePortSystem>();
    pSystem->m_Devices["/dev/parport0"] = 3;
    pSystem->m_Unclaimable.insert("/dev/parport0");
    CPpdevPortIo port(pSystem);
    EXPECT_EQ(port.AddDevice("/dev/parport9").m_strMessage, "cannot open /dev/parport9: No such file or directory");
    EXPECT_EQ(port.AddDevice("/dev/parport0").m_strMessage, "cannot claim /dev/parport0: Device or resource busy");
    EXPECT_EQ(pSystem->m_Closed, std::vector<int>{3});
    EXPECT_EQ(port.GetDeviceCount(), 0u);
}

TEST(PpdevPort, ReleasesAndClosesOnDestruction)
{
    auto pSystem = std::make_shared<CFakePortSystem>();
    pSystem->m_Devices["/dev/parport0"] = 3;
    {
        CPpdevPortIo port(pSystem);
        ASSERT_TRUE(port.AddDevice("/dev/parport0").Ok());
        pSystem->m_Calls.clear();
    }
    EXPECT_EQ(pSystem->m_Calls, (std::vector<Call>{{3, PPRELEASE, -1}}));
    EXPECT_EQ(pSystem->m_Closed, std::vector<int>{3});
}

TEST(DirectPort, OnlyGrantedBasesAreReachable)
{
    auto pSystem = std::make_shared<CFakePortSystem>();
    pSystem->m_IopermAllowed = {0x278};
    pSystem->m_Ports[0x279] = 0x87;
    CDirectPortIo port(pSystem);
    ASSERT_TRUE(port.Open().Ok());
    EXPECT_EQ(port.In(0x279), 0x87);
    EXPECT_EQ(port.In(0x379), 0xFF);
    EXPECT_EQ(port.In(0x27B), 0xFF);
    port.Out(0x27A, 0x04);
    port.Out(0x37A, 0x04);
    EXPECT_EQ(pSystem->m_Outb, (std::vector<std::pair<uint16_t, uint8_t>>{{0x27A, 0x04}}));

    auto pRefusing = std::make_shared<CFakePortSystem>();
    CDirectPortIo refused(pRefusing);
    const CResult opened = refused.Open();
    EXPECT_FALSE(opened.Ok());
    EXPECT_NE(opened.m_strMessage.find("Operation not permitted"), std::string::npos);
}

TEST(ParportDevices, OnlyNumberedParportsInNumericOrder)
{
    CFakePortSystem system;
    system.m_DevEntries = {"parport10", "tty0", "parport2", "parport", "parportx", "parport0"};
    EXPECT_EQ(FindParportDevices(system),
              (std::vector<std::string>{"/dev/parport0", "/dev/parport2", "/dev/parport10"}));
}

} // namespace
