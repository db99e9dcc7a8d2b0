#pragma once
// quillomat-cli probe --link serial:DEVICE: opens the device, listens to its banner for a short
// while and says which firmware and mode it runs (raw packets, parse mode, or a bridge to a real
// printer, which is no picture source), or why the device cannot be used.
#include <cstdint>
#include <string>
#include <vector>

#include "streams/LinkTargets.h"
#include "streams/SerialDevice.h"
#include "streams/StreamLayout.h"

enum class ESerialProbeVerdict : uint8_t {
    PictureSource,  // an emulator in raw packet or parse mode: a reception can run
    PrinterBridge,  // passes bytes on to a real printer: no pictures from it
    Unrecognised,   // it talked, or kept silent, but named no mode we know
    Unreachable,    // it could not be opened, or went away while we listened
};

struct CSerialProbeReport {
    std::vector<std::string> lines;  // one finding a line; a line that stands in the way starts with "! "
    ESerialProbeVerdict eVerdict = ESerialProbeVerdict::Unrecognised;
    std::string strVerdict;          // the verdict as a sentence (English)
    CStreamBanner banner;
    EDeviceMode eMode = EDeviceMode::Unknown;
    EStreamLayout eLayout = EStreamLayout::Unknown;
    CSerialError error;              // why it could not be used (with the German text for the UI)
};

struct CSerialProbeSetup {
    int32_t nListenMs = 4000;  // at most this long (a USB emulator restarts when opened: about 2 s)
    int32_t nQuietMs = 300;    // after the banner named a mode, this much silence ends the listening
};

CSerialProbeReport ProbeSerialDevice(const CStreamLinkTarget& target, const CSerialProbeSetup& setup = {});
