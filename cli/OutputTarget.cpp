#include "cli/OutputTarget.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

#include "cli/PictureCommandSupport.h"
#include "common/MessageSink.h"

namespace fs = std::filesystem;

std::string WriteFailureReason(int nErrno)
{
    switch (nErrno) {
    case ENOENT: return "Datei oder Ordner nicht vorhanden";
    case ENOTDIR: return "ein Teil des Pfades ist kein Ordner";
    case EACCES:
    case EPERM: return "keine Schreibberechtigung";
    case EROFS: return "das Dateisystem ist schreibgeschützt";
    case ENOSPC: return "der Datenträger ist voll";
    case EDQUOT: return "das Speicherkontingent ist erschöpft";
    case EISDIR: return "das ist ein Ordner";
    case 0: return "Schreibfehler";
    default: return std::strerror(nErrno);
    }
}

std::string CheckOutputPath(const fs::path& path)
{
    std::error_code ec;
    if (!path.has_filename())
        return "kein Dateiname";
    const fs::file_status status = fs::status(path, ec);
    if (fs::is_directory(status))
        return WriteFailureReason(EISDIR);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    // The picture goes through a temporary file in the folder that is then renamed: the folder
    // must be there and writable. A file already there that its owner made write-protected is
    // not replaced either.
    if (!fs::exists(folder, ec))
        return "der Ordner " + folder.string() + " fehlt";
    if (!fs::is_directory(folder, ec))
        return folder.string() + " ist kein Ordner";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return WriteFailureReason(errno) + " (Ordner " + folder.string() + ")";
    if (fs::exists(status) && ::access(path.c_str(), W_OK) != 0) {
        const int nError = errno;
        return nError == EACCES ? std::string("die Datei ist schreibgeschützt") : WriteFailureReason(nError);
    }
    return {};
}

fs::path PartialPath(const fs::path& path)
{
    fs::path partial = path;
    partial.replace_filename(path.stem().string() + ".partial" + path.extension().string());
    return partial;
}

fs::path ChooseOutputPath(const fs::path& path, bool bComplete)
{
    std::error_code ec;
    if (bComplete || !fs::exists(path, ec))
        return path;
    return PartialPath(path);
}

bool WriteOutput(const CDib& dib, const fs::path& path, int32_t nScale, std::string& strWhy)
{
    std::string strMessage;
    bool bWritten = false;
    errno = 0;
    {
        // The writer's own message is English and carries no reason; the system's error does.
        CScopedMessageSink sink([&strMessage](const std::string& strText) { strMessage = strText; });
        bWritten = WritePicture(dib, path.string(), nScale);
    }
    const int nError = errno;
    if (!bWritten)
        strWhy = nError != 0 || strMessage.empty() ? WriteFailureReason(nError) : strMessage;
    return bWritten;
}
