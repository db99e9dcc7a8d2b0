#pragma once
// What the printer protocol engine needs of the link.

#include <cstdint>
#include <string>

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
