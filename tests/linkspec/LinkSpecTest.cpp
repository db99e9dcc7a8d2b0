// Link strings: which backend each names, and errors that name the bad part.

#include "link/FakePortSystem.h"
#include "console/CSimConsole.h"
#include "link/HardwarePorts.h"
#include "linkspec/LinkSpec.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

TEST(LinkSpec, BadStringsAreRefusedWithTheBadPartNamed)
{
    // bBadSpec: the string itself is wrong (a caller's usage error), rather than a file or
    // device it names being out of reach.
    struct Case {
        const char* pszSpec;
        const char* pszInError;
        bool bBadSpec;
    };
    auto pSystem = std::make_shared<CFakePortSystem>();
    for (const Case& c : {Case{"serial", "unknown link 'serial'", true}, Case{"", "unknown link ''", true},
                          Case{"direct:fast", "'fast'", true}, Case{"auto:x", "'x'", true},
                          Case{"ppdev:", "device after ':' is missing", true},
                          Case{"ppdev:/dev/parport5", "cannot open /dev/parport5", false},
                          Case{"ppdev", "no /dev/parport* device", false}, Case{"direct", "ioperm refused", false},
                          Case{"sim:version=5", "version=5", true},
                          Case{"sim:colour=red", "unknown sim option 'colour'", true},
                          Case{"sim:faults=stall:2", "stall:2", true},
                          Case{"sim:replay=/nonexistent/x.txt", "cannot read /nonexistent/x.txt", false}}) {
        std::string strError;
        bool bBadSpec = !c.bBadSpec;
        EXPECT_EQ(OpenLink(c.pszSpec, strError, pSystem, bBadSpec), nullptr) << c.pszSpec;
        EXPECT_NE(strError.find(c.pszInError), std::string::npos) << c.pszSpec << ": " << strError;
        EXPECT_EQ(bBadSpec, c.bBadSpec) << c.pszSpec;
    }
}

TEST(LinkSpec, AutoTakesPpdevThenDirectThenNoPort)
{
    std::string strError;
    auto pSystem = std::make_shared<CFakePortSystem>();
    auto pNone = OpenLink("auto", strError, pSystem);
    ASSERT_NE(pNone, nullptr);
    EXPECT_NE(dynamic_cast<CNoPortIo*>(pNone.get()), nullptr);
    EXPECT_EQ(pNone->In(0x379), 0xFF);

    pSystem->m_IopermAllowed = {0x378};
    EXPECT_NE(dynamic_cast<CDirectPortIo*>(OpenLink("auto", strError, pSystem).get()), nullptr);

    pSystem->m_DevEntries = {"parport0"};
    pSystem->m_Devices["/dev/parport0"] = 3;
    EXPECT_NE(dynamic_cast<CPpdevPortIo*>(OpenLink("auto", strError, pSystem).get()), nullptr);

    // A parport that cannot be claimed falls through to the next backend.
    pSystem->m_Unclaimable.insert("/dev/parport0");
    EXPECT_NE(dynamic_cast<CDirectPortIo*>(OpenLink("auto", strError, pSystem).get()), nullptr);
}

TEST(LinkSpec, SimOptionsReachTheSimulator)
{
    std::string strError;
    auto pPort = OpenLink("sim:version=4,base=0x3BC,half=7,gap=20,pause=900,compress,seed=9,reprints=0",
                          strError, std::make_shared<CFakePortSystem>());
    ASSERT_NE(pPort, nullptr) << strError;
    EXPECT_TRUE(pPort->IsSimulated());
    auto* pSim = dynamic_cast<CSimConsole*>(pPort.get());
    ASSERT_NE(pSim, nullptr);
    const CSimOptions& o = pSim->GetOptions();
    EXPECT_EQ(o.nVersion, 4);
    EXPECT_EQ(o.nBase, 0x3BC);
    EXPECT_EQ(o.nHalf, 7);
    EXPECT_EQ(o.nGap, 20);
    EXPECT_EQ(o.nPause, 900);
    EXPECT_TRUE(o.bCompress);
    EXPECT_EQ(o.nSeed, 9u);
    EXPECT_EQ(o.nReprints, 0);
    EXPECT_EQ(pSim->GetTileStream().size(), 5760u); // the test card
}

TEST(LinkSpec, DefaultComesFromTheEnvironment)
{
    const char* pszOld = std::getenv("QUILLOMAT_LINK");
    const std::string strOld = pszOld ? pszOld : "";
    setenv("QUILLOMAT_LINK", "sim:version=4", 1);
    EXPECT_EQ(DefaultLinkSpec(), "sim:version=4");
    setenv("QUILLOMAT_LINK", "", 1);
    EXPECT_EQ(DefaultLinkSpec(), "auto");
    unsetenv("QUILLOMAT_LINK");
    EXPECT_EQ(DefaultLinkSpec(), "auto");
    if (pszOld)
        setenv("QUILLOMAT_LINK", strOld.c_str(), 1);
}

} // namespace
