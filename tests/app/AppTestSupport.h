#pragma once
// Helpers of the desktop program's tests: a running application object, answering modal
// dialogs, waiting for the event loop, small pictures on disk.
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

#include "common/MessageSink.h"

class CQuillomatApp;
class CMainFrame;
class CQuillomatView;
class CQuillomatDoc;
class QWidget;

// Runs the events until the condition holds or the time is up; the result is the condition.
bool WaitFor(const std::function<bool()>& fnCondition, int nMilliseconds = 30000);

// The application object as main() makes it, with the given command line; destroyed (closing
// its documents without asking) at the end of the test.
class CRunningApp {
public:
    explicit CRunningApp(const QStringList& args = {});
    ~CRunningApp();

    bool IsStarted() const { return m_bStarted; }
    CQuillomatApp& App() { return *m_pApp; }
    CMainFrame& Frame();
    // The view of the active picture window, or null.
    CQuillomatView* ActiveView();
    CQuillomatDoc* ActiveDoc();
    // Runs the events until the active view has no reception pending any more.
    bool WaitForReception(int nMilliseconds = 60000);

private:
    std::unique_ptr<CQuillomatApp> m_pApp;
    bool m_bStarted = false;
};

// Answers every modal dialog that comes up while it lives: fnAnswer gets the dialog (a
// QMessageBox, QFileDialog, ...) and closes it; the default presses the message box's escape
// button or rejects the dialog. Message boxes' texts are recorded.
class CModalAnswerer {
public:
    using AnswerFn = std::function<void(QWidget* pModal)>;
    explicit CModalAnswerer(AnswerFn fnAnswer = {});
    ~CModalAnswerer();

    const QStringList& GetTexts() const { return m_Texts; }
    int GetCount() const { return m_nCount; }
    // Dialogs that are not message boxes (e.g. the receive dialog) are left alone when false.
    void SetAnswerAll(bool bAll) { m_bAnswerAll = bAll; }

private:
    void Poll();

    AnswerFn m_fnAnswer;
    QTimer m_Timer;
    QStringList m_Texts;
    int m_nCount = 0;
    bool m_bAnswerAll = false;
    QPointer<QWidget> m_pLast;
};

// Collects the core's messages instead of showing them.
class CMessageCollector {
public:
    CMessageCollector();
    const std::vector<std::string>& GetMessages() const { return m_Messages; }

private:
    std::vector<std::string> m_Messages;
    CScopedMessageSink m_Sink;
};

// Types the path into a file dialog's name field and confirms it, as a user would.
void ChooseFileAndAccept(QWidget* pFileDialog, const QString& strPath);

// A 24-bit bitmap file of the given size with a recognisable pattern; its path.
QString WriteTestBitmap(const QString& strName, int nWidth, int nHeight);
// The folder the tests write into (the current directory of the test run).
QString TestDir();
