#include "log/LogReader.h"

#include "log/Cp1252.h"
#include "log/SystemHandles.h"

#include <algorithm>

namespace {

bool InRing(const CLogStore& store, int32_t nPos) { return nPos >= 0 && nPos < store.GetRingSize(); }

std::string Hex2(uint32_t n)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string{'0', 'x', kDigits[(n >> 4) & 0xF], kDigits[n & 0xF]};
}

}  // namespace

CLogReader::CLogReader(const CLogStore& store) : m_Store(store)
{
    const int32_t nWrite = store.GetWritePos();
    const int32_t nOldest = store.GetOldestPos();
    if (!InRing(store, nWrite) || !InRing(store, nOldest)) {
        m_bWhole = false;
        return;
    }
    m_nPos = nOldest;
    m_nRetained = (nWrite - nOldest + store.GetRingSize()) % store.GetRingSize();
}

bool CLogReader::Next(LogEntry& entry)
{
    if (m_nWalked >= m_nRetained)
        return false;
    const uint8_t* pRing = m_Store.GetLogBuffer();
    const int32_t nRing = m_Store.GetRingSize();
    const uint8_t nHandle = pRing[m_nPos];
    const int32_t nParamBytes = std::clamp<int32_t>(m_Store.GetParamBytes(nHandle), 0, CLogStore::LOG_MAX_PARAM_BYTES);
    if (m_nWalked + 1 + nParamBytes > m_nRetained) {
        // The last entry would reach past the write position: not a whole entry.
        m_bWhole = false;
        m_nWalked = m_nRetained;
        return false;
    }
    entry = LogEntry{};
    entry.nPos = m_nPos;
    entry.nHandle = nHandle;
    entry.nParamBytes = nParamBytes;
    for (int32_t i = 0; i < nParamBytes; ++i) {
        const uint8_t nByte = pRing[(m_nPos + 1 + i) % nRing];
        entry.aParam[static_cast<size_t>(i)] = nByte;
        entry.nValue |= static_cast<uint32_t>(nByte) << (8 * i);
    }
    m_nWalked += 1 + nParamBytes;
    m_nPos = (m_nPos + 1 + nParamBytes) % nRing;
    return true;
}

std::string FormatLogParameter(const CLogStore& store, const LogEntry& entry)
{
    if (entry.nParamBytes == 0)
        return {};
    switch (entry.nHandle) {
    case LOG_HANDLE_GS_NT:
        if (entry.nParamBytes == 2)
            return "sent " + Hex2(entry.aParam[0]) + ", received " + Hex2(entry.aParam[1]);
        break;
    case LOG_HANDLE_Z1:
    case LOG_HANDLE_Z2:
        if (entry.nParamBytes == 1)
            return "handle " + std::to_string(entry.aParam[0]) + " (" +
                   Cp1252ToUtf8(store.GetHandleCode(entry.aParam[0])) + ")";
        break;
    default:
        break;
    }
    return std::to_string(entry.nValue);
}

std::string FormatLogEntry(const CLogStore& store, const LogEntry& entry)
{
    return std::to_string(entry.nHandle) + '\t' + Cp1252ToUtf8(store.GetHandleCode(entry.nHandle)) + '\t' +
           Cp1252ToUtf8(store.GetHandleDescription(entry.nHandle)) + '\t' + FormatLogParameter(store, entry);
}
