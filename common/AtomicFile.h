#pragma once
// Replacing a file so that it is never seen half-written: the new contents go to a temporary
// file beside the target, reach the disk, and only then take the target's place. A crash or a
// full disk in the middle leaves the previous file whole.
#include <filesystem>
#include <initializer_list>
#include <string_view>

// Writes the parts, in order, as the new contents of target. A symbolic link is followed to the
// file it names (which is replaced; the link stays); the new file keeps the permissions of the
// file it replaces, or gets the usual ones for a new file (0666 less the umask). The file and
// its folder are synced before the call returns. False when anything fails; the target is then
// as it was and no temporary file is left behind.
bool WriteFileAtomically(const std::filesystem::path& target, std::initializer_list<std::string_view> parts);
