#pragma once
// The program's string table: every text it holds by id, UTF-8. A command's prompt is the text
// before "\n" (shown in the status bar while the item is highlighted); the text after it is the
// toolbar tooltip.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The string with this id, or an empty view when the table has none.
std::string_view LoadResString(uint32_t nId);
// True when the table holds the id.
bool HasResString(uint32_t nId);
// The status-bar prompt of a command: its string up to the first "\n".
std::string_view CommandPrompt(uint32_t nId);
// The tooltip of a command: its string after the first "\n" (empty without one).
std::string_view CommandTip(uint32_t nId);
// Every id in the table, ascending.
std::vector<uint32_t> ResStringIds();

// The document template's string has seven fields separated by "\n".
enum class DocStringIndex { WindowTitle, DocName, FileNewName, FilterName, FilterExt, RegFileTypeId, RegFileTypeName };
std::string DocStringField(std::string_view strDocString, DocStringIndex index);

// Splits a filter list of the form "caption|pattern|caption|pattern|...|" into its
// (caption, pattern) pairs; a trailing caption without a pattern is dropped.
std::vector<std::pair<std::string, std::string>> SplitFilterList(std::string_view strFilters);
