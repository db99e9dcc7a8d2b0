#include "streams/StreamText.h"

#include "common/HexDigit.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Separators between bytes: blanks, commas, and the braces and semicolon of a C array.
bool IsSeparator(char c)
{
    return IsBlank(c) || c == ',' || c == '{' || c == '}' || c == ';';
}

// One token as a byte: two hex digits, or 0x with one or two.
bool TokenByte(std::string_view token, uint8_t& nByte, bool& bPrefixed)
{
    bPrefixed = token.size() >= 3 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X');
    if (bPrefixed)
        token.remove_prefix(2);
    else if (token.size() != 2)
        return false;
    if (token.empty() || token.size() > 2)
        return false;
    int nValue = 0;
    for (const char c : token) {
        const int nDigit = HexDigit(c);
        if (nDigit < 0)
            return false;
        nValue = nValue * 16 + nDigit;
    }
    nByte = static_cast<uint8_t>(nValue);
    return true;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

void CTextLineSplitter::EndLine()
{
    // An editor may have put a byte order mark before the first line.
    if (m_bFirstLine && m_strRaw.rfind("\xEF\xBB\xBF", 0) == 0)
        m_strRaw.erase(0, 3);
    m_bFirstLine = false;
    CTextLine& line = m_Line;
    line.strCode.clear();
    line.strComment.clear();
    line.bComment = false;
    line.bBlockComment = false;
    const std::string& raw = m_strRaw;
    const size_t nSize = raw.size();
    size_t nCommentFrom = 0;
    bool bTakeComment = false;  // collecting the line's first comment
    const auto StartComment = [&](size_t nFrom, bool bBlock) {
        if (!line.bComment) {
            line.bComment = true;
            line.bBlockComment = bBlock;
            bTakeComment = true;
            nCommentFrom = nFrom;
        }
        line.strCode.push_back(' ');
    };
    const auto EndComment = [&](size_t nTo) {
        if (bTakeComment)
            line.strComment.assign(TrimBlanks(std::string_view(raw).substr(nCommentFrom, nTo - nCommentFrom)));
        bTakeComment = false;
    };
    if (m_bInBlock)
        StartComment(0, true);
    size_t n = 0;
    while (n < nSize) {
        if (m_bInBlock) {
            if (raw[n] == '*' && n + 1 < nSize && raw[n + 1] == '/') {
                EndComment(n);
                m_bInBlock = false;
                n += 2;
            } else {
                ++n;
            }
            continue;
        }
        const char c = raw[n];
        if (c == '/' && n + 1 < nSize && raw[n + 1] == '*') {
            StartComment(n + 2, true);
            m_bInBlock = true;
            n += 2;
            continue;
        }
        if (c == '#' || (c == '/' && n + 1 < nSize && raw[n + 1] == '/')) {
            StartComment(n + (c == '#' ? 1 : 2), false);
            EndComment(nSize);
            n = nSize;
            break;
        }
        line.strCode.push_back(c);
        ++n;
    }
    if (m_bInBlock)
        EndComment(nSize);
    m_strRaw.clear();
}

ELineKind ReadLineCode(std::string_view code, std::vector<uint8_t>& bytes, bool& bPrefixed)
{
    bytes.clear();
    bPrefixed = false;
    code = TrimBlanks(code);
    if (!code.empty() && (code.front() == '{' || (code.front() == '!' && code.size() > 1 && code[1] == '{')) &&
        code.find('}') != std::string_view::npos && code.find('"') != std::string_view::npos)
        return ELineKind::Json;
    size_t n = 0;
    while (n < code.size()) {
        while (n < code.size() && IsSeparator(code[n]))
            ++n;
        if (n == code.size())
            break;
        size_t nEnd = n;
        while (nEnd < code.size() && !IsSeparator(code[nEnd]))
            ++nEnd;
        uint8_t nByte = 0;
        bool bTokenPrefixed = false;
        if (!TokenByte(code.substr(n, nEnd - n), nByte, bTokenPrefixed))
            return bytes.empty() ? ELineKind::Text : ELineKind::HexThenJunk;
        bPrefixed = bPrefixed || bTokenPrefixed;
        bytes.push_back(nByte);
        n = nEnd;
    }
    return bytes.empty() ? ELineKind::Blank : ELineKind::Hex;
}
