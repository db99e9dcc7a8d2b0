// quillomat-cli colorize: the colouring command on a bitmap file.
#include "cli/Commands.h"

#include <charconv>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "bitmap/CDib.h"
#include "common/MessageSink.h"
#include "effects/Colorize.h"
#include "effects/UndoSnapshot.h"

namespace {

// Loads a bitmap file; a file that cannot be opened is named with the system's reason.
bool LoadPicture(CDib& dib, const std::string& strFile) {
    std::ifstream file(strFile, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "quillomat-cli: %s: %s\n", strFile.c_str(), std::strerror(errno));
        return false;
    }
    return dib.Read(file);
}

bool ParseInt(const std::string& str, int32_t& nValue) {
    const char* pEnd = str.data() + str.size();
    auto [p, ec] = std::from_chars(str.data(), pEnd, nValue);
    return ec == std::errc() && p == pEnd && !str.empty();
}

int RunColorize(const std::vector<std::string>& args) {
    int32_t nColor = 0, nBright = 0;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        int32_t* pTarget = a == "--color" ? &nColor : a == "--bright" ? &nBright : nullptr;
        if (pTarget != nullptr) {
            if (i + 1 >= args.size())
                return CliUsageError("colorize: " + a + " needs a number");
            if (!ParseInt(args[++i], *pTarget))
                return CliUsageError("colorize: " + a + " takes a whole number, not '" + args[i] + "'");
        } else if (a.size() > 1 && a[0] == '-') {
            return CliUsageError("colorize: unknown option '" + a + "'");
        } else {
            files.push_back(a);
        }
    }
    if (nColor < 0 || nColor > 6)
        return CliUsageError("colorize: --color must be between 0 and 6");
    if (nBright < 0 || nBright > 2)
        return CliUsageError("colorize: --bright must be between 0 and 2");
    if (files.size() != 2)
        return CliUsageError("colorize: give one input and one output file (colorize [--color 0..6] [--bright 0..2] IN OUT)");

    std::string strAbout = files[0];  // the file the messages are about
    CScopedMessageSink sink([&](const std::string& s) {
        std::fprintf(stderr, "quillomat-cli: %s: %s\n", strAbout.c_str(), s.c_str());
    });
    CDib dib;
    if (!LoadPicture(dib, files[0]))
        return CLI_FAILED;
    CUndoSnapshot undo;
    if (!ApplyColorize(dib, undo, nColor + 16 * nBright)) {
        ShowMessage(EFFECT_MSG_DEPTH);
        return CLI_FAILED;
    }
    strAbout = files[1];
    return dib.WriteFile(files[1]) ? CLI_OK : CLI_FAILED;
}

const CCommandRegistrar registrar(
    {"colorize", "colorize [--color 0..6] [--bright 0..2] IN OUT",
     "colour a bitmap file (colour: 0 grey, 1 red, 2 green, 3 blue, 4 yellow, 5 violet, 6 turquoise; "
     "brightest: 0 as the colour, 1 white, 2 console green)",
     RunColorize});

}  // namespace
