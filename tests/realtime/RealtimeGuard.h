#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Fails code that, on the guarded thread, allocates or frees heap memory, takes a mutex or makes a
// blocking system call. The test executable interposes those functions (RealtimeInterposers.cpp); the
// dynamic linker binds the loaded plug-in bundle to them too, so the guard sees the bundle's calls.
namespace RealtimeGuard
{
// Half-open range of machine code.
struct CodeRange
{
    std::uintptr_t begin = 0;
    std::uintptr_t end = 0;

    bool contains (std::uintptr_t address) const { return address >= begin && address < end; }
};

// Which calls on an armed thread count.
enum class Scope
{
    wholeCall,   // everything: the armed call is the plug-in's own code from top to bottom
    watchedCode, // only calls with a frame of the watched code on the stack
};

// Must run once before arming: resolves the forwarded functions and primes the stack unwinder, both
// of which allocate the first time.
void install();

// The code whose calls count under Scope::watchedCode.
void watch (std::vector<CodeRange> ranges);

// Arms the guard on the calling thread for its lifetime.
class ScopedArm
{
public:
    explicit ScopedArm (Scope scope);
    ~ScopedArm();
    ScopedArm (const ScopedArm&) = delete;
    ScopedArm& operator= (const ScopedArm&) = delete;
};

// Number of offending calls since the last reset, and a readable account of the first few.
int violations();
std::string describeViolations();
void reset();
} // namespace RealtimeGuard
