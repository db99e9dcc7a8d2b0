#include "common/NumberedFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace {

// The number of a name prefix + digits + extension, or -1 for any other name.
int64_t NumberOf(std::string_view strName, std::string_view strPrefix, std::string_view strExtension)
{
    if (strName.size() <= strPrefix.size() + strExtension.size() || !strName.starts_with(strPrefix) ||
        !strName.ends_with(strExtension))
        return -1;
    const std::string_view strDigits =
        strName.substr(strPrefix.size(), strName.size() - strPrefix.size() - strExtension.size());
    if (strDigits.size() > 15)
        return -1;
    int64_t nNumber = 0;
    for (char ch : strDigits) {
        if (ch < '0' || ch > '9')
            return -1;
        nNumber = nNumber * 10 + (ch - '0');
    }
    return nNumber;
}

// The highest number tried before giving up: far more files than any folder holds.
constexpr int64_t MAX_TRIES = 100000;

}  // namespace

std::string NumberedFileName(std::string_view strPrefix, int64_t nNumber, std::string_view strExtension)
{
    std::string strDigits = std::to_string(nNumber);
    if (strDigits.size() < 4)
        strDigits.insert(0, 4 - strDigits.size(), '0');
    return std::string(strPrefix) + strDigits + std::string(strExtension);
}

int64_t NextFileNumber(const std::filesystem::path& folder, std::string_view strPrefix, std::string_view strExtension)
{
    int64_t nHighest = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        nHighest = std::max(nHighest, NumberOf(it->path().filename().string(), strPrefix, strExtension));
    return nHighest + 1;
}

CResult WriteNumberedFile(const std::filesystem::path& folder, std::string_view strPrefix,
                          std::string_view strExtension, std::string_view bytes, std::filesystem::path& written)
{
    const int64_t nFirst = NextFileNumber(folder, strPrefix, strExtension);
    for (int64_t n = nFirst; n < nFirst + MAX_TRIES; ++n) {
        const std::filesystem::path path = folder / NumberedFileName(strPrefix, n, strExtension);
        // O_EXCL: made here or not at all, whoever else writes into the folder.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return CResult::Failure(EErrorKind::WriteFailed, path.string() + ": " + std::strerror(errno));
        }
        size_t nDone = 0;
        int nErrno = 0;
        while (nDone < bytes.size()) {
            const ssize_t nWritten = ::write(fd, bytes.data() + nDone, bytes.size() - nDone);
            if (nWritten < 0 && errno == EINTR)
                continue;
            if (nWritten <= 0) {
                nErrno = nWritten < 0 ? errno : EIO;
                break;
            }
            nDone += size_t(nWritten);
        }
        if (nErrno == 0 && ::fsync(fd) != 0)
            nErrno = errno;
        if (::close(fd) != 0 && nErrno == 0)
            nErrno = errno;
        if (nErrno != 0) {
            ::unlink(path.c_str());
            return CResult::Failure(EErrorKind::WriteFailed, path.string() + ": " + std::strerror(nErrno));
        }
        written = path;
        return CResult::Success();
    }
    return CResult::Failure(EErrorKind::WriteFailed,
                            (folder / NumberedFileName(strPrefix, nFirst + MAX_TRIES, strExtension)).string() +
                                ": no free number");
}
