#include "streams/StreamLayout.h"

#include <cctype>

#include "streams/StreamDecoder.h"

namespace {

bool ContainsNoCase(std::string_view text, std::string_view part)
{
    if (part.size() > text.size())
        return false;
    for (size_t n = 0; n + part.size() <= text.size(); ++n) {
        size_t k = 0;
        while (k < part.size() && std::tolower(static_cast<unsigned char>(text[n + k])) ==
                                      std::tolower(static_cast<unsigned char>(part[k])))
            ++k;
        if (k == part.size())
            return true;
    }
    return false;
}

bool StartsWith(std::string_view text, std::string_view part)
{
    return text.substr(0, part.size()) == part;
}

// "V3.2.1" -> "3.2.1": the first V followed by a digit, as a word of its own.
std::string VersionOf(std::string_view text)
{
    for (size_t n = 0; n + 1 < text.size(); ++n) {
        const bool bWordStart = n == 0 || text[n - 1] == ' ' || text[n - 1] == '(';
        if (!bWordStart || (text[n] != 'V' && text[n] != 'v') || !std::isdigit(static_cast<unsigned char>(text[n + 1])))
            continue;
        size_t nEnd = n + 1;
        while (nEnd < text.size() && (std::isdigit(static_cast<unsigned char>(text[nEnd])) || text[nEnd] == '.'))
            ++nEnd;
        while (nEnd > n + 1 && text[nEnd - 1] == '.')
            --nEnd;
        return std::string(text.substr(n + 1, nEnd - n - 1));
    }
    return {};
}

}  // namespace

ECommentKind ReadComment(std::string_view comment, bool bBlockComment, CStreamBanner& banner)
{
    if (bBlockComment) {
        if (StartsWith(comment, "Printer Status")) {
            banner.bSniffer = true;
            return ECommentKind::Sniffer;
        }
        return ECommentKind::Other;
    }
    if (StartsWith(comment, "GAME:") || StartsWith(comment, "DATE:") || StartsWith(comment, "NOTE:")) {
        banner.bSniffer = true;
        return ECommentKind::Sniffer;
    }
    if (ContainsNoCase(comment, "timed out") || StartsWith(comment, "Completed"))
        return ECommentKind::SessionEnd;
    if (ContainsNoCase(comment, "bridge") || ContainsNoCase(comment, "passthrough") ||
        ContainsNoCase(comment, "pass-through") || ContainsNoCase(comment, "real printer")) {
        banner.eMode = EDeviceMode::PrinterBridge;
        return ECommentKind::Bridge;
    }
    if (ContainsNoCase(comment, "gameboy printer") || ContainsNoCase(comment, "game boy printer")) {
        if (banner.strFirmware.empty()) {
            banner.strFirmware = std::string(comment);
            banner.strVersion = VersionOf(comment);
        }
        if (banner.eMode != EDeviceMode::PrinterBridge) {
            if (ContainsNoCase(comment, "packet capture"))
                banner.eMode = EDeviceMode::RawPackets;
            else if (ContainsNoCase(comment, "emulator"))
                banner.eMode = EDeviceMode::ParseMode;
        }
        return ECommentKind::Banner;
    }
    return ECommentKind::Other;
}

const char* DeviceModeName(EDeviceMode eMode)
{
    switch (eMode) {
    case EDeviceMode::RawPackets: return "raw packets";
    case EDeviceMode::ParseMode: return "parse mode";
    case EDeviceMode::PrinterBridge: return "printer bridge";
    case EDeviceMode::Unknown: break;
    }
    return "unknown";
}

CStreamLayoutInfo DetectStreamLayout(const uint8_t* pData, size_t nSize)
{
    struct CIgnore : IStreamPacketSink {
        void OnPacket(const CStreamPacket&) override {}
    } ignore;
    CStreamDecoder decoder(ignore);
    decoder.Feed(pData, nSize);
    decoder.Finish();
    return {decoder.GetLayout(), decoder.GetBanner()};
}
