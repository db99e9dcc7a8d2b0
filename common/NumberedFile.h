#pragma once
// Files numbered one after another in a folder, such as "Bild-0001.png", "Bild-0002.png": a
// series of pictures saved without asking for a name each time. A file that is there already is
// never replaced, not even one that another program makes between the look and the write.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/Result.h"

// prefix + the number with at least four digits + extension: ("Bild-", 7, ".png") → "Bild-0007.png".
std::string NumberedFileName(std::string_view strPrefix, int64_t nNumber, std::string_view strExtension);

// The number after the highest one among the folder's files named that way (1 when there are
// none, or the folder cannot be read). Gaps are not filled: a series goes on after its end.
int64_t NextFileNumber(const std::filesystem::path& folder, std::string_view strPrefix, std::string_view strExtension);

// Writes the bytes as a new file with the next free number: the file is created only when no
// file of that name exists (else the next number is tried), and removed again when the bytes
// cannot be written. Success with the file's path in written; else the reason (the file and the
// system's words).
CResult WriteNumberedFile(const std::filesystem::path& folder, std::string_view strPrefix,
                          std::string_view strExtension, std::string_view bytes, std::filesystem::path& written);
