#pragma once
// Pictures as PNG files, through libpng. A PNG is read as a 24-bit picture, whatever its own
// depth: palette and grey pixels become their colours, 16-bit samples are rounded to 8 bits,
// and transparent pixels are laid over white paper. Pictures are written as they are held:
// 1-, 4- and 8-bit pictures as palette images of the same depth, 24-bit pictures as RGB.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Result.h"

class CDib;

// The English messages of the PNG reader and writer, carried by their results. The reader adds
// what was wrong after a colon.
inline constexpr const char* PNG_MSG_INVALID = "Invalid PNG file";
inline constexpr const char* PNG_MSG_TRUNCATED = "Invalid PNG file: the file ends early";
inline constexpr const char* PNG_MSG_TOO_BIG = "PNG picture too big";
inline constexpr const char* PNG_MSG_DEPTH = "PNG files can only be written from 1, 4, 8 and 24 bits per pixel";
inline constexpr const char* PNG_MSG_EMPTY = "A picture without pixels cannot be written as PNG";

// Tools that feed arbitrary bytes to the reader (the PNG fuzz target) turn the chunks' check
// sums off, so that changed bytes reach the decoder instead of failing the first check sum.
// On by default; returns the previous setting.
bool SetPngChecksums(bool bCheck);

// The eight bytes every PNG file starts with.
bool IsPngSignature(const uint8_t* pData, size_t nSize);

// Loads a PNG file held in memory. A file that is cut short (Truncated, PNG_MSG_TRUNCATED),
// fails a check sum or contradicts itself (Invalid, PNG_MSG_INVALID and what libpng said) or
// makes a picture beyond DIB_MAX_DIMENSION or DibImageLimit() (TooBig, PNG_MSG_TOO_BIG and the
// size) leaves the picture empty.
CResult ReadPng(CDib& dib, const uint8_t* pData, size_t nSize);

// The picture as PNG file bytes. Fails (out unchanged) for a picture without pixels
// (EmptyPicture, PNG_MSG_EMPTY), a depth PNG cannot hold as it is (UnsupportedDepth,
// PNG_MSG_DEPTH) or a failure of libpng or of the memory (WriteFailed, "Write error").
CResult EncodePng(const CDib& dib, std::string& out);
