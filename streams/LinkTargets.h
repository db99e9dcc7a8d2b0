#pragma once
// The link strings of the printer devices: serial:DEVICE[,baud=N] (a USB emulator, live) and
// file:PATH (a saved log or an RP2040 dump, read whole).
#include <cstdint>
#include <string>

constexpr uint32_t SERIAL_DEFAULT_BAUD = 115200;

enum class EStreamLinkKind : uint8_t { Serial, File };

struct CStreamLinkTarget {
    EStreamLinkKind eKind = EStreamLinkKind::Serial;
    std::string strPath;                  // the device or the file
    uint32_t nBaud = SERIAL_DEFAULT_BAUD; // serial only
};

// Whether a link string names one of these links at all (serial:... or file:...).
bool IsStreamLinkSpec(const std::string& strSpec);

// Reads serial:DEVICE[,baud=N] or file:PATH. False with the reason in strError (English, naming
// the bad part) when the string is wrong; the path is taken as it is (a file name may hold commas).
bool ParseStreamLink(const std::string& strSpec, CStreamLinkTarget& target, std::string& strError);

// Whether a serial device can be set to this rate (the common rates from 1200 to 4000000).
bool IsSupportedBaud(uint32_t nBaud);
