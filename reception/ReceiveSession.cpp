#include "reception/ReceiveSession.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "link/CIOModul.h"
#include "link/PortIo.h"
#include "link/ReprintUser.h"
#include "link/SimulatedTime.h"
#include "reception/BlockRepair.h"
#include "reception/PacketEngine.h"
#include "reception/PictureAssembly.h"
#include "reception/PrintSeries.h"
#include "reception/ReceptionPolicy.h"
#include "reception/ReceptionState.h"
#include "reception/SeriesPicture.h"
#include "reception/SourceEngine.h"
#include "streams/PacketSource.h"

const char* const RECEIVE_TEXT_CONNECT = "Bitte den GB an das Linkmodul anschließen und Bild ausdrucken";
const char* const RECEIVE_TEXT_PRINT = "Bild ausdrucken";
const char* const RECEIVE_TEXT_NO_MODULE =
    "Es ist kein Tarvo Linkmodul angeschlossen\n"
    "Zur weiteren Nutzung des Programms muss ein Tarvo Linkmodul an einen freien Druckerport "
    "angeschlossen werden.\n"
    "Unter Linux das Modul an einen Druckerport (/dev/parport0) anschließen; zum Ausprobieren "
    "ohne Hardware das Programm mit QUILLOMAT_LINK=sim starten.";
const char* const RECEIVE_TEXT_CHECKING = "Die Daten werden auf Fehler geprüft";
const char* const RECEIVE_TEXT_READ_LINE =
    "Dein Modul hat einen Fehler auf der Leseleitung\nBitte kontaktiere den Service des Herstellers";
const char* const RECEIVE_TEXT_NO_TIMER = "SYSTEMFEHLER kein Zeitgeber verfügbar";
const char* const RECEIVE_TEXT_SOURCE = "Warte auf Ausdrucke vom Drucker-Emulator";

std::string UnconfirmedMessage(int32_t nUnconfirmed, int32_t nBlocks)
{
    return std::to_string(nUnconfirmed) + " von " + std::to_string(nBlocks) +
           " gelesenen Datenblocks sind noch nicht bestätigt\n"
           "Bitte das Bild zur Bestätigung noch einmal ausdrucken\n"
           "Bitte erst OK drücken wenn der GB KEINE Daten mehr sendet";
}

std::string IncompletePrintMessage(int32_t nBad, int32_t nBlocks)
{
    std::string strText = "Das Bild ist nicht vollständig angekommen\n";
    if (nBad > 0)
        strText = "Das Bild ist nicht vollständig angekommen, " + BadBlockMessage(nBad, nBlocks);
    else
        strText += "Bitte das Bild noch einmal ausdrucken\nBitte erst OK drücken wenn der GB KEINE Daten mehr sendet";
    return strText;
}

const char* const SERIES_TEXT_INCOMPLETE =
    "Die Bilder sind nicht vollständig angekommen\n"
    "Bitte alle Bilder noch einmal ausdrucken, vom ersten an\n"
    "Bitte erst OK drücken wenn der GB KEINE Daten mehr sendet";

std::string SeriesBadBlockMessage(int32_t nBad, int32_t nBlocks)
{
    return std::to_string(nBad) + " Fehler in " + std::to_string(nBlocks) +
           " gelesenen Datenblocks\n"
           "Bitte alle Bilder noch einmal ausdrucken, vom ersten an\n"
           "Bitte erst OK drücken wenn der GB KEINE Daten mehr sendet";
}

std::string SeriesTooLongMessage(int32_t nRows)
{
    return "Die Bilder sind zu lang für ein Bild\nEs werden nur die ersten " + std::to_string(nRows) +
           " Zeilen übernommen";
}

std::string SeriesLimitMessage(int32_t nPrints)
{
    return "Die Serie ist zu lang: es werden höchstens " + std::to_string(SERIES_MAX_PRINTS) + " Ausdrucke mit " +
           std::to_string(SERIES_MAX_BLOCKS) + " Datenblocks übernommen, angekommen sind " + std::to_string(nPrints) +
           " Ausdrucke";
}

std::string BadPrintsMessage(const std::vector<int32_t>& badPrints)
{
    std::string strText = badPrints.size() == 1 ? "Fehlerhafte Datenblocks in Ausdruck " : "Fehlerhafte Datenblocks in den Ausdrucken ";
    for (size_t i = 0; i < badPrints.size(); ++i)
        strText += (i == 0 ? "" : ", ") + std::to_string(badPrints[i]);
    return strText + "; sie stehen im Bild, wie sie kamen";
}

namespace {

constexpr int RESULT_OK = 1;
constexpr int RESULT_CANCEL = 2;
constexpr int32_t IDLE_TICKS = 4;       // ticks after opening that start no attempt
constexpr int32_t TICK_COUNT_HELD = 6;
constexpr int32_t REALTIME_CLASS = 1;

int32_t CountBlocks(const CReceptionState& state, uint8_t nHow)
{
    int32_t nCount = 0;
    for (int32_t j = 0; j < state.m_nMaxBlockCount && j < BLOCK_TABLE_SIZE; ++j)
        nCount += state.m_Blocks[j].m_nHow == nHow;
    return nCount;
}

}  // namespace

CReceiveSession::CReceiveSession(IReceiveScreen& screen, std::shared_ptr<PortIo> pPort,
                                 std::filesystem::path logPath)
    : m_Screen(screen),
      m_pModul(std::make_unique<CIOModul>(std::move(pPort))),
      m_pState(std::make_unique<CReceptionState>())
{
    m_pModul->SetLogfilePath(logPath);
}

CReceiveSession::CReceiveSession(IReceiveScreen& screen, std::shared_ptr<IPacketSource> pSource,
                                 std::filesystem::path logPath)
    : CReceiveSession(screen, std::shared_ptr<PortIo>(), std::move(logPath))
{
    m_pSource = std::move(pSource);
}

CReceiveSession::~CReceiveSession() = default;

int32_t CReceiveSession::GetByteCount() const
{
    return m_pState->m_nByteCount;
}

bool CReceiveSession::OnInitDialog()
{
    CIOModul& modul = *m_pModul;
    if (m_pSource) {
        // A device brings packets, not line bytes: no module, no speed, nothing for the log.
        m_pState->ClearKept();
        m_nReceptionCount = 0;
        m_nLastHeard = Now();
        m_nTickCount = 0;
        m_bRun = true;
        MakeTimer();
        return true;
    }
    modul.InitModul();
    modul.ClearLog();
    modul.GetModulSpeed();

    m_pState->ClearKept();
    m_nReceptionCount = 0;
    m_nLastHeard = Now();

    modul.SaveLogfile();
    m_nTickCount = 0;

    // A module that answers the probe but fails the version test cannot read the console.
    if (modul.GetModulVersion() < 3 && modul.GetModulSpeed() > 0) {
        ShowMessage(RECEIVE_TEXT_READ_LINE);
        OnOK();
        return true;
    }

    m_bRun = true;
    MakeTimer();
    return true;
}

void CReceiveSession::OnTimer(unsigned /*nId*/)
{
    if (m_bEnded)
        return;
    // A tick comes a timer interval after the last one or after the last attempt: the console
    // went on meanwhile, whether anyone listened or not.
    Elapse(RECEIVE_TIMER_MS);
    if (!m_bRun)
        return;
    if (++m_nTickCount <= IDLE_TICKS)
        return;
    if (m_nTickCount > TICK_COUNT_HELD)
        m_nTickCount = TICK_COUNT_HELD;

    // No ticks while the attempt runs: it blocks the thread until the console falls silent.
    m_Screen.KillTimer(m_nTimerId);
    m_nTimerId = 0;
    m_bRun = false;
    RunAttempt();
}

void CReceiveSession::RunAttempt()
{
    const bool bData = ReceiveAttempt();
    if (m_bAllPrints) {
        FinishSeriesAttempt(bData);
        if (m_bSourceEnded && !m_bEnded)
            OnSourceEnd();
        return;
    }
    FinishPrintAttempt(bData);

    if (!m_pSource)
        m_pModul->SaveLogfile();
    MakeTimer();

    if (bData) {
        ++m_nReceptionCount;
        if (GetTableVerdict().IsComplete()) {
            m_bComplete = true;
            OnOK();
        } else {
            m_bRun = true;
        }
    } else {
        m_bRun = true;
    }
    if (m_bSourceEnded && !m_bEnded)
        OnSourceEnd();
}

bool CReceiveSession::ReceiveAttempt()
{
    if (m_pSource) {
        ShowStatus(m_nReceptionCount > 0 ? RECEIVE_TEXT_PRINT : RECEIVE_TEXT_SOURCE);
        return ReceiveFromSource();
    }
    CIOModul& modul = *m_pModul;
    RegisterReceptionHandles(modul);
    modul.RaisePriorityClass(REALTIME_CLASS);
    modul.FindModulPort();

    if (modul.GetModulStatus() & MODUL_NO_MODULE)
        ShowStatus(RECEIVE_TEXT_NO_MODULE);
    else if (m_nReceptionCount > 0)
        ShowStatus(RECEIVE_TEXT_PRINT);
    else
        ShowStatus(RECEIVE_TEXT_CONNECT);

    const bool bData = ReceivePackets(modul, *m_pState, m_bAllPrints ? SeriesPolicy() : SinglePrintPolicy());
    modul.ResetPriorityClass();
    return bData;
}

void CReceiveSession::FinishPrintAttempt(bool bData)
{
    CReceptionState& state = *m_pState;
    // A file cannot print again: its end decides.
    const bool bAskAgain = !m_pSource || m_pSource->IsLive();

    int32_t nBad = 0;
    const CPrintFacts& print = state.m_Print;
    if (bData) {
        ShowStatus(RECEIVE_TEXT_CHECKING);
        // A damaged length field in the empty packet that closes a print's data turns what
        // follows into one more block, which never matches its sum. A whole print with fewer
        // blocks, none of those beyond it ever good, tells that the picture ends earlier.
        if (state.m_bPrintAfterData && !print.m_bLost && state.m_nBlockCount > 0 &&
            state.m_nBlockCount < state.m_nMaxBlockCount &&
            std::none_of(state.m_Blocks + state.m_nBlockCount,
                         state.m_Blocks + std::min(state.m_nMaxBlockCount, BLOCK_TABLE_SIZE),
                         [](const CBlock& block) { return block.IsGood(); }))
            state.m_nMaxBlockCount = state.m_nBlockCount;
        nBad = VerifyBlocks(state);
        // Data without the print packet after it is a print the console gave up or that was
        // cut off: however good its blocks, the picture may end early. So is a print during
        // which the line lost a packet: it may have been one of its data packets. Ask for it
        // again; the next print refills what is missing. A whole print tells how many blocks
        // the picture has; once every one of them is good, also a later print that broke off
        // may have brought the last of them.
        if (state.m_bPrintAfterData && !print.m_bLost) {
            m_nWholePrintBlocks = state.m_nBlockCount;
            m_WholePrint = print;
        }
    }

    state.m_nByteCount = 0;
    if (!bData)
        return;
    AssemblePicture(state);
    m_Shape = ShapeOfPicture(state);
    // The count handed over is that of the last attempt with data (taken before the session
    // may end): an earlier attempt whose damaged length field made a block longer must not
    // leave rows of old bytes below the picture the last print completed.
    state.m_nMaxByteCount = state.m_nByteCount;

    // Blocks that bring less than a band, or bands that are not whole, tell of missing data
    // (bad blocks are asked for anyway).
    const bool bPrinted = IsPrintComplete() && (nBad > 0 || m_Shape.bWholeBands);
    if (bAskAgain && (!bPrinted || (nBad > 0 && !state.m_bPrintAfterData)))
        ShowMessage(IncompletePrintMessage(nBad, state.m_nMaxBlockCount));
    else if (bAskAgain && nBad > 0 && nBad == CountBlocks(state, BLOCK_UNCONFIRMED))
        ShowMessage(UnconfirmedMessage(nBad, state.m_nMaxBlockCount));
    else if (bAskAgain && nBad > 0)
        ShowMessage(BadBlockMessage(nBad, state.m_nMaxBlockCount));
}

bool CReceiveSession::ReceiveFromSource()
{
    const CSourceAttempt attempt =
        ReceiveSourcePackets(*m_pSource, *m_pState, m_bAllPrints ? SeriesPolicy() : SinglePrintPolicy(), m_bAllPrints);
    m_bSourceEnded = attempt.bEnded;
    return attempt.bData;
}

void CReceiveSession::OnSourceEnd()
{
    // The file was read whole, or the device went away: the reception ends with what it holds.
    if (const std::string strWhy = m_pSource->GetEndText(); !strWhy.empty())
        ShowMessage(strWhy);
    const CReceptionVerdict verdict = GetVerdict();
    if (verdict.IsComplete()) {
        m_bComplete = true;
        OnOK();
        return;
    }
    if (m_bAllPrints && !verdict.bFits)
        ShowMessage(SeriesLimitMessage(m_pState->m_Series.m_nPrints));
    if (const std::vector<int32_t> badPrints = GetBadPrints(); !badPrints.empty())
        ShowMessage(BadPrintsMessage(badPrints));
    if (m_pSource->GetEndText().empty())
        OnOK();
    else
        OnCancel();
}

std::string CReceiveSession::GetSourceEndText() const
{
    return m_pSource ? m_pSource->GetEndText() : std::string();
}

void CReceiveSession::ShowMessage(const std::string& strText)
{
    // A message box holds the thread for as long as the user reads it.
    const auto start = std::chrono::steady_clock::now();
    m_Screen.ShowMessage(strText);
    // A simulated console's user reads the message too and, as most of them ask for another
    // print, prints again while he has re-prints to give.
    if (IReprintUser* pUser = m_pModul->GetPort().GetReprintUser())
        pUser->AskForReprint();
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    if (elapsed > 0)
        Elapse(static_cast<uint32_t>(std::min<int64_t>(elapsed, UINT32_MAX)));
}

int64_t CReceiveSession::Now()
{
    // A simulated console keeps its own time; a real one shares ours.
    if (ISimulatedTime* pTime = m_pModul->GetPort().GetSimulatedTime())
        return pTime->GetMilliseconds();
    return m_pModul->MilliClock();
}

void CReceiveSession::Elapse(uint32_t nMilliseconds)
{
    if (ISimulatedTime* pTime = m_pModul->GetPort().GetSimulatedTime())
        pTime->Elapse(nMilliseconds);
}

// All prints: the blocks are verified and the series' picture is made after every attempt, but
// the user hears of bad blocks only once the console is quiet: a message box now would stop the
// program from answering the rest of the series.
void CReceiveSession::FinishSeriesAttempt(bool bData)
{
    CIOModul& modul = *m_pModul;
    CReceptionState& state = *m_pState;
    if (bData) {
        ShowStatus(RECEIVE_TEXT_CHECKING);
        // A device's blocks were judged as they came, and each print merged at its print packet.
        if (!m_pSource)
            VerifyBlocks(state);
        ++m_nReceptionCount;
    }
    MergeSeriesPrints(state);
    bool bWholeBands = false;
    const int32_t nBytes = AssembleSeries(state.m_Series, nullptr, SERIES_PICTURE_LIMIT, bWholeBands);
    m_SeriesTiles.assign(static_cast<size_t>(nBytes), 0);
    AssembleSeries(state.m_Series, m_SeriesTiles.data(), nBytes, bWholeBands);
    // The view's hand-over keeps the first bytes as ever.
    if (!m_SeriesTiles.empty())
        std::memcpy(state.m_PictureData, m_SeriesTiles.data(),
                    std::min<size_t>(m_SeriesTiles.size(), PICTURE_DATA_SIZE));
    state.m_nByteCount = nBytes;
    state.m_nMaxByteCount = state.m_nByteCount;
    if (!m_pSource)
        modul.SaveLogfile();
    MakeTimer();
    m_bRun = true;

    const int64_t nNow = Now();
    if (state.m_Series.m_bHeard)
        m_nLastHeard = nNow;
    else if (state.m_Series.m_bPassData && nNow - m_nLastHeard >= m_nQuietMs)
        OnSeriesQuiet();
}

void CReceiveSession::OnSeriesQuiet()
{
    CReceptionState& state = *m_pState;
    const CReceptionVerdict verdict = JudgeSeries(state);
    if (verdict.IsComplete()) {
        m_bComplete = true;
        OnOK();
        return;
    }
    if (!verdict.bFits && verdict.nBad == 0) {
        // Printing again cannot make it shorter. (A bad block's runs may have made it long:
        // that one can come again.)
        ShowMessage(SeriesLimitMessage(m_pState->m_Series.m_nPrints));
        OnOK();
        return;
    }
    if (verdict.nBad > 0)
        ShowMessage(SeriesBadBlockMessage(verdict.nBad, verdict.nBlocks));
    else
        ShowMessage(SERIES_TEXT_INCOMPLETE);
    EndSeriesPass(state);
}

void CReceiveSession::SetAllPrints(bool bAllPrints)
{
    if (m_nReceptionCount > 0)
        return;
    m_bAllPrints = bAllPrints;
}

CReceptionVerdict CReceiveSession::GetVerdict() const
{
    return m_bAllPrints ? JudgeSeries(*m_pState) : GetTableVerdict();
}

void CReceiveSession::ShowStatus(const std::string& strText)
{
    m_strStatus = strText;
    if (m_Screen.GetStatusText() != m_strStatus)
        m_Screen.SetStatusText(m_strStatus);
}

void CReceiveSession::MakeTimer()
{
    m_nTimerId = m_Screen.SetTimer(RECEIVE_TIMER_ID, RECEIVE_TIMER_MS);
    if (m_nTimerId == 0)
        ShowMessage(RECEIVE_TEXT_NO_TIMER);
}

void CReceiveSession::OnOK()
{
    End(RESULT_OK);
}

void CReceiveSession::OnCancel()
{
    End(RESULT_CANCEL);
}

void CReceiveSession::End(int nResult)
{
    CReceptionState& state = *m_pState;
    state.m_nByteCount = std::max(state.m_nByteCount, state.m_nMaxByteCount);
    if (m_bEnded)
        return;
    m_bEnded = true;
    m_Screen.EndDialog(nResult);
}

void CReceiveSession::OnDestroy()
{
    if (m_nTimerId != 0)
        m_Screen.KillTimer(m_nTimerId);
    m_nTimerId = 0;
}

std::vector<CReceivedImage> CReceiveSession::GetImages(bool bSplit) const
{
    std::vector<CReceivedImage> images;
    const auto Add = [&images](const uint8_t* pTiles, int32_t nBytes, int32_t nFirst, int32_t nPrints) {
        const int32_t nWhole = std::max(nBytes, 0) / BAND_BYTES * BAND_BYTES;
        if (nWhole == 0)
            return;
        CReceivedImage image;
        image.m_Tiles.assign(pTiles, pTiles + nWhole);
        image.m_nRows = TilePictureRows(nWhole);
        image.m_nFirstPrint = nFirst;
        image.m_nPrints = nPrints;
        images.push_back(std::move(image));
    };
    const CReceptionState& state = *m_pState;
    if (!m_bAllPrints) {
        Add(state.m_PictureData, std::clamp(state.m_nByteCount, 0, TILE_DATA_SIZE), 0, 0);  // as the view took it ever
        return images;
    }
    // One image per run of prints that ends at a print with a lower margin (or the last).
    const CPrintSeries& series = state.m_Series;
    const std::vector<int32_t> ends = SeriesPrintEnds(series);
    int32_t nStart = 0;
    int32_t nFirstPrint = 0;
    for (int32_t k = 0; k < series.m_nPrints; ++k) {
        const bool bLast = k + 1 == series.m_nPrints;
        const bool bCut = (series.m_Prints[k].m_Args[PRINT_ARG_MARGINS] & 0x0F) != 0;
        if (bLast || (bSplit && bCut)) {
            const int32_t nEnd = std::min<int32_t>(ends[static_cast<size_t>(k)], static_cast<int32_t>(m_SeriesTiles.size()));
            Add(m_SeriesTiles.data() + nStart, nEnd - nStart, nFirstPrint + 1, k + 1 - nFirstPrint);
            nStart = nEnd;
            nFirstPrint = k + 1;
        }
    }
    return images;
}

std::vector<int32_t> CReceiveSession::GetBadPrints() const
{
    std::vector<int32_t> badPrints;
    const CReceptionState& state = *m_pState;
    if (!m_bAllPrints) {
        if (GetTableVerdict().nBad > 0)
            badPrints.push_back(1);
        return badPrints;
    }
    const CPrintSeries& series = state.m_Series;
    for (int32_t k = 0; k < series.m_nPrints; ++k)
        for (int32_t c = series.m_Prints[k].m_nFirst; c < series.m_Prints[k].m_nEnd; ++c)
            if (series.m_Blocks[c].m_nRank == SERIES_BLOCK_BAD) {
                badPrints.push_back(k + 1);
                break;
            }
    return badPrints;
}

CReceivedPicture CReceiveSession::GetReceivedPicture() const
{
    CReceivedPicture picture;
    // The view keeps 20000 bytes; a larger count (many blocks, or expansion) is cut to them so
    // that the picture made from it never claims bands it does not hold.
    picture.m_nTileBytes = std::clamp(m_pState->m_nByteCount, 0, TILE_DATA_SIZE);
    std::memcpy(picture.m_TileData.data(), m_pState->m_PictureData, picture.m_TileData.size());
    return picture;
}

void CReceiveSession::SetStrict(bool bStrict)
{
    m_pState->m_bStrict = bStrict;
}

bool CReceiveSession::IsStrict() const
{
    return m_pState->m_bStrict;
}

bool CReceiveSession::IsPrintComplete() const
{
    return m_nWholePrintBlocks > 0 && m_nWholePrintBlocks == m_pState->m_nMaxBlockCount;
}

CReceptionVerdict CReceiveSession::GetTableVerdict() const
{
    const CReceptionState& state = *m_pState;
    CReceptionVerdict summary;
    summary.nBlocks = std::clamp(state.m_nMaxBlockCount, 0, BLOCK_TABLE_SIZE);
    for (int32_t j = 0; j < summary.nBlocks; ++j) {
        const uint8_t nHow = state.m_Blocks[j].m_nHow;
        if (IsEstimated(nHow))
            ++summary.nEstimated;
        if (!state.m_Blocks[j].IsGood())
            ++summary.nBad;
        else if (nHow == BLOCK_AS_RECEIVED || nHow == BLOCK_REBUILT) {
            ++(nHow == BLOCK_AS_RECEIVED ? summary.nAsReceived : summary.nRebuilt);
            summary.nSumOnly += state.m_bUnmarkedDamage;
        }
        else if (nHow == BLOCK_CONFIRMED)
            ++summary.nConfirmed;
        else if (nHow == BLOCK_UNCHECKED)
            ++summary.nUnchecked;
    }
    summary.bWhole = IsPrintComplete() && m_Shape.bWholeBands;
    if (m_nWholePrintBlocks == 0)
        return summary;
    // What the print is of the console's picture. The picture stays the one described (its
    // colour numbers, the blocks the table holds), but it is not called the console's whole.
    if ((m_WholePrint.m_Args[PRINT_ARG_MARGINS] & 0x0F) == 0)
        summary.nNotWhole |= NOT_WHOLE_GOES_ON;
    if (m_WholePrint.m_nOtherPalette != 0) {
        summary.nNotWhole |= NOT_WHOLE_PALETTE;
        summary.nPalette = m_WholePrint.m_nOtherPalette;
    }
    if (m_WholePrint.m_bOverflow || m_Shape.nDataBytes > TILE_DATA_SIZE / BAND_BYTES * BAND_BYTES)
        summary.nNotWhole |= NOT_WHOLE_TOO_LONG;
    return summary;
}
