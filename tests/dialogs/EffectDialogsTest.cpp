// The colouring and softening dialogs, the progress window and the two effect commands.
#include "DialogTestSupport.h"

#include "bitmap/CDib.h"
#include "common/MessageSink.h"
#include "dialogs/CColorizeDlg.h"
#include "dialogs/CPaletteDlg.h"
#include "dialogs/CSoftenDlg.h"
#include "dialogs/CSoftenProgressDlg.h"
#include "dialogs/CUpDownControl.h"
#include "dialogs/EffectCommands.h"
#include "effects/Palette.h"
#include "effects/Soften.h"
#include "effects/UndoSnapshot.h"
#include "support/TestPictures.h"

#include <QButtonGroup>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include <gtest/gtest.h>

#include <sstream>

namespace {

constexpr int kColorIds[] = {1021, 1022, 1023, 1024, 1025, 1026, 1027};
constexpr int kBrightIds[] = {1028, 1029, 1031};

// The ids of the checked buttons of both groups (0 where none is checked).
std::pair<int, int> CheckedIds(const CColorizeDlg& dlg)
{
    int nColor = 0, nBright = 0;
    for (int nId : kColorIds)
        if (Control<QRadioButton>(&dlg, nId)->isChecked())
            nColor = nColor == 0 ? nId : -1;
    for (int nId : kBrightIds)
        if (Control<QRadioButton>(&dlg, nId)->isChecked())
            nBright = nBright == 0 ? nId : -1;
    return {nColor, nBright};
}

// A picture as reception delivers it: the four grey levels side by side, one row.
void MakeGreyRow(CDib& dib)
{
    ASSERT_TRUE(dib.Create(4, 1));
    const uint32_t levels[] = {0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000};
    for (int x = 0; x < 4; ++x)
        dib.SetPixel({x, 0}, levels[x]);
}

void PutLe(std::string& s, uint32_t nValue, int nBytes)
{
    for (int i = 0; i < nBytes; ++i)
        s.push_back(static_cast<char>((nValue >> (8 * i)) & 0xFF));
}

// A 2 x 2 picture with 4 bits per pixel, as another program would save it.
bool MakeFourBitPicture(CDib& dib)
{
    std::string s = "BM";
    const uint32_t nOffset = 14 + 40 + 16 * 4;
    const uint32_t nImage = 2 * 4;
    PutLe(s, nOffset + nImage, 4);
    PutLe(s, 0, 4);
    PutLe(s, nOffset, 4);
    PutLe(s, 40, 4);
    PutLe(s, 2, 4);
    PutLe(s, 2, 4);
    PutLe(s, 1, 2);
    PutLe(s, 4, 2);
    PutLe(s, 0, 4);
    PutLe(s, nImage, 4);
    PutLe(s, 0, 4);
    PutLe(s, 0, 4);
    PutLe(s, 0, 4);
    PutLe(s, 0, 4);
    for (int i = 0; i < 16; ++i)
        PutLe(s, static_cast<uint32_t>(i * 0x111111), 4);
    for (int y = 0; y < 2; ++y)
        PutLe(s, 0x12, 4);
    std::istringstream in(s);
    return dib.Read(in).Ok() && dib.GetBitCount() == 4;
}

// Queues: fill the soften dialog's two edits and press OK.
CModalAnswerer::Action FillSoften(QString strPasses, QString strSize)
{
    return [=](QWidget* pModal) {
        auto* pDlg = qobject_cast<CSoftenDlg*>(pModal);
        if (pDlg == nullptr)
            return false;
        Control<QLineEdit>(pDlg, 1014)->setText(strPasses);
        Control<QLineEdit>(pDlg, 1016)->setText(strSize);
        Control<QPushButton>(pDlg, 1)->click();
        return true;
    };
}

CModalAnswerer::Action PressButton(int nId)
{
    return [=](QWidget* pModal) {
        auto* pButton = Control<QPushButton>(pModal, nId);
        if (pButton == nullptr)
            return false;
        pButton->click();
        return true;
    };
}

class EffectDialogs : public ::testing::Test {
protected:
    void SetUp() override { TestApp(); }
    std::vector<std::string> m_Sunk;
    CScopedMessageSink m_Sink{[this](const std::string& s) { m_Sunk.push_back(s); }};
};

// ---------------------------------------------------------------------------------------------
// Colouring dialog

TEST_F(EffectDialogs, ColorizeDialogShowsTheChoiceAndReadsItBack)
{
    struct SCase {
        int32_t nChoiceIn;
        int nColorId, nBrightId;   // checked after opening
        int nClickColor, nClickBright; // clicked before OK (0: none)
        int32_t nChoiceOut;
    };
    const SCase cases[] = {
        {0, 1021, 1028, 0, 0, 0},
        {1, 1022, 1028, 0, 0, 1},
        {33, 1022, 1031, 0, 0, 33},
        {22, 1027, 1029, 0, 0, 22},
        {0, 1021, 1028, 1026, 1031, 37},
        {38, 1027, 1031, 1021, 1029, 16},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.nChoiceIn);
        CColorizeDlg dlg;
        EXPECT_EQ(dlg.m_nColorIndex, -1);
        EXPECT_EQ(dlg.m_nBrightIndex, -1);
        dlg.m_nChoice = c.nChoiceIn;
        CModalAnswerer answerer;
        std::pair<int, int> opened;
        answerer.Queue([&](QWidget* pModal) {
            opened = CheckedIds(dlg);
            if (c.nClickColor)
                Control<QRadioButton>(pModal, c.nClickColor)->click();
            if (c.nClickBright)
                Control<QRadioButton>(pModal, c.nClickBright)->click();
            Control<QPushButton>(pModal, 1)->click();
            return true;
        });
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
        EXPECT_EQ(opened, std::make_pair(c.nColorId, c.nBrightId));
        EXPECT_EQ(dlg.m_nChoice, c.nChoiceOut);
        EXPECT_EQ(dlg.m_nColorIndex, c.nChoiceOut % 16);
        EXPECT_EQ(dlg.m_nBrightIndex, c.nChoiceOut / 16);
    }
}

TEST_F(EffectDialogs, AChoiceOutsideTheGroupsLeavesThemUnchecked)
{
    CColorizeDlg dlg;
    dlg.m_nChoice = 7 + 16 * 3;  // no such buttons
    dlg.show();
    EXPECT_EQ(CheckedIds(dlg), std::make_pair(0, 0));
    dlg.hide();
}

// ---------------------------------------------------------------------------------------------
// Softening dialog

TEST_F(EffectDialogs, SoftenDialogStartsFromTheViewAndRemembersTheLastOk)
{
    CSoftenSettings settings; // a new view
    CDib dib;
    MakeGreyRow(dib);
    CUndoSnapshot undo;

    QString strShownPasses, strShownSize;
    CModalAnswerer answerer;
    auto fnRecordAndFill = [&](QString strPasses, QString strSize) {
        return [&, strPasses, strSize](QWidget* pModal) {
            if (qobject_cast<CSoftenDlg*>(pModal) == nullptr)
                return false;
            strShownPasses = Control<QLineEdit>(pModal, 1014)->text();
            strShownSize = Control<QLineEdit>(pModal, 1016)->text();
            return FillSoften(strPasses, strSize)(pModal);
        };
    };
    answerer.Queue(fnRecordAndFill("5", "12"));
    EXPECT_TRUE(RunSoftenCommand(nullptr, dib, undo, settings));
    EXPECT_EQ(strShownPasses, "1");
    EXPECT_EQ(strShownSize, "8");
    EXPECT_EQ(settings.m_nSoftPasses, 5);
    EXPECT_EQ(settings.m_nSoftSize, 12);
    EXPECT_EQ(settings.m_nSoftSizeEntered, 12);
    EXPECT_EQ(settings.m_nSoftCentre, 25);
    EXPECT_EQ(undo.GetKind(), UNDO_SOFTEN);

    answerer.Queue(fnRecordAndFill("2", " 3 "));
    EXPECT_TRUE(RunSoftenCommand(nullptr, dib, undo, settings));
    EXPECT_EQ(strShownPasses, "5");
    EXPECT_EQ(strShownSize, "12");
    EXPECT_EQ(settings.m_nSoftPasses, 2);
    EXPECT_EQ(settings.m_nSoftSize, 3);
    EXPECT_EQ(settings.m_nSoftSizeEntered, 3);
    EXPECT_TRUE(answerer.Messages().empty());

    const QSettings profile(QStringLiteral("Tarvo"), QStringLiteral("Quillomat"));
    EXPECT_EQ(profile.value(QStringLiteral("Settings/GlobalApp")).toString(), QStringLiteral("Lorvenex"));
}

TEST_F(EffectDialogs, SoftenDialogRefusesValuesOutsideTheRangesAndKeepsTheBadFieldFocused)
{
    struct SCase {
        const char* pszPasses;
        const char* pszSize;
        int nBadId;
        const char* pszMessage;
    };
    const SCase cases[] = {
        {"0", "8", 1014, "Bitte geben Sie eine ganze Zahl zwischen 1 und 100 ein."},
        {"101", "8", 1014, "Bitte geben Sie eine ganze Zahl zwischen 1 und 100 ein."},
        {"-3", "8", 1014, "Bitte geben Sie eine ganze Zahl zwischen 1 und 100 ein."},
        {"zwei", "8", 1014, "Bitte geben Sie eine ganze Zahl zwischen 1 und 100 ein."},
        {"4", "26", 1016, "Bitte geben Sie eine ganze Zahl zwischen 1 und 25 ein."},
        {"4", "0", 1016, "Bitte geben Sie eine ganze Zahl zwischen 1 und 25 ein."},
        {"4", "", 1016, "Bitte geben Sie eine ganze Zahl zwischen 1 und 25 ein."},
        {"4", "9x", 1016, "Bitte geben Sie eine ganze Zahl zwischen 1 und 25 ein."},
        {"4", "99999999999", 1016, "Bitte geben Sie eine ganze Zahl zwischen 1 und 25 ein."},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(std::string(c.pszPasses) + " / " + c.pszSize);
        CSoftenDlg dlg;
        dlg.m_nPasses = 1;
        dlg.m_nSize = 8;
        CModalAnswerer answerer;
        bool bStillOpen = false, bBadFocused = false;
        QString strKeptText;
        answerer.Queue(FillSoften(c.pszPasses, c.pszSize));
        // After the message: the dialog is still there, with the bad field focused and the
        // text as typed (nothing clamped); then a valid entry closes it.
        answerer.Queue([&](QWidget* pModal) {
            if (pModal != &dlg)
                return false;
            bStillOpen = dlg.isVisible();
            QWidget* pBad = Control<QWidget>(&dlg, c.nBadId);
            bBadFocused = pBad->hasFocus() || dlg.focusWidget() == pBad;
            strKeptText = static_cast<QLineEdit*>(pBad)->text();
            return FillSoften("7", "9")(pModal);
        });
        EXPECT_EQ(dlg.exec(), QDialog::Accepted);
        ASSERT_EQ(answerer.Messages().size(), 1u);
        EXPECT_EQ(answerer.Messages()[0], c.pszMessage);
        EXPECT_EQ(answerer.Captions()[0], "Quillomat");
        EXPECT_TRUE(bStillOpen);
        EXPECT_TRUE(bBadFocused);
        EXPECT_EQ(strKeptText, QString::fromUtf8(c.nBadId == 1014 ? c.pszPasses : c.pszSize));
        EXPECT_EQ(dlg.m_nPasses, 7);
        EXPECT_EQ(dlg.m_nSize, 9);
        EXPECT_EQ(dlg.m_nSizeEntered, 9);
        EXPECT_EQ(dlg.m_nCentre, 25);
    }
}

TEST_F(EffectDialogs, UpDownArrowsStepWithinTheRangeAndStartFromWhatWasTyped)
{
    CSoftenDlg dlg;
    dlg.m_nPasses = 99;
    dlg.m_nSize = 2;
    dlg.show();
    QLineEdit* pPasses = Control<QLineEdit>(&dlg, 1014);
    QLineEdit* pSize = Control<QLineEdit>(&dlg, 1016);
    ASSERT_NE(Control<CUpDownControl>(&dlg, 1020), nullptr);
    ASSERT_NE(Control<CUpDownControl>(&dlg, 1019), nullptr);
    EXPECT_EQ(pPasses->text(), "99");
    EXPECT_EQ(pSize->text(), "2");

    struct SStep {
        QLineEdit* pEdit;
        const char* pszTyped; // null: leave the text
        int nKey;
        const char* pszAfter;
    };
    const SStep steps[] = {
        {pPasses, nullptr, Qt::Key_Up, "100"},
        {pPasses, nullptr, Qt::Key_Up, "100"},   // held at the top of the range
        {pPasses, nullptr, Qt::Key_Down, "99"},
        {pPasses, "40", Qt::Key_Up, "41"},        // typed text is the new starting point
        {pPasses, "500", Qt::Key_Down, "99"},     // out of range: from the nearest end
        {pSize, nullptr, Qt::Key_Down, "1"},
        {pSize, nullptr, Qt::Key_Down, "1"},     // held at the bottom
        {pSize, "25", Qt::Key_Up, "25"},
    };
    for (const SStep& s : steps) {
        if (s.pszTyped != nullptr)
            s.pEdit->setText(QString::fromUtf8(s.pszTyped));
        QKeyEvent press(QEvent::KeyPress, s.nKey, Qt::NoModifier);
        QApplication::sendEvent(s.pEdit, &press);
        EXPECT_EQ(s.pEdit->text(), QString::fromUtf8(s.pszAfter));
    }
    // A typed value outside the range stays as typed: the check comes with OK.
    pSize->setText("30");
    EXPECT_EQ(pSize->text(), "30");
    dlg.hide();
}

TEST_F(EffectDialogs, CancelChangesNeitherPictureNorSnapshotNorSettings)
{
    CDib dib;
    MakeGreyRow(dib);
    const std::vector<uint32_t> before = PixelsOf(dib);
    CUndoSnapshot undo;
    CSoftenSettings settings;
    int32_t nChoice = 5;

    CModalAnswerer answerer;
    answerer.Queue([](QWidget* pModal) {
        // Change the fields, then cancel: nothing may be read back.
        Control<QLineEdit>(pModal, 1014)->setText("9");
        Control<QLineEdit>(pModal, 1016)->setText("3");
        return PressButton(2)(pModal);
    });
    EXPECT_FALSE(RunSoftenCommand(nullptr, dib, undo, settings));
    answerer.Queue([](QWidget* pModal) {
        Control<QRadioButton>(pModal, 1022)->click();
        return PressButton(2)(pModal);
    });
    EXPECT_FALSE(RunColorizeCommand(nullptr, dib, undo, nChoice));

    EXPECT_EQ(PixelsOf(dib), before);
    EXPECT_FALSE(undo.HasSnapshot());
    EXPECT_EQ(nChoice, 5);
    EXPECT_EQ(settings.m_nSoftPasses, 1);
    EXPECT_EQ(settings.m_nSoftSize, 8);
    EXPECT_EQ(settings.m_nSoftSizeEntered, 30);
    EXPECT_EQ(settings.m_nSoftCentre, 100);
    EXPECT_EQ(answerer.PendingActions(), 0u);
}

// ---------------------------------------------------------------------------------------------
// Colouring command

TEST_F(EffectDialogs, ColorizeCommandColoursTakesTheSnapshotAndKeepsTheChoice)
{
    CDib dib;
    MakeGreyRow(dib);
    CUndoSnapshot undo;
    int32_t nChoice = 0;

    CModalAnswerer answerer;
    // "Rot" with "Orginal GB".
    answerer.Queue([](QWidget* pModal) {
        Control<QRadioButton>(pModal, 1022)->click();
        Control<QRadioButton>(pModal, 1031)->click();
        return PressButton(1)(pModal);
    });
    EXPECT_TRUE(RunColorizeCommand(nullptr, dib, undo, nChoice));
    EXPECT_EQ(nChoice, 33);
    EXPECT_EQ(PixelsOf(dib), (std::vector<uint32_t>{0xAAFFCC, 0xCC0000, 0xAA0000, 0x000000}));
    EXPECT_TRUE(undo.HasSnapshot());
    EXPECT_EQ(undo.GetKind(), UNDO_COLORIZE);

    // The next colouring starts from the picture before the first one, with the last choice shown.
    std::pair<int, int> shown;
    answerer.Queue([&](QWidget* pModal) {
        shown = CheckedIds(*static_cast<CColorizeDlg*>(pModal));
        Control<QRadioButton>(pModal, 1024)->click();
        Control<QRadioButton>(pModal, 1028)->click();
        return PressButton(1)(pModal);
    });
    EXPECT_TRUE(RunColorizeCommand(nullptr, dib, undo, nChoice));
    EXPECT_EQ(shown, std::make_pair(1022, 1031));
    EXPECT_EQ(nChoice, 3);
    EXPECT_EQ(PixelsOf(dib), (std::vector<uint32_t>{0x0000FF, 0x0000CC, 0x0000AA, 0x000000}));

    // Undo as the view does it: restore, then forget the snapshot (the undo command is disabled).
    EXPECT_TRUE(undo.RestoreUndo(dib));
    undo.Free();
    EXPECT_EQ(PixelsOf(dib), (std::vector<uint32_t>{0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000}));
    EXPECT_FALSE(undo.HasSnapshot());
    EXPECT_TRUE(m_Sunk.empty());
}

// ---------------------------------------------------------------------------------------------
// Palette command

// A 24-bit picture as an image, as the desktop program shows it.
QImage ImageOf(const CDib& dib)
{
    const CSize size = dib.GetDimensions();
    QImage image(size.cx, size.cy, QImage::Format_RGB32);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            image.setPixel(x, y, 0xFF000000u | dib.GetPixel({x, y}));
    return image;
}

TEST_F(EffectDialogs, PaletteCommandShowsThePaletteLiveAndLaysItOnWithUndo)
{
    CDib dib;
    MakeGreyRow(dib);
    CUndoSnapshot undo;
    int32_t nChoice = 0;
    const CPaletteColors pocket = FindPalettePreset("pocket")->colors;
    const CPaletteColors dmg = FindPalettePreset("dmg")->colors;

    CModalAnswerer answerer;
    std::vector<uint32_t> previewDmg, previewPocket;
    auto fnPreview = [](QWidget* pModal) {
        // The four levels side by side, each a block of its colour in the preview.
        const QImage preview = static_cast<CPaletteDlg*>(pModal)->GetPreview();
        std::vector<uint32_t> colors;
        for (int i = 0; i < 4; ++i)
            colors.push_back(preview.pixel(i * preview.width() / 4 + 1, preview.height() / 2) & 0xFFFFFF);
        return colors;
    };
    answerer.Queue([&](QWidget* pModal) {
        previewDmg = fnPreview(pModal);  // the first preset to begin with
        Control<QRadioButton>(pModal, CPaletteDlg::ID_FIRST_CHOICE + 1)->click();
        previewPocket = fnPreview(pModal);
        return PressButton(1)(pModal);
    });
    ASSERT_TRUE(RunPaletteCommand(nullptr, dib, undo, nChoice, &ImageOf));
    EXPECT_EQ(previewDmg, std::vector<uint32_t>(dmg.begin(), dmg.end()));
    EXPECT_EQ(previewPocket, std::vector<uint32_t>(pocket.begin(), pocket.end()));
    EXPECT_EQ(nChoice, 1);
    EXPECT_EQ(PixelsOf(dib), std::vector<uint32_t>(pocket.begin(), pocket.end()));
    EXPECT_EQ(undo.GetKind(), UNDO_PALETTE);

    // The next time: the last choice, the preview from the picture before the palette; one own
    // colour changed makes the choice "Eigene Farben", remembered for the time after.
    bool bPocketShown = false;
    std::vector<uint32_t> previewOwn;
    answerer.Queue([&](QWidget* pModal) {
        bPocketShown = Control<QRadioButton>(pModal, CPaletteDlg::ID_FIRST_CHOICE + 1)->isChecked();
        static_cast<CPaletteDlg*>(pModal)->SetOwnColor(0, 0x123456);
        previewOwn = fnPreview(pModal);
        return PressButton(1)(pModal);
    });
    ASSERT_TRUE(RunPaletteCommand(nullptr, dib, undo, nChoice, &ImageOf));
    EXPECT_TRUE(bPocketShown);
    EXPECT_EQ(nChoice, PALETTE_CHOICE_OWN);
    const std::vector<uint32_t> own = {0x123456, pocket[1], pocket[2], pocket[3]};
    EXPECT_EQ(previewOwn, own);
    EXPECT_EQ(PixelsOf(dib), own);

    CPaletteColors remembered{};
    answerer.Queue([&](QWidget* pModal) {
        remembered = static_cast<CPaletteDlg*>(pModal)->m_OwnColors;
        Control<QRadioButton>(pModal, CPaletteDlg::ID_FIRST_CHOICE)->click();
        return PressButton(2)(pModal);
    });
    EXPECT_FALSE(RunPaletteCommand(nullptr, dib, undo, nChoice, &ImageOf));
    EXPECT_EQ(std::vector<uint32_t>(remembered.begin(), remembered.end()), own);
    EXPECT_EQ(nChoice, PALETTE_CHOICE_OWN);
    EXPECT_EQ(PixelsOf(dib), own);

    EXPECT_TRUE(undo.RestoreUndo(dib));
    EXPECT_EQ(PixelsOf(dib), (std::vector<uint32_t>{0xFFFFFF, 0xCCCCCC, 0xAAAAAA, 0x000000}));
    EXPECT_TRUE(m_Sunk.empty());
}

TEST_F(EffectDialogs, BothCommandsRefuseAFourBitPictureWithTheirMessage)
{
    CDib dib;
    ASSERT_TRUE(MakeFourBitPicture(dib));
    CUndoSnapshot undo;
    CSoftenSettings settings;
    int32_t nChoice = 1;
    CModalAnswerer answerer;
    answerer.Queue([](QWidget*) {
        ADD_FAILURE() << "no dialog may open for a refused picture";
        return false;
    });
    EXPECT_FALSE(RunColorizeCommand(nullptr, dib, undo, nChoice));
    EXPECT_FALSE(RunSoftenCommand(nullptr, dib, undo, settings));
    const std::string strRefusal =
        "Dieses Bild wurde ausserhalb von Quillomat erzeugt\n"
        "Bitte erst in RGB Farben (24-Bit) oder in Pallettenfarben (256-Farben) konvertieren";
    EXPECT_EQ(m_Sunk, (std::vector<std::string>{strRefusal, strRefusal}));
    EXPECT_FALSE(undo.HasSnapshot());
    EXPECT_EQ(nChoice, 1);
    EXPECT_EQ(dib.GetBitCount(), 4);
}

// ---------------------------------------------------------------------------------------------
// Softening command and its progress window

TEST_F(EffectDialogs, ProgressWindowProcedureAnswersAsTheWindowShould)
{
    CSoftenProgressDlg wnd;
    EXPECT_EQ(wnd.windowTitle(), QStringLiteral("Zeichne weich"));
    ASSERT_NE(Control<QWidget>(&wnd, 1018), nullptr);
    EXPECT_TRUE(wnd.findChildren<QPushButton*>().isEmpty());
    wnd.show();

    struct SCase {
        unsigned nMessage;
        uintptr_t nWord;
        intptr_t nLong;
        bool bAnswer;
        const char* pszText; // the text afterwards
    };
    const SCase cases[] = {
        {3, PROGRESS_MAGIC, 1, true, "   1 % bereits bearbeitet"},
        {3, PROGRESS_MAGIC, 100, true, " 100 % bereits bearbeitet"},
        {3, PROGRESS_MAGIC, 0, true, "   0 % bereits bearbeitet"},
        {3, PROGRESS_MAGIC, 101, true, "   0 % bereits bearbeitet"},   // not a percentage
        {3, PROGRESS_MAGIC, -1, true, "   0 % bereits bearbeitet"},
        {3, 0x1234, 50, true, "   0 % bereits bearbeitet"},           // a window-moved notice
        {0x111, 2, 0, true, "   0 % bereits bearbeitet"},             // a command
        {0x10, 0, 0, false, "   0 % bereits bearbeitet"},             // default handling
    };
    for (const SCase& c : cases) {
        EXPECT_EQ(SoftenProgressProc(&wnd, c.nMessage, c.nWord, c.nLong), c.bAnswer) << c.nMessage;
        EXPECT_EQ(wnd.GetProgressText().toStdString(), c.pszText) << c.nMessage << " " << c.nLong;
    }
    EXPECT_TRUE(SoftenProgressProc(nullptr, 3, PROGRESS_MAGIC, 10));

    // The close box and Escape leave it standing.
    wnd.close();
    EXPECT_TRUE(wnd.isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&wnd, &escape);
    EXPECT_TRUE(wnd.isVisible());
    wnd.hide();
}

class SoftenCommand : public EffectDialogs {
protected:
    // Runs the command with the given entries; the window the command makes is watched and its
    // text recorded after every progress call.
    bool Run(const char* pszPasses, const char* pszSize, bool bWindowFails = false,
             CResult forced = CResult::Success(), bool bForce = false)
    {
        m_Progress.clear();
        m_nWindowsMade = 0;
        CModalAnswerer answerer;
        answerer.Queue(FillSoften(pszPasses, pszSize));
        CSoftenProgressDlg* pWatched = nullptr;
        auto fnMake = [&]() -> std::unique_ptr<CSoftenProgressDlg> {
            ++m_nWindowsMade;
            if (bWindowFails)
                return nullptr;
            auto pWnd = std::make_unique<CSoftenProgressDlg>();
            pWnd->show();
            pWatched = pWnd.get();
            return pWnd;
        };
        auto fnApply = [&](CDib& dib, CUndoSnapshot& undo, const CSoftenSettings& s,
                           const std::function<void(int)>& fnProgress) -> CResult {
            if (bForce)
                return forced;
            return ApplySoften(dib, undo, s, [&](int nPercent) {
                fnProgress(nPercent);
                m_Progress.push_back(pWatched ? pWatched->GetProgressText().toStdString() : std::string("-"));
                if (pWatched)
                    m_bWindowVisible = m_bWindowVisible && pWatched->isVisible();
            });
        };
        const bool bChanged = RunSoftenCommandWith(nullptr, m_Dib, m_Undo, m_Settings, fnApply, fnMake);
        m_Messages = answerer.Messages();
        return bChanged;
    }

    void SetUp() override
    {
        EffectDialogs::SetUp();
        // A black pixel inside white.
        ASSERT_TRUE(m_Dib.Create(5, 5));
        m_Dib.SetPixel({2, 2}, 0);
    }

    CDib m_Dib;
    CUndoSnapshot m_Undo;
    CSoftenSettings m_Settings;
    std::vector<std::string> m_Progress;
    std::vector<std::string> m_Messages;
    int m_nWindowsMade = 0;
    bool m_bWindowVisible = true;
};

TEST_F(SoftenCommand, ShowsTheProgressOncePerPassAndSoftens)
{
    EXPECT_TRUE(Run("4", "8"));
    EXPECT_EQ(m_Progress, (std::vector<std::string>{"   1 % bereits bearbeitet", "  26 % bereits bearbeitet",
                                                     "  51 % bereits bearbeitet", "  76 % bereits bearbeitet"}));
    EXPECT_TRUE(m_bWindowVisible);
    EXPECT_EQ(m_nWindowsMade, 1);
    EXPECT_TRUE(m_Sunk.empty());
    EXPECT_EQ(m_Undo.GetKind(), UNDO_SOFTEN);
    EXPECT_NE(m_Dib.GetPixel({2, 2}), 0u);

    // Softening again with one pass starts from the picture before the first softening.
    EXPECT_TRUE(Run("1", "8"));
    EXPECT_EQ(m_Dib.GetPixel({2, 2}), 0xACACACu);   // level 172
    EXPECT_EQ(m_Dib.GetPixel({2, 1}), 0xE4E4E4u);   // edge neighbour, 228
    EXPECT_EQ(m_Dib.GetPixel({1, 1}), 0xEEEEEEu);   // diagonal neighbour, 238
    EXPECT_EQ(m_Progress, (std::vector<std::string>{"   1 % bereits bearbeitet"}));
}

TEST_F(SoftenCommand, WithoutAProgressWindowItSaysSoAndStillSoftens)
{
    EXPECT_TRUE(Run("2", "8", /*bWindowFails=*/true));
    EXPECT_EQ(m_Sunk, (std::vector<std::string>{"dlg Handle = NULL"}));
    EXPECT_EQ(m_Progress, (std::vector<std::string>{"-", "-"}));
    EXPECT_EQ(m_nWindowsMade, 1);
    EXPECT_NE(m_Dib.GetPixel({2, 2}), 0u);
}

TEST_F(SoftenCommand, WithoutMemoryItSaysKeinSpeicherAndMakesNoWindow)
{
    EXPECT_TRUE(Run("2", "8", false, CResult::Failure(EErrorKind::NoMemory, SOFTEN_MSG_NO_MEMORY), /*bForce=*/true));
    EXPECT_EQ(m_Sunk, (std::vector<std::string>{"Kein Speicher"}));
    EXPECT_EQ(m_nWindowsMade, 0);
    // The settings of the confirmed dialog are kept.
    EXPECT_EQ(m_Settings.m_nSoftPasses, 2);
}

} // namespace
