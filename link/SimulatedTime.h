#pragma once
// A port whose other end runs in simulated time, counted in the program's reads. While the
// program does not poll (its timer between attempts, a message box), a real console's time runs
// on by itself; a simulated one's is moved on through this, without anyone waiting for it.
#include <cstdint>

class ISimulatedTime {
public:
    virtual ~ISimulatedTime() = default;
    virtual void Elapse(uint32_t nMilliseconds) = 0;
    // The other end's time so far, in milliseconds.
    virtual int64_t GetMilliseconds() const = 0;
};
