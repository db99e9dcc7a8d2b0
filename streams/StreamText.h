#pragma once
// The text side of the serial layouts: input cut into lines (LF or CRLF, whatever chunks it
// came in), comments taken out of each line, and what is left read as hex bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One line with its comments apart: // and # run to the end of the line, /* */ may span lines.
struct CTextLine {
    std::string strCode;     // the line without its comments (each comment a blank)
    std::string strComment;  // the text of the line's first comment, without its marks
    bool bComment = false;   // the line holds a comment
    bool bBlockComment = false;  // that comment was a /* */ one
};

class CTextLineSplitter {
public:
    // Calls fnLine(const CTextLine&) for every line that ends in the bytes given.
    template <class LineFn>
    void Feed(const uint8_t* pData, size_t nSize, LineFn&& fnLine)
    {
        for (size_t n = 0; n < nSize; ++n) {
            const char c = static_cast<char>(pData[n]);
            if (c == '\n' || m_strRaw.size() >= MAX_LINE) {
                EndLine();
                fnLine(m_Line);
                if (c == '\n')
                    continue;
            }
            m_strRaw.push_back(c);
        }
    }
    // The last line when the input did not end with a line break.
    template <class LineFn>
    void Finish(LineFn&& fnLine)
    {
        if (!m_strRaw.empty()) {
            EndLine();
            fnLine(m_Line);
        }
        m_bInBlock = false;
    }

private:
    // A line this long is taken in parts; no layout writes one.
    static constexpr size_t MAX_LINE = 1 << 18;
    void EndLine();

    std::string m_strRaw;
    CTextLine m_Line;
    bool m_bInBlock = false;
    bool m_bFirstLine = true;
};

enum class ELineKind {
    Blank,        // nothing but blanks and separators
    Hex,          // hex bytes only (88 or 0x88, commas allowed)
    HexThenJunk,  // hex bytes, then something that is not a byte: the bytes before it are given
    Json,         // {...} or !{...}
    Text,         // anything else: help output, "waterline: ...", a banner without comment marks
};

// Reads the code of a line; for Hex and HexThenJunk the bytes are appended to bytes (which is
// cleared first) and bPrefixed says whether they were written 0xNN.
ELineKind ReadLineCode(std::string_view code, std::vector<uint8_t>& bytes, bool& bPrefixed);

// The line with blanks at both ends taken off.
std::string_view TrimBlanks(std::string_view text);
