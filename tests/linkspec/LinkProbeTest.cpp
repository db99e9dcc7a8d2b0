// The probe of a link: what it reports for the simulated module of each version, and for
// printer ports that are missing or out of reach.

#include "link/FakePortSystem.h"
#include "link/LinkFakes.h"
#include "linkspec/LinkProbe.h"

#include <gtest/gtest.h>

namespace {

struct CProbed {
    CProbeReport report;
    std::shared_ptr<CFakePlatform> pPlatform = std::make_shared<CFakePlatform>();
    std::string strError;
    bool bProbed = false;

    CProbed(const std::string& strSpec, std::shared_ptr<CFakePortSystem> pSystem)
    {
        CProbeSetup setup;
        setup.pSystem = std::move(pSystem);
        setup.pPlatform = pPlatform;
        setup.fnDescribePriority = [] { return std::string("nice -10"); };
        setup.nTimedReads = 1000;
        bProbed = ProbeLink(strSpec, setup, report, strError);
    }
    // The steps as "name: text" lines, failed ones marked with "!".
    std::string Text() const
    {
        std::string strText;
        for (const CProbeStep& step : report.steps)
            strText += (step.bOk ? "" : "! ") + step.strName + ": " + step.strText + "\n";
        return strText + "verdict: " + report.strVerdict + "\n";
    }
    std::string Names() const
    {
        std::string strNames;
        for (const CProbeStep& step : report.steps)
            strNames += step.strName + (step.bOk ? "," : "!,");
        return strNames;
    }
};

TEST(LinkProbe, TheSimulatedModuleOfEachVersion)
{
    struct {
        const char* pSpec;
        bool bPossible;
        const char* pNames;      // the steps, "!" after those that stand in the way
        const char* pInText;
    } cases[] = {
        {"sim:version=0", false, "link,module!,", "none answers at 0x378, 0x278 or 0x3BC"},
        {"sim:version=2", false, "link,module,version!,speed,port read,priority,",
         "version: 2: the module answers the port probe but neither version test; the receive dialog says: \"Dein Modul "
         "hat einen Fehler auf der Leseleitung\nBitte kontaktiere den Service des Herstellers\""},
        {"sim:version=3", true, "link,module,version,speed,port read,priority,", "version: 3: the lines are read as they are"},
        {"sim:version=4,base=0x278", true, "link,module,version,speed,port read,priority,",
         "module: found at 0x278\nversion: 4: the lines are read inverted"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pSpec);
        const CProbed probe(c.pSpec, std::make_shared<CFakePortSystem>());
        ASSERT_TRUE(probe.bProbed) << probe.strError;
        EXPECT_EQ(probe.report.bReceptionPossible, c.bPossible);
        EXPECT_EQ(probe.Names(), c.pNames);
        const std::string strText = probe.Text();
        EXPECT_NE(strText.find("link: the simulated console and link module, no hardware\n"), std::string::npos);
        EXPECT_NE(strText.find(c.pInText), std::string::npos) << strText;
        EXPECT_EQ(probe.report.strVerdict.rfind(c.bPossible ? "a reception can run" : "no reception possible", 0), 0u);
        if (probe.report.steps.size() < 6)
            continue;
        EXPECT_NE(strText.find(" port read/write pairs per millisecond (mean of 2 samples)"), std::string::npos);
        EXPECT_NE(strText.find("port read: "), std::string::npos);
        EXPECT_NE(strText.find("priority: the high class (a simulated link never asks for realtime): nice -10"),
                  std::string::npos);
        // Opening as the dialog does, then a reception's class, then back to normal: never realtime.
        EXPECT_EQ(probe.pPlatform->m_Classes,
                  (std::vector<uint32_t>{PRIORITY_CLASS_HIGH, PRIORITY_CLASS_HIGH, PRIORITY_CLASS_NORMAL,
                                         PRIORITY_CLASS_NORMAL}));
    }
}

TEST(LinkProbe, PortsThatAreMissingOrOutOfReachAreNamedWithTheWayOut)
{
    struct {
        const char* pName;
        const char* pSpec;
        std::function<void(CFakePortSystem&)> fnSetUp;
        std::vector<const char*> inText;
    } cases[] = {
        {"no device", "ppdev", [](CFakePortSystem&) {},
         {"! link: ppdev: no device (ppdev: no /dev/parport* device)", "sudo modprobe parport_pc ppdev"}},
        {"permission denied", "ppdev:/dev/parport0",
         [](CFakePortSystem& system) { system.m_OpenErrors["/dev/parport0"] = "Permission denied"; },
         {"! link: ppdev:/dev/parport0: no permission (", "Permission denied", "sudo usermod -aG lp $USER"}},
        {"held by another driver", "ppdev:/dev/parport0",
         [](CFakePortSystem& system) {
             system.m_Devices["/dev/parport0"] = 3;
             system.m_Unclaimable.insert("/dev/parport0");
         },
         {"in use (", "sudo modprobe -r lp"}},
        {"direct without root", "direct", [](CFakePortSystem&) {},
         {"! link: direct: no permission (", "direct port access needs root"}},
        {"auto finds nothing it may use", "auto",
         [](CFakePortSystem& system) {
             system.m_DevEntries = {"parport0"};
             system.m_OpenErrors["/dev/parport0"] = "Permission denied";
         },
         {"! link: auto found no printer port: ppdev: no permission", "lp group", "direct: no permission",
          "needs root"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pName);
        auto pSystem = std::make_shared<CFakePortSystem>();
        c.fnSetUp(*pSystem);
        const CProbed probe(c.pSpec, pSystem);
        ASSERT_TRUE(probe.bProbed) << probe.strError;
        EXPECT_FALSE(probe.report.bReceptionPossible);
        EXPECT_EQ(probe.Names(), "link!,");
        const std::string strText = probe.Text();
        for (const char* pPart : c.inText)
            EXPECT_NE(strText.find(pPart), std::string::npos) << pPart << " in\n" << strText;
        EXPECT_TRUE(probe.pPlatform->m_Classes.empty());  // nothing was raised for a port never opened
    }
}

TEST(LinkProbe, AnOpenPortWithoutAModuleAndABadStringAreTold)
{
    // The port opens, but nothing loops D7 back to status bit 6.
    auto pSystem = std::make_shared<CFakePortSystem>();
    pSystem->m_DevEntries = {"parport0"};
    pSystem->m_Devices["/dev/parport0"] = 3;
    pSystem->m_Files["/proc/sys/dev/parport/parport0/base-addr"] = "888\t1912\n";
    const CProbed probe("auto", pSystem);
    ASSERT_TRUE(probe.bProbed);
    EXPECT_EQ(probe.Names(), "link,module!,");
    EXPECT_NE(probe.Text().find("link: auto: ppdev, 1 printer port(s) at 0x378\n"), std::string::npos) << probe.Text();
    EXPECT_EQ(probe.report.strVerdict, "no reception possible: no link module");

    const CProbed bad("sim:version=5", std::make_shared<CFakePortSystem>());
    EXPECT_FALSE(bad.bProbed);
    EXPECT_NE(bad.strError.find("version=5"), std::string::npos);
}

}  // namespace
