#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QTest>

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CQuillomatApp.h"
#include "app/CQuillomatDoc.h"
#include "app/CQuillomatView.h"
#include "bitmap/CDib.h"

bool WaitFor(const std::function<bool()>& fnCondition, int nMilliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!fnCondition()) {
        if (timer.elapsed() > nMilliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qSleep(5);
    }
    return true;
}

CRunningApp::CRunningApp(const QStringList& args) : m_pApp(std::make_unique<CQuillomatApp>())
{
    m_bStarted = m_pApp->InitApplication() && m_pApp->InitInstance(args);
    QCoreApplication::processEvents();
}

CRunningApp::~CRunningApp()
{
    m_pApp.reset();
    // Deferred deletions of documents and windows happen before the next test.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

CMainFrame& CRunningApp::Frame()
{
    return *m_pApp->GetMainFrame();
}

CQuillomatView* CRunningApp::ActiveView()
{
    return m_pApp->GetMainFrame() ? qobject_cast<CQuillomatView*>(m_pApp->GetMainFrame()->GetActiveView()) : nullptr;
}

CQuillomatDoc* CRunningApp::ActiveDoc()
{
    CQuillomatView* pView = ActiveView();
    return pView ? pView->GetDocument() : nullptr;
}

bool CRunningApp::WaitForReception(int nMilliseconds)
{
    // The first paint queues the reception; it is over once the picture is no longer empty.
    return WaitFor([this] {
        CQuillomatDoc* pDoc = ActiveDoc();
        CQuillomatView* pView = ActiveView();
        return pDoc && pView && !pView->IsReceptionPending() && !pDoc->GetDib().IsEmpty();
    }, nMilliseconds);
}

namespace {
// Only the answerer made last answers.
std::vector<CModalAnswerer*> g_Answerers;
}

CModalAnswerer::CModalAnswerer(AnswerFn fnAnswer) : m_fnAnswer(std::move(fnAnswer))
{
    g_Answerers.push_back(this);
    m_Timer.setInterval(30);
    QObject::connect(&m_Timer, &QTimer::timeout, [this] { Poll(); });
    m_Timer.start();
}

CModalAnswerer::~CModalAnswerer()
{
    std::erase(g_Answerers, this);
}

void CModalAnswerer::Poll()
{
    if (g_Answerers.empty() || g_Answerers.back() != this)
        return;
    QWidget* pModal = QApplication::activeModalWidget();
    if (!pModal || pModal == m_pLast || !pModal->isVisible())
        return;
    auto* pBox = qobject_cast<QMessageBox*>(pModal);
    if (!pBox && !m_bAnswerAll)
        return;
    m_pLast = pModal;
    ++m_nCount;
    if (pBox)
        m_Texts << pBox->text();
    if (m_fnAnswer) {
        m_fnAnswer(pModal);
    } else if (pBox) {
        if (QAbstractButton* pButton = pBox->escapeButton())
            pButton->click();
        else
            pBox->reject();
    } else if (auto* pDialog = qobject_cast<QDialog*>(pModal)) {
        pDialog->reject();
    }
}

CMessageCollector::CMessageCollector()
    : m_Sink([this](const std::string& str) { m_Messages.push_back(str); })
{
}

void ChooseFileAndAccept(QWidget* pFileDialog, const QString& strPath)
{
    auto* pDialog = qobject_cast<QFileDialog*>(pFileDialog);
    if (!pDialog)
        return;
    // selectFile() leaves a name field that has the focus alone; type into it instead.
    if (auto* pEdit = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        pEdit->setText(strPath);
    else
        pDialog->selectFile(strPath);
    static_cast<QDialog*>(pDialog)->accept();
}

QString TestDir()
{
    return QDir::currentPath();
}

QString WriteTestBitmap(const QString& strName, int nWidth, int nHeight)
{
    CDib dib;
    if (!dib.Create(nWidth, nHeight))
        return {};
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            dib.SetPixel({x, y}, uint32_t((x * 255 / std::max(1, nWidth - 1)) << 16 | (y & 0xFF) << 8 | 0x40));
    QString strPath = QDir(TestDir()).filePath(strName);
    if (!dib.WriteFile(strPath.toStdString()).Ok())
        return {};
    return strPath;
}
