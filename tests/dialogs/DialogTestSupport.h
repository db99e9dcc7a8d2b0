#pragma once
// What the dialog suites share: one QApplication on the offscreen platform, started in a
// throw-away home, configuration folder and working directory (so the profile and Tarvo.log
// of the person running the tests stay untouched), and an answerer for modal windows.
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// Creates the application on first use; call at the start of every test.
QApplication& TestApp();
// The throw-away working directory.
std::string TestDir();

// Answers modal windows while a test runs a modal loop: every message box is recorded and
// closed with OK; other modal windows are handed to the queued actions, the first of which
// that says it acted is removed. A watchdog closes whatever is still modal after a generous
// limit so that a broken dialog fails the test instead of hanging it.
class CModalAnswerer : public QObject {
public:
    // Returns true when it acted on the window (and is then done).
    using Action = std::function<bool(QWidget* pModal)>;

    CModalAnswerer();
    ~CModalAnswerer() override;

    void Queue(Action action) { m_Actions.push_back(std::move(action)); }
    const std::vector<std::string>& Messages() const { return m_Messages; }
    const std::vector<std::string>& Captions() const { return m_Captions; }
    bool WatchdogFired() const { return m_bWatchdogFired; }
    size_t PendingActions() const { return m_Actions.size(); }

private:
    void Poll();
    void Act(QWidget* pModal);

    QTimer m_Timer;
    std::deque<Action> m_Actions;
    std::vector<std::string> m_Messages;
    std::vector<std::string> m_Captions;
    QElapsedTimer m_Clock;
    bool m_bWatchdogFired = false;
    bool m_bActing = false;
};

// The child control with the given id, cast to T (null when missing or of another kind).
template <class T>
T* Control(const QWidget* pDialog, int nId)
{
    return pDialog->findChild<T*>(QString::number(nId));
}
