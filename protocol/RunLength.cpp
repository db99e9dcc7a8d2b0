#include "protocol/RunLength.h"

#include <climits>
#include <cstring>

std::vector<uint8_t> CompressRuns(std::span<const uint8_t> data)
{
    std::vector<uint8_t> out;
    out.reserve(data.size() + data.size() / 128 + 2);
    size_t nLiteralStart = 0;
    size_t nLiteralCount = 0;
    auto flush = [&] {
        if (nLiteralCount == 0)
            return;
        out.push_back(static_cast<uint8_t>(nLiteralCount - 1));
        out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(nLiteralStart),
                   data.begin() + static_cast<ptrdiff_t>(nLiteralStart + nLiteralCount));
        nLiteralCount = 0;
    };
    size_t i = 0;
    while (i < data.size()) {
        size_t nRun = 1;
        while (i + nRun < data.size() && nRun < 129 && data[i + nRun] == data[i])
            ++nRun;
        if (nRun >= 2) {
            flush();
            out.push_back(static_cast<uint8_t>(0x80 | (nRun - 2)));
            out.push_back(data[i]);
            i += nRun;
        } else {
            if (nLiteralCount == 0)
                nLiteralStart = i;
            ++nLiteralCount;
            ++i;
            if (nLiteralCount == 128)
                flush();
        }
    }
    flush();
    return out;
}

int32_t ExpandRuns(const uint8_t* pIn, int32_t nIn, uint8_t* pOut, int32_t nOutMax)
{
    // Whole runs at a time; what would pass nOutMax is dropped.
    int32_t nOut = 0;
    auto room = [&](int32_t nWanted) { return nWanted < nOutMax - nOut ? nWanted : nOutMax - nOut; };
    int32_t i = 0;
    while (i < nIn) {
        const uint8_t nControl = pIn[i++];
        if (nControl < 0x80) {
            const int32_t nLiteral = nControl + 1 < nIn - i ? nControl + 1 : nIn - i;
            const int32_t nCopy = room(nLiteral);
            if (pOut != nullptr && nCopy > 0)
                std::memcpy(pOut + nOut, pIn + i, static_cast<size_t>(nCopy));
            nOut += nCopy > 0 ? nCopy : 0;
            i += nLiteral;
        } else if (i < nIn) {
            const int32_t nFill = room((nControl & 0x7F) + 2);
            if (pOut != nullptr && nFill > 0)
                std::memset(pOut + nOut, pIn[i], static_cast<size_t>(nFill));
            nOut += nFill > 0 ? nFill : 0;
            ++i;
        }
    }
    return nOut;
}

std::vector<uint8_t> ExpandRuns(std::span<const uint8_t> data)
{
    const auto nIn = static_cast<int32_t>(data.size());
    std::vector<uint8_t> out(static_cast<size_t>(ExpandRuns(data.data(), nIn, nullptr, INT32_MAX)));
    ExpandRuns(data.data(), nIn, out.data(), static_cast<int32_t>(out.size()));
    return out;
}
