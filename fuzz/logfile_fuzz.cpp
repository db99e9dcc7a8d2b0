// A log file of arbitrary bytes: loaded, read back as the CLI lists it, written to, and saved
// and loaded again. The store must stay inside its limits and its retained log whole.
#include "log/CLogStore.h"
#include "log/LogReader.h"
#include "log/SystemHandles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace {

void Require(bool bCondition)
{
    if (!bCondition)
        std::abort();
}

void RequireSound(const CLogStore& store)
{
    Require(store.GetWritePos() >= 0 && store.GetWritePos() < CLogStore::LOG_RING_SIZE);
    Require(store.GetOldestPos() >= 0 && store.GetOldestPos() < CLogStore::LOG_RING_SIZE);
    for (int i = 0; i < 256; ++i) {
        const int32_t nParamBytes = store.GetParamBytes(static_cast<uint8_t>(i));
        Require(nParamBytes >= 0 && nParamBytes <= CLogStore::LOG_MAX_PARAM_BYTES);
    }
}

// Walks the retained log; lists the first entries the way the CLI does.
size_t ReadAsTheCliDoes(const CLogStore& store, bool& bWhole)
{
    CLogReader reader(store);
    LogEntry entry;
    size_t nEntries = 0;
    size_t nText = 0;
    while (reader.Next(entry)) {
        ++nEntries;
        if (nEntries <= 512 && store.GetShowFlag(entry.nHandle) != 0)
            nText += FormatLogEntry(store, entry).size();
    }
    bWhole = reader.IsWhole();
    return nEntries + (nText & 1);
}

// The defaults, built once; each input starts from a copy.
const CLogStore& Defaults()
{
    static const std::unique_ptr<CLogStore> s_pDefaults = [] {
        auto pStore = std::make_unique<CLogStore>();
        pStore->SetLogDefaults();
        return pStore;
    }();
    return *s_pDefaults;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string bytes(reinterpret_cast<const char*>(pData), nSize);
    auto pStore = std::make_unique<CLogStore>(Defaults());
    std::istringstream in(bytes);
    const LogLoadResult result = pStore->ReadLog(in);
    RequireSound(*pStore);

    bool bWhole = false;
    ReadAsTheCliDoes(*pStore, bWhole);
    Require(bWhole);

    // A few entries driven by the input's last bytes, and sometimes enough to wrap the ring.
    const size_t nDrive = nSize < 24 ? nSize : 24;
    for (size_t i = 0; i < nDrive; ++i) {
        const uint8_t nHandle = pData[nSize - 1 - i];
        if (i % 3 == 0)
            pStore->WriteLog(nHandle);
        else
            pStore->WriteLog(nHandle, static_cast<int32_t>(nHandle * 0x01010101u - 7u));
    }
    if (nSize > 0 && (pData[0] & 3) == 1)
        for (int i = 0; i < 40000; ++i)
            pStore->WriteLog(LOG_HANDLE_GS_NT, i);
    if (result.bHeaderValid || nDrive > 0) {
        RequireSound(*pStore);
        Require(nDrive == 0 || pStore->GetWritePos() != pStore->GetOldestPos());
        ReadAsTheCliDoes(*pStore, bWhole);
        Require(bWhole);
    }

    // What the store writes, it reads back to the same bytes.
    const std::string saved = pStore->SerializeLog();
    auto pReloaded = std::make_unique<CLogStore>(Defaults());
    std::istringstream again(saved);
    const LogLoadResult reloaded = pReloaded->ReadLog(again);
    Require(reloaded.IsUsable() && reloaded.bEndChunk && !reloaded.bCut);
    Require(pReloaded->SerializeLog() == saved);
    return 0;
}
