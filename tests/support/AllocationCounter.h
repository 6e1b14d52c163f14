#pragma once

// Counts heap allocations made by the calling thread while a ScopedAllocationCount is alive. The counting
// replacements of the global operator new (all forms) and the malloc counting (glibc's malloc family
// interposed, or a sanitizer's allocation hooks) live in tests/unit/AllocationCounter.cpp, linked into the
// unit test binary.
//
// The real-time guard (tests/realtime) is the stricter detector, failing on any allocation, lock or blocking
// call, but it replaces malloc for the whole process and so cannot run beside a sanitizer's runtime: the
// sanitized trees leave it out. This counter works under the sanitizers too, and counts rather than fails,
// which the cases that allow one allocation need (a block longer than prepared allocates once, then reuses).
class ScopedAllocationCount
{
public:
    ScopedAllocationCount();
    ~ScopedAllocationCount();

    ScopedAllocationCount (const ScopedAllocationCount&) = delete;
    ScopedAllocationCount& operator= (const ScopedAllocationCount&) = delete;

    long allocations() const;

    // Whether C allocations (malloc, calloc, realloc, the aligned forms) are counted as well as new.
    static bool countsMalloc();

private:
    long countAtStart;
    bool wasCounting;
};
