#pragma once
// Runs a whole receive session against a port the way the dialog's timer would, without
// waiting: ticks until the session ends by itself or the tick budget is spent. A user facing a
// simulated console that has stopped printing for good gives up a few ticks later.
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "console/CSimConsole.h"
#include "reception/FakeScreen.h"
#include "reception/PrintSeries.h"
#include "reception/ReceiveSession.h"

struct CSessionOutcome {
    bool bEndedByItself = false;
    bool bComplete = false;
    int32_t nAttemptsWithData = 0;
    std::vector<std::string> messages;
    std::vector<std::string> texts;
    CReceivedPicture picture;
    CReceptionVerdict series;  // all-prints mode: what the series held amounts to
};

// nTicks: ticks to give before the user presses "Abbrechen" (bCancel) or "OK". fnSetup sets the
// session's modes before it opens.
inline CSessionOutcome RunSession(std::shared_ptr<PortIo> pPort, const std::filesystem::path& logPath,
                                  int nTicks = 40, bool bCancel = true,
                                  const std::function<void(CReceiveSession&)>& fnSetup = {})
{
    CSessionOutcome outcome;
    CFakeScreen screen;
    {
        const auto* pConsole = dynamic_cast<const CSimConsole*>(pPort.get());
        CReceiveSession session(screen, std::move(pPort), logPath);
        if (fnSetup)
            fnSetup(session);
        session.OnInitDialog();
        constexpr int GRACE_TICKS = 3;  // enough for a series to be judged on the quiet
        int nIdle = 0;
        for (int i = 0; i < nTicks && !session.HasEnded() && nIdle <= GRACE_TICKS; ++i) {
            session.OnTimer(CReceiveSession::RECEIVE_TIMER_ID);
            nIdle = pConsole && pConsole->IsFinished() && pConsole->GetTime() > 0 ? nIdle + 1 : 0;
        }
        outcome.bEndedByItself = session.HasEnded();
        if (!session.HasEnded()) {
            if (bCancel)
                session.OnCancel();
            else
                session.OnOK();
        }
        session.OnDestroy();
        outcome.bComplete = session.IsPictureComplete();
        outcome.nAttemptsWithData = session.GetReceptionCount();
        outcome.picture = session.GetReceivedPicture();
        outcome.series = session.GetVerdict();
    }
    outcome.messages = screen.m_Messages;
    outcome.texts = screen.m_SetTexts;
    return outcome;
}
