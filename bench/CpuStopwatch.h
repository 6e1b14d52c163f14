#pragma once

#include <ctime>

// CPU time of the calling thread. On a shared machine it leaves out the time other processes hold the
// core, which wall time would count against whichever case happened to be running.
class CpuStopwatch
{
public:
    CpuStopwatch() : start (now()) {}

    double elapsedNanoseconds() const { return now() - start; }

private:
    static double now()
    {
        timespec t {};
        clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
        return static_cast<double> (t.tv_sec) * 1.0e9 + static_cast<double> (t.tv_nsec);
    }

    double start;
};
