#include "streams/SerialProbe.h"

#include <chrono>

#include "streams/StreamDecoder.h"

namespace {

struct CCountPackets : IStreamPacketSink {
    void OnPacket(const CStreamPacket&) override { ++m_nPackets; }
    size_t m_nPackets = 0;
};

std::string ModeText(EDeviceMode eMode)
{
    switch (eMode) {
    case EDeviceMode::RawPackets: return "raw packets: every packet as hex bytes, the device's replies at the end";
    case EDeviceMode::ParseMode: return "parse mode: one JSON line a packet, the payload on the lines after it";
    case EDeviceMode::PrinterBridge:
        return "printer bridge: the device found a real printer on its link port and passes the bytes on";
    case EDeviceMode::Unknown: break;
    }
    return "unknown";
}

// The reason in a few words, for the verdict; the finding above it says the rest.
const char* ShortReason(ESerialFailure eFailure)
{
    switch (eFailure) {
    case ESerialFailure::NoDevice: return "no such device";
    case ESerialFailure::NoPermission: return "no permission (the dialout group)";
    case ESerialFailure::Busy: return "in use by another program";
    case ESerialFailure::NotATty: return "not a serial device";
    case ESerialFailure::BadRate: return "the rate cannot be set";
    case ESerialFailure::Gone: return "it went away";
    default: return "it cannot be opened";
    }
}

}  // namespace

CSerialProbeReport ProbeSerialDevice(const CStreamLinkTarget& target, const CSerialProbeSetup& setup)
{
    CSerialProbeReport report;
    const std::string strDevice = target.strPath + " at " + std::to_string(target.nBaud) + " baud 8N1";
    CSerialDevice device;
    if (!device.Open(target.strPath, target.nBaud, report.error)) {
        report.lines.push_back("! device: " + report.error.strMessage);
        report.eVerdict = ESerialProbeVerdict::Unreachable;
        report.strVerdict = "no printer device at " + target.strPath + ": " + ShortReason(report.error.eFailure);
        return report;
    }
    report.lines.push_back("device: " + strDevice);

    CCountPackets counter;
    CStreamDecoder decoder(counter, EStreamSource::Text);
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastByte = start;
    size_t nBytes = 0;
    bool bGone = false;
    uint8_t buffer[512];
    for (;;) {
        const Clock::time_point now = Clock::now();
        const auto Since = [&now](Clock::time_point t) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(now - t).count();
        };
        // A mode shown by the packets themselves, or named by the banner and followed by quiet.
        if (decoder.GetLayout() != EStreamLayout::Unknown || decoder.GetDeviceMode() == EDeviceMode::PrinterBridge ||
            (decoder.GetDeviceMode() != EDeviceMode::Unknown && Since(lastByte) >= setup.nQuietMs))
            break;
        if (Since(start) >= setup.nListenMs)
            break;
        size_t nRead = 0;
        const ESerialRead eRead = device.Read(buffer, sizeof buffer, 50, nRead, report.error);
        if (eRead == ESerialRead::Gone) {
            bGone = true;
            break;
        }
        if (nRead > 0) {
            decoder.Feed(buffer, nRead);
            nBytes += nRead;
            lastByte = Clock::now();
        }
    }
    const int64_t nListened =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();

    report.banner = decoder.GetBanner();
    report.eMode = decoder.GetDeviceMode();
    report.eLayout = decoder.GetLayout();
    if (report.banner.strFirmware.empty())
        report.lines.push_back(nBytes ? "firmware: no banner among " + std::to_string(nBytes) + " bytes"
                                      : "firmware: nothing heard in " + std::to_string(nListened) + " ms");
    else
        report.lines.push_back("firmware: " + report.banner.strFirmware +
                               (report.banner.strVersion.empty() ? "" : " (version " + report.banner.strVersion + ")"));
    if (report.eLayout != EStreamLayout::Unknown)
        report.lines.push_back("layout: " + std::string(StreamLayoutName(report.eLayout)) + ", " +
                               std::to_string(counter.m_nPackets) + " packet(s) heard");
    if (bGone) {
        report.lines.push_back("! device: " + report.error.strMessage);
        report.eVerdict = ESerialProbeVerdict::Unreachable;
        report.strVerdict = "the device went away while it was probed";
        return report;
    }
    switch (report.eMode) {
    case EDeviceMode::RawPackets:
    case EDeviceMode::ParseMode:
        report.lines.push_back("mode: " + ModeText(report.eMode));
        report.eVerdict = ESerialProbeVerdict::PictureSource;
        report.strVerdict = "a printer emulator in " + std::string(DeviceModeName(report.eMode)) + ": a reception can run";
        break;
    case EDeviceMode::PrinterBridge:
        report.lines.push_back("! mode: " + ModeText(report.eMode));
        report.eVerdict = ESerialProbeVerdict::PrinterBridge;
        report.strVerdict = "a printer bridge is no picture source: unplug the real printer from the device and "
                            "restart it";
        break;
    case EDeviceMode::Unknown:
        report.lines.push_back(std::string("! mode: ") +
                               (nBytes ? "none we know" : "the device said nothing; press its reset button and probe again"));
        report.eVerdict = ESerialProbeVerdict::Unrecognised;
        report.strVerdict = nBytes ? "the device names no printer emulator mode" : "no printer emulator answered";
        break;
    }
    return report;
}
