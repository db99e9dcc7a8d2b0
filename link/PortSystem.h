#pragma once
// The system calls behind the hardware port backends, behind one small interface so that the
// translation from register accesses to system calls can be checked without a printer port.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class IPortSystem {
public:
    virtual ~IPortSystem() = default;
    // open(2)/close(2)/ioctl(2); failures return -1 with the error text in LastError().
    virtual int Open(const std::string& strPath) = 0;
    virtual void Close(int nFd) = 0;
    virtual int Ioctl(int nFd, unsigned long nRequest, void* pArg) = 0;
    // ioperm(2) and the port instructions (x86 only; elsewhere Ioperm fails).
    virtual int Ioperm(unsigned long nFrom, unsigned long nCount, int nOn) = 0;
    virtual uint8_t Inb(uint16_t nAddress) = 0;
    virtual void Outb(uint16_t nAddress, uint8_t nValue) = 0;
    // A small text file (for /proc), or nothing when it cannot be read.
    virtual std::optional<std::string> ReadTextFile(const std::string& strPath) = 0;
    // Names of the entries of a folder (no "." or ".."), empty when it cannot be read.
    virtual std::vector<std::string> ListDir(const std::string& strPath) = 0;
    virtual std::string LastError() const = 0;
};

std::shared_ptr<IPortSystem> RealPortSystem();
