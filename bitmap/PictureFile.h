#pragma once
// Picture files of either kind: a file is read as PNG when it starts with the PNG signature,
// else as a Windows bitmap; a picture is written as PNG when the file's name ends in ".png"
// (in any case), else as a Windows bitmap.
#include <filesystem>

#include "common/Result.h"

class CDib;

// True for names ending in ".png", ".PNG", ".Png", ...
bool IsPngFileName(const std::filesystem::path& path);

// Loads the file; results as CDib::ReadFile or ReadPng. A failed load leaves the picture empty.
CResult ReadPictureFile(CDib& dib, const std::filesystem::path& path);

// Writes the file through the atomic writer, so a failed write leaves the old file whole.
// Results as CDib::WriteFile, or EncodePng's and WriteFailed with "Write error".
CResult WritePictureFile(const CDib& dib, const std::filesystem::path& path);
