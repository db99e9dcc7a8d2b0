#include "common/AtomicFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kMaxLinkHops = 40;  // as the kernel allows before it calls it a loop

// The file the bytes really belong to: links are followed one by one, so a link whose file does
// not exist yet makes that file. Empty for a loop or a link that cannot be read.
std::filesystem::path FollowLinks(std::filesystem::path path)
{
    for (int nHop = 0; nHop < kMaxLinkHops; ++nHop) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(path, ec))
            return path;
        const std::filesystem::path next = std::filesystem::read_symlink(path, ec);
        if (ec)
            return {};
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return {};
}

// The process's umask. The kernel reports it in /proc without changing it; elsewhere it can only
// be read by setting it, which is safe here because nothing else runs beside the caller.
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string strLine;
    while (std::getline(status, strLine))
        if (strLine.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::strtoul(strLine.c_str() + 6, nullptr, 8));
    const mode_t nMask = ::umask(0);
    ::umask(nMask);
    return nMask;
}

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

// Makes the rename itself durable. Some file systems refuse to sync a folder; the file is in
// place all the same, so that is not a failure.
void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool WriteFileAtomically(const std::filesystem::path& target, std::initializer_list<std::string_view> parts)
{
    const std::filesystem::path real = FollowLinks(target);
    if (real.empty() || !real.has_filename())
        return false;
    const std::filesystem::path folder = real.has_parent_path() ? real.parent_path() : std::filesystem::path(".");

    struct stat st {};
    const mode_t nMode = ::stat(real.c_str(), &st) == 0 ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());

    std::string strTemp = (folder / ("." + real.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(strTemp.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    // A file system without Unix permissions refuses this; the file then has its own, and the
    // contents matter more than the mode.
    (void)::fchmod(fd, nMode);

    bool bOk = true;
    for (const std::string_view part : parts)
        bOk = bOk && WriteAll(fd, part);
    bOk = bOk && ::fsync(fd) == 0;
    const bool bClosed = ::close(fd) == 0;
    bOk = bOk && bClosed && ::rename(strTemp.c_str(), real.c_str()) == 0;
    if (!bOk) {
        ::unlink(strTemp.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}
