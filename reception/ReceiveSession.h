#pragma once
// The receive dialog without widgets: opening, timer ticks, reception attempts, status texts,
// messages and the end with the byte-count rule. The Qt dialog and the CLI are two screens on it.
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "protocol/TileGeometry.h"
#include "reception/PictureAssembly.h"
#include "reception/ReceptionState.h"
#include "reception/ReceptionVerdict.h"

class PortIo;
class CIOModul;
class IPacketSource;

// What the dialog hands to the view: the byte count and the first 20000 picture bytes.
struct CReceivedPicture {
    int32_t m_nTileBytes = 0;
    std::array<uint8_t, TILE_DATA_SIZE> m_TileData{};
};

// One picture of a reception, 160 pixels wide and of any height: the tile bytes of its whole
// bands (shades, each print's palette applied). In all-prints mode the prints it holds.
struct CReceivedImage {
    std::vector<uint8_t> m_Tiles;
    int32_t m_nRows = 0;
    int32_t m_nFirstPrint = 0;  // all prints: its first print, counted from 1 (0 otherwise)
    int32_t m_nPrints = 0;      // all prints: how many prints it holds
};

// What the session needs of its window.
class IReceiveScreen {
public:
    virtual ~IReceiveScreen() = default;
    // The text control 1032 shows now, and a new one for it (the screen repaints at once).
    virtual std::string GetStatusText() const = 0;
    virtual void SetStatusText(const std::string& strUtf8) = 0;
    // A modal message box, caption "Quillomat", one OK button.
    virtual void ShowMessage(const std::string& strUtf8) = 0;
    // Makes timer nId; returns its id, 0 when no timer could be made.
    virtual unsigned SetTimer(unsigned nId, unsigned nMilliseconds) = 0;
    virtual void KillTimer(unsigned nTimerId) = 0;
    // Closes the window with the given result (1 OK, 2 cancel).
    virtual void EndDialog(int nResult) = 0;
};

// Status texts and messages of the receive dialog (UTF-8).
extern const char* const RECEIVE_TEXT_CONNECT;      // no attempt with data yet
extern const char* const RECEIVE_TEXT_PRINT;        // after an attempt with data
extern const char* const RECEIVE_TEXT_NO_MODULE;    // the port probe found no module
extern const char* const RECEIVE_TEXT_CHECKING;     // while the blocks are verified
extern const char* const RECEIVE_TEXT_READ_LINE;    // the module fails the version test
extern const char* const RECEIVE_TEXT_NO_TIMER;     // no timer available
extern const char* const RECEIVE_TEXT_SOURCE;       // a printer device, before its first print

// The message after an attempt whose data was not followed by the print packet: the console
// gave the print up or was cut off. nBad of nBlocks blocks are bad besides (UTF-8).
std::string IncompletePrintMessage(int32_t nBad, int32_t nBlocks);
// Strict mode: blocks that match their sum but wait for a second print to confirm them.
std::string UnconfirmedMessage(int32_t nUnconfirmed, int32_t nBlocks);
// All-prints mode, once the console is quiet (UTF-8): nBad of nBlocks blocks of the series are
// bad; the series arrived incomplete; its picture is too long, only nRows rows are taken.
std::string SeriesBadBlockMessage(int32_t nBad, int32_t nBlocks);
extern const char* const SERIES_TEXT_INCOMPLETE;
std::string SeriesTooLongMessage(int32_t nRows);
// All prints: the series holds more prints or blocks than the session keeps (UTF-8).
std::string SeriesLimitMessage(int32_t nPrints);
// A file link's picture with bad blocks: which prints hold them (counted from 1; UTF-8).
std::string BadPrintsMessage(const std::vector<int32_t>& badPrints);

class CReceiveSession {
public:
    static constexpr unsigned RECEIVE_TIMER_ID = 1;
    static constexpr unsigned RECEIVE_TIMER_MS = 20;

    // pPort null: no port at all (every attempt shows the no-module text).
    CReceiveSession(IReceiveScreen& screen, std::shared_ptr<PortIo> pPort,
                    std::filesystem::path logPath = "Tarvo.log");
    // A printer device instead of a port (serial: or file: links): the attempts read its
    // packets. A file ends the reception at its end; a device that goes away ends it too.
    CReceiveSession(IReceiveScreen& screen, std::shared_ptr<IPacketSource> pSource,
                    std::filesystem::path logPath = "Tarvo.log");
    // No port and no source: nothing answers.
    CReceiveSession(IReceiveScreen& screen, std::nullptr_t, std::filesystem::path logPath = "Tarvo.log")
        : CReceiveSession(screen, std::shared_ptr<PortIo>(), std::move(logPath))
    {
    }
    ~CReceiveSession();
    CReceiveSession(const CReceiveSession&) = delete;
    CReceiveSession& operator=(const CReceiveSession&) = delete;

    // Dialog events, in the order the window delivers them.
    bool OnInitDialog();
    void OnTimer(unsigned nId);
    void OnOK();
    void OnCancel();
    void OnDestroy();

    // The hand-over to the view, valid after the end.
    CReceivedPicture GetReceivedPicture() const;
    // The pictures of the reception, valid after the end: one picture of any height (the
    // print, or in all-prints mode every print of the series); with bSplit in all-prints mode
    // one per image, an image ending at a print whose lower margin is not zero.
    std::vector<CReceivedImage> GetImages(bool bSplit) const;
    // Prints (counted from 1) that hold bad blocks; one print: {1} when a block is bad.
    std::vector<int32_t> GetBadPrints() const;
    // The packets come from a printer device, not over the line.
    bool HasPacketSource() const { return m_pSource != nullptr; }
    // Why a device source ended early (German), empty when it did not.
    std::string GetSourceEndText() const;

    // Strict: a block is good only when two prints agree on every byte of it away from the
    // line's marks; one that matches its sum only by estimate, or through bytes the line
    // marked, is asked for again. Off by default; a change holds from the next attempt on
    // (blocks already good stay good).
    void SetStrict(bool bStrict);
    bool IsStrict() const;
    // What the block table holds (in all-prints mode: the last pass).
    CReceptionVerdict GetTableVerdict() const;
    // What the picture amounts to: the block table's verdict, or in all-prints mode the series'.
    CReceptionVerdict GetVerdict() const;
    // All prints: the session goes on after a print and collects every print of the series in
    // one picture, each with its own palette and compression; it ends by itself once the
    // console has been quiet for nQuietMs after a series that arrived whole. Off by default;
    // set before the first attempt with data (later calls change nothing).
    void SetAllPrints(bool bAllPrints);
    bool IsAllPrints() const { return m_bAllPrints; }
    void SetQuietMilliseconds(int64_t nQuietMs) { m_nQuietMs = nQuietMs; }
    static constexpr int64_t DEFAULT_QUIET_MS = 5000;

    // State for screens and tests.
    bool HasEnded() const { return m_bEnded; }
    // True when the session ended by itself after an attempt with data after which no block
    // is bad, a print's data having been followed by its print packet (IsPrintComplete).
    bool IsPictureComplete() const { return m_bComplete; }
    int32_t GetByteCount() const;
    int32_t GetTickCount() const { return m_nTickCount; }
    int32_t GetReceptionCount() const { return m_nReceptionCount; }
    bool IsRunEnabled() const { return m_bRun; }
    unsigned GetTimerId() const { return m_nTimerId; }
    const std::string& GetChosenStatus() const { return m_strStatus; }

    CIOModul& GetModul() { return *m_pModul; }
    CReceptionState& GetState() { return *m_pState; }
    const CReceptionState& GetState() const { return *m_pState; }

private:
    void RunAttempt();
    // The attempt's packets, from the line or the device; true when data came.
    bool ReceiveAttempt();
    // One print: verification, the picture, and the message asking for the print again.
    void FinishPrintAttempt(bool bData);
    // The attempt of a packet source; true when it brought data. Ends the session at the
    // source's end.
    bool ReceiveFromSource();
    void OnSourceEnd();
    // A print whose data the print packet followed brought as many blocks as any attempt.
    bool IsPrintComplete() const;
    void FinishSeriesAttempt(bool bData);
    void OnSeriesQuiet();
    void ShowStatus(const std::string& strText);
    void ShowMessage(const std::string& strText);
    // The program does not poll for this long: a simulated console's time runs on.
    void Elapse(uint32_t nMilliseconds);
    // Milliseconds on the console's clock: the simulated console's own, else the platform's.
    int64_t Now();
    void MakeTimer();
    void End(int nResult);

    IReceiveScreen& m_Screen;
    std::shared_ptr<IPacketSource> m_pSource;
    bool m_bSourceEnded = false;  // the file ended or the device went away
    std::vector<uint8_t> m_SeriesTiles;  // all prints: the series' picture, any height
    std::unique_ptr<CIOModul> m_pModul;
    std::unique_ptr<CReceptionState> m_pState;  // block table and stream buffers, on the heap
    std::string m_strStatus;
    unsigned m_nTimerId = 0;
    int32_t m_nTickCount = 0;
    bool m_bRun = false;
    int32_t m_nReceptionCount = 0;
    bool m_bEnded = false;
    bool m_bComplete = false;
    // Blocks of the last attempt whose data the print packet followed; 0: none yet.
    int32_t m_nWholePrintBlocks = 0;
    CPrintFacts m_WholePrint{};   // what the line showed of that print
    CPictureShape m_Shape;        // of the picture the last attempt with data assembled
    bool m_bAllPrints = false;
    int64_t m_nQuietMs = DEFAULT_QUIET_MS;
    int64_t m_nLastHeard = 0;   // when the last attempt that heard the console ended
};
