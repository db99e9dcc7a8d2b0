#pragma once
// What the printer protocol engine needs of the link.

#include <cstdint>
#include <string>

// Status flag masks (GetModulStatus).
constexpr uint32_t MODUL_NO_MODULE = 0x01;   // the port probe found no module
constexpr uint32_t MODUL_BAD_VERSION = 0x02; // a clock read found a version other than 3 or 4
constexpr uint32_t MODUL_TIMEOUT = 0x04;     // the last exchange ran out of polls
constexpr uint32_t MODUL_SYNC_ERROR = 0x08;  // the last exchange stopped on lost synchronisation

// Marks of an exchange (GetLastMark): 0 clean, MARK_LONG_HIGH + i, MARK_SYNC_ERROR + i.
constexpr int32_t MARK_LONG_HIGH = 64;
constexpr int32_t MARK_SYNC_ERROR = 128;

class IPrinterLink {
public:
    virtual ~IPrinterLink() = default;
    // Exchanges one byte clocked by the console; nPollLimit status reads per clock half-period.
    virtual uint8_t GetSetByteExtern(uint8_t nSendByte, int32_t nPollLimit) = 0;
    virtual uint32_t GetModulStatus() const = 0;
    virtual int32_t GetLastMark() const = 0;
    virtual void ResetExchangeState() = 0;
    virtual uint8_t GetLogHandle(const std::string& strCode, const std::string& strDescription,
                                 int32_t nParamBytes) = 0;
};
