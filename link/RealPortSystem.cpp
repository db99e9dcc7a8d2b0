#include "link/PortSystem.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/ioctl.h>
#include <unistd.h>
#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define QUILLOMAT_HAVE_PORT_IO 1
#endif

namespace {

class CRealPortSystem final : public IPortSystem {
public:
    int Open(const std::string& strPath) override
    {
        const int nFd = ::open(strPath.c_str(), O_RDWR | O_CLOEXEC);
        Remember(nFd);
        return nFd;
    }
    void Close(int nFd) override { ::close(nFd); }
    int Ioctl(int nFd, unsigned long nRequest, void* pArg) override
    {
        const int nResult = ::ioctl(nFd, nRequest, pArg);
        Remember(nResult);
        return nResult;
    }
    int Ioperm(unsigned long nFrom, unsigned long nCount, int nOn) override
    {
#ifdef QUILLOMAT_HAVE_PORT_IO
        const int nResult = ::ioperm(nFrom, nCount, nOn);
        Remember(nResult);
        return nResult;
#else
        (void)nFrom; (void)nCount; (void)nOn;
        m_strError = "no port instructions on this processor";
        return -1;
#endif
    }
    uint8_t Inb(uint16_t nAddress) override
    {
#ifdef QUILLOMAT_HAVE_PORT_IO
        return ::inb(nAddress);
#else
        (void)nAddress;
        return 0xFF;
#endif
    }
    void Outb(uint16_t nAddress, uint8_t nValue) override
    {
#ifdef QUILLOMAT_HAVE_PORT_IO
        ::outb(nValue, nAddress);
#else
        (void)nAddress; (void)nValue;
#endif
    }
    std::optional<std::string> ReadTextFile(const std::string& strPath) override
    {
        std::ifstream in(strPath);
        if (!in)
            return std::nullopt;
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::vector<std::string> ListDir(const std::string& strPath) override
    {
        std::vector<std::string> names;
        if (DIR* pDir = ::opendir(strPath.c_str())) {
            while (dirent* pEntry = ::readdir(pDir)) {
                const std::string strName = pEntry->d_name;
                if (strName != "." && strName != "..")
                    names.push_back(strName);
            }
            ::closedir(pDir);
        }
        return names;
    }
    std::string LastError() const override { return m_strError; }

private:
    void Remember(int nResult)
    {
        if (nResult < 0)
            m_strError = std::strerror(errno);
    }
    std::string m_strError;
};

} // namespace

std::shared_ptr<IPortSystem> RealPortSystem()
{
    return std::make_shared<CRealPortSystem>();
}
