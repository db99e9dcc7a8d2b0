// Priority classes on POSIX: the normal class is nice 0, the high class nice -10, the realtime
// class the round-robin realtime scheduler where the system permits it (else nice -20). A
// time-critical thread gets the FIFO scheduler inside a realtime process, otherwise the
// strongest nice value permitted. Every refusal is ignored, as the callers expect.

#include "link/Platform.h"

#include <chrono>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

class CPosixPlatform final : public IPlatform {
public:
    void SetPriorityClass(uint32_t nClass) override
    {
        m_nClass = nClass;
        sched_param param{};
        if (nClass == PRIORITY_CLASS_REALTIME) {
            param.sched_priority = sched_get_priority_min(SCHED_RR);
            if (sched_setscheduler(0, SCHED_RR, &param) != 0)
                setpriority(PRIO_PROCESS, 0, -20);
            return;
        }
        param.sched_priority = 0;
        sched_setscheduler(0, SCHED_OTHER, &param);
        pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
        m_bCritical = false;
        setpriority(PRIO_PROCESS, 0, nClass == PRIORITY_CLASS_HIGH ? -10 : 0);
    }

    void SetThreadTimeCritical(bool bCritical) override
    {
        // Called once per exchanged byte: only a change costs a system call.
        if (bCritical == m_bCritical)
            return;
        m_bCritical = bCritical;
        sched_param param{};
        if (bCritical && m_nClass == PRIORITY_CLASS_REALTIME) {
            param.sched_priority = sched_get_priority_max(SCHED_FIFO);
            pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
            return;
        }
        pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
        const auto tid = static_cast<id_t>(syscall(SYS_gettid));
        setpriority(PRIO_PROCESS, tid, bCritical ? -20 : ClassNice());
    }

    int64_t MilliClock() override
    {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }

private:
    int ClassNice() const
    {
        return m_nClass == PRIORITY_CLASS_HIGH ? -10 : (m_nClass == PRIORITY_CLASS_REALTIME ? -20 : 0);
    }

    uint32_t m_nClass = PRIORITY_CLASS_NORMAL;
    bool m_bCritical = false;
};

} // namespace

std::shared_ptr<IPlatform> DefaultPlatform()
{
    return std::make_shared<CPosixPlatform>();
}
