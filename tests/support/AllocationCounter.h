#pragma once

// Counts heap allocations made by the calling thread while a ScopedAllocationCount is alive. The counting
// replacements of the global operator new (all forms) and the malloc counting (glibc's malloc family
// interposed, or a sanitizer's allocation hooks) live in tests/unit/AllocationCounter.cpp, linked into the
// unit test binary.
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
