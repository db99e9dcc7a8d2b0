// The log file: a fixed header, then typed chunks, each with a 5-byte head (length of the
// whole chunk, type). Integers little-endian, texts as a count and Windows-1252 bytes.
#include "log/CLogStore.h"
#include "log/LogTime.h"

#include "common/AtomicFile.h"

#include <algorithm>
#include <fstream>
#include <string_view>

namespace {

constexpr std::string_view kMagic = "Tarvo Logfile V-";
constexpr std::string_view kVersion = "1000";
constexpr size_t kLogTimeLength = 9;
constexpr uint32_t kChunkHeadSize = 5;
constexpr std::streamsize kSkipPortion = 32000;

enum : uint8_t {
    CHUNK_END = 0,
    CHUNK_KENNUNG = 1,
    CHUNK_WRITE_POS = 2,
    CHUNK_RING = 3,
    CHUNK_TABLE = 4,
    CHUNK_OLDEST_POS = 5,
    CHUNK_SHOW_FLAGS = 6,
    CHUNK_LOG_TIME = 7,
};

// ---- writing ----

void PutU8(std::string& out, uint8_t n) { out += static_cast<char>(n); }

void PutU16(std::string& out, uint16_t n)
{
    const char bytes[2] = {static_cast<char>(n), static_cast<char>(n >> 8)};
    out.append(bytes, sizeof bytes);
}

void PutU32(std::string& out, uint32_t n)
{
    const char bytes[4] = {static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                           static_cast<char>(n >> 24)};
    out.append(bytes, sizeof bytes);
}

void PutChunkHead(std::string& out, uint32_t nLength, uint8_t nType)
{
    PutU32(out, nLength);
    PutU8(out, nType);
}

// A count field holds at most 65535; longer texts are cut so the file stays readable.
std::string_view CountedText(const std::string& str)
{
    return std::string_view(str).substr(0, 0xFFFF);
}

void PutText(std::string& out, const std::string& str)
{
    const std::string_view text = CountedText(str);
    PutU16(out, static_cast<uint16_t>(text.size()));
    out.append(text);
}

// ---- reading ----

class CChunkReader {
public:
    explicit CChunkReader(std::istream& in) : m_In(in) {}

    // True when all n bytes arrived; a short read leaves what came in dest.
    bool Read(void* pDest, size_t n, size_t* pGot = nullptr)
    {
        m_In.read(static_cast<char*>(pDest), static_cast<std::streamsize>(n));
        const size_t nGot = static_cast<size_t>(m_In.gcount());
        if (pGot)
            *pGot = nGot;
        return nGot == n;
    }

    bool ReadU16(uint16_t& n)
    {
        uint8_t b[2];
        if (!Read(b, 2))
            return false;
        n = static_cast<uint16_t>(b[0] | (b[1] << 8));
        return true;
    }

    bool ReadU32(uint32_t& n)
    {
        uint8_t b[4];
        if (!Read(b, 4))
            return false;
        n = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
            (static_cast<uint32_t>(b[3]) << 24);
        return true;
    }

    bool ReadI32(int32_t& n)
    {
        uint32_t u = 0;
        if (!ReadU32(u))
            return false;
        n = static_cast<int32_t>(u);
        return true;
    }

    // The text is read into a buffer the reader keeps, so a whole table of texts allocates
    // once; str changes only when the whole text arrived.
    bool ReadText(std::string& str)
    {
        uint16_t nCount = 0;
        if (!ReadU16(nCount))
            return false;
        m_Text.resize(nCount);
        if (!Read(m_Text.data(), nCount))
            return false;
        str.assign(m_Text);
        return true;
    }

    // Passes over n bytes in portions; false when the data ends first.
    bool Skip(uint64_t n)
    {
        while (n > 0) {
            const std::streamsize nPortion = static_cast<std::streamsize>(std::min<uint64_t>(n, kSkipPortion));
            m_In.ignore(nPortion);
            if (m_In.gcount() != nPortion)
                return false;
            n -= static_cast<uint64_t>(nPortion);
        }
        return true;
    }

private:
    std::istream& m_In;
    std::string m_Text;
};

}  // namespace

bool LogLoadResult::IsUsable() const
{
    return bHeaderValid && nRingBytes >= 0 && nTableRows == 256 && bWritePos && bOldestPos && !bRingDiscarded;
}

std::string CLogStore::SerializeLog() const
{
    uint32_t nTableLength = kChunkHeadSize;
    for (const LogHandleEntry& row : m_HandleTable)
        nTableLength += static_cast<uint32_t>(CountedText(row.strCode).size() + CountedText(row.strDescription).size()) + 11;
    const std::string_view kennung = CountedText(m_strSoftwareKennung);

    std::string out;
    out.reserve(kMagic.size() + kVersion.size() + kennung.size() + 7 + (kChunkHeadSize + 4) * 2 + kChunkHeadSize +
                m_LogBuffer.size() + nTableLength + kChunkHeadSize + m_ShowFlags.size() + kChunkHeadSize +
                kLogTimeLength + kChunkHeadSize);
    out.append(kMagic);
    out.append(kVersion);

    PutChunkHead(out, static_cast<uint32_t>(kennung.size()) + 7, CHUNK_KENNUNG);
    PutText(out, m_strSoftwareKennung);

    PutChunkHead(out, kChunkHeadSize + 4, CHUNK_WRITE_POS);
    PutU32(out, static_cast<uint32_t>(m_nWritePos));

    PutChunkHead(out, kChunkHeadSize + static_cast<uint32_t>(m_nRingSize), CHUNK_RING);
    out.append(reinterpret_cast<const char*>(m_LogBuffer.data()), m_LogBuffer.size());

    PutChunkHead(out, nTableLength, CHUNK_TABLE);
    for (const LogHandleEntry& row : m_HandleTable) {
        PutU8(out, 1);
        PutText(out, row.strCode);
        PutU8(out, 2);
        PutText(out, row.strDescription);
        PutU8(out, 3);
        PutU32(out, static_cast<uint32_t>(row.nParamBytes));
    }

    PutChunkHead(out, kChunkHeadSize + 4, CHUNK_OLDEST_POS);
    PutU32(out, static_cast<uint32_t>(m_nOldestPos));

    PutChunkHead(out, kChunkHeadSize + 256, CHUNK_SHOW_FLAGS);
    out.append(reinterpret_cast<const char*>(m_ShowFlags.data()), m_ShowFlags.size());

    // Always nine characters, whatever the text holds.
    std::string strTime = m_strLogTime.substr(0, kLogTimeLength);
    strTime.resize(kLogTimeLength, ' ');
    PutChunkHead(out, kChunkHeadSize + kLogTimeLength, CHUNK_LOG_TIME);
    out.append(strTime);

    PutChunkHead(out, kChunkHeadSize, CHUNK_END);
    return out;
}

bool CLogStore::SaveLogfile()
{
    m_strLogTime = CurrentLogTime();
    const std::string bytes = SerializeLog();
    return WriteFileAtomically(m_LogfilePath, {bytes});
}

void CLogStore::LoadLogfile()
{
    ReadLogfile(m_LogfilePath);
}

LogLoadResult CLogStore::ReadLogfile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        return {};
    return ReadLog(in);
}

LogLoadResult CLogStore::ReadLog(std::istream& in)
{
    LogLoadResult result;
    result.bOpened = true;
    CChunkReader reader(in);

    char magic[16];
    if (!reader.Read(magic, sizeof magic)) {
        result.bCut = true;
        return result;
    }
    if (std::string_view(magic, sizeof magic) != kMagic)
        return result;
    result.bHeaderValid = true;

    char version[4];
    size_t nGot = 0;
    const bool bVersion = reader.Read(version, sizeof version, &nGot);
    result.strVersion.assign(version, nGot);
    result.bCut = !bVersion;

    while (!result.bCut) {
        uint32_t nLength = 0;
        uint8_t nType = 0;
        if (!reader.ReadU32(nLength) || !reader.Read(&nType, 1)) {
            result.bCut = true;
            break;
        }
        if (nLength < kChunkHeadSize) {
            // No chunk is shorter than its head; nothing after it can be trusted.
            result.bBadChunkLength = true;
            break;
        }
        const uint64_t nPayload = nLength - kChunkHeadSize;
        bool bWhole = true;
        switch (nType) {
        case CHUNK_KENNUNG:
            bWhole = reader.ReadText(m_strSoftwareKennung);
            result.bKennung = result.bKennung || bWhole;
            break;
        case CHUNK_WRITE_POS:
            bWhole = reader.ReadI32(m_nWritePos);
            result.bWritePos = result.bWritePos || bWhole;
            break;
        case CHUNK_RING: {
            // Bytes beyond the ring's room are passed over; ring bytes the chunk does not
            // reach keep their values.
            const size_t nTake = static_cast<size_t>(std::min<uint64_t>(nPayload, m_LogBuffer.size()));
            size_t nRead = 0;
            bWhole = reader.Read(m_LogBuffer.data(), nTake, &nRead);
            result.nRingBytes = static_cast<int32_t>(nRead);
            if (bWhole && nPayload > nTake) {
                result.nOversizeBytes += static_cast<int32_t>(std::min<uint64_t>(nPayload - nTake, INT32_MAX / 2));
                bWhole = reader.Skip(nPayload - nTake);
            }
            break;
        }
        case CHUNK_TABLE: {
            result.nTableRows = 0;
            LogHandleEntry row;  // one row's texts, read before the row is taken
            for (int nHandle = 0; nHandle < 256 && bWhole; ++nHandle) {
                uint8_t nTag = 0;
                int32_t nParamBytes = 0;
                bWhole = reader.Read(&nTag, 1) && reader.ReadText(row.strCode) && reader.Read(&nTag, 1) &&
                         reader.ReadText(row.strDescription) && reader.Read(&nTag, 1) && reader.ReadI32(nParamBytes);
                if (!bWhole)
                    break;  // a row cut in the middle is not taken
                if (SoundParamBytes(static_cast<uint8_t>(nHandle), nParamBytes) != nParamBytes)
                    ++result.nParamCountsMended;
                SetSystemHandle(static_cast<uint8_t>(nHandle), row.strCode, row.strDescription, nParamBytes);
                ++result.nTableRows;
            }
            break;
        }
        case CHUNK_OLDEST_POS:
            bWhole = reader.ReadI32(m_nOldestPos);
            result.bOldestPos = result.bOldestPos || bWhole;
            break;
        case CHUNK_SHOW_FLAGS: {
            const size_t nTake = static_cast<size_t>(std::min<uint64_t>(nPayload, m_ShowFlags.size()));
            size_t nRead = 0;
            bWhole = reader.Read(m_ShowFlags.data(), nTake, &nRead);
            result.nShowFlags = static_cast<int32_t>(nRead);
            if (bWhole && nPayload > nTake) {
                result.nOversizeBytes += static_cast<int32_t>(std::min<uint64_t>(nPayload - nTake, INT32_MAX / 2));
                bWhole = reader.Skip(nPayload - nTake);
            }
            break;
        }
        case CHUNK_LOG_TIME: {
            char time[kLogTimeLength];
            bWhole = reader.Read(time, sizeof time);
            if (bWhole)
                m_strLogTime.assign(time, sizeof time);
            result.bLogTime = result.bLogTime || bWhole;
            break;
        }
        default:
            bWhole = reader.Skip(nPayload);
            if (bWhole && nType == CHUNK_END)
                result.bEndChunk = true;
            break;
        }
        if (!bWhole)
            result.bCut = true;
        if (result.bEndChunk)
            break;
    }

    MendLoadedState(result);
    return result;
}

// Whatever the file held, the store must stay writable and its retained range readable:
// both positions inside the ring, and the bytes from the oldest position up to the write
// position a whole number of entries under the table now in force. Equal positions hold an
// empty log, and the next write takes the entries from there as the oldest ones one by one:
// then the whole ring from that position must go round in whole entries. Otherwise the ring
// is emptied as ClearLog does; table, show flags, identification and time text stay.
void CLogStore::MendLoadedState(LogLoadResult& result)
{
    const int32_t nRing = m_nRingSize;
    const auto inRing = [nRing](int32_t nPos) { return nPos >= 0 && nPos < nRing; };
    bool bUsable = inRing(m_nWritePos) && inRing(m_nOldestPos);
    if (bUsable) {
        int32_t nRetained = (m_nWritePos - m_nOldestPos + nRing) % nRing;
        if (nRetained == 0)
            nRetained = nRing;
        int32_t nWalked = 0;
        int32_t nPos = m_nOldestPos;
        while (nWalked < nRetained) {
            const int32_t nLength = 1 + m_HandleTable[m_LogBuffer[nPos]].nParamBytes;
            nWalked += nLength;
            nPos = (nPos + nLength) % nRing;
        }
        bUsable = nWalked == nRetained;
    }
    if (!bUsable) {
        ClearLog();
        result.bRingDiscarded = true;
    }
}
