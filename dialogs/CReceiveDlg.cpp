#include "dialogs/CReceiveDlg.h"

#include "bitmap/CDib.h"
#include "bitmap/DibPng.h"
#include "common/NumberedFile.h"
#include "dialogs/DialogControls.h"
#include "dialogs/Profile.h"
#include "link/CIOModul.h"
#include "link/ReprintUser.h"
#include "linkspec/LinkSpec.h"
#include "link/PortIo.h"
#include "reception/TileDecoder.h"
#include "streams/LinkTargets.h"
#include "streams/SerialPorts.h"

#include <algorithm>
#include <cstdlib>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

namespace {

// Template 130 in dialog units.
struct SDluRect {
    int x, y, cx, cy;
};
constexpr int kDialogCx = 267;
constexpr int kDialogCy = 197;
constexpr SDluRect kOkRect{63, 176, 50, 14};
constexpr SDluRect kCancelRect{155, 176, 50, 14};
constexpr SDluRect kLinkLabelRect{25, 6, 44, 10};
constexpr int kLinkLabelId = 1040;
constexpr SDluRect kLinkRect{70, 4, 162, 14};
constexpr int kLinkId = 1039;
const char* const kLinkKey = "Link/Port";
constexpr SDluRect kStatusRect{25, 21, 207, 66};
constexpr SDluRect kSavedRect{25, 88, 207, 10};
constexpr int kSavedId = 1038;
constexpr SDluRect kKeepRect{25, 142, 207, 12};
constexpr int kKeepId = 1035;
const char* const kKeepKey = "Receive/KeepReceiving";
constexpr SDluRect kKeepFolderRect{37, 157, 140, 10};
constexpr int kKeepFolderId = 1036;
constexpr SDluRect kChooseFolderRect{182, 155, 50, 14};
constexpr int kChooseFolderId = 1037;
const char* const kFolderKey = "Receive/Folder";
constexpr SDluRect kStrictRect{25, 100, 207, 12};
constexpr int kStrictId = 1033;
const char* const kStrictKey = "Receive/Strict";
constexpr SDluRect kAllPrintsRect{25, 114, 207, 12};
constexpr int kAllPrintsId = 1034;
constexpr SDluRect kSplitRect{37, 128, 195, 12};
constexpr int kSplitId = 1041;
const char* const kSplitKey = "Receive/SplitImages";
const char* const kAllPrintsKey = "Receive/AllPrints";

// Dialog units become pixels the way Windows converts them: the base units are the average
// width of the alphabet in the dialog font and the font's height; a horizontal unit is a
// quarter of the average width, a vertical unit an eighth of the height. For 8-point
// "MS Sans Serif" at 96 dpi that is 6 and 13 pixels, i.e. 1.5 and 1.625 pixels per unit.
struct SBaseUnits {
    int cx;
    int cy;
    int X(int nDlu) const { return (nDlu * cx + 2) / 4; }
    int Y(int nDlu) const { return (nDlu * cy + 4) / 8; }
    QRect Rect(const SDluRect& r) const { return QRect(X(r.x), Y(r.y), X(r.cx), Y(r.cy)); }
};

SBaseUnits BaseUnitsOf(const QFont& font)
{
    const QFontMetrics fm(font);
    const int nAlphabet = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return SBaseUnits{(nAlphabet / 26 + 1) / 2, fm.height()};
}

QFont DialogFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

namespace {

// What is wrong with a link string, in German, naming the part at fault (the core's own
// explanation is English, for the command line).
std::string LinkFailureText(const COpenedLink& link)
{
    if (link.eFailure == ELinkFailure::BadSpec)
        return (link.strCulprit.empty() ? std::string("Die Angabe ist leer")
                                        : "„" + link.strCulprit + "“ ist darin nicht zu verstehen") +
               ".\nMöglich sind „auto“, „ppdev“, „ppdev:Gerät“, „direct“ und „sim“, auch mit Optionen wie "
               "„sim:picture=Bild.bmp,compress“, dazu „serial:Gerät“ und „file:Datei“.";
    // A serial device or a file: the reason in the device's own words (no permission names
    // the dialout group).
    if (!link.strUiText.empty())
        return link.strUiText;
    if (link.strCulprit.empty())
        return "Der direkte Zugriff auf die Druckerschnittstelle ist nicht erlaubt (nur mit Root-Rechten "
               "auf x86-Rechnern).";
    return "„" + link.strCulprit + "“ lässt sich nicht öffnen oder lesen.";
}

// The serial devices offered, when not those /dev holds.
std::optional<std::vector<std::string>> g_OfferedDevices;

// How the link list names a link string.
QString LinkEntryText(const std::string& strSpec)
{
    CStreamLinkTarget target;
    std::string strError;
    if (IsStreamLinkSpec(strSpec) && ParseStreamLink(strSpec, target, strError)) {
        if (target.eKind == EStreamLinkKind::File)
            return QStringLiteral("Datei %1").arg(QString::fromStdString(target.strPath));
        QString strText = QStringLiteral("USB-Drucker-Emulator %1").arg(QString::fromStdString(target.strPath));
        if (target.nBaud != SERIAL_DEFAULT_BAUD)
            strText += QStringLiteral(" (%1 Baud)").arg(target.nBaud);
        return strText;
    }
    const bool bSim = strSpec.substr(0, strSpec.find(':')) == "sim";
    return QStringLiteral("%1 (%2)")
        .arg(bSim ? QStringLiteral("Simulierte Konsole") : QStringLiteral("Druckerport"), QString::fromStdString(strSpec));
}

bool IsLinkFromEnvironment()
{
    const char* pszLink = std::getenv("QUILLOMAT_LINK");
    return pszLink && *pszLink;
}

// A check box whose state the profile keeps under pKey; off unless the user chose it.
QCheckBox* MakeRememberedBox(QWidget* pParent, const QString& strText, int nId, const QRect& rect, const char* pKey)
{
    auto* pBox = new QCheckBox(strText, pParent);
    SetControlId(pBox, nId);
    pBox->setGeometry(rect);
    pBox->setChecked(OpenProfile().value(QLatin1String(pKey), false).toBool());
    QObject::connect(pBox, &QCheckBox::toggled, pBox, [pKey](bool bChecked) {
        OpenProfile().setValue(QLatin1String(pKey), bChecked);
    });
    return pBox;
}

} // namespace

void CReceiveDlg::SetOfferedDevices(std::optional<std::vector<std::string>> devices)
{
    g_OfferedDevices = std::move(devices);
}

std::string CReceiveDlg::LinkStringFromEnvironment()
{
    return DefaultLinkSpec(OpenProfile().value(QLatin1String(kLinkKey)).toString().toStdString());
}

CReceiveDlg::CReceiveDlg(QWidget* pParent) : QDialog(pParent)
{
    OpenLinkSpec(LinkStringFromEnvironment());
    m_LogPath = "Tarvo.log";
    MakeSession();
    BuildControls();
}

void CReceiveDlg::OpenLinkSpec(const std::string& strSpec)
{
    m_strLinkSpec = strSpec;
    m_strLinkError.clear();
    COpenedLink link = OpenLink(strSpec);
    if (!link.IsOpen()) {
        m_strLinkError = "Die Verbindung „" + strSpec + "“ kann nicht geöffnet werden:\n" + LinkFailureText(link) +
                         "\nDas Programm arbeitet ohne Linkmodul weiter.";
    }
    m_pPort = std::move(link.pPort);
    m_pSource = std::move(link.pSource);  // serial: and file: links: a printer device
}

CReceiveDlg::CReceiveDlg(std::shared_ptr<PortIo> pPort, const std::filesystem::path& logPath, QWidget* pParent)
    : QDialog(pParent), m_pPort(std::move(pPort)), m_LogPath(logPath)
{
    MakeSession();
    BuildControls();
}

void CReceiveDlg::MakeSession()
{
    m_pSession = m_pSource ? std::make_unique<CReceiveSession>(*this, m_pSource, m_LogPath)
                           : std::make_unique<CReceiveSession>(*this, m_pPort, m_LogPath);
    if (m_pStrict)
        m_pSession->SetStrict(m_pStrict->isChecked());
    if (m_pAllPrints)
        m_pSession->SetAllPrints(m_pAllPrints->isChecked());
}

CReceiveDlg::~CReceiveDlg()
{
    if (!m_bEnded)
        m_pSession->OnDestroy();
    // The session (and with it the link module, which saves the log once more) goes first,
    // while the screen it refers to still exists.
    m_pSession.reset();
}

void CReceiveDlg::BuildControls()
{
    setWindowTitle(QStringLiteral("Bild vom GB einlesen"));
    SetControlId(this, 130);
    // A modal frame with caption and close box; no resizing, no help button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(DialogFont());
    const SBaseUnits units = BaseUnitsOf(font());

    m_pOk = new QPushButton(QStringLiteral("OK"), this);
    SetControlId(m_pOk, 1);
    m_pOk->setDefault(true);
    m_pOk->setGeometry(units.Rect(kOkRect));
    connect(m_pOk, &QPushButton::clicked, this, &CReceiveDlg::accept);

    m_pCancel = new QPushButton(QStringLiteral("Abbrechen"), this);
    SetControlId(m_pCancel, 2);
    m_pCancel->setAutoDefault(false);
    m_pCancel->setGeometry(units.Rect(kCancelRect));
    connect(m_pCancel, &QPushButton::clicked, this, &CReceiveDlg::reject);

    // The link: the printer port and the serial devices present.
    auto* pLinkLabel = new QLabel(QStringLiteral("&Verbindung:"), this);
    SetControlId(pLinkLabel, kLinkLabelId);
    pLinkLabel->setGeometry(units.Rect(kLinkLabelRect));
    m_pLink = new QComboBox(this);
    SetControlId(m_pLink, kLinkId);
    m_pLink->setGeometry(units.Rect(kLinkRect));
    pLinkLabel->setBuddy(m_pLink);
    FillLinkChoice();
    connect(m_pLink, &QComboBox::activated, this, &CReceiveDlg::OnLinkChosen);

    m_pStatus = new QLabel(this);
    SetControlId(m_pStatus, 1032);
    m_pStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_pStatus->setWordWrap(true);
    m_pStatus->setTextFormat(Qt::PlainText);
    m_pStatus->setGeometry(units.Rect(kStatusRect));

    // Strict checking, remembered in the profile.
    m_pStrict = MakeRememberedBox(this, QStringLiteral("Streng prüfen: jeden Block mit zwei Ausdrucken bestätigen"),
                                  kStrictId, units.Rect(kStrictRect), kStrictKey);
    m_pSession->SetStrict(m_pStrict->isChecked());
    connect(m_pStrict, &QCheckBox::toggled, this, [this](bool bChecked) { m_pSession->SetStrict(bChecked); });

    // All prints of a series in one picture, remembered in the profile. It can change only until
    // the first print has arrived.
    m_pAllPrints = MakeRememberedBox(this, QStringLiteral("Alle Ausdrucke einer Serie in ein Bild übernehmen"),
                                     kAllPrintsId, units.Rect(kAllPrintsRect), kAllPrintsKey);
    m_pSession->SetAllPrints(m_pAllPrints->isChecked());

    // Each image of a series in a window of its own, remembered; only with all prints.
    m_pSplit = MakeRememberedBox(this, QStringLiteral("Jedes Bild in einem eigenen Fenster"), kSplitId,
                                 units.Rect(kSplitRect), kSplitKey);
    m_pSplit->setEnabled(m_pAllPrints->isChecked());
    connect(m_pAllPrints, &QCheckBox::toggled, this, [this](bool bChecked) {
        m_pSession->SetAllPrints(bChecked);
        m_pSplit->setEnabled(bChecked);
    });

    // Keep receiving, remembered in the profile with its folder; off unless chosen.
    m_pSaved = new QLabel(this);
    SetControlId(m_pSaved, kSavedId);
    m_pSaved->setTextFormat(Qt::PlainText);
    m_pSaved->setGeometry(units.Rect(kSavedRect));
    m_pKeep = MakeRememberedBox(this, QStringLiteral("Weiter empfangen, jedes Bild sofort speichern als"), kKeepId,
                                units.Rect(kKeepRect), kKeepKey);
    m_pKeepFolder = new QLabel(this);
    SetControlId(m_pKeepFolder, kKeepFolderId);
    m_pKeepFolder->setTextFormat(Qt::PlainText);
    m_pKeepFolder->setGeometry(units.Rect(kKeepFolderRect));
    m_pChooseFolder = new QPushButton(QStringLiteral("Ordner..."), this);
    SetControlId(m_pChooseFolder, kChooseFolderId);
    m_pChooseFolder->setAutoDefault(false);
    m_pChooseFolder->setGeometry(units.Rect(kChooseFolderRect));
    connect(m_pChooseFolder, &QPushButton::clicked, this, &CReceiveDlg::ChooseKeepFolder);
    connect(m_pKeep, &QCheckBox::toggled, this, &CReceiveDlg::ShowKeepFolder);
    ShowKeepFolder();

    setFixedSize(units.X(kDialogCx), units.Y(kDialogCy));

    m_pTimer = new QTimer(this);
    m_pTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pTimer, &QTimer::timeout, this, &CReceiveDlg::OnTick);
}

void CReceiveDlg::FillLinkChoice()
{
    // The printer port as the environment or profile names it; a serial: or file: link chosen
    // before is an entry of its own, and the port entry is the automatic one.
    const std::string strNamed = LinkStringFromEnvironment();
    std::vector<std::string> specs{IsStreamLinkSpec(strNamed) ? std::string("auto") : strNamed};
    for (const std::string& strDevice : g_OfferedDevices ? *g_OfferedDevices : ListSerialDevices())
        specs.push_back("serial:" + strDevice);
    // A device chosen before that is not plugged in now is still shown as chosen.
    if (std::find(specs.begin(), specs.end(), strNamed) == specs.end())
        specs.push_back(strNamed);
    for (const std::string& strSpec : specs)
        m_pLink->addItem(LinkEntryText(strSpec), QString::fromStdString(strSpec));
    // The dialog given a port of its own shows the port entry.
    const std::string& strCurrent = m_strLinkSpec.empty() ? specs.front() : m_strLinkSpec;
    m_pLink->setCurrentIndex(static_cast<int>(std::find(specs.begin(), specs.end(), strCurrent) - specs.begin()));
    m_pLink->setToolTip(QStringLiteral("Drucker-Emulatoren am USB-Anschluss erscheinen als /dev/ttyACM* oder "
                                       "/dev/ttyUSB*; der Benutzer muss zur Gruppe „dialout“ gehören."));
    if (IsLinkFromEnvironment()) {
        m_pLink->setEnabled(false);
        m_pLink->setToolTip(QStringLiteral("Festgelegt durch QUILLOMAT_LINK"));
    }
}

void CReceiveDlg::OnLinkChosen(int nIndex)
{
    const std::string strSpec = m_pLink->itemData(nIndex).toString().toStdString();
    if (strSpec == m_strLinkSpec)
        return;
    if (m_bEnded || m_bBetweenPrints || m_pSession->GetReceptionCount() > 0) {
        // A reception is under way on the link shown before.
        m_pLink->setCurrentIndex(m_pLink->findData(QString::fromStdString(m_strLinkSpec)));
        return;
    }
    OpenProfile().setValue(QLatin1String(kLinkKey), QString::fromStdString(strSpec));
    // The old link is closed before the new one opens (it may be the same device).
    m_pSession->OnDestroy();
    m_pSession.reset();
    m_pPort.reset();
    m_pSource.reset();
    OpenLinkSpec(strSpec);
    MakeSession();
    if (!m_bInitDone)
        return;  // opening shows what went wrong
    if (!m_strLinkError.empty())
        ShowMessage(m_strLinkError);
    if (!m_bEnded)
        m_pSession->OnInitDialog();
}

bool CReceiveDlg::IsSplitImages() const
{
    return m_pSplit->isChecked() && m_pSession->IsAllPrints();
}

void CReceiveDlg::showEvent(QShowEvent* pEvent)
{
    QDialog::showEvent(pEvent);
    // Opening runs once the dialog's own event loop is up, so that a dialog that ends while it
    // opens (a module failing its version test) really leaves that loop.
    if (!m_bInitQueued) {
        m_bInitQueued = true;
        QTimer::singleShot(0, this, &CReceiveDlg::OnInitDialog);
    }
}

void CReceiveDlg::OnInitDialog()
{
    if (m_bEnded)
        return;
    m_bInitDone = true;
    if (!m_strLinkError.empty())
        ShowMessage(m_strLinkError);
    m_pSession->OnInitDialog();
}

void CReceiveDlg::OnTick()
{
    if (!m_bEnded)
        m_pSession->OnTimer(CReceiveSession::RECEIVE_TIMER_ID);
    if (m_pSession->GetReceptionCount() > 0) {
        m_pAllPrints->setEnabled(false);
        m_pLink->setEnabled(false);
    }
}

CReceivedPicture CReceiveDlg::GetReceivedPicture() const
{
    CReceivedPicture picture = m_pSession->GetReceivedPicture();
    if (picture.m_nTileBytes == 0 && !m_SavedFiles.empty())
        return m_LastSaved;
    return picture;
}

CReceptionVerdict CReceiveDlg::GetVerdict() const
{
    return m_pSession->GetVerdict();
}

bool CReceiveDlg::IsKeepReceiving() const
{
    return m_pKeep->isChecked();
}

void CReceiveDlg::SetKeepReceiving(bool bKeep)
{
    m_pKeep->setChecked(bKeep);
}

std::filesystem::path CReceiveDlg::GetKeepFolder() const
{
    const QString strDefault = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString strFolder = OpenProfile()
                                  .value(QLatin1String(kFolderKey), strDefault.isEmpty() ? QDir::homePath() : strDefault)
                                  .toString();
    return std::filesystem::path(strFolder.toStdString());
}

void CReceiveDlg::SetKeepFolder(const std::filesystem::path& folder)
{
    OpenProfile()
        .setValue(QLatin1String(kFolderKey), QString::fromStdString(folder.string()));
    ShowKeepFolder();
}

void CReceiveDlg::ChooseKeepFolder()
{
    const QString strFolder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Ordner für die empfangenen Bilder"), QString::fromStdString(GetKeepFolder().string()));
    if (!strFolder.isEmpty())
        SetKeepFolder(strFolder.toStdString());
}

void CReceiveDlg::ShowKeepFolder()
{
    const QString strFolder = QDir::toNativeSeparators(QString::fromStdString(GetKeepFolder().string()));
    const QString strHome = QDir::toNativeSeparators(QDir::homePath());
    QString strShown = strFolder.startsWith(strHome) ? QStringLiteral("~") + strFolder.mid(strHome.size()) : strFolder;
    const QString strName = QDir::separator() + QString::fromLatin1(KEEP_FILE_PREFIX) + QStringLiteral("NNNN") +
                            QString::fromLatin1(KEEP_FILE_EXTENSION);
    const int nRoom = m_pKeepFolder->width() - m_pKeepFolder->fontMetrics().horizontalAdvance(strName);
    strShown = m_pKeepFolder->fontMetrics().elidedText(strShown, Qt::ElideMiddle, std::max(nRoom, 0)) + strName;
    m_pKeepFolder->setText(strShown);
    m_pKeepFolder->setToolTip(strFolder + strName);
    m_pKeepFolder->setEnabled(m_pKeep->isChecked());
}

bool CReceiveDlg::SaveReceivedPicture()
{
    const CReceivedPicture picture = m_pSession->GetReceivedPicture();
    CDib dib;
    std::string bytes;
    std::filesystem::path written;
    CResult result = CResult::Failure(EErrorKind::EmptyPicture, "Das Bild ist leer");
    // A folder that is not there yet (the pictures folder of a new account) is made.
    std::error_code error;
    std::filesystem::create_directories(GetKeepFolder(), error);
    if (picture.m_nTileBytes > 0 && CreateReceivedPicture(picture.m_TileData.data(), picture.m_nTileBytes, dib) &&
        (result = EncodePng(dib, bytes)).Ok() &&
        (result = WriteNumberedFile(GetKeepFolder(), KEEP_FILE_PREFIX, KEEP_FILE_EXTENSION, bytes, written)).Ok()) {
        m_LastSaved = picture;
        m_SavedFiles.push_back(written);
        m_pSaved->setText(QStringLiteral("Gespeichert: %1 (%2 %3 in diesem Fenster)")
                              .arg(QString::fromStdString(written.filename().string()))
                              .arg(m_SavedFiles.size())
                              .arg(m_SavedFiles.size() == 1 ? QStringLiteral("Bild") : QStringLiteral("Bilder")));
        m_pSaved->setToolTip(QString::fromStdString(written.string()));
        return true;
    }
    // The picture is not lost: the dialog closes and it opens in its window as without keeping.
    QMessageBox::warning(this, QStringLiteral("Quillomat"),
                         QStringLiteral("Das Bild konnte nicht im Ordner gespeichert werden:\n%1\n"
                                        "Es wird im Fenster geöffnet.")
                             .arg(QString::fromStdString(result.m_strMessage)),
                         QMessageBox::Ok);
    return false;
}

void CReceiveDlg::StartNextSession()
{
    m_bBetweenPrints = false;
    if (m_bEnded)
        return;
    // The finished session (and its link module, which saves the log) goes; the next one
    // listens on the same link.
    m_pSession.reset();
    MakeSession();
    m_pAllPrints->setEnabled(true);
    m_pLink->setEnabled(!IsLinkFromEnvironment());
    m_pSession->OnInitDialog();
    // The simulated console's user reads that the picture is saved and prints the next one.
    if (IReprintUser* pUser = m_pPort ? m_pPort->GetReprintUser() : nullptr)
        pUser->AskForReprint();
}

std::string CReceiveDlg::GetStatusText() const
{
    return m_pStatus->text().toStdString();
}

void CReceiveDlg::SetStatusText(const std::string& strUtf8)
{
    ++m_nStatusSets;
    m_pStatus->setText(QString::fromStdString(strUtf8));
    // The attempt that follows keeps the thread busy: paint the text now.
    m_pStatus->repaint();
}

void CReceiveDlg::ShowMessage(const std::string& strUtf8)
{
    QMessageBox::information(this, QStringLiteral("Quillomat"), QString::fromStdString(strUtf8), QMessageBox::Ok);
}

unsigned CReceiveDlg::SetTimer(unsigned nId, unsigned nMilliseconds)
{
    if (!m_bTimerAvailable || m_bEnded)
        return 0;
    m_pTimer->start(static_cast<int>(nMilliseconds));
    // Without an event dispatcher on this thread Qt refuses the timer: no timer to be had.
    return m_pTimer->isActive() ? nId : 0;
}

void CReceiveDlg::KillTimer(unsigned)
{
    m_pTimer->stop();
}

bool CReceiveDlg::IsTimerRunning() const
{
    return m_pTimer->isActive();
}

void CReceiveDlg::EndDialog(int nResult)
{
    if (m_bEnded || m_bBetweenPrints)
        return;
    // A picture that arrived whole, while keeping: saved, and on to the next print once the
    // session that ends here has returned.
    if (nResult == 1 && m_pKeep->isChecked() && m_pSession->IsPictureComplete()) {
        m_pSession->OnDestroy();
        if (SaveReceivedPicture()) {
            m_bBetweenPrints = true;
            QTimer::singleShot(0, this, &CReceiveDlg::StartNextSession);
            return;
        }
    }
    Finish(nResult);
}

void CReceiveDlg::Finish(int nResult)
{
    if (m_bEnded)
        return;
    m_bEnded = true;
    m_pSession->OnDestroy();
    QDialog::done(nResult == 1 ? QDialog::Accepted : QDialog::Rejected);
}

// OK, Abbrechen, Escape and the close box all end through the session, which applies the
// byte-count rule before the window goes. Between two prints of keep receiving there is no
// session to ask: the dialog ends, handing over the picture saved last.
void CReceiveDlg::accept()
{
    if (m_bBetweenPrints)
        Finish(1);
    else if (!m_bEnded)
        m_pSession->OnOK();
}

void CReceiveDlg::reject()
{
    if (m_bBetweenPrints)
        Finish(2);
    else if (!m_bEnded)
        m_pSession->OnCancel();
}

void CReceiveDlg::done(int nResult)
{
    if (m_bEnded) {
        QDialog::done(nResult);
        return;
    }
    if (nResult == QDialog::Accepted)
        accept();
    else
        reject();
}
