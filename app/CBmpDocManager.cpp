#include "app/CBmpDocManager.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/CDocTemplate.h"
#include "app/CQuillomatDoc.h"
#include "app/CView.h"
#include "app/PrinterLogFile.h"
#include "common/MessageSink.h"
#include "reception/TileDecoder.h"
#include "res/Resource.h"
#include "res/StringTable.h"

QString FrameworkString(uint16_t nId)
{
    switch (nId) {
    case AFX_IDS_OPENFILE: return QCoreApplication::translate("QFileDialog", "Open");
    case AFX_IDS_SAVEFILE: return QCoreApplication::translate("QFileDialog", "Save As");
    case AFX_IDS_ALLFILTER: {
        // Qt's caption names its own pattern; ours is given beside it.
        QString strCaption = QCoreApplication::translate("QFileDialog", "All Files (*)");
        int n = strCaption.indexOf(QLatin1Char('('));
        return (n > 0 ? strCaption.left(n).trimmed() : strCaption) + QStringLiteral(" (*.*)");
    }
    default: return QString::fromUtf8(LoadResString(nId));
    }
}

QString CBmpDocManager::BuildFilterList(bool bOpenFileDialog)
{
    QString strFilter = QString::fromUtf8(LoadResString(IDS_FILE_FILTER));
    if (bOpenFileDialog) {
        strFilter += QString::fromUtf8(LOG_FILTER);
        strFilter += FrameworkString(AFX_IDS_ALLFILTER);
        strFilter += QStringLiteral("|*.*|");
    }
    strFilter += QLatin1Char('|');
    return strFilter;
}

QStringList CBmpDocManager::ToNameFilters(const QString& strFilterList)
{
    QStringList filters;
    for (const auto& [strCaption, strPattern] : SplitFilterList(strFilterList.toStdString())) {
        QStringList patterns;
        for (const QString& str : QString::fromStdString(strPattern).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            // "*.*" means every file; on Linux a name need not have a dot.
            patterns << (str.trimmed() == QLatin1String("*.*") ? QStringLiteral("*") : str.trimmed());
        filters << QStringLiteral("%1 (%2)").arg(QString::fromStdString(strCaption), patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

void CBmpDocManager::SetUpDialog(QFileDialog& dialog, const QString& strFileName, uint16_t nTitleId,
                                 bool bOpenFileDialog)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    // Only the captions are shown; the patterns they name are the ones in use.
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setAcceptMode(bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(bOpenFileDialog ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(ToNameFilters(BuildFilterList(bOpenFileDialog)));
    // The default extension "*.bmp" of the string table, as a suffix for names typed without one.
    QString strDefExt = QString::fromUtf8(LoadResString(IDS_FILE_DEFEXT));
    if (strDefExt.startsWith(QLatin1String("*.")))
        strDefExt = strDefExt.mid(2);
    dialog.setDefaultSuffix(strDefExt);
    // A name typed without an ending under the PNG filter becomes a PNG file.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, strDefExt](const QString& strFilter) {
        dialog.setDefaultSuffix(strFilter.contains(QLatin1String("*.png")) ? QStringLiteral("png") : strDefExt);
    });
    dialog.setWindowTitle(FrameworkString(nTitleId));
    if (!strFileName.isEmpty())
        dialog.selectFile(strFileName);
}

namespace {

// Shows the dialog; true with the chosen file in strFileName when the user confirmed one.
bool RunFileDialog(QFileDialog& dialog, QString& strFileName)
{
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return false;
    strFileName = files.first();
    return true;
}

}  // namespace

bool CBmpDocManager::DoPromptFileName(QString& strFileName, uint16_t nTitleId, bool bOpenFileDialog, CDocTemplate*)
{
    QFileDialog dialog(nullptr);
    SetUpDialog(dialog, strFileName, nTitleId, bOpenFileDialog);
    return RunFileDialog(dialog, strFileName);
}

QComboBox* CBmpDocManager::AddSizeChoice(QFileDialog& dialog)
{
    auto* pCombo = new QComboBox(&dialog);
    pCombo->setObjectName(QStringLiteral("saveScale"));
    for (int32_t n = 1; n <= SAVE_MAX_SCALE; ++n)
        pCombo->addItem(QStringLiteral("%1×").arg(n), n);
    auto* pLabel = new QLabel(QStringLiteral("&Größe (PNG):"), &dialog);
    pLabel->setBuddy(pCombo);
    // Qt's own file dialog lays its rows out in a grid: the size goes in a row of its own below.
    if (auto* pGrid = qobject_cast<QGridLayout*>(dialog.layout())) {
        const int nRow = pGrid->rowCount();
        pGrid->addWidget(pLabel, nRow, 0);
        pGrid->addWidget(pCombo, nRow, 1);
    }
    // A size only for PNG: under the PNG filter or for a name ending in ".png".
    auto fnUpdate = [&dialog, pCombo, pLabel] {
        const auto* pEdit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const bool bPng = dialog.selectedNameFilter().contains(QLatin1String("*.png")) ||
                          (pEdit && pEdit->text().endsWith(QLatin1String(".png"), Qt::CaseInsensitive));
        pCombo->setEnabled(bPng);
        pLabel->setEnabled(bPng);
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, pCombo, fnUpdate);
    if (auto* pEdit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        QObject::connect(pEdit, &QLineEdit::textChanged, pCombo, fnUpdate);
    fnUpdate();
    return pCombo;
}

bool CBmpDocManager::PromptSaveAs(QString& strFileName, int32_t& nScale)
{
    QFileDialog dialog(nullptr);
    SetUpDialog(dialog, strFileName, AFX_IDS_SAVEFILE, false);
    QComboBox* pCombo = AddSizeChoice(dialog);
    if (!RunFileDialog(dialog, strFileName))
        return false;
    nScale = pCombo->isEnabled() ? pCombo->currentData().toInt() : 1;
    return true;
}

CDocument* CBmpDocManager::OpenImageWindows(const std::vector<CReceivedImage>& images)
{
    CDocument* pFirst = nullptr;
    for (const CReceivedImage& image : images) {
        auto* pDoc = GetTemplates().isEmpty()
                         ? nullptr
                         : qobject_cast<CQuillomatDoc*>(GetTemplates().first()->OpenDocumentFile(QString()));
        if (!pDoc)
            break;
        // Filled before the window's first paint, so the view never starts a reception of its own.
        CreateTilePicture(image.m_Tiles.data(), static_cast<int32_t>(image.m_Tiles.size()), pDoc->GetDib());
        pDoc->SetModifiedFlag(true);
        for (CView* pView : pDoc->GetViews())
            pView->OnInitialUpdate();
        pDoc->UpdateAllViews();
        if (!pFirst)
            pFirst = pDoc;
    }
    return pFirst;
}

CDocument* CBmpDocManager::OpenDocumentFile(const QString& strPath)
{
    const std::filesystem::path path = strPath.toStdString();
    if (strPath.isEmpty() || GetTemplates().isEmpty() || IsPictureFileStart(path))
        return CDocManager::OpenDocumentFile(strPath);
    const CFileReception reception = ReceiveFromFile(path.string(), {true, false});
    if (!reception.bRead || reception.images.empty())
        return CDocManager::OpenDocumentFile(strPath);
    CDocument* pFirst = OpenImageWindows(reception.images);
    const std::string strVerdict = DescribeLogReception(reception);
    if (!strVerdict.empty())
        ShowMessage(strVerdict);
    return pFirst;
}
