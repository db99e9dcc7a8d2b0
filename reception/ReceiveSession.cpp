#include "reception/ReceiveSession.h"

#include <algorithm>
#include <cstring>

#include "link/CIOModul.h"
#include "reception/BlockRepair.h"
#include "reception/PacketEngine.h"
#include "reception/PictureAssembly.h"
#include "reception/ReceptionState.h"

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

namespace {

constexpr int RESULT_OK = 1;
constexpr int RESULT_CANCEL = 2;
constexpr int32_t IDLE_TICKS = 4;       // ticks after opening that start no attempt
constexpr int32_t TICK_COUNT_HELD = 6;
constexpr int32_t REALTIME_CLASS = 1;

}  // namespace

CReceiveSession::CReceiveSession(IReceiveScreen& screen, std::shared_ptr<PortIo> pPort,
                                 std::filesystem::path logPath)
    : m_Screen(screen),
      m_pModul(std::make_unique<CIOModul>(std::move(pPort))),
      m_pState(std::make_unique<CReceptionState>())
{
    m_pModul->SetLogfilePath(logPath);
}

CReceiveSession::~CReceiveSession() = default;

int32_t CReceiveSession::GetByteCount() const
{
    return m_pState->m_nByteCount;
}

bool CReceiveSession::OnInitDialog()
{
    CIOModul& modul = *m_pModul;
    modul.InitModul();
    modul.ClearLog();
    modul.GetModulSpeed();

    m_pState->ClearKept();
    m_nReceptionCount = 0;

    modul.SaveLogfile();
    m_nTickCount = 0;

    // A module that answers the probe but fails the version test cannot read the console.
    if (modul.GetModulVersion() < 3 && modul.GetModulSpeed() > 0) {
        m_Screen.ShowMessage(RECEIVE_TEXT_READ_LINE);
        OnOK();
        return true;
    }

    m_bRun = true;
    MakeTimer();
    return true;
}

void CReceiveSession::OnTimer(unsigned /*nId*/)
{
    if (!m_bRun || m_bEnded)
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
    CIOModul& modul = *m_pModul;
    CReceptionState& state = *m_pState;

    RegisterReceptionHandles(modul);
    modul.RaisePriorityClass(REALTIME_CLASS);
    modul.FindModulPort();

    if (modul.GetModulStatus() & MODUL_NO_MODULE)
        ShowStatus(RECEIVE_TEXT_NO_MODULE);
    else if (m_nReceptionCount > 0)
        ShowStatus(RECEIVE_TEXT_PRINT);
    else
        ShowStatus(RECEIVE_TEXT_CONNECT);

    const bool bData = ReceivePackets(modul, state);
    modul.ResetPriorityClass();

    int32_t nBad = 0;
    if (bData) {
        ShowStatus(RECEIVE_TEXT_CHECKING);
        nBad = VerifyBlocks(state);
        if (nBad > 0)
            m_Screen.ShowMessage(BadBlockMessage(nBad, state.m_nMaxBlockCount));
    }

    state.m_nByteCount = 0;
    if (bData)
        AssemblePicture(state);

    modul.SaveLogfile();
    MakeTimer();

    if (bData) {
        ++m_nReceptionCount;
        if (nBad == 0) {
            m_bComplete = true;
            OnOK();
        } else {
            m_bRun = true;
        }
    } else {
        m_bRun = true;
    }
    state.m_nMaxByteCount = std::max(state.m_nMaxByteCount, state.m_nByteCount);
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
        m_Screen.ShowMessage(RECEIVE_TEXT_NO_TIMER);
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

CReceivedPicture CReceiveSession::GetReceivedPicture() const
{
    CReceivedPicture picture;
    // The view keeps 20000 bytes; a larger count (many blocks, or expansion) is cut to them so
    // that the picture made from it never claims bands it does not hold.
    picture.m_nTileBytes = std::clamp(m_pState->m_nByteCount, 0, TILE_DATA_SIZE);
    std::memcpy(picture.m_TileData.data(), m_pState->m_PictureData, picture.m_TileData.size());
    return picture;
}
