#pragma once
// Where a reception's picture goes. The file named is checked before anything is received, and
// a reception that did not complete never takes the place of a file that is already there: it
// goes beside it, "keep.bmp" becoming "keep.partial.bmp".
#include <cstdint>
#include <filesystem>
#include <string>

class CDib;

// Why the picture could not be written to path, in German (the folder is missing, is no folder,
// cannot be written or is read-only; the file is a folder or write-protected); empty when it can.
std::string CheckOutputPath(const std::filesystem::path& path);

// The name beside path for a picture that did not complete: the stem gets ".partial".
std::filesystem::path PartialPath(const std::filesystem::path& path);

// The file a reception writes: path itself, unless the reception did not complete and path
// already holds a file, which then stays as it is.
std::filesystem::path ChooseOutputPath(const std::filesystem::path& path, bool bComplete);

// Writes the picture, enlarged nScale times, to path; false with the reason in strWhy (German).
bool WriteOutput(const CDib& dib, const std::filesystem::path& path, int32_t nScale, std::string& strWhy);

// The system's reason for an errno value, in German for the usual ones.
std::string WriteFailureReason(int nErrno);
