#pragma once
// A serial device for the suites: a pseudo-terminal whose far end plays a printer emulator,
// writing a stream at the pace of a serial line and, if asked, going away afterwards.
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

class CPtyDevice {
public:
    CPtyDevice()
    {
        char szName[128] = {};
        if (::openpty(&m_nMaster, &m_nSlave, szName, nullptr, nullptr) != 0)
            return;
        m_strPath = szName;
        // Raw from the start, so that bytes written before the reader set the line up stay as they are.
        termios tio{};
        ::tcgetattr(m_nSlave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(m_nSlave, TCSANOW, &tio);
    }
    ~CPtyDevice()
    {
        Join();
        HangUp();
        if (m_nSlave >= 0)
            ::close(m_nSlave);
    }
    CPtyDevice(const CPtyDevice&) = delete;
    CPtyDevice& operator=(const CPtyDevice&) = delete;

    bool IsOpen() const { return m_nMaster >= 0 && !m_strPath.empty(); }
    const std::string& Path() const { return m_strPath; }

    // Writes the bytes from a thread after nDelayMs, nBaud / 10 bytes a second in small
    // pieces; with bHangUp the device goes away once they are read.
    void Play(std::string strBytes, uint32_t nBaud, int nDelayMs = 0, bool bHangUp = false)
    {
        Join();
        m_Player = std::thread([this, strBytes = std::move(strBytes), nBaud, nDelayMs, bHangUp] {
            using Clock = std::chrono::steady_clock;
            constexpr size_t PIECE = 32;
            Clock::time_point due = Clock::now() + std::chrono::milliseconds(nDelayMs);
            for (size_t n = 0; n < strBytes.size(); n += PIECE) {
                std::this_thread::sleep_until(due);
                const size_t nTake = std::min(PIECE, strBytes.size() - n);
                for (size_t nDone = 0; nDone < nTake;) {
                    const ssize_t nWritten = ::write(m_nMaster, strBytes.data() + n + nDone, nTake - nDone);
                    if (nWritten <= 0)
                        return;
                    nDone += static_cast<size_t>(nWritten);
                }
                due += std::chrono::microseconds(nTake * 10 * 1000000 / nBaud);
            }
            if (bHangUp) {
                // The reader takes what was sent before the line drops.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                HangUp();
            }
        });
    }
    void Join()
    {
        if (m_Player.joinable())
            m_Player.join();
    }
    void HangUp()
    {
        if (m_nMaster >= 0)
            ::close(m_nMaster);
        m_nMaster = -1;
    }

private:
    int m_nMaster = -1;
    int m_nSlave = -1;
    std::string m_strPath;
    std::thread m_Player;
};
