// Options of the simulated console.

#include "console/SimOptions.h"

#include <gtest/gtest.h>

namespace {

TEST(SimOptions, DefaultsAndEveryOption)
{
    CSimOptions o;
    std::string strError;
    ASSERT_TRUE(ParseSimOptions("", o, strError));
    EXPECT_EQ(o.nVersion, 3);
    EXPECT_EQ(o.nBase, 0x378);
    EXPECT_EQ(o.nReprints, 2);
    EXPECT_EQ(o.nSeed, 1u);
    EXPECT_LT(o.nPause, 30000);
    EXPECT_GT(o.nReprintDelay, 19LL * 20 * 30000 + 2003LL * 5000);
    EXPECT_EQ(o.nStart, -1);  // when the program listens
    EXPECT_EQ(o.nPolls, 100);
    EXPECT_FALSE(o.bBreak);
    EXPECT_FALSE(o.bReplayAck);

    ASSERT_TRUE(ParseSimOptions("picture=card.bmp,compress,version=0,base=0x278,faults=stall:0.002+flip:0.5+cut:1,"
                                "seed=7,reprints=0,half=4,gap=9,pause=100,start=0,delay=50",
                                o, strError))
        << strError;
    EXPECT_EQ(o.strPicture, "card.bmp");
    EXPECT_TRUE(o.bCompress);
    EXPECT_EQ(o.nVersion, 0);
    EXPECT_EQ(o.nBase, 0x278);
    EXPECT_DOUBLE_EQ(o.dStall, 0.002);
    EXPECT_DOUBLE_EQ(o.dFlip, 0.5);
    EXPECT_DOUBLE_EQ(o.dCut, 1.0);
    EXPECT_EQ(o.nSeed, 7u);
    EXPECT_EQ(o.nReprints, 0);
    EXPECT_EQ(o.nHalf, 4);
    EXPECT_EQ(o.nGap, 9);
    EXPECT_EQ(o.nPause, 100);
    EXPECT_EQ(o.nStart, 0);
    EXPECT_EQ(o.nReprintDelay, 50);

    ASSERT_TRUE(ParseSimOptions("picture=a.bmp+b.bmp,palette=E4+d2,compress=1+0,polls=5,break,ack", o, strError))
        << strError;
    EXPECT_EQ(o.strPicture, "a.bmp+b.bmp");
    EXPECT_EQ(o.palettes, (std::vector<uint8_t>{0xE4, 0xD2}));
    EXPECT_EQ(o.compressed, (std::vector<bool>{true, false}));
    EXPECT_EQ(o.nPolls, 5);
    EXPECT_TRUE(o.bBreak);
    EXPECT_TRUE(o.bReplayAck);
}

TEST(SimOptions, BadOptionsAreNamed)
{
    struct Case {
        const char* pszText;
        const char* pszInError;
    };
    for (const Case& c : {Case{"version=1", "'version=1'"}, Case{"version=x", "'version=x'"},
                          Case{"base=0x379", "'base=0x379'"}, Case{"half=0", "'half=0'"},
                          Case{"gap=-3", "'gap=-3'"}, Case{"seed=", "'seed='"}, Case{"compress=2", "'compress=2'"},
                          Case{"compress=1+", "'compress=1+'"}, Case{"palette=E4+XYZ", "'palette=E4+XYZ'"},
                          Case{"palette=", "'palette='"}, Case{"polls=-1", "'polls=-1'"}, Case{"break=1", "'break=1'"},
                          Case{"picture=", "'picture='"}, Case{"faults=stall", "'stall'"},
                          Case{"faults=stall:1.5", "'stall:1.5'"}, Case{"faults=burn:0.1", "unknown fault 'burn'"},
                          Case{"faults=stall:0.1+", "''"}, Case{"speed=3", "unknown sim option 'speed'"},
                          Case{"picture=a.bmp,replay=b.txt", "exclude each other"},
                          Case{"reprints=99999", "'reprints=99999'"}}) {
        CSimOptions o;
        std::string strError;
        EXPECT_FALSE(ParseSimOptions(c.pszText, o, strError)) << c.pszText;
        EXPECT_NE(strError.find(c.pszInError), std::string::npos) << c.pszText << ": " << strError;
    }
}

} // namespace
