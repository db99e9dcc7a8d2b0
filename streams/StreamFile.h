#pragma once
// file:PATH: a saved log or an RP2040 dump, read whole through the stream reader.
#include <string>

#include "streams/StreamDecoder.h"

struct CStreamFileResult {
    std::string strError;  // why the file could not be read (English); empty when it was
    CStreamLayoutInfo info;
    CStreamStats stats;
};

// Hands every packet of the file to sink, in order. False when the file cannot be read.
bool DecodeStreamFile(const std::string& strPath, IStreamPacketSink& sink, CStreamFileResult& result);
