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
    // BadSpec: the string itself is wrong (a caller's usage error); Unreachable: a file or
    // device it names is out of reach.
    constexpr ELinkFailure BAD = ELinkFailure::BadSpec;
    constexpr ELinkFailure OUT = ELinkFailure::Unreachable;
    struct Case {
        const char* pszSpec;
        const char* pszInError;
        ELinkFailure eFailure;
        const char* pszCulprit;  // what a message in other words names
    };
    auto pSystem = std::make_shared<CFakePortSystem>();
    for (const Case& c : {Case{"serial", "device after ':' is missing", BAD, "serial"},
                          Case{"parallel", "unknown link 'parallel'", BAD, "parallel"}, Case{"", "unknown link ''", BAD, ""},
                          Case{"file:/nonexistent/x.log", "/nonexistent/x.log", OUT, "/nonexistent/x.log"},
                          Case{"direct:fast", "'fast'", BAD, "fast"}, Case{"auto:x", "'x'", BAD, "x"},
                          Case{"ppdev:", "device after ':' is missing", BAD, "ppdev:"},
                          Case{"ppdev:/dev/parport5", "cannot open /dev/parport5", OUT, "/dev/parport5"},
                          Case{"ppdev", "no /dev/parport* device", OUT, "/dev/parport*"},
                          Case{"direct", "ioperm refused", OUT, ""},
                          Case{"sim:version=5", "version=5", BAD, "version=5"},
                          Case{"sim:seed=1,colour=red", "unknown sim option 'colour'", BAD, "colour"},
                          Case{"sim:faults=stall:2", "stall:2", BAD, "faults=stall:2"},
                          Case{"sim:picture=a.bmp,replay=b.txt", "exclude each other", BAD, "replay=b.txt"},
                          Case{"sim:replay=/nonexistent/x.txt", "cannot read /nonexistent/x.txt", OUT, "/nonexistent/x.txt"},
                          Case{"sim:picture=/nonexistent/x.bmp", "/nonexistent/x.bmp", OUT, "/nonexistent/x.bmp"}}) {
        const COpenedLink link = OpenLink(c.pszSpec, pSystem);
        EXPECT_EQ(link.pPort, nullptr) << c.pszSpec;
        EXPECT_NE(link.strError.find(c.pszInError), std::string::npos) << c.pszSpec << ": " << link.strError;
        EXPECT_EQ(link.eFailure, c.eFailure) << c.pszSpec;
        EXPECT_EQ(link.strCulprit, c.pszCulprit) << c.pszSpec;
    }
}

TEST(LinkSpec, AutoTakesPpdevThenDirectThenNoPort)
{
    auto pSystem = std::make_shared<CFakePortSystem>();
    const COpenedLink none = OpenLink("auto", pSystem);
    EXPECT_EQ(none.eFailure, ELinkFailure::None);
    const std::shared_ptr<PortIo> pNone = none.pPort;
    ASSERT_NE(pNone, nullptr);
    EXPECT_NE(dynamic_cast<CNoPortIo*>(pNone.get()), nullptr);
    EXPECT_EQ(pNone->In(0x379), 0xFF);

    pSystem->m_IopermAllowed = {0x378};
    EXPECT_NE(dynamic_cast<CDirectPortIo*>(OpenLink("auto", pSystem).pPort.get()), nullptr);

    pSystem->m_DevEntries = {"parport0"};
    pSystem->m_Devices["/dev/parport0"] = 3;
    EXPECT_NE(dynamic_cast<CPpdevPortIo*>(OpenLink("auto", pSystem).pPort.get()), nullptr);

    // A parport that cannot be claimed falls through to the next backend.
    pSystem->m_Unclaimable.insert("/dev/parport0");
    EXPECT_NE(dynamic_cast<CDirectPortIo*>(OpenLink("auto", pSystem).pPort.get()), nullptr);
}

TEST(LinkSpec, SimOptionsReachTheSimulator)
{
    const COpenedLink link = OpenLink("sim:version=4,base=0x3BC,half=7,gap=20,pause=900,compress,seed=9,reprints=0",
                                      std::make_shared<CFakePortSystem>());
    const std::shared_ptr<PortIo> pPort = link.pPort;
    ASSERT_NE(pPort, nullptr) << link.strError;
    EXPECT_EQ(pPort->GetKind(), ELinkKind::Simulated);
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

// The link string in force: the environment wins over the profile, the profile over "auto".
TEST(LinkSpec, TheLinkComesFromTheEnvironmentThenTheProfileThenAuto)
{
    struct Case {
        const char* pszEnvironment;
        const char* pszProfile;
        const char* pszExpected;
    };
    for (const Case& c : {Case{"", "", "auto"}, Case{"", " \t ", "auto"}, Case{"", "sim:version=4", "sim:version=4"},
                          Case{"", "  ppdev:/dev/parport1 \n", "ppdev:/dev/parport1"}, Case{"sim", "ppdev", "sim"},
                          Case{"direct", "", "direct"}})
        EXPECT_EQ(ResolveLinkSpec(c.pszEnvironment, c.pszProfile), c.pszExpected)
            << "'" << c.pszEnvironment << "' / '" << c.pszProfile << "'";

    const char* pszOld = std::getenv("QUILLOMAT_LINK");
    const std::string strOld = pszOld ? pszOld : "";
    setenv("QUILLOMAT_LINK", "sim:version=4", 1);
    EXPECT_EQ(DefaultLinkSpec(), "sim:version=4");
    EXPECT_EQ(DefaultLinkSpec("ppdev"), "sim:version=4");
    setenv("QUILLOMAT_LINK", "", 1);
    EXPECT_EQ(DefaultLinkSpec(), "auto");
    EXPECT_EQ(DefaultLinkSpec("direct"), "direct");
    unsetenv("QUILLOMAT_LINK");
    EXPECT_EQ(DefaultLinkSpec(), "auto");
    if (pszOld)
        setenv("QUILLOMAT_LINK", strOld.c_str(), 1);
}

} // namespace
