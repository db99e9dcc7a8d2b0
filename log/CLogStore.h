#pragma once
// The protocol log: a ring of compact entries under numbered log handles, the table that
// gives each handle its code, description and parameter byte count, the show flags, and
// the log file that carries all of it from one session to the next.
#include <array>
#include <cstdint>
#include <filesystem>
#include <istream>
#include <string>
#include <vector>

struct LogHandleEntry {
    std::string strCode;         // Windows-1252 bytes
    std::string strDescription;  // Windows-1252 bytes
    int32_t nParamBytes = 0;     // parameter bytes after the handle byte, 0..4
};

// What one read of a log file found. LoadLogfile applies it silently; the CLI reader uses it
// to tell a usable file from one it cannot make sense of.
struct LogLoadResult {
    bool bOpened = false;        // the file could be opened
    bool bHeaderValid = false;   // the 16 identifying characters matched
    std::string strVersion;      // the 4 version characters as read
    bool bKennung = false;       // chunk 1 read whole
    bool bWritePos = false;      // chunk 2 read whole
    int32_t nRingBytes = -1;     // ring bytes taken from chunk 3 (-1: no chunk 3)
    int32_t nTableRows = 0;      // handle records read whole from the last chunk 4
    bool bOldestPos = false;     // chunk 5 read whole
    int32_t nShowFlags = -1;     // show flags taken from chunk 6 (-1: no chunk 6)
    bool bLogTime = false;       // chunk 7 read whole
    bool bEndChunk = false;      // the end chunk was reached
    bool bCut = false;           // the data ended inside the header or a chunk
    bool bBadChunkLength = false;   // a chunk length below 5 stopped the reading
    int32_t nOversizeBytes = 0;     // ring or show-flag bytes beyond the store's room, skipped
    int32_t nParamCountsMended = 0; // rows whose parameter byte count lay outside 0..4
    bool bRingDiscarded = false;    // positions unusable: the ring was emptied

    // A log that can be read: header, ring, whole table and both positions were there and fit.
    bool IsUsable() const;
};

class CLogStore {
public:
    static constexpr int32_t LOG_RING_SIZE = 100000;
    static constexpr uint8_t LOG_FILL_BYTE = 15;
    static constexpr int32_t LOG_MAX_PARAM_BYTES = 4;
    // The smallest ring a store accepts: room for a few whole entries of the longest kind.
    static constexpr int32_t LOG_MIN_RING_SIZE = 16;

    // The program's store holds LOG_RING_SIZE ring bytes. Tools that go round the ring many
    // times per second (the fuzz targets) give a smaller one; every rule is the same.
    explicit CLogStore(int32_t nRingSize = LOG_RING_SIZE);
    virtual ~CLogStore();

    void InitLog();
    void SetSystemHandle(uint8_t nHandle, const std::string& strCode, const std::string& strDescription, int32_t nParamBytes);
    uint8_t GetLogHandle(const std::string& strCode, const std::string& strDescription, int32_t nParamBytes);
    void WriteLog(uint8_t nHandle);
    void WriteLog(uint8_t nHandle, int32_t nParam);
    void PutLogByte(uint8_t nByte);
    void ClearLog();
    std::string GetHandleCode(uint8_t nHandle) const;
    std::string GetHandleDescription(uint8_t nHandle) const;
    int32_t GetParamBytes(uint8_t nHandle) const;
    uint8_t GetShowFlag(uint8_t nHandle) const;
    uint8_t SetShowFlag(uint8_t nHandle, uint8_t nValue);   // returns the handle
    bool SaveLogfile();
    void LoadLogfile();
    void SetLogfilePath(const std::filesystem::path& path); // default "Tarvo.log" (current directory)
    // read access for the CLI reader and tests
    int32_t GetWritePos() const; int32_t GetOldestPos() const;
    int32_t GetRingSize() const { return m_nRingSize; }
    const uint8_t* GetLogBuffer() const;
    const std::string& GetSoftwareKennung() const; const std::string& GetLogTime() const;

    // InitLog without its last step: the ring filled, the default identification, the system
    // table and the default show flags. For readers that load a file of their own choosing.
    void SetLogDefaults();
    // True once SetLogDefaults (and so InitLog) has given the store its table and ring.
    bool IsLogSetUp() const { return m_bLogSetUp; }
    // Reads a log file (or the same bytes from a stream) into the store and says what it found.
    // LoadLogfile is ReadLogfile of the store's own file (SetLogfilePath) with the result ignored.
    LogLoadResult ReadLogfile(const std::filesystem::path& path);
    LogLoadResult ReadLog(std::istream& in);
    // The whole store in the file format, as SaveLogfile writes it (time text as it stands).
    std::string SerializeLog() const;
    // The parameter byte count a row gets for the count asked: 0..4, and always 1 for "Z1"
    // and "Z2" and 0 for the fill byte, whose entries the store writes itself.
    static int32_t SoundParamBytes(uint8_t nHandle, int32_t nParamBytes);

protected:
    int32_t m_nRingSize; std::string m_strLogTime; std::vector<uint8_t> m_LogBuffer; int32_t m_nWritePos = 0;
    int32_t m_nOldestPos = 0; std::string m_strSoftwareKennung; std::array<LogHandleEntry, 256> m_HandleTable;
    std::array<uint8_t, 256> m_ShowFlags{};

private:
    void AdvanceOldest();
    void MendLoadedState(LogLoadResult& result);
    std::filesystem::path m_LogfilePath{"Tarvo.log"};
    bool m_bLogSetUp = false;
};
