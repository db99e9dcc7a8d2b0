#include "DialogTestSupport.h"
#include "support/TestFiles.h"

#include <QAbstractButton>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr int kPollMs = 5;
// A hang guard, not a timing check: far beyond what any dialog here needs.
constexpr qint64 kWatchdogMs = 120 * 1000;

// Home, settings and working folder of the suite; it goes away when the process ends.
const CScratchFolder& TestFolder()
{
    static const CScratchFolder s_Folder("quillomat-dialogs");
    return s_Folder;
}

} // namespace

// fontconfig keeps a few bytes of its configuration for the life of the process; they are not
// ours to free. Read by LeakSanitizer in sanitizer builds, unused otherwise.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

QApplication& TestApp()
{
    static QApplication* s_pApp = nullptr;
    if (s_pApp == nullptr) {
        const std::filesystem::path& dir = TestFolder().Path();
        if (dir.empty())
            std::abort();
        std::filesystem::create_directories(dir / "config");
        setenv("HOME", dir.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
        if (chdir(dir.c_str()) != 0)
            std::abort();
        if (std::getenv("QT_QPA_PLATFORM") == nullptr)
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        static int s_nArgc = 1;
        static char s_szName[] = "quillomat-dialog-tests";
        static char* s_Argv[] = {s_szName, nullptr};
        s_pApp = new QApplication(s_nArgc, s_Argv);
    }
    return *s_pApp;
}

std::string TestDir()
{
    TestApp();
    return TestFolder().Path().string();
}

CModalAnswerer::CModalAnswerer()
{
    connect(&m_Timer, &QTimer::timeout, this, &CModalAnswerer::Poll);
    m_Timer.start(kPollMs);
    m_Clock.start();
}

CModalAnswerer::~CModalAnswerer() = default;

void CModalAnswerer::Poll()
{
    // A timer does not fire again while its own slot runs, and answering may open the next
    // modal loop (a range message from OK, say): act from a posted call, not from here.
    if (m_bActing)
        return;
    QWidget* pModal = QApplication::activeModalWidget();
    if (pModal == nullptr || !pModal->isVisible())
        return;
    m_bActing = true;
    QMetaObject::invokeMethod(this, [this, pGuard = QPointer<QWidget>(pModal)] {
        m_bActing = false;
        if (pGuard.isNull() || pGuard != QApplication::activeModalWidget() || !pGuard->isVisible())
            return;
        Act(pGuard.data());
    }, Qt::QueuedConnection);
}

void CModalAnswerer::Act(QWidget* pModal)
{
    if (m_Clock.elapsed() > kWatchdogMs) {
        m_bWatchdogFired = true;
        if (auto* pDialog = qobject_cast<QDialog*>(pModal))
            pDialog->done(QDialog::Rejected);
        return;
    }
    if (auto* pBox = qobject_cast<QMessageBox*>(pModal)) {
        m_Messages.push_back(pBox->text().toStdString());
        m_Captions.push_back(pBox->windowTitle().toStdString());
        QAbstractButton* pOk = pBox->button(QMessageBox::Ok);
        if (pOk != nullptr)
            pOk->click();
        else
            pBox->done(QMessageBox::Cancel);
        return;
    }
    if (!m_Actions.empty()) {
        // Off the queue while it runs: it may open a modal loop in which the next one acts.
        Action action = std::move(m_Actions.front());
        m_Actions.pop_front();
        if (!action(pModal))
            m_Actions.push_front(std::move(action));
    }
}
