// quillomat-cli soften: the softening command on a bitmap file.
#include "cli/Commands.h"

#include <charconv>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "bitmap/CDib.h"
#include "common/MessageSink.h"
#include "effects/Soften.h"
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

int RunSoften(const std::vector<std::string>& args) {
    int32_t nPasses = 1, nSize = 8;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        int32_t* pTarget = a == "--passes" ? &nPasses : a == "--size" ? &nSize : nullptr;
        if (pTarget != nullptr) {
            if (i + 1 >= args.size())
                return CliUsageError("soften: " + a + " needs a number");
            if (!ParseInt(args[++i], *pTarget))
                return CliUsageError("soften: " + a + " takes a whole number, not '" + args[i] + "'");
        } else if (a.size() > 1 && a[0] == '-') {
            return CliUsageError("soften: unknown option '" + a + "'");
        } else {
            files.push_back(a);
        }
    }
    if (nPasses < 1 || nPasses > 100)
        return CliUsageError("soften: --passes must be between 1 and 100");
    if (nSize < 1 || nSize > 25)
        return CliUsageError("soften: --size must be between 1 and 25");
    if (files.size() != 2)
        return CliUsageError("soften: give one input and one output file (soften [--passes N] [--size S] IN OUT)");

    std::string strAbout = files[0];  // the file the messages are about
    CScopedMessageSink sink([&](const std::string& s) {
        std::fprintf(stderr, "quillomat-cli: %s: %s\n", strAbout.c_str(), s.c_str());
    });
    CDib dib;
    if (!LoadPicture(dib, files[0]))
        return CLI_FAILED;
    if (!IsEffectDepthSupported(dib)) {
        ShowMessage(EFFECT_MSG_DEPTH);
        return CLI_FAILED;
    }
    // As the settings dialog leaves them after OK: centre 25, both sizes the same.
    CSoftenSettings settings;
    settings.m_nSoftCentre = 25;
    settings.m_nSoftSize = nSize;
    settings.m_nSoftSizeEntered = nSize;
    settings.m_nSoftPasses = nPasses;
    CUndoSnapshot undo;
    switch (ApplySoften(dib, undo, settings, {})) {
    case SoftenResult::Done:
        break;
    case SoftenResult::NoMemory:
        ShowMessage(SOFTEN_MSG_NO_MEMORY);
        return CLI_FAILED;
    case SoftenResult::UnsupportedDepth:
        ShowMessage(EFFECT_MSG_DEPTH);
        return CLI_FAILED;
    }
    strAbout = files[1];
    return dib.WriteFile(files[1]) ? CLI_OK : CLI_FAILED;
}

const CCommandRegistrar registrar({"soften", "soften [--passes N] [--size S] IN OUT",
                                   "soften a bitmap file (passes 1..100, default 1; size 1..25, default 8)",
                                   RunSoften});

}  // namespace
