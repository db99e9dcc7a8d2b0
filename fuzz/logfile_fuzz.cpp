// A log file of arbitrary bytes: loaded, read back as the CLI lists it, written to, and saved
// and loaded again. The store must stay inside its limits and its retained log whole.
//
// The stores here hold a ring of FUZZ_RING_SIZE bytes instead of the program's 100000: every
// walk, copy and save is a hundred times shorter, inputs can describe a whole ring, and a
// few hundred entries go round it. Ring chunks of the program's size are read as oversize.
#include "log/CLogStore.h"
#include "log/LogReader.h"
#include "log/SystemHandles.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <streambuf>
#include <istream>
#include <string>

namespace {

constexpr int32_t FUZZ_RING_SIZE = 1000;

void Require(bool bCondition)
{
    if (!bCondition)
        std::abort();
}

void RequireSound(const CLogStore& store)
{
    Require(store.GetWritePos() >= 0 && store.GetWritePos() < FUZZ_RING_SIZE);
    Require(store.GetOldestPos() >= 0 && store.GetOldestPos() < FUZZ_RING_SIZE);
    for (int i = 0; i < 256; ++i) {
        const int32_t nParamBytes = store.GetParamBytes(static_cast<uint8_t>(i));
        Require(nParamBytes >= 0 && nParamBytes <= CLogStore::LOG_MAX_PARAM_BYTES);
    }
}

// Walks the retained log; lists entries the way the CLI does, the first of each handle among
// the first 64 (a handle's texts are the same in every entry, and may be 65535 bytes long).
size_t ReadAsTheCliDoes(const CLogStore& store, bool& bWhole)
{
    CLogReader reader(store);
    LogEntry entry;
    std::bitset<256> listed;
    size_t nEntries = 0;
    size_t nText = 0;
    while (reader.Next(entry)) {
        ++nEntries;
        if (nEntries <= 64 && !listed[entry.nHandle] && store.GetShowFlag(entry.nHandle) != 0) {
            listed[entry.nHandle] = true;
            nText += FormatLogEntry(store, entry).size();
        }
    }
    bWhole = reader.IsWhole();
    return nEntries + (nText & 1);
}

// The defaults, built once; each input starts from a copy.
const CLogStore& Defaults()
{
    static const std::unique_ptr<CLogStore> s_pDefaults = [] {
        auto pStore = std::make_unique<CLogStore>(FUZZ_RING_SIZE);
        pStore->SetLogDefaults();
        return pStore;
    }();
    return *s_pDefaults;
}

// A store set back to the defaults. The stores live on between inputs so that assigning the
// defaults reuses their strings' memory instead of allocating 512 texts per input.
CLogStore& FreshStore(int nWhich)
{
    static std::unique_ptr<CLogStore> s_pStores[2] = {std::make_unique<CLogStore>(FUZZ_RING_SIZE),
                                                     std::make_unique<CLogStore>(FUZZ_RING_SIZE)};
    CLogStore& store = *s_pStores[nWhich];
    store = Defaults();
    return store;
}

// The input's bytes as a stream, without copying them.
class CInputBuffer : public std::streambuf {
public:
    CInputBuffer(const char* pData, size_t nSize)
    {
        char* p = const_cast<char*>(pData);
        setg(p, p, p + nSize);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    CLogStore* pStore = &FreshStore(0);
    CInputBuffer input(reinterpret_cast<const char*>(pData), nSize);
    std::istream in(&input);
    const LogLoadResult result = pStore->ReadLog(in);
    RequireSound(*pStore);

    bool bWhole = false;
    ReadAsTheCliDoes(*pStore, bWhole);
    Require(bWhole);

    // A few entries driven by the input's last bytes, and sometimes enough to go round the ring
    // three times.
    const size_t nDrive = nSize < 24 ? nSize : 24;
    for (size_t i = 0; i < nDrive; ++i) {
        const uint8_t nHandle = pData[nSize - 1 - i];
        if (i % 3 == 0)
            pStore->WriteLog(nHandle);
        else
            pStore->WriteLog(nHandle, static_cast<int32_t>(nHandle * 0x01010101u - 7u));
    }
    if (nSize > 0 && (pData[0] & 3) == 1)
        for (int i = 0; i < FUZZ_RING_SIZE; ++i)
            pStore->WriteLog(LOG_HANDLE_GS_NT, i);
    if (result.bHeaderValid || nDrive > 0) {
        RequireSound(*pStore);
        Require(nDrive == 0 || pStore->GetWritePos() != pStore->GetOldestPos());
        ReadAsTheCliDoes(*pStore, bWhole);
        Require(bWhole);
    }

    // What the store writes, it reads back to the same bytes.
    const std::string saved = pStore->SerializeLog();
    CLogStore* pReloaded = &FreshStore(1);
    CInputBuffer savedInput(saved.data(), saved.size());
    std::istream again(&savedInput);
    const LogLoadResult reloaded = pReloaded->ReadLog(again);
    Require(reloaded.IsUsable() && reloaded.bEndChunk && !reloaded.bCut);
    Require(pReloaded->SerializeLog() == saved);
    return 0;
}
