#pragma once
// A receive screen that records what the session asks of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reception/ReceiveSession.h"

class CFakeScreen : public IReceiveScreen {
public:
    std::string m_strText;                 // what control 1032 shows
    std::vector<std::string> m_SetTexts;   // every SetStatusText
    std::vector<std::string> m_Messages;
    std::vector<unsigned> m_Killed;
    int m_nSetTimerCalls = 0;
    int m_nFailTimerFrom = 1 << 30;        // SetTimer calls from this one on return 0
    unsigned m_nActiveTimer = 0;
    int m_nEndResult = 0;
    int m_nEndCalls = 0;

    std::string GetStatusText() const override { return m_strText; }
    void SetStatusText(const std::string& strUtf8) override
    {
        m_strText = strUtf8;
        m_SetTexts.push_back(strUtf8);
    }
    void ShowMessage(const std::string& strUtf8) override { m_Messages.push_back(strUtf8); }
    unsigned SetTimer(unsigned nId, unsigned nMilliseconds) override
    {
        EXPECT_EQ(nId, 1u);
        EXPECT_EQ(nMilliseconds, 20u);
        if (++m_nSetTimerCalls >= m_nFailTimerFrom)
            return 0;
        m_nActiveTimer = 100 + static_cast<unsigned>(m_nSetTimerCalls);
        return m_nActiveTimer;
    }
    void KillTimer(unsigned nTimerId) override
    {
        m_Killed.push_back(nTimerId);
        if (nTimerId == m_nActiveTimer)
            m_nActiveTimer = 0;
    }
    void EndDialog(int nResult) override
    {
        m_nEndResult = nResult;
        ++m_nEndCalls;
    }
};
