#include "streams/SerialDevice.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include "streams/LinkTargets.h"

namespace {

bool BaudConstant(uint32_t nBaud, speed_t& nSpeed)
{
    switch (nBaud) {
    case 1200: nSpeed = B1200; return true;
    case 2400: nSpeed = B2400; return true;
    case 4800: nSpeed = B4800; return true;
    case 9600: nSpeed = B9600; return true;
    case 19200: nSpeed = B19200; return true;
    case 38400: nSpeed = B38400; return true;
    case 57600: nSpeed = B57600; return true;
    case 115200: nSpeed = B115200; return true;
    case 230400: nSpeed = B230400; return true;
    case 460800: nSpeed = B460800; return true;
    case 500000: nSpeed = B500000; return true;
    case 576000: nSpeed = B576000; return true;
    case 921600: nSpeed = B921600; return true;
    case 1000000: nSpeed = B1000000; return true;
    case 1500000: nSpeed = B1500000; return true;
    case 2000000: nSpeed = B2000000; return true;
    case 3000000: nSpeed = B3000000; return true;
    case 4000000: nSpeed = B4000000; return true;
    default: return false;
    }
}

CSerialError MakeError(ESerialFailure eFailure, int nErrno, std::string strMessage, std::string strUiText)
{
    CSerialError error;
    error.eFailure = eFailure;
    error.nErrno = nErrno;
    error.strMessage = std::move(strMessage);
    error.strUiText = std::move(strUiText);
    return error;
}

}  // namespace

CSerialError DescribeSerialOpenError(const std::string& strPath, int nErrno)
{
    const std::string strWhy = std::strerror(nErrno);
    switch (nErrno) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return MakeError(ESerialFailure::NoDevice, nErrno,
                         strPath + ": no device (" + strWhy + "); plug the printer emulator in and check the name "
                                   "(ls /dev/ttyACM* /dev/ttyUSB*)",
                         "Das Gerät " + strPath + " gibt es nicht. Ist der Drucker-Emulator eingesteckt?");
    case EACCES:
    case EPERM:
        return MakeError(ESerialFailure::NoPermission, nErrno,
                         strPath + ": no permission (" + strWhy + "); add the user to the dialout group "
                                   "(sudo usermod -aG dialout $USER) and log in again",
                         "Keine Berechtigung für " + strPath + ". Der Benutzer muss zur Gruppe \"dialout\" gehören "
                                   "(sudo usermod -aG dialout $USER, danach neu anmelden).");
    case EBUSY:
    case EWOULDBLOCK:
        return MakeError(ESerialFailure::Busy, nErrno,
                         strPath + ": in use (" + strWhy + "); another program holds the device: close it "
                                   "(a serial monitor, the Arduino IDE, ModemManager)",
                         strPath + " wird schon von einem anderen Programm benutzt (serieller Monitor, Arduino-IDE, "
                                   "ModemManager?).");
    case ENOTTY:
        return MakeError(ESerialFailure::NotATty, nErrno, strPath + ": not a serial device (" + strWhy + ")",
                         strPath + " ist keine serielle Schnittstelle.");
    default:
        return MakeError(ESerialFailure::Other, nErrno, strPath + ": cannot be opened (" + strWhy + ")",
                         strPath + " lässt sich nicht öffnen (" + strWhy + ").");
    }
}

bool CSerialDevice::Open(const std::string& strPath, uint32_t nBaud, CSerialError& error)
{
    Close();
    error = CSerialError{};
    speed_t nSpeed = 0;
    if (!BaudConstant(nBaud, nSpeed)) {
        error = MakeError(ESerialFailure::BadRate, EINVAL,
                          strPath + ": unsupported rate " + std::to_string(nBaud),
                          "Die Geschwindigkeit " + std::to_string(nBaud) + " Baud wird nicht unterstützt.");
        return false;
    }
    const int nFd = ::open(strPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (nFd < 0) {
        error = DescribeSerialOpenError(strPath, errno);
        return false;
    }
    const auto Fail = [&](int nErrno) {
        error = DescribeSerialOpenError(strPath, nErrno);
        ::close(nFd);
        return false;
    };
    if (!::isatty(nFd))
        return Fail(ENOTTY);
    // Another program that locks the device (as we do) holds it.
    if (::flock(nFd, LOCK_EX | LOCK_NB) != 0)
        return Fail(errno == EWOULDBLOCK ? EBUSY : errno);
    termios tio{};
    if (::tcgetattr(nFd, &tio) != 0)
        return Fail(errno);
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS | CSIZE);
    tio.c_cflag |= CS8 | CREAD | CLOCAL;
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, nSpeed) != 0 || ::cfsetospeed(&tio, nSpeed) != 0 || ::tcsetattr(nFd, TCSANOW, &tio) != 0) {
        const int nErrno = errno;
        error = MakeError(ESerialFailure::BadRate, nErrno,
                          strPath + ": the line cannot be set to " + std::to_string(nBaud) + " baud 8N1 (" +
                              std::strerror(nErrno) + ")",
                          strPath + " lässt sich nicht auf " + std::to_string(nBaud) + " Baud einstellen.");
        ::close(nFd);
        return false;
    }
    m_nFd = nFd;
    m_strPath = strPath;
    return true;
}

CSerialError CSerialDevice::GoneError(int nErrno) const
{
    return MakeError(ESerialFailure::Gone, nErrno,
                     m_strPath + ": the device went away" + (nErrno ? " (" + std::string(std::strerror(nErrno)) + ")" : "") +
                         "; was it unplugged?",
                     "Die Verbindung zu " + m_strPath + " ist abgebrochen. Wurde das Gerät abgezogen?");
}

ESerialRead CSerialDevice::Read(uint8_t* pBuffer, size_t nMax, int nTimeoutMs, size_t& nRead, CSerialError& error)
{
    nRead = 0;
    if (m_nFd < 0) {
        error = GoneError(EBADF);
        return ESerialRead::Gone;
    }
    pollfd poller{m_nFd, POLLIN, 0};
    int nReady = 0;
    do
        nReady = ::poll(&poller, 1, nTimeoutMs);
    while (nReady < 0 && errno == EINTR);
    if (nReady < 0) {
        error = GoneError(errno);
        return ESerialRead::Gone;
    }
    if (nReady == 0)
        return ESerialRead::Timeout;
    if (poller.revents & POLLNVAL) {
        error = GoneError(EBADF);
        return ESerialRead::Gone;
    }
    ssize_t nGot = 0;
    do
        nGot = ::read(m_nFd, pBuffer, nMax);
    while (nGot < 0 && errno == EINTR);
    if (nGot > 0) {
        nRead = static_cast<size_t>(nGot);
        return ESerialRead::Data;
    }
    const bool bHungUp = (poller.revents & (POLLHUP | POLLERR)) != 0;
    if (!bHungUp && (nGot == 0 || errno == EAGAIN || errno == EWOULDBLOCK))
        return ESerialRead::Timeout;
    // Readable but nothing to read, or an error: hung up.
    error = GoneError(nGot < 0 ? errno : 0);
    return ESerialRead::Gone;
}

void CSerialDevice::Close()
{
    if (m_nFd >= 0)
        ::close(m_nFd);
    m_nFd = -1;
}
