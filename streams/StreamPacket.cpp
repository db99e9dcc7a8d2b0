#include "streams/StreamPacket.h"

void CStreamPacket::Reset(EStreamLayout eLayout)
{
    m_nCommand = 0;
    m_nFlag = 0;
    m_nLengthField = 0;
    m_Payload.clear();
    m_bSumCarried = false;
    m_nSum = 0;
    m_bSumOk = false;
    m_bRepliesCarried = false;
    m_Replies = {};
    m_bHasPrintArgs = false;
    m_PrintArgs = {};
    m_eEnd = EPacketEnd::Whole;
    m_eLayout = eLayout;
}

void CStreamPacket::TakePrintArgs()
{
    m_bHasPrintArgs = m_nCommand == PRINTER_CMD_PRINT && m_Payload.size() == STREAM_PRINT_ARGS;
    if (m_bHasPrintArgs)
        for (size_t n = 0; n < STREAM_PRINT_ARGS; ++n)
            m_PrintArgs[n] = m_Payload[n];
}

const char* StreamLayoutName(EStreamLayout eLayout)
{
    switch (eLayout) {
    case EStreamLayout::RawPackets: return "raw packets";
    case EStreamLayout::SnifferLog: return "sniffer log";
    case EStreamLayout::CArray: return "C array";
    case EStreamLayout::PlainCapture: return "plain capture";
    case EStreamLayout::ParseModeV2: return "parse mode V2";
    case EStreamLayout::ParseModeV3: return "parse mode V3";
    case EStreamLayout::PicoDump: return "RP2040 dump";
    case EStreamLayout::Unknown: break;
    }
    return "unknown";
}

std::string StreamCommandName(uint8_t nCommand)
{
    switch (nCommand) {
    case PRINTER_CMD_INIT: return "INIT";
    case PRINTER_CMD_PRINT: return "PRINT";
    case PRINTER_CMD_DATA: return "DATA";
    case PRINTER_CMD_STATUS: return "STATUS";
    case PRINTER_CMD_BREAK: return "BREAK";
    case STREAM_CMD_TRANSFER: return "TRANSFER";
    default: break;
    }
    static const char HEX[] = "0123456789ABCDEF";
    return std::string("0x") + HEX[nCommand >> 4] + HEX[nCommand & 15];
}
