#include "cli/TerminalWording.h"

namespace {
// The dialog's messages end with a line asking for its OK button ("Bitte erst OK drücken wenn
// der GB KEINE Daten mehr sendet"); the terminal goes on listening by itself instead.
constexpr const char* DIALOG_BUTTON = "OK drücken";
constexpr const char* TERMINAL_LINE = "Der Empfang geht von selbst weiter (beenden mit Strg+C)";
}  // namespace

std::string TerminalMessage(const std::string& strDialogText)
{
    std::string strText;
    size_t nStart = 0;
    while (nStart <= strDialogText.size()) {
        size_t nEnd = strDialogText.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strDialogText.size();
        const std::string strLine = strDialogText.substr(nStart, nEnd - nStart);
        strText += strLine.find(DIALOG_BUTTON) != std::string::npos ? std::string(TERMINAL_LINE) : strLine;
        if (nEnd == strDialogText.size())
            break;
        strText += '\n';
        nStart = nEnd + 1;
    }
    return strText;
}
