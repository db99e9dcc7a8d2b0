// quillomat-cli log: a log file as text, oldest retained entry first.
#include "cli/Commands.h"

#include "log/CLogStore.h"
#include "log/Cp1252.h"
#include "log/LogReader.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <system_error>

namespace {

int Fail(const std::string& strText)
{
    std::fprintf(stderr, "quillomat-cli: %s\n", strText.c_str());
    return CLI_FAILED;
}

void Warn(const std::string& strText)
{
    std::fprintf(stderr, "quillomat-cli: warning: %s\n", strText.c_str());
}

// Why a loaded file cannot be listed, or empty when it can.
std::string Unusable(const LogLoadResult& result)
{
    if (!result.bHeaderValid)
        return "is not a Tarvo log file (it does not begin with \"Tarvo Logfile V-\")";
    if (result.nRingBytes < 0)
        return "holds no ring of entries";
    if (result.nTableRows < 256)
        return "holds no complete handle table (" + std::to_string(result.nTableRows) + " of 256 rows)";
    if (!result.bWritePos || !result.bOldestPos)
        return "lacks the write or the oldest position of its ring";
    if (result.bRingDiscarded)
        return "has ring positions that do not fit its entries";
    return {};
}

void WarnAboutDamage(const std::string& strFile, const LogLoadResult& result)
{
    if (result.bBadChunkLength)
        Warn(strFile + ": a chunk shorter than its head; what follows it was not read");
    else if (result.bCut)
        Warn(strFile + ": the file ends inside a chunk");
    else if (!result.bEndChunk)
        Warn(strFile + ": no end chunk");
    if (result.nOversizeBytes > 0)
        Warn(strFile + ": " + std::to_string(result.nOversizeBytes) + " bytes beyond the ring or the show flags skipped");
    if (result.nParamCountsMended > 0)
        Warn(strFile + ": " + std::to_string(result.nParamCountsMended) +
             " handles with a parameter byte count outside 0..4");
    if (result.nRingBytes >= 0 && result.nRingBytes < CLogStore::LOG_RING_SIZE)
        Warn(strFile + ": the ring chunk holds only " + std::to_string(result.nRingBytes) + " bytes");
}

int RunLog(const std::vector<std::string>& args)
{
    bool bAll = false;
    std::string strFile;
    for (const std::string& arg : args) {
        if (arg == "--all")
            bAll = true;
        else if (arg.size() > 1 && arg[0] == '-')
            return CliUsageError("log: unknown option '" + arg + "'");
        else if (!strFile.empty())
            return CliUsageError("log: only one FILE may be given");
        else
            strFile = arg;
    }
    if (strFile.empty())
        return CliUsageError("log: FILE is missing (usage: log [--all] FILE)");

    std::error_code error;
    if (!std::filesystem::exists(strFile, error))
        return Fail(strFile + ": no such file");
    if (std::filesystem::is_directory(strFile, error))
        return Fail(strFile + ": is a directory");

    // The store is large; keep it off the stack.
    auto pStore = std::make_unique<CLogStore>();
    pStore->SetLogDefaults();
    const LogLoadResult result = pStore->ReadLogfile(strFile);
    if (!result.bOpened)
        return Fail(strFile + ": cannot be opened");
    if (const std::string strWhy = Unusable(result); !strWhy.empty())
        return Fail(strFile + ": " + strWhy);
    WarnAboutDamage(strFile, result);

    const CLogStore& store = *pStore;
    std::string strTime = store.GetLogTime();
    if (!strTime.empty() && strTime.back() == ':')
        strTime.pop_back();
    // What the file does not hold is not made up from the store's defaults.
    std::printf("identification: %s\n",
                result.bKennung ? Cp1252ToUtf8(store.GetSoftwareKennung()).c_str() : "(not in the file)");
    std::printf("saved at: %s\n", result.bLogTime ? Cp1252ToUtf8(strTime).c_str() : "(not in the file)");
    std::printf("file version: %s\n", Cp1252ToUtf8(result.strVersion).c_str());

    std::map<uint8_t, int32_t> counts;
    int32_t nRetained = 0;
    int32_t nListed = 0;
    CLogReader reader(store);
    LogEntry entry;
    while (reader.Next(entry)) {
        ++nRetained;
        ++counts[entry.nHandle];
        if (!bAll && store.GetShowFlag(entry.nHandle) == 0)
            continue;
        ++nListed;
        std::printf("%s\n", FormatLogEntry(store, entry).c_str());
    }
    if (!reader.IsWhole())
        Warn(strFile + ": the retained log does not end on a whole entry");

    std::printf("entries: %d retained, %d listed", nRetained, nListed);
    if (nListed < nRetained)
        std::printf(", %d hidden by show flag 0 (--all lists them)", nRetained - nListed);
    std::printf("\ncount by handle:\n");
    for (const auto& [nHandle, nCount] : counts)
        std::printf("%d\t%s\t%d\n", nHandle, Cp1252ToUtf8(store.GetHandleCode(nHandle)).c_str(), nCount);
    return CLI_OK;
}

const CCommandRegistrar registrar({
    "log",
    "log [--all] FILE",
    "a Tarvo log file as text: identification, time of the save, retained entries oldest first",
    RunLog,
    "\n--all  lists also the entries of handles whose show flag is 0 (default: only those shown)\n"
    "FILE   a log file the programs write (Tarvo.log)\n",
});

}  // namespace
