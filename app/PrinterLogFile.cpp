#include "app/PrinterLogFile.h"

#include <array>
#include <cstring>
#include <fstream>

#include "reception/ReceptionVerdict.h"

bool IsPictureFileStart(const std::filesystem::path& path)
{
    std::array<char, 8> start{};
    std::ifstream in(path, std::ios::binary);
    in.read(start.data(), start.size());
    const std::streamsize nRead = in.gcount();
    static const char PNG_SIGNATURE[8] = {'\x89', 'P', 'N', 'G', '\r', '\n', '\x1a', '\n'};
    if (nRead >= 8 && std::memcmp(start.data(), PNG_SIGNATURE, 8) == 0)
        return true;
    if (nRead >= 2 && start[0] == 'B' && start[1] == 'M')
        return true;
    // ZSoft PCX: the maker byte 0x0A, a known version, run-length encoding.
    return nRead >= 3 && start[0] == '\x0a' && static_cast<unsigned char>(start[1]) <= 5 && start[2] == 1;
}

std::string DescribeLogReception(const CFileReception& reception)
{
    const CReceptionVerdict& verdict = reception.verdict;
    if (reception.bComplete && verdict.IsExact())
        return {};
    std::string str = reception.bComplete ? "Die Bilder aus dem Protokoll sind vollständig, aber nicht alle Blöcke sind "
                                            "sicher.\n"
                                          : "Die Bilder aus dem Protokoll sind unvollständig.\n";
    // The words the command line prints for the same verdict.
    const CVerdictWords words = DescribeVerdict(verdict);
    str += words.strBlocks;
    for (const std::string* pLine : {&words.strSumOnly, &words.strUnchecked, &words.strNotWhole})
        if (!pLine->empty())
            str += "\n" + *pLine;
    if (!reception.badPrints.empty())
        str += "\n" + BadPrintsMessage(reception.badPrints);
    return str;
}
