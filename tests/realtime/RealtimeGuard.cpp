#include "RealtimeGuard.h"

#include "RealtimeCheck.h"

#include <array>
#include <atomic>
#include <cstdlib>
#include <cxxabi.h>
#include <dlfcn.h>
#include <sstream>
#include <unwind.h>

namespace RealtimeGuard
{
namespace
{
constexpr int maxFrames = 64;
constexpr int framesShown = 12;
constexpr int recordsKept = 4;

struct Stack
{
    std::array<std::uintptr_t, maxFrames> frames {};
    int depth = 0;
};

struct Record
{
    const char* function = nullptr;
    Stack stack;
};

// Per thread, with no constructor to run: read from inside malloc, possibly before anything else.
thread_local bool armed = false;
thread_local bool busy = false;
thread_local Scope armedScope = Scope::wholeCall;

// Written only while no thread is armed.
std::vector<CodeRange> watched;

std::atomic<int> violationCount { 0 };
std::array<Record, recordsKept> records;

_Unwind_Reason_Code collectFrame (_Unwind_Context* context, void* data)
{
    auto& stack = *static_cast<Stack*> (data);

    if (stack.depth >= maxFrames)
        return _URC_END_OF_STACK;

    stack.frames[(size_t) stack.depth++] = static_cast<std::uintptr_t> (_Unwind_GetIP (context));
    return _URC_NO_REASON;
}

bool runsWatchedCode (const Stack& stack)
{
    for (int i = 0; i < stack.depth; ++i)
        for (const auto& range : watched)
            if (range.contains (stack.frames[(size_t) i] - 1)) // a return address points past its call
                return true;

    return false;
}

std::string describeFrame (std::uintptr_t address)
{
    Dl_info info {};
    std::ostringstream text;
    text << "    0x" << std::hex << address << std::dec;

    if (dladdr (reinterpret_cast<void*> (address), &info) == 0)
        return text.str();

    if (info.dli_sname != nullptr)
    {
        int status = 0;
        char* demangled = abi::__cxa_demangle (info.dli_sname, nullptr, nullptr, &status);
        text << " " << (status == 0 && demangled != nullptr ? demangled : info.dli_sname);
        std::free (demangled);
    }

    if (info.dli_fname != nullptr)
        text << " in " << info.dli_fname << " +0x" << std::hex
             << (address - reinterpret_cast<std::uintptr_t> (info.dli_fbase));

    return text.str();
}
} // namespace

void detail::check (const char* function) noexcept
{
    if (! armed || busy)
        return;

    busy = true;
    Stack stack;
    _Unwind_Backtrace (collectFrame, &stack);

    if (armedScope == Scope::wholeCall || runsWatchedCode (stack))
    {
        const int index = violationCount.fetch_add (1);

        if (index < recordsKept)
            records[(size_t) index] = { function, stack };
    }

    busy = false;
}

void install()
{
    detail::resolveForwarding();

    // The unwinder loads and caches what it needs on its first walk.
    Stack stack;
    _Unwind_Backtrace (collectFrame, &stack);
}

void watch (std::vector<CodeRange> ranges) { watched = std::move (ranges); }

ScopedArm::ScopedArm (Scope scope)
{
    armedScope = scope;
    armed = true;
}

ScopedArm::~ScopedArm() { armed = false; }

int violations() { return violationCount.load(); }

std::string describeViolations()
{
    std::ostringstream text;
    const int count = violations();
    text << count << " real-time violation(s)";

    for (int r = 0; r < std::min (count, recordsKept); ++r)
    {
        const auto& record = records[(size_t) r];
        text << "\n  " << record.function << " called from:";

        // Frame 0 is the guard itself and frame 1 the interposer.
        for (int i = 2; i < std::min (record.stack.depth, framesShown); ++i)
            text << "\n" << describeFrame (record.stack.frames[(size_t) i]);
    }

    return text.str();
}

void reset() { violationCount = 0; }
} // namespace RealtimeGuard
