#pragma once
// A printer device on a serial line (a USB emulator's /dev/ttyACM0 or /dev/ttyUSB0), through
// termios: raw 8N1, no flow control, reads that wait with poll() for at most a given time, so
// that a reception can tick while the console is silent.
#include <cstddef>
#include <cstdint>
#include <string>

enum class ESerialFailure : uint8_t {
    None,
    NoDevice,      // no such device (ENOENT, ENODEV, ENXIO)
    NoPermission,  // EACCES/EPERM: the user is not in the dialout group
    Busy,          // another program holds the device
    NotATty,       // the path is no serial device
    BadRate,       // the line cannot be set to the rate
    Gone,          // the device went away (unplugged, hung up)
    Other,
};

struct CSerialError {
    ESerialFailure eFailure = ESerialFailure::None;
    std::string strMessage;  // English, for the CLI and the log: what failed, why, and the way out
    std::string strUiText;   // the same in German, for the user interface
    int nErrno = 0;
};

// The error a failed open(2) of strPath with nErrno means.
CSerialError DescribeSerialOpenError(const std::string& strPath, int nErrno);

enum class ESerialRead : uint8_t {
    Data,     // bytes were read
    Timeout,  // nothing arrived in time
    Gone,     // the device went away; the error says so
};

class CSerialDevice {
public:
    CSerialDevice() = default;
    ~CSerialDevice() { Close(); }
    CSerialDevice(const CSerialDevice&) = delete;
    CSerialDevice& operator=(const CSerialDevice&) = delete;

    // Opens strPath at nBaud, raw 8N1, not as the controlling terminal, locked against other
    // programs that lock it. False with the reason in error.
    bool Open(const std::string& strPath, uint32_t nBaud, CSerialError& error);
    // Waits up to nTimeoutMs for bytes and reads what is there (at most nMax) into pBuffer.
    // Bytes that arrived before the device went away are read first.
    ESerialRead Read(uint8_t* pBuffer, size_t nMax, int nTimeoutMs, size_t& nRead, CSerialError& error);
    void Close();
    bool IsOpen() const { return m_nFd >= 0; }
    const std::string& GetPath() const { return m_strPath; }

private:
    CSerialError GoneError(int nErrno) const;

    int m_nFd = -1;
    std::string m_strPath;
};
