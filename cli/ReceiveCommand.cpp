// quillomat-cli receive: the receive dialog on a terminal. Status texts and messages go to
// stderr as they appear (a message box's OK is pressed at once); Ctrl+C and --timeout end the
// reception like "Abbrechen", and so does finding no module; the picture handed over is written
// as a 24-bit bitmap (beside an existing file when the reception did not complete, nowhere when
// it has no rows), followed by one line that sums the reception up.
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bitmap/CDib.h"
#include "bitmap/DibScale.h"
#include "cli/Commands.h"
#include "cli/OutputTarget.h"
#include "cli/PictureCommandSupport.h"
#include "cli/TerminalWording.h"
#include "linkspec/LinkSpec.h"
#include "reception/PrintSeries.h"
#include "reception/ReceiveSession.h"
#include "reception/TileDecoder.h"

namespace {

// The print arrived whole and every block matches its sum, but some only because the last
// repair pass made a byte whatever the sum asked for: the picture may differ from the console's.
// Or the print is not all the console's picture (it goes on, or its palette is not applied).
constexpr int CLI_ESTIMATED = 3;

std::atomic<bool> g_bInterrupted{false};

// What ended a reception that did not end by itself.
enum class EReceptionEnd { Session, Timeout, Interrupted, NoModule };

std::string ReceptionEndText(EReceptionEnd eEnd, double dTimeout)
{
    switch (eEnd) {
    case EReceptionEnd::Timeout: {
        char szSeconds[32];
        std::snprintf(szSeconds, sizeof szSeconds, "%g", dTimeout);
        return std::string("Zeit abgelaufen (--timeout ") + szSeconds + " Sekunden)";
    }
    case EReceptionEnd::Interrupted: return "abgebrochen (Strg+C)";
    case EReceptionEnd::NoModule: return "kein Linkmodul angeschlossen";
    case EReceptionEnd::Session: break;
    }
    return {};
}

extern "C" void OnInterrupt(int)
{
    g_bInterrupted = true;
}

// The dialog's window on a terminal: one timer at a time, the texts on stderr.
class CTerminalScreen : public IReceiveScreen {
public:
    std::string GetStatusText() const override { return m_strText; }
    void SetStatusText(const std::string& strUtf8) override
    {
        m_strText = strUtf8;
        std::fprintf(stderr, "%s\n", strUtf8.c_str());
    }
    void ShowMessage(const std::string& strUtf8) override
    {
        std::fprintf(stderr, "%s\n", TerminalMessage(strUtf8).c_str());
    }
    unsigned SetTimer(unsigned nId, unsigned nMilliseconds) override
    {
        m_nTimerId = nId;
        m_Interval = std::chrono::milliseconds(nMilliseconds);
        m_NextTick = std::chrono::steady_clock::now() + m_Interval;
        return nId;
    }
    void KillTimer(unsigned nTimerId) override
    {
        if (nTimerId == m_nTimerId)
            m_nTimerId = 0;
    }
    void EndDialog(int) override { m_bEnded = true; }

    bool HasEnded() const { return m_bEnded; }
    unsigned ActiveTimer() const { return m_nTimerId; }
    std::chrono::steady_clock::time_point NextTick() const { return m_NextTick; }
    void TickDone() { m_NextTick += m_Interval; }

private:
    std::string m_strText;
    unsigned m_nTimerId = 0;
    std::chrono::milliseconds m_Interval{20};
    std::chrono::steady_clock::time_point m_NextTick;
    bool m_bEnded = false;
};

struct CReceiveArgs {
    std::string strLink;
    std::string strOut = "received.bmp";
    double dTimeout = 0.0;  // seconds; 0 = until the picture is complete or Ctrl+C
    int32_t nScale = 1;     // the picture written is enlarged this many times
    bool bStrict = false;   // estimated blocks count as bad and are asked for again
    bool bAllPrints = false;  // every print of the series in one picture
    bool bSplit = false;      // one file per image: name-1.png, name-2.png, ...
    double dQuiet = -1.0;     // seconds of quiet that end an all-prints reception; <0: the default
};

bool ParseSeconds(const std::string& strText, double& dSeconds)
{
    if (strText.empty())
        return false;
    char* pEnd = nullptr;
    dSeconds = std::strtod(strText.c_str(), &pEnd);
    return pEnd != nullptr && *pEnd == '\0' && dSeconds > 0.0 && dSeconds < 1e9;
}

int ParseArgs(const std::vector<std::string>& args, CReceiveArgs& out)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& strArg = args[i];
        const bool bHasValue = i + 1 < args.size();
        if (strArg == "--all-prints") {
            out.bAllPrints = true;
        } else if (strArg == "--split") {
            out.bSplit = true;
        } else if (strArg == "--scale") {
            std::vector<std::string> option{strArg}, files;
            if (bHasValue)
                option.push_back(args[++i]);
            if (int nStatus = ParseIntOptions("receive", option, {{SCALE_OPTION, &out.nScale, 1, DIB_MAX_SCALE}}, files))
                return nStatus;
        } else if (strArg == "--strict") {
            out.bStrict = true;
        } else if (strArg == "--link" || strArg == "-o" || strArg == "--timeout" || strArg == "--quiet") {
            if (!bHasValue)
                return CliUsageError("receive: " + strArg + " needs a value");
            const std::string& strValue = args[++i];
            if (strArg == "--link") {
                out.strLink = strValue;
            } else if (strArg == "-o") {
                if (strValue.empty())
                    return CliUsageError("receive: -o needs a file name");
                out.strOut = strValue;
            } else if (strArg == "--quiet") {
                if (!ParseSeconds(strValue, out.dQuiet))
                    return CliUsageError("receive: --quiet needs a number of seconds above 0, not '" + strValue + "'");
            } else if (!ParseSeconds(strValue, out.dTimeout)) {
                return CliUsageError("receive: --timeout needs a number of seconds above 0, not '" + strValue + "'");
            }
        } else {
            return CliUsageError("receive: unexpected argument '" + strArg + "'");
        }
    }
    if (out.dQuiet >= 0.0 && !out.bAllPrints)
        return CliUsageError("receive: --quiet belongs to --all-prints");
    return CLI_OK;
}

int RunReceive(const std::vector<std::string>& args)
{
    CReceiveArgs options;
    if (int nStatus = ParseArgs(args, options); nStatus != CLI_OK)
        return nStatus;
    const std::string strLink = options.strLink.empty() ? DefaultLinkSpec() : options.strLink;
    const COpenedLink link = OpenLink(strLink);
    if (link.eFailure == ELinkFailure::BadSpec)
        return CliUsageError("receive: " + link.strError);
    if (link.eFailure != ELinkFailure::None) {
        std::fprintf(stderr, "quillomat-cli: receive: %s\n", link.strError.c_str());
        return CLI_FAILED;
    }
    const std::shared_ptr<PortIo> pPort = link.pPort;
    const std::shared_ptr<IPacketSource> pSource = link.pSource;
    // Nothing is received that could not be kept.
    if (const std::string strWhy = CheckOutputPath(options.strOut); !strWhy.empty()) {
        std::fprintf(stderr, "quillomat-cli: receive: %s kann nicht geschrieben werden: %s\n", options.strOut.c_str(),
                     strWhy.c_str());
        return CLI_FAILED;
    }

    g_bInterrupted = false;
    struct sigaction action = {};
    struct sigaction previous = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previous);

    CTerminalScreen screen;
    bool bComplete = false;
    CReceptionVerdict summary;  // the block table (in all-prints mode the last pass)
    CReceptionVerdict verdict;  // the picture's: the block table's, or the series'
    std::vector<CReceivedImage> images;
    std::vector<int32_t> badPrints;
    EReceptionEnd eEnd = EReceptionEnd::Session;
    {
        std::unique_ptr<CReceiveSession> pSession =
            pSource ? std::make_unique<CReceiveSession>(screen, pSource, "Tarvo.log")
                    : std::make_unique<CReceiveSession>(screen, pPort, "Tarvo.log");
        CReceiveSession& session = *pSession;
        session.SetStrict(options.bStrict);
        session.SetAllPrints(options.bAllPrints);
        if (options.dQuiet >= 0.0)
            session.SetQuietMilliseconds(static_cast<int64_t>(options.dQuiet * 1000.0));
        const auto start = std::chrono::steady_clock::now();
        const auto deadline = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                          std::chrono::duration<double>(options.dTimeout));
        session.OnInitDialog();
        while (!screen.HasEnded()) {
            const auto now = std::chrono::steady_clock::now();
            if (g_bInterrupted || (options.dTimeout > 0.0 && now >= deadline)) {
                eEnd = g_bInterrupted ? EReceptionEnd::Interrupted : EReceptionEnd::Timeout;
                session.OnCancel();
                break;
            }
            // Without a timer the dialog only waits for the user.
            if (screen.ActiveTimer() == 0 || now < screen.NextTick()) {
                const auto wake = screen.ActiveTimer() == 0 ? now + std::chrono::milliseconds(20)
                                                            : screen.NextTick();
                std::this_thread::sleep_until(wake);
                continue;
            }
            screen.TickDone();
            session.OnTimer(screen.ActiveTimer());
            // The dialog waits for its user while no module answers; here nobody would come. An
            // attempt has shown the no-module text by then.
            if (!screen.HasEnded() && session.GetChosenStatus() == RECEIVE_TEXT_NO_MODULE) {
                eEnd = EReceptionEnd::NoModule;
                session.OnCancel();
            }
        }
        session.OnDestroy();
        bComplete = session.IsPictureComplete();
        summary = session.GetTableVerdict();
        verdict = session.GetVerdict();
        images = session.GetImages(options.bSplit);
        badPrints = session.GetBadPrints();
    }  // the link module saves the log once more here
    sigaction(SIGINT, &previous, nullptr);
    if (eEnd != EReceptionEnd::Session)
        std::fprintf(stderr, "quillomat-cli: receive: %s\n", ReceptionEndText(eEnd, options.dTimeout).c_str());

    if (images.empty()) {
        std::fprintf(stderr, "quillomat-cli: receive: kein Bild empfangen, es wird keine Datei geschrieben\n");
        return CLI_FAILED;
    }
    // A picture that is not all the console's, or cut, does not replace a file either.
    bComplete = bComplete && verdict.Outcome() != EReceptionOutcome::NotComplete;
    // One file, or with --split one per image: name-1.png, name-2.png, ...
    const std::filesystem::path outPath(options.strOut);
    std::string strOut;
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    for (size_t i = 0; i < images.size(); ++i) {
        CDib dib;
        if (!CreateTilePicture(images[i].m_Tiles.data(), static_cast<int32_t>(images[i].m_Tiles.size()), dib)) {
            std::fprintf(stderr, "quillomat-cli: receive: das Bild konnte nicht erzeugt werden\n");
            return CLI_FAILED;
        }
        std::filesystem::path target = outPath;
        if (images.size() > 1)
            target.replace_filename(outPath.stem().string() + "-" + std::to_string(i + 1) + outPath.extension().string());
        const std::string strTarget = ChooseOutputPath(target, bComplete).string();
        if (strTarget != target.string())
            std::fprintf(stderr, "quillomat-cli: receive: das Bild ist nicht vollständig; %s bleibt, wie es ist, das "
                                 "Bild steht in %s\n", target.string().c_str(), strTarget.c_str());
        if (std::string strWhy; !WriteOutput(dib, strTarget, options.nScale, strWhy)) {
            std::fprintf(stderr, "quillomat-cli: receive: %s kann nicht geschrieben werden: %s\n", strTarget.c_str(),
                         strWhy.c_str());
            return CLI_FAILED;
        }
        if (images.size() > 1)
            std::fprintf(stderr, "%s: %d x %d Pixel, Ausdrucke %d bis %d\n", strTarget.c_str(),
                         dib.GetDimensions().cx * options.nScale, dib.GetDimensions().cy * options.nScale,
                         images[i].m_nFirstPrint, images[i].m_nFirstPrint + images[i].m_nPrints - 1);
        strOut = i == 0 ? strTarget : strOut + ", " + strTarget;
        nWidth = dib.GetDimensions().cx;
        nHeight += dib.GetDimensions().cy;
    }
    // In all-prints mode the block table holds the last pass; the series line below counts.
    const CVerdictWords words = DescribeVerdict(summary, options.bAllPrints);
    const CVerdictWords pictureWords = DescribeVerdict(verdict);
    std::fprintf(stderr, "%s: %d x %d Pixel; %s\n", strOut.c_str(), nWidth * options.nScale, nHeight * options.nScale,
                 words.strBlocks.c_str());
    if (!pictureWords.strSumOnly.empty())
        std::fprintf(stderr, "%s\n", pictureWords.strSumOnly.c_str());
    if (!pictureWords.strUnchecked.empty())
        std::fprintf(stderr, "%s\n", pictureWords.strUnchecked.c_str());
    if (!badPrints.empty())
        std::fprintf(stderr, "%s\n", BadPrintsMessage(badPrints).c_str());
    // The series' own count: every print held, its blocks and how far they can be trusted.
    if (options.bAllPrints)
        std::fprintf(stderr, "%s\n", pictureWords.strBlocks.c_str());
    if (!pictureWords.strNotWhole.empty())
        std::fprintf(stderr, "%s: %s\n", strOut.c_str(), pictureWords.strNotWhole.c_str());
    if (!bComplete)
        return CLI_FAILED;
    switch (verdict.Outcome()) {
    case EReceptionOutcome::Complete: return CLI_OK;
    case EReceptionOutcome::CompleteEstimated:
    case EReceptionOutcome::NotWholePicture: return CLI_ESTIMATED;
    case EReceptionOutcome::NotComplete: break;
    }
    return CLI_FAILED;
}

const CCommandRegistrar registrar({
    "receive",
    "receive [--link L] [-o OUT.bmp|OUT.png] [--timeout SECONDS] [--scale N] [--strict] [--all-prints [--quiet SECONDS]] "
    "[--split]",
    "take a picture off the console as the receive dialog does; exit 0 only for a fully good picture",
    RunReceive,
    "\n--link L  where the pictures come from: auto, ppdev[:/dev/parportN], direct, sim[:options],\n"
    "          serial:DEVICE[,baud=N] (a printer emulator's live stream, 115200 baud by\n"
    "          default; the user needs the dialout group) or file:PATH (a printer device's\n"
    "          saved stream or dump file, read whole; the reception ends at its end)\n"
    "          (default: QUILLOMAT_LINK, else auto)\n"
    "-o OUT    the picture file (default received.bmp); a name ending in .png (any case) is\n"
    "          written as PNG, any other as a Windows bitmap. Checked before the reception: a\n"
    "          folder that is missing or cannot be written ends it at once. A reception that\n"
    "          did not complete does not replace a file that is there: it goes beside it as\n"
    "          OUT.partial.bmp (or .png); a reception without a picture writes nothing\n"
    "--timeout SECONDS  ends the reception after that long, as Ctrl+C does (a number above 0;\n"
    "          default: none, it runs until a fully good picture has arrived or Ctrl+C)\n"
    "--scale N  writes the picture N times larger, every pixel an N x N block (1..16; default 1)\n"
    "--strict  a block counts only when two prints agree on every byte of it away from the\n"
    "          line's marks; one that matches its sum only by estimate, or through bytes the\n"
    "          line marked, counts as bad: the console is asked to print again\n"
    "--all-prints  every print of a series in one picture, each below the last, with its\n"
    "          own palette and compression; ends once the console has been quiet after a\n"
    "          series that arrived whole, and asks for the whole series again otherwise\n"
    "--quiet SECONDS  the quiet that ends an all-prints reception (default 5; on the\n"
    "          simulated console, the console's time)\n"
    "--split   one file per image: OUT-1.png, OUT-2.png, ...; an image ends at a print whose\n"
    "          lower margin is not zero (without it, one picture)\n"
    "\nprinter devices: every packet's checksum is checked where the layout carries one; a\n"
    "damaged data packet makes its block bad (a live device is asked for the print again, a\n"
    "file's picture is written with the block as it came and the summary names the print).\n"
    "Layouts without checksums (parse mode, the RP2040 dump) give exit status 3.\n"
    "\nexit status:\n"
    "  0  the whole print arrived (its print packet followed the data; with --all-prints every\n"
    "     print of the series) and every block matched\n"
    "     its sum as received or after rebuilding bytes cut on lost sync\n"
    "  1  it ended otherwise: a print cut short or given up, or one during which the line lost\n"
    "     a packet, bad blocks, --timeout, Ctrl+C, no module (ends at once), a file that ended\n"
    "     or a device that went away before the picture was whole, the output cannot be\n"
    "     written, or no picture arrived; a line\n"
    "     'quillomat-cli: receive: ...' or the summary names the cause\n"
    "  2  bad usage\n"
    "  3  the whole print arrived, but some blocks match their sum only by estimate, or came\n"
    "     once on a line that damaged other blocks unmarked, where two errors can cancel in\n"
    "     a sum (not with --strict), or came from a device layout without checksums\n"
    "     (unchecked); the picture may differ from the console's. Or it is not the console's\n"
    "     whole picture: the print has no lower margin (the next print goes on with it) or\n"
    "     its palette is not applied (--all-prints takes all of it); more data than the\n"
    "     block table holds exits 1\n",
});

}  // namespace
