#pragma once
// Helpers for the log suites: a store with its log file at a given path, and a way to take a
// log file apart into chunks and put it together again.
#include "log/CLogStore.h"
#include "log/LogReader.h"
#include "support/TestFiles.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

// A store set up as the receive dialog finds it, with its log file at the given path.
inline std::unique_ptr<CLogStore> MakeStore(const std::filesystem::path& logfile)
{
    auto pStore = std::make_unique<CLogStore>();
    pStore->SetLogfilePath(logfile);
    pStore->InitLog();
    return pStore;
}

struct Chunk {
    uint32_t nLength = 0;  // as stored in the head
    uint8_t nType = 0;
    std::string strPayload;
};

inline uint32_t GetU32(const std::string& bytes, size_t nAt)
{
    uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = (n << 8) | static_cast<uint8_t>(bytes[nAt + static_cast<size_t>(i)]);
    return n;
}

inline std::string U32Bytes(uint32_t n)
{
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((n >> (8 * i)) & 0xFF);
    return out;
}

// Splits a well-formed file (as SaveLogfile writes it) into its chunks after the 20-byte header.
inline std::vector<Chunk> SplitChunks(const std::string& bytes)
{
    std::vector<Chunk> chunks;
    size_t nAt = 20;
    while (nAt + 5 <= bytes.size()) {
        Chunk chunk;
        chunk.nLength = GetU32(bytes, nAt);
        chunk.nType = static_cast<uint8_t>(bytes[nAt + 4]);
        if (chunk.nLength < 5 || nAt + chunk.nLength > bytes.size())
            break;
        chunk.strPayload = bytes.substr(nAt + 5, chunk.nLength - 5);
        chunks.push_back(chunk);
        nAt += chunk.nLength;
    }
    return chunks;
}

inline std::string ChunkBytes(const Chunk& chunk)
{
    return U32Bytes(chunk.nLength) + static_cast<char>(chunk.nType) + chunk.strPayload;
}

inline Chunk MakeChunk(uint8_t nType, const std::string& strPayload)
{
    return Chunk{static_cast<uint32_t>(strPayload.size() + 5), nType, strPayload};
}

inline std::string JoinFile(const std::vector<Chunk>& chunks, const std::string& strHeader = "Tarvo Logfile V-1000")
{
    std::string out = strHeader;
    for (const Chunk& chunk : chunks)
        out += ChunkBytes(chunk);
    return out;
}

// The retained log as (handle, value) pairs, oldest first; bWhole says the walk ended on
// the write position.
struct Walk {
    std::vector<LogEntry> entries;
    bool bWhole = false;
    int32_t nBytes = 0;
};

inline Walk WalkLog(const CLogStore& store)
{
    Walk walk;
    CLogReader reader(store);
    LogEntry entry;
    while (reader.Next(entry)) {
        walk.entries.push_back(entry);
        walk.nBytes += 1 + entry.nParamBytes;
    }
    walk.bWhole = reader.IsWhole();
    return walk;
}
