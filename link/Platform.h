#pragma once
// Process priority class, thread priority and a monotonic millisecond clock.

#include <cstdint>
#include <memory>

// Priority class values as the link writes them into its log.
constexpr uint32_t PRIORITY_CLASS_NORMAL = 0x20;
constexpr uint32_t PRIORITY_CLASS_HIGH = 0x80;
constexpr uint32_t PRIORITY_CLASS_REALTIME = 0x100;

class IPlatform {
public:
    virtual ~IPlatform() = default;
    // 0x20 normal, 0x80 high, 0x100 realtime. A refusal by the system is ignored.
    virtual void SetPriorityClass(uint32_t nClass) = 0;
    // true: the calling thread polls the port and should not be preempted; false: normal again.
    virtual void SetThreadTimeCritical(bool bCritical) = 0;
    // Monotonic milliseconds (1000 ticks per second).
    virtual int64_t MilliClock() = 0;
};

// The POSIX implementation: setpriority for the classes, a realtime scheduler only where the
// system permits it, std::chrono::steady_clock for the clock.
std::shared_ptr<IPlatform> DefaultPlatform();
