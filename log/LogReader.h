#pragma once
// Walks the retained log, oldest entry first, by the handle table in force. Safe on any
// state: positions outside the ring give no entries, and an entry that would run past the
// write position ends the walk (IsWhole() then says so).
#include "log/CLogStore.h"

#include <array>
#include <cstdint>
#include <string>

struct LogEntry {
    int32_t nPos = 0;          // ring index of the handle byte
    uint8_t nHandle = 0;
    int32_t nParamBytes = 0;   // 0..4
    std::array<uint8_t, 4> aParam{};
    uint32_t nValue = 0;       // the parameter bytes, least significant first
};

class CLogReader {
public:
    explicit CLogReader(const CLogStore& store);
    bool Next(LogEntry& entry);   // false once the retained log is done
    bool IsWhole() const { return m_bWhole; }

private:
    const CLogStore& m_Store;
    int32_t m_nPos = 0;
    int32_t m_nRetained = 0;
    int32_t m_nWalked = 0;
    bool m_bWhole = true;
};

// The parameter as a reader wants it (UTF-8): "sent 0x88, received 0x81" for a console byte
// exchange, the handle named for the two error entries, the number otherwise; empty when
// the entry has no parameter bytes.
std::string FormatLogParameter(const CLogStore& store, const LogEntry& entry);
// One line, tab-separated: handle number, code, description, parameter (UTF-8).
std::string FormatLogEntry(const CLogStore& store, const LogEntry& entry);
