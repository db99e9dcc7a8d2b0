#pragma once
// What a device's text says about itself: the banner's firmware and version, the mode it runs
// in, the comments that mark a sniffer's log or the end of a session; and which layout a whole
// input has, told by its content, never by a file name.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "streams/StreamPacket.h"

enum class EDeviceMode : uint8_t {
    Unknown,
    RawPackets,     // writes every packet as hex bytes
    ParseMode,      // writes one JSON object a packet
    PrinterBridge,  // found a real printer on its link port and passes bytes on: no picture source
};

struct CStreamBanner {
    std::string strFirmware;  // the banner line that names the firmware, without its comment marks
    std::string strVersion;   // "3.2.1", "3", "2"; empty where the banner names none
    EDeviceMode eMode = EDeviceMode::Unknown;
    bool bSniffer = false;    // // GAME:, // DATE:, // NOTE: or /* Printer Status ... */ seen
};

enum class ECommentKind {
    Other,       // any other comment: notes, packet names, licence lines
    Banner,      // names the firmware (and its mode where it says so)
    Sniffer,     // a sniffer log's note
    SessionEnd,  // the device found the console silent: // Completed ..., // Timed Out, # Timed Out
    Bridge,      // the device says it passes bytes on to a real printer
};

// Reads one comment's text (without // # /* */) into the banner; says what kind it was.
ECommentKind ReadComment(std::string_view comment, bool bBlockComment, CStreamBanner& banner);

// The device mode as a short English text ("raw packets", "parse mode", "printer bridge").
const char* DeviceModeName(EDeviceMode eMode);

struct CStreamLayoutInfo {
    EStreamLayout eLayout = EStreamLayout::Unknown;
    CStreamBanner banner;
};

// The layout of a whole input (a file, or what a device sent so far), by its content.
CStreamLayoutInfo DetectStreamLayout(const uint8_t* pData, size_t nSize);
