#include "streams/PacketSource.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "streams/SerialDevice.h"
#include "streams/StreamDecoder.h"

namespace {

// Packets as the decoder completes them, in order, until the reception takes them.
class CPacketQueue : public IStreamPacketSink {
public:
    void OnPacket(const CStreamPacket& packet) override { m_Packets.push_back(packet); }
    bool Take(CStreamPacket& packet)
    {
        if (m_Packets.empty())
            return false;
        packet = std::move(m_Packets.front());
        m_Packets.pop_front();
        return true;
    }

private:
    std::deque<CStreamPacket> m_Packets;
};

constexpr size_t READ_CHUNK = 1 << 14;

class CFileSource : public IPacketSource {
public:
    CFileSource(std::FILE* pFile, std::string strPath)
        : m_pFile(pFile), m_strPath(std::move(strPath)), m_Decoder(m_Queue, EStreamSource::Any)
    {
    }
    ~CFileSource() override { std::fclose(m_pFile); }

    ESourceRead Next(CStreamPacket& packet, int) override
    {
        while (!m_Queue.Take(packet)) {
            if (m_bFinished)
                return m_strEnd.empty() ? ESourceRead::End : ESourceRead::Gone;
            uint8_t buffer[READ_CHUNK];
            const size_t nRead = std::fread(buffer, 1, sizeof buffer, m_pFile);
            if (nRead > 0) {
                m_Decoder.Feed(buffer, nRead);
                continue;
            }
            if (std::ferror(m_pFile))
                m_strEnd = m_strPath + " kann nicht gelesen werden: " + std::strerror(errno);
            m_Decoder.Finish();
            m_bFinished = true;
        }
        return ESourceRead::Packet;
    }
    bool IsLive() const override { return false; }
    EStreamLayout GetLayout() const override { return m_Decoder.GetLayout(); }
    const std::string& GetEndText() const override { return m_strEnd; }

private:
    std::FILE* m_pFile;
    std::string m_strPath;
    CPacketQueue m_Queue;
    CStreamDecoder m_Decoder;
    bool m_bFinished = false;
    std::string m_strEnd;
};

class CSerialSource : public IPacketSource {
public:
    CSerialSource() : m_Decoder(m_Queue, EStreamSource::Text) {}
    CSerialDevice& Device() { return m_Device; }

    ESourceRead Next(CStreamPacket& packet, int nWaitMs) override
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(nWaitMs);
        while (!m_Queue.Take(packet)) {
            if (m_bGone)
                return ESourceRead::Gone;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline -
                                                                                    std::chrono::steady_clock::now());
            uint8_t buffer[READ_CHUNK];
            size_t nRead = 0;
            CSerialError error;
            switch (m_Device.Read(buffer, sizeof buffer, left.count() > 0 ? static_cast<int>(left.count()) : 0, nRead,
                                  error)) {
            case ESerialRead::Data:
                m_Decoder.Feed(buffer, nRead);
                break;
            case ESerialRead::Timeout:
                if (left.count() <= 0)
                    return ESourceRead::Idle;
                break;
            case ESerialRead::Gone:
                // A packet cut by the unplugging is handed on as cut.
                m_Decoder.Finish();
                m_strEnd = error.strUiText.empty() ? error.strMessage : error.strUiText;
                m_bGone = true;
                break;
            }
        }
        return ESourceRead::Packet;
    }
    bool IsLive() const override { return true; }
    EStreamLayout GetLayout() const override { return m_Decoder.GetLayout(); }
    const std::string& GetEndText() const override { return m_strEnd; }

private:
    CSerialDevice m_Device;
    CPacketQueue m_Queue;
    CStreamDecoder m_Decoder;
    bool m_bGone = false;
    std::string m_strEnd;
};

}  // namespace

std::shared_ptr<IPacketSource> OpenPacketSource(const CStreamLinkTarget& target, std::string& strError,
                                                std::string& strUiText)
{
    if (target.eKind == EStreamLinkKind::File) {
        std::FILE* pFile = std::fopen(target.strPath.c_str(), "rb");
        if (!pFile) {
            const int nErrno = errno;
            strError = target.strPath + ": cannot be read (" + std::strerror(nErrno) + ")";
            strUiText = target.strPath + " kann nicht gelesen werden: " + std::strerror(nErrno);
            return nullptr;
        }
        return std::make_shared<CFileSource>(pFile, target.strPath);
    }
    auto pSource = std::make_shared<CSerialSource>();
    CSerialError error;
    if (!pSource->Device().Open(target.strPath, target.nBaud, error)) {
        strError = error.strMessage;
        strUiText = error.strUiText;
        return nullptr;
    }
    return pSource;
}
