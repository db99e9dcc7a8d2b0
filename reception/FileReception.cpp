#include "reception/FileReception.h"

#include "streams/LinkTargets.h"
#include "streams/PacketSource.h"

namespace {

// A window nobody looks at: every message is answered at once and kept, ticks come at once.
class CHeadlessScreen : public IReceiveScreen {
public:
    explicit CHeadlessScreen(std::vector<std::string>& messages) : m_Messages(messages) {}
    std::string GetStatusText() const override { return m_strStatus; }
    void SetStatusText(const std::string& strUtf8) override { m_strStatus = strUtf8; }
    void ShowMessage(const std::string& strUtf8) override { m_Messages.push_back(strUtf8); }
    unsigned SetTimer(unsigned nId, unsigned) override { return m_nTimer = nId; }
    void KillTimer(unsigned nTimerId) override
    {
        if (nTimerId == m_nTimer)
            m_nTimer = 0;
    }
    void EndDialog(int) override { m_bEnded = true; }
    bool HasEnded() const { return m_bEnded; }
    unsigned Timer() const { return m_nTimer; }

private:
    std::vector<std::string>& m_Messages;
    std::string m_strStatus;
    unsigned m_nTimer = 0;
    bool m_bEnded = false;
};

}  // namespace

CFileReception ReceiveFromFile(const std::string& strPath, const CFileReceptionOptions& options)
{
    CFileReception result;
    CStreamLinkTarget target;
    target.eKind = EStreamLinkKind::File;
    target.strPath = strPath;
    std::string strError;
    std::shared_ptr<IPacketSource> pSource = OpenPacketSource(target, strError, result.strError);
    if (!pSource)
        return result;
    result.bRead = true;
    CHeadlessScreen screen(result.messages);
    CReceiveSession session(screen, std::move(pSource), std::filesystem::path());
    session.SetAllPrints(options.bAllPrints);
    session.OnInitDialog();
    // A file never waits: every tick reads on until its end ends the session.
    while (!screen.HasEnded() && screen.Timer() != 0)
        session.OnTimer(screen.Timer());
    session.OnDestroy();
    result.images = session.GetImages(options.bSplit);
    result.verdict = session.GetVerdict();
    result.bComplete = session.IsPictureComplete();
    result.badPrints = session.GetBadPrints();
    return result;
}
