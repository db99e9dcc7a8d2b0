#pragma once
// A whole reception from a printer device's file (file:PATH) without a window: the session runs
// on a screen that answers every message at once, and the result is what the CLI and the
// desktop program show.
#include <cstdint>
#include <string>
#include <vector>

#include "reception/ReceiveSession.h"
#include "reception/ReceptionVerdict.h"

struct CFileReceptionOptions {
    bool bAllPrints = false;  // every print of the series (else the first whole print)
    bool bSplit = false;      // all prints: one picture per image
};

struct CFileReception {
    bool bRead = false;                  // the file could be opened
    std::string strError;                // why not (German)
    std::vector<CReceivedImage> images;  // the pictures, in order (none without rows)
    CReceptionVerdict verdict;           // the mode's
    bool bComplete = false;              // the session ended on a complete picture
    std::vector<int32_t> badPrints;      // prints (from 1) with bad blocks
    std::vector<std::string> messages;   // the messages the session showed, in order
};

CFileReception ReceiveFromFile(const std::string& strPath, const CFileReceptionOptions& options);
