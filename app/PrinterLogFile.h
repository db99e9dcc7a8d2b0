#pragma once
// "Öffnen" of a printer device's log or dump: which files are pictures, and what a reception
// from a log tells the user when its pictures cannot be relied on.
#include <filesystem>
#include <string>

#include "reception/FileReception.h"

// True when the file starts like a picture the program reads (Windows bitmap, PNG, PCX).
bool IsPictureFileStart(const std::filesystem::path& path);

// The message for a reception from a log whose verdict is not exact (unchecked, damaged or
// incomplete), in the command line's words; empty for an exact one.
std::string DescribeLogReception(const CFileReception& reception);
