#include "ElfFunctionLookup.h"
#include "HostedSession.h"
#include "RealtimeGuard.h"

#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace
{
constexpr const char* bundleLibrary = "VELDRANOX.so";

// The plug-in's audio path: VeldranoxAudioProcessor::processBlock and processBlockBypassed (juce::AudioBuffer<float>&,
// juce::MidiBuffer&), which the wrapper calls while its "Bypass" parameter is off and on, and the shared
// body they hand the block to, which the compiler may enter by a tail call that leaves no frame of either
// on the stack. Cold parts come along with each.
constexpr const char* audioPathSymbols[] = {
    "_ZN23VeldranoxAudioProcessor12processBlockERN4juce11AudioBufferIfEERNS0_10MidiBufferE",
    "_ZN23VeldranoxAudioProcessor20processBlockBypassedERN4juce11AudioBufferIfEERNS0_10MidiBufferE",
    "_ZN23VeldranoxAudioProcessor7processERN4juce11AudioBufferIfEENS_6BypassE",
};

// The wrapper's own per-call audio path, which takes the processor's callback lock around processBlock.
constexpr const char* wrapperProcessSymbol =
    "_ZN4juce17JuceVST3Component12processAudioIfEEvRN9Steinberg3Vst11ProcessDataE";

using Case = std::tuple<double, int, int>; // sample rate, prepared block size, channels

class HostedRealtime : public ::testing::TestWithParam<Case>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (session.isLoaded()) << session.loadError();
        const auto [rate, block, channels] = GetParam();
        ASSERT_TRUE (session.prepare (
            rate, block, channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo()));
        buffer.setSize (session.numChannels(), block);
        RealtimeGuard::reset();
    }

    void processGuarded (int numSamples)
    {
        juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), numSamples);
        fillWithNoise (view, random, numSamples);

        RealtimeGuard::ScopedArm guard (RealtimeGuard::Scope::watchedCode);
        session.process (view);
    }

    // Watches every part of the plug-in's audio path; false if one is missing from the symbol table.
    ::testing::AssertionResult watchAudioPath()
    {
        std::vector<RealtimeGuard::CodeRange> watched;

        for (const auto* symbol : audioPathSymbols)
        {
            const auto code = findLoadedFunctions (bundleLibrary, symbol);

            if (code.empty())
                return ::testing::AssertionFailure() << symbol << " not found in the bundle's symbol table";

            watched.insert (watched.end(), code.begin(), code.end());
        }

        RealtimeGuard::watch (watched);
        return ::testing::AssertionSuccess();
    }

    HostedSession session;
    juce::AudioBuffer<float> buffer;
    juce::Random random { 2 };
};
} // namespace

// Only what runs under the plug-in's processBlock counts: the wrapper around it allocates and locks
// on every call in this JUCE version, and that is not the plug-in's doing.
TEST_P (HostedRealtime, ProcessBlockMakesNoForbiddenCallInsideTheBundle)
{
    ASSERT_TRUE (watchAudioPath());

    const int prepared = buffer.getNumSamples();

    for (int block = 0; block < 200; ++block)
    {
        for (const auto& name : macroNames())
            session.parameter (name)->setValueNotifyingHost (random.nextFloat());

        const int lengths[] = { prepared, 1 + random.nextInt (prepared), 1 };
        processGuarded (lengths[block % 3]);
    }

    EXPECT_EQ (RealtimeGuard::violations(), 0) << RealtimeGuard::describeViolations();
}

TEST_P (HostedRealtime, BypassSwitchingMakesNoForbiddenCallInsideTheBundle)
{
    ASSERT_TRUE (watchAudioPath());

    auto* bypass = session.plugin().getBypassParameter();
    ASSERT_NE (bypass, nullptr);
    const int prepared = buffer.getNumSamples();
    bool bypassed = false;

    for (int block = 0; block < 300; ++block)
    {
        if (random.nextInt (5) == 0)
            bypass->setValueNotifyingHost ((bypassed = ! bypassed) ? 1.0f : 0.0f);

        const int lengths[] = { prepared, 1 + random.nextInt (prepared), 1 };
        processGuarded (lengths[block % 3]);
    }

    bypass->setValueNotifyingHost (0.0f);
    EXPECT_EQ (RealtimeGuard::violations(), 0) << RealtimeGuard::describeViolations();
}

// The same machinery pointed at the wrapper must see its lock: proof that the bundle binds to the
// interposed functions, that its symbols are found and that the stack is walked through it.
TEST_P (HostedRealtime, GuardSeesTheWrapperLockThroughTheSameScoping)
{
    const auto wrapperCode = findLoadedFunctions (bundleLibrary, wrapperProcessSymbol);
    ASSERT_FALSE (wrapperCode.empty()) << "the wrapper's process path not found in the bundle's symbol table";
    RealtimeGuard::watch (wrapperCode);

    processGuarded (buffer.getNumSamples());

    EXPECT_GT (RealtimeGuard::violations(), 0);
    EXPECT_NE (RealtimeGuard::describeViolations().find ("pthread_mutex_lock"), std::string::npos)
        << RealtimeGuard::describeViolations();
}

INSTANTIATE_TEST_SUITE_P (Preparations,
                          HostedRealtime,
                          ::testing::Values (Case { 44100.0, 512, 2 },
                                             Case { 48000.0, 32, 1 },
                                             Case { 96000.0, 2048, 2 }));
