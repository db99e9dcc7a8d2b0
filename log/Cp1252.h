#pragma once
// Windows-1252 <-> UTF-8. The log's texts are single-byte Windows-1252 strings.
#include <string>
#include <string_view>

// Every byte maps to one character; the five bytes Windows-1252 leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the same number, as Windows does.
std::string Cp1252ToUtf8(std::string_view text);
// Characters without a Windows-1252 byte, and malformed UTF-8, become '?'.
std::string Utf8ToCp1252(std::string_view text);
