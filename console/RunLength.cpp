#include "console/RunLength.h"

#include <algorithm>

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

std::vector<uint8_t> ExpandRuns(std::span<const uint8_t> data)
{
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < data.size()) {
        const uint8_t nControl = data[i++];
        if (nControl < 0x80) {
            const size_t nCount = std::min<size_t>(nControl + 1u, data.size() - i);
            out.insert(out.end(), data.begin() + static_cast<ptrdiff_t>(i),
                       data.begin() + static_cast<ptrdiff_t>(i + nCount));
            i += nCount;
        } else if (i < data.size()) {
            out.insert(out.end(), (nControl & 0x7Fu) + 2u, data[i++]);
        }
    }
    return out;
}
