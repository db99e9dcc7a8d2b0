#include "console/SimOptions.h"

#include <charconv>
#include <cstdlib>
#include <string_view>

namespace {

bool ParseInt(std::string_view text, int64_t nMin, int64_t nMax, int64_t& nValue)
{
    int nBaseDigits = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        nBaseDigits = 16;
    }
    if (text.empty())
        return false;
    const char* pEnd = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), pEnd, nValue, nBaseDigits);
    return ec == std::errc() && ptr == pEnd && nValue >= nMin && nValue <= nMax;
}

bool ParseProbability(std::string_view text, double& dValue)
{
    if (text.empty())
        return false;
    const std::string strCopy(text);
    char* pEnd = nullptr;
    dValue = std::strtod(strCopy.c_str(), &pEnd);
    return pEnd == strCopy.c_str() + strCopy.size() && dValue >= 0.0 && dValue <= 1.0;
}

bool ParseFaults(std::string_view text, CSimOptions& options, std::string& strError)
{
    while (true) {
        const size_t nPlus = text.find('+');
        const std::string_view item = text.substr(0, nPlus);
        const size_t nColon = item.find(':');
        const std::string_view kind = item.substr(0, nColon);
        double dValue = 0.0;
        if (nColon == std::string_view::npos || !ParseProbability(item.substr(nColon + 1), dValue)) {
            strError = "sim option faults: '" + std::string(item) +
                       "' is not KIND:P with P a probability from 0 to 1";
            return false;
        }
        if (kind == "stall")
            options.dStall = dValue;
        else if (kind == "flip")
            options.dFlip = dValue;
        else if (kind == "cut")
            options.dCut = dValue;
        else {
            strError = "sim option faults: unknown fault '" + std::string(kind) +
                       "' (expected stall, flip or cut)";
            return false;
        }
        if (nPlus == std::string_view::npos)
            return true;
        text.remove_prefix(nPlus + 1);
    }
}

} // namespace

bool ParseSimOptions(const std::string& strText, CSimOptions& options, std::string& strError,
                     std::string* pCulprit)
{
    const auto Blame = [pCulprit](std::string_view part) {
        if (pCulprit)
            *pCulprit = std::string(part);
        return false;
    };
    std::string_view rest = strText;
    while (!rest.empty()) {
        const size_t nComma = rest.find(',');
        const std::string_view item = rest.substr(0, nComma);
        rest = nComma == std::string_view::npos ? std::string_view() : rest.substr(nComma + 1);
        if (item.empty())
            continue;
        const size_t nEq = item.find('=');
        const std::string_view name = item.substr(0, nEq);
        const std::string_view value = nEq == std::string_view::npos ? std::string_view() : item.substr(nEq + 1);
        const bool bHasValue = nEq != std::string_view::npos;
        auto bad = [&](const char* pszExpected) {
            strError = "sim option '" + std::string(item) + "': expected " + pszExpected;
            return Blame(item);
        };
        int64_t n = 0;
        if (name == "compress") {
            if (!bHasValue) {
                options.bCompress = true;
                continue;
            }
            options.compressed.clear();
            for (std::string_view list = value; ;) {
                const std::string_view one = list.substr(0, list.find('+'));
                if (one != "0" && one != "1")
                    return bad("compress or compress=1+0+... (one 0 or 1 per print)");
                options.compressed.push_back(one == "1");
                if (one.size() == list.size())
                    break;
                list.remove_prefix(one.size() + 1);
            }
        } else if (name == "palette") {
            options.palettes.clear();
            for (std::string_view list = value; ;) {
                const std::string_view one = list.substr(0, list.find('+'));
                int64_t nPalette = 0;
                if (one.empty() || one.size() > 2 || std::from_chars(one.data(), one.data() + one.size(), nPalette, 16).ptr != one.data() + one.size())
                    return bad("palette=HH[+HH...] (one hex byte per print)");
                options.palettes.push_back(static_cast<uint8_t>(nPalette));
                if (one.size() == list.size())
                    break;
                list.remove_prefix(one.size() + 1);
            }
        } else if (name == "break" || name == "ack") {
            if (bHasValue)
                return bad("no value");
            (name == "break" ? options.bBreak : options.bReplayAck) = true;
        } else if (name == "polls") {
            if (!ParseInt(value, 0, 10000, n))
                return bad("polls=N with N from 0 to 10000");
            options.nPolls = static_cast<int32_t>(n);
        } else if (name == "picture" || name == "replay") {
            if (value.empty())
                return bad("a file name");
            (name == "picture" ? options.strPicture : options.strReplay) = std::string(value);
        } else if (name == "version") {
            if (!ParseInt(value, 0, 4, n) || n == 1)
                return bad("version=0, 2, 3 or 4");
            options.nVersion = static_cast<int32_t>(n);
        } else if (name == "base") {
            if (!ParseInt(value, 0, 0xFFFF, n) || (n != 0x378 && n != 0x278 && n != 0x3BC))
                return bad("base=0x378, 0x278 or 0x3BC");
            options.nBase = static_cast<uint16_t>(n);
        } else if (name == "faults") {
            if (!ParseFaults(value, options, strError))
                return Blame(item);
        } else if (name == "seed") {
            if (!ParseInt(value, 0, INT64_MAX, n))
                return bad("seed=N with N a whole number");
            options.nSeed = static_cast<uint64_t>(n);
        } else if (name == "reprints") {
            if (!ParseInt(value, 0, 1000, n))
                return bad("reprints=N with N from 0 to 1000");
            options.nReprints = static_cast<int32_t>(n);
        } else if (name == "half") {
            if (!ParseInt(value, 1, 1000000, n))
                return bad("half=N with N from 1 to 1000000");
            options.nHalf = n;
        } else if (name == "gap") {
            if (!ParseInt(value, 1, 1000000, n))
                return bad("gap=N with N from 1 to 1000000");
            options.nGap = n;
        } else if (name == "pause") {
            if (!ParseInt(value, 1, 100000000, n))
                return bad("pause=N with N from 1 to 100000000");
            options.nPause = n;
        } else if (name == "start") {
            if (!ParseInt(value, 0, 1000000000, n))
                return bad("start=N with N from 0 to 1000000000");
            options.nStart = n;
        } else if (name == "delay") {
            if (!ParseInt(value, 1, 100000000000, n))
                return bad("delay=N with N from 1 to 100000000000");
            options.nReprintDelay = n;
        } else {
            strError = "unknown sim option '" + std::string(name) +
                       "' (expected picture, replay, compress, palette, polls, break, ack, version, base, "
                       "faults, seed, reprints, half, gap, pause, start or delay)";
            return Blame(name);
        }
    }
    if (!options.strPicture.empty() && !options.strReplay.empty()) {
        strError = "sim options picture and replay exclude each other";
        return Blame("replay=" + options.strReplay);
    }
    return true;
}
