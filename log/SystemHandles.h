#pragma once
// The fixed rows of the handle table: the error entries, the fill byte, the entries of the
// link-module layer and the rows reserved for later system entries.
#include <cstdint>
#include <span>

enum : uint8_t {
    LOG_HANDLE_F0 = 0,       // answer of GetLogHandle when no row is free
    LOG_HANDLE_Z1 = 1,       // WriteLog without the parameter the handle expects
    LOG_HANDLE_Z2 = 2,       // WriteLog with a parameter the handle does not take
    LOG_HANDLE_F_SYNK = 3,
    LOG_HANDLE_PORT_IOS = 4,
    LOG_HANDLE_WRONGS = 5,
    LOG_HANDLE_FILL = 15,    // padding of the ring
    LOG_HANDLE_SP = 16,      // process priority class raised
    LOG_HANDLE_RP = 17,      // process priority class reset
    LOG_HANDLE_MS = 18,      // module speed measured
    LOG_HANDLE_MV = 19,      // module version found
    LOG_HANDLE_MP = 20,      // module port found
    LOG_HANDLE_CC = 21,      // link-module object created
    LOG_HANDLE_GS_T = 22,
    LOG_HANDLE_PLUS_L = 23,
    LOG_HANDLE_MINUS_L = 24,
    LOG_HANDLE_GS_NT = 25,   // one byte exchange clocked by the console: sent, received
    LOG_LAST_SYSTEM_HANDLE = 47,
    LOG_FIRST_APP_HANDLE = 48,
    LOG_LAST_APP_HANDLE = 249,
    LOG_FREE_PATTERN_HANDLE = 255,  // always the free row; GetLogHandle compares against it
};

// One row as the program's developer wrote it: texts in UTF-8 here, stored in the table
// as Windows-1252 bytes.
struct SystemHandleRow {
    uint8_t nHandle;
    const char* pszCode;
    const char* pszDescription;
    int32_t nParamBytes;
};

// Row 0, the free row installed in 1..255, and rows 1..47 in rising order.
const SystemHandleRow& NoHandleRow();
const SystemHandleRow& FreeHandleRow();
std::span<const SystemHandleRow> SystemHandleRows();
