#include "log/CLogStore.h"

#include "log/Cp1252.h"
#include "log/LogTime.h"
#include "log/SystemHandles.h"

#include <algorithm>
#include <ctime>

namespace {

constexpr const char* kDefaultKennung = "StandartLogfile Bitte SetSoftwareKennung aufrufen";

int32_t ClampParamBytes(int32_t nParamBytes)
{
    return std::clamp<int32_t>(nParamBytes, 0, CLogStore::LOG_MAX_PARAM_BYTES);
}

}  // namespace

// "%H:%M:%S:" of the local time of day, nine characters.
std::string CurrentLogTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char szTime[16] = {};
    std::strftime(szTime, sizeof szTime, "%H:%M:%S:", &local);
    return szTime;
}

CLogStore::CLogStore(int32_t nRingSize)
    : m_nRingSize(std::max(nRingSize, LOG_MIN_RING_SIZE)), m_LogBuffer(static_cast<size_t>(m_nRingSize), 0)
{
    m_ShowFlags.fill(1);
    m_strLogTime = CurrentLogTime();
}

CLogStore::~CLogStore() = default;

void CLogStore::SetLogDefaults()
{
    std::fill(m_LogBuffer.begin(), m_LogBuffer.end(), LOG_FILL_BYTE);
    m_strSoftwareKennung = kDefaultKennung;

    const SystemHandleRow& noHandle = NoHandleRow();
    SetSystemHandle(noHandle.nHandle, Utf8ToCp1252(noHandle.pszCode), Utf8ToCp1252(noHandle.pszDescription),
                    noHandle.nParamBytes);
    const SystemHandleRow& freeRow = FreeHandleRow();
    const std::string strFreeCode = Utf8ToCp1252(freeRow.pszCode);
    const std::string strFreeDescription = Utf8ToCp1252(freeRow.pszDescription);
    for (int nHandle = 1; nHandle <= 255; ++nHandle)
        SetSystemHandle(static_cast<uint8_t>(nHandle), strFreeCode, strFreeDescription, freeRow.nParamBytes);
    for (const SystemHandleRow& row : SystemHandleRows())
        SetSystemHandle(row.nHandle, Utf8ToCp1252(row.pszCode), Utf8ToCp1252(row.pszDescription), row.nParamBytes);

    m_ShowFlags.fill(2);
    m_ShowFlags[LOG_HANDLE_FILL] = 0;
    for (uint8_t nHandle : {LOG_HANDLE_PORT_IOS, LOG_HANDLE_WRONGS})
        m_ShowFlags[nHandle] = 1;
    for (int nHandle = LOG_HANDLE_SP; nHandle <= LOG_HANDLE_GS_T; ++nHandle)
        m_ShowFlags[nHandle] = 1;
    m_ShowFlags[LOG_HANDLE_PLUS_L] = 2;
    m_ShowFlags[LOG_HANDLE_MINUS_L] = 2;
    m_ShowFlags[LOG_HANDLE_GS_NT] = 1;
    m_bLogSetUp = true;
}

void CLogStore::InitLog()
{
    SetLogDefaults();
    LoadLogfile();
}

void CLogStore::SetSystemHandle(uint8_t nHandle, const std::string& strCode, const std::string& strDescription,
                                int32_t nParamBytes)
{
    LogHandleEntry& row = m_HandleTable[nHandle];
    row.strCode = strCode;
    row.strDescription = strDescription;
    row.nParamBytes = SoundParamBytes(nHandle, nParamBytes);
}

int32_t CLogStore::SoundParamBytes(uint8_t nHandle, int32_t nParamBytes)
{
    // The store writes these entries itself and relies on their lengths: "Z1" and "Z2" carry
    // the handle byte, the fill byte is a whole entry on its own.
    if (nHandle == LOG_HANDLE_Z1 || nHandle == LOG_HANDLE_Z2)
        return 1;
    if (nHandle == LOG_HANDLE_FILL)
        return 0;
    // An entry never carries more than the four bytes of its 32-bit parameter, and never fewer
    // than none: the ring is read by these counts alone.
    return ClampParamBytes(nParamBytes);
}

uint8_t CLogStore::GetLogHandle(const std::string& strCode, const std::string& strDescription, int32_t nParamBytes)
{
    const LogHandleEntry& freeRow = m_HandleTable[LOG_FREE_PATTERN_HANDLE];
    uint8_t nResult = 0;
    for (int i = 1; i <= LOG_LAST_APP_HANDLE; ++i) {
        LogHandleEntry& row = m_HandleTable[i];
        if (row.strCode == strCode && row.strDescription == strDescription) {
            nResult = static_cast<uint8_t>(i);
            break;
        }
        if (row.strCode == freeRow.strCode && row.strDescription == freeRow.strDescription) {
            SetSystemHandle(static_cast<uint8_t>(i), strCode, strDescription, nParamBytes);
            nResult = static_cast<uint8_t>(i);
            break;
        }
    }
    if (nResult != 0)
        m_ShowFlags[nResult] = 1;
    return nResult;
}

void CLogStore::WriteLog(uint8_t nHandle)
{
    if (m_HandleTable[nHandle].nParamBytes == 0) {
        PutLogByte(nHandle);
        return;
    }
    // The handle expects a parameter that was not given.
    PutLogByte(LOG_HANDLE_Z1);
    PutLogByte(nHandle);
}

void CLogStore::WriteLog(uint8_t nHandle, int32_t nParam)
{
    const int32_t nParamBytes = m_HandleTable[nHandle].nParamBytes;
    if (nParamBytes <= 0) {
        // The handle takes no parameter; the value is dropped.
        PutLogByte(LOG_HANDLE_Z2);
        PutLogByte(nHandle);
        return;
    }
    PutLogByte(nHandle);
    for (int32_t i = 0; i < nParamBytes && i < LOG_MAX_PARAM_BYTES; ++i) {
        // Remainders truncate toward zero: -1 in two bytes is FF 00.
        PutLogByte(static_cast<uint8_t>(nParam % 256));
        nParam /= 256;
    }
}

void CLogStore::AdvanceOldest()
{
    // The entry starting at the oldest position is dropped whole.
    const int32_t nParamBytes = ClampParamBytes(m_HandleTable[m_LogBuffer[m_nOldestPos]].nParamBytes);
    m_nOldestPos += 1 + nParamBytes;
    if (m_nOldestPos > m_nRingSize - 1)
        m_nOldestPos -= m_nRingSize;
}

void CLogStore::PutLogByte(uint8_t nByte)
{
    if (m_nWritePos == m_nOldestPos)
        AdvanceOldest();
    m_LogBuffer[m_nWritePos] = nByte;
    if (++m_nWritePos > m_nRingSize - 1)
        m_nWritePos = 0;
    if (m_nWritePos == m_nOldestPos)
        AdvanceOldest();
}

void CLogStore::ClearLog()
{
    std::fill(m_LogBuffer.begin(), m_LogBuffer.end(), LOG_FILL_BYTE);
    m_nWritePos = 0;
    m_nOldestPos = 0;
}

std::string CLogStore::GetHandleCode(uint8_t nHandle) const { return m_HandleTable[nHandle].strCode; }
std::string CLogStore::GetHandleDescription(uint8_t nHandle) const { return m_HandleTable[nHandle].strDescription; }
int32_t CLogStore::GetParamBytes(uint8_t nHandle) const { return m_HandleTable[nHandle].nParamBytes; }
uint8_t CLogStore::GetShowFlag(uint8_t nHandle) const { return m_ShowFlags[nHandle]; }

uint8_t CLogStore::SetShowFlag(uint8_t nHandle, uint8_t nValue)
{
    m_ShowFlags[nHandle] = nValue;
    return nHandle;
}

void CLogStore::SetLogfilePath(const std::filesystem::path& path) { m_LogfilePath = path; }
int32_t CLogStore::GetWritePos() const { return m_nWritePos; }
int32_t CLogStore::GetOldestPos() const { return m_nOldestPos; }
const uint8_t* CLogStore::GetLogBuffer() const { return m_LogBuffer.data(); }
const std::string& CLogStore::GetSoftwareKennung() const { return m_strSoftwareKennung; }
const std::string& CLogStore::GetLogTime() const { return m_strLogTime; }
