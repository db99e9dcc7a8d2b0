#include "log/Cp1252.h"

#include <array>
#include <cstdint>

namespace {

// Code points of the bytes 0x80..0x9F; the rest of Windows-1252 is Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char32_t ByteToCodePoint(uint8_t nByte)
{
    if (nByte >= 0x80 && nByte <= 0x9F)
        return kHighControls[nByte - 0x80];
    return nByte;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int CodePointToByte(char32_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<int>(c);
    for (size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == c)
            return static_cast<int>(0x80 + i);
    return -1;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char ch : text)
        AppendUtf8(out, ByteToCodePoint(static_cast<uint8_t>(ch)));
    return out;
}

std::string Utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        size_t nLength = 0;
        char32_t c = 0;
        if (lead < 0x80) {
            nLength = 1;
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            nLength = 2;
            c = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            nLength = 3;
            c = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            nLength = 4;
            c = lead & 0x07;
        }
        bool bValid = nLength != 0 && i + nLength <= text.size();
        for (size_t k = 1; bValid && k < nLength; ++k) {
            const uint8_t cont = static_cast<uint8_t>(text[i + k]);
            if ((cont & 0xC0) != 0x80)
                bValid = false;
            else
                c = (c << 6) | (cont & 0x3F);
        }
        // Overlong forms do not count as the character they spell.
        static constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (bValid && c < kMinimum[nLength])
            bValid = false;
        if (!bValid) {
            out += '?';
            ++i;
            continue;
        }
        const int nByte = CodePointToByte(c);
        out += nByte < 0 ? '?' : static_cast<char>(nByte);
        i += nLength;
    }
    return out;
}
