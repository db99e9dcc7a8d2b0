// The receive dialog's logic on a fake screen: ticks, status texts, timers, messages, the end.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "console/CSimModule.h"
#include "link/ReprintUser.h"
#include "reception/FakeScreen.h"
#include "reception/ReceiveSession.h"
#include "support/TestFiles.h"

namespace {

class ReceiveSessionTest : public ::testing::Test {
protected:
    std::filesystem::path LogPath() const { return m_Dir / "Tarvo.log"; }
    void Ticks(CReceiveSession& session, int n)
    {
        for (int i = 0; i < n; ++i)
            session.OnTimer(CReceiveSession::RECEIVE_TIMER_ID);
    }

    CScratchFolder m_Dir{"quillomat-session"};
    CFakeScreen m_Screen;
};

TEST_F(ReceiveSessionTest, NoModuleFirstFourTicksIdleThenAttempts)
{
    CReceiveSession session(m_Screen, nullptr, LogPath());
    EXPECT_TRUE(session.OnInitDialog());
    EXPECT_EQ(m_Screen.m_nSetTimerCalls, 1);
    EXPECT_TRUE(std::filesystem::exists(LogPath()));
    const unsigned nFirstTimer = m_Screen.m_nActiveTimer;

    Ticks(session, 4);
    EXPECT_TRUE(m_Screen.m_SetTexts.empty());
    EXPECT_TRUE(m_Screen.m_Killed.empty());
    EXPECT_EQ(session.GetTickCount(), 4);

    Ticks(session, 1);
    ASSERT_EQ(m_Screen.m_Killed.size(), 1u);
    EXPECT_EQ(m_Screen.m_Killed[0], nFirstTimer);
    EXPECT_EQ(m_Screen.m_strText, RECEIVE_TEXT_NO_MODULE);
    EXPECT_EQ(m_Screen.m_nSetTimerCalls, 2);
    EXPECT_TRUE(session.IsRunEnabled());
    EXPECT_TRUE(m_Screen.m_Messages.empty());

    Ticks(session, 3);
    EXPECT_EQ(session.GetTickCount(), 6);
    EXPECT_EQ(m_Screen.m_Killed.size(), 4u);
    // The same text again is not set again.
    EXPECT_EQ(m_Screen.m_SetTexts.size(), 1u);

    session.OnCancel();
    EXPECT_EQ(m_Screen.m_nEndResult, 2);
    EXPECT_TRUE(session.HasEnded());
    EXPECT_FALSE(session.IsPictureComplete());
    const unsigned nLastTimer = m_Screen.m_nActiveTimer;
    session.OnDestroy();
    EXPECT_EQ(m_Screen.m_Killed.back(), nLastTimer);
    EXPECT_EQ(session.GetReceivedPicture().m_nTileBytes, 0);
}

TEST_F(ReceiveSessionTest, TextAlreadyShownIsNotSetAgain)
{
    m_Screen.m_strText = RECEIVE_TEXT_NO_MODULE;
    CReceiveSession session(m_Screen, nullptr, LogPath());
    session.OnInitDialog();
    Ticks(session, 6);
    EXPECT_TRUE(m_Screen.m_SetTexts.empty());
    EXPECT_EQ(session.GetChosenStatus(), RECEIVE_TEXT_NO_MODULE);
}

TEST_F(ReceiveSessionTest, NoModuleTextNamesTheWayOutOnLinux)
{
    const std::string strText = RECEIVE_TEXT_NO_MODULE;
    EXPECT_EQ(strText.rfind("Es ist kein Tarvo Linkmodul angeschlossen\nZur weiteren Nutzung des Programms muss "
                            "ein Tarvo Linkmodul an einen freien Druckerport angeschlossen werden.\n",
                            0),
              0u);
    EXPECT_NE(strText.find("QUILLOMAT_LINK=sim"), std::string::npos);
}

TEST_F(ReceiveSessionTest, NoTimerWhenOpening)
{
    m_Screen.m_nFailTimerFrom = 1;
    CReceiveSession session(m_Screen, nullptr, LogPath());
    EXPECT_TRUE(session.OnInitDialog());
    ASSERT_EQ(m_Screen.m_Messages.size(), 1u);
    EXPECT_EQ(m_Screen.m_Messages[0], "SYSTEMFEHLER kein Zeitgeber verfügbar");
    EXPECT_EQ(session.GetTimerId(), 0u);
    EXPECT_FALSE(session.HasEnded());
}

TEST_F(ReceiveSessionTest, NoTimerAfterAnAttempt)
{
    m_Screen.m_nFailTimerFrom = 2;
    CReceiveSession session(m_Screen, nullptr, LogPath());
    session.OnInitDialog();
    Ticks(session, 5);
    ASSERT_EQ(m_Screen.m_Messages.size(), 1u);
    EXPECT_EQ(m_Screen.m_Messages[0], RECEIVE_TEXT_NO_TIMER);
    EXPECT_TRUE(session.IsRunEnabled());
    EXPECT_EQ(session.GetTimerId(), 0u);
    EXPECT_FALSE(session.HasEnded());
}

TEST_F(ReceiveSessionTest, FaultyReadLineEndsBeforeAnyAttempt)
{
    // A module that answers the probe but neither version test.
    CReceiveSession session(m_Screen, std::make_shared<CSimModule>(2, 0x378), LogPath());
    EXPECT_TRUE(session.OnInitDialog());
    ASSERT_EQ(m_Screen.m_Messages.size(), 1u);
    EXPECT_EQ(m_Screen.m_Messages[0],
              "Dein Modul hat einen Fehler auf der Leseleitung\nBitte kontaktiere den Service des Herstellers");
    EXPECT_EQ(m_Screen.m_nEndResult, 1);
    EXPECT_EQ(m_Screen.m_nSetTimerCalls, 0);
    EXPECT_FALSE(session.IsPictureComplete());
    EXPECT_EQ(session.GetReceivedPicture().m_nTileBytes, 0);
}

TEST_F(ReceiveSessionTest, ModuleWithoutConsoleAsksForAPrint)
{
    // A version-3 module with nothing on its cable: the clock stays high.
    CReceiveSession session(m_Screen, std::make_shared<CSimModule>(3, 0x378), LogPath());
    session.OnInitDialog();
    EXPECT_TRUE(m_Screen.m_Messages.empty());
    Ticks(session, 5);
    EXPECT_EQ(m_Screen.m_strText, "Bitte den GB an das Linkmodul anschließen und Bild ausdrucken");
    EXPECT_EQ(session.GetReceptionCount(), 0);
    EXPECT_TRUE(session.IsRunEnabled());
    EXPECT_FALSE(session.HasEnded());
    session.OnOK();
    EXPECT_EQ(m_Screen.m_nEndResult, 1);
    EXPECT_EQ(session.GetReceivedPicture().m_nTileBytes, 0);
}

TEST_F(ReceiveSessionTest, NoTicksAfterTheEnd)
{
    CReceiveSession session(m_Screen, nullptr, LogPath());
    session.OnInitDialog();
    session.OnOK();
    session.OnCancel();
    Ticks(session, 6);
    EXPECT_EQ(m_Screen.m_nEndCalls, 1);
    EXPECT_TRUE(m_Screen.m_SetTexts.empty());
}

// A module with a simulated user at its console, who notes how many messages had been shown
// each time he was asked to print again.
class CModuleWithUser final : public PortIo, public IReprintUser {
public:
    CModuleWithUser(int32_t nVersion, const CFakeScreen& screen) : m_Module(nVersion, 0x378), m_Screen(screen) {}
    uint8_t In(uint16_t nAddress) override { return m_Module.In(nAddress); }
    void Out(uint16_t nAddress, uint8_t nValue) override { m_Module.Out(nAddress, nValue); }
    ELinkKind GetKind() const override { return ELinkKind::Simulated; }
    IReprintUser* GetReprintUser() override { return this; }
    void AskForReprint() override { m_AskedAfter.push_back(m_Screen.m_Messages.size()); }

    std::vector<size_t> m_AskedAfter;

private:
    CSimModule m_Module;
    const CFakeScreen& m_Screen;
};

TEST_F(ReceiveSessionTest, TheSimulatedUserIsAskedOnceAfterEachMessage)
{
    struct Case {
        int32_t nVersion;
        int nFailTimerFrom;
    };
    // The read-line fault, and no timer when opening.
    for (const Case& c : {Case{2, 1 << 30}, Case{3, 1}}) {
        CFakeScreen screen;
        screen.m_nFailTimerFrom = c.nFailTimerFrom;
        auto pPort = std::make_shared<CModuleWithUser>(c.nVersion, screen);
        CReceiveSession session(screen, pPort, LogPath());
        session.OnInitDialog();
        EXPECT_EQ(screen.m_Messages.size(), 1u) << c.nVersion;
        EXPECT_EQ(pPort->m_AskedAfter, std::vector<size_t>{1}) << c.nVersion;
    }
}

}  // namespace
