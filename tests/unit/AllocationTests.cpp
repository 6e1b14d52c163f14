#include "AllocationCounter.h"
#include "EngineHarness.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

using namespace EngineHarness;

namespace
{
// Keeps the optimiser from removing an allocation whose result is not otherwise used.
void* volatile escapedPointer = nullptr;
void escape (void* pointer) { escapedPointer = pointer; }

long allocationsDuring (VeldranoxAudioProcessor& processor, juce::AudioBuffer<float>& block)
{
    juce::MidiBuffer midi;
    ScopedAllocationCount count;
    processor.processBlock (block, midi);
    return count.allocations();
}

// Every stage busy: ducking, leveller and reducer on, a glide in progress.
const MacroSettings busy { 80.0f, 100.0f, 100.0f, 100.0f };
} // namespace

TEST (Allocation, CounterSeesTheAllocationsOfThisThread)
{
    ScopedAllocationCount count;
    auto block = std::make_unique<char[]> (256);
    escape (block.get());
    EXPECT_GE (count.allocations(), 1);

    if (ScopedAllocationCount::countsMalloc())
    {
        const long before = count.allocations();
        void* raw = std::malloc (64);
        escape (raw);
        std::free (raw);
        EXPECT_EQ (count.allocations(), before + 1);
    }
}

TEST (Allocation, BlocksWithinThePreparedShapeAllocateNothing)
{
    struct Case
    {
        const char* name;
        bool monoLayout;
        int channels, samples;
        bool playHead;
    };

    constexpr Case cases[] = {
        { "prepared shape", false, 2, 512, false }, { "shorter", false, 2, 64, false },
        { "one sample", false, 2, 1, false },       { "narrower", false, 1, 512, false },
        { "with play head", false, 2, 300, true },  { "mono layout", true, 1, 512, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        auto processor = makePrepared (48000.0, 512, busy, c.monoLayout);
        FakePlayHead head (FakePlayHead::Kind::tempo, 97.0);

        if (c.playHead)
            processor->setPlayHead (&head);

        for (int b = 0; b < 3; ++b)
        {
            // A parameter change between blocks starts new ramps; that must not allocate either.
            setMacro (*processor, ParameterIDs::space, b % 2 == 0 ? 20.0f : 90.0f);
            auto block = noise (c.channels, c.samples, 1.0f, b);
            EXPECT_EQ (allocationsDuring (*processor, block), 0) << "block " << b;
        }

        processor->setPlayHead (nullptr);
    }
}

TEST (Allocation, ALongerBlockAllocatesOnceThenReusesTheMemory)
{
    // Buffer memory comes from malloc, not operator new.
    if (! ScopedAllocationCount::countsMalloc())
        GTEST_SKIP() << "malloc is not counted on this platform";

    auto processor = makePrepared (48000.0, 512, busy);
    auto longer = noise (2, 1024, 1.0f);
    auto prepared = noise (2, 512, 1.0f);

    EXPECT_GT (allocationsDuring (*processor, longer), 0);
    EXPECT_EQ (allocationsDuring (*processor, longer), 0);
    EXPECT_EQ (allocationsDuring (*processor, prepared), 0);
    EXPECT_EQ (allocationsDuring (*processor, longer), 0);
}
