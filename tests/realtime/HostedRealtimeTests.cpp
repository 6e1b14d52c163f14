#include "ElfFunctionLookup.h"
#include "HostedSession.h"
#include "RealtimeGuard.h"

#include <gtest/gtest.h>
#include <tuple>

namespace
{
constexpr const char* bundleLibrary = "VELDRANOX.so";

// VeldranoxAudioProcessor::processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&), and its cold part.
constexpr const char* processBlockSymbol =
    "_ZN23VeldranoxAudioProcessor12processBlockERN4juce11AudioBufferIfEERNS0_10MidiBufferE";

// VeldranoxAudioProcessor::processBlockBypassed (juce::AudioBuffer<float>&, juce::MidiBuffer&), which the
// wrapper calls instead while its "Bypass" parameter is on.
constexpr const char* processBlockBypassedSymbol =
    "_ZN23VeldranoxAudioProcessor20processBlockBypassedERN4juce11AudioBufferIfEERNS0_10MidiBufferE";

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

    HostedSession session;
    juce::AudioBuffer<float> buffer;
    juce::Random random { 2 };
};
} // namespace

// Only what runs under the plug-in's processBlock counts: the wrapper around it allocates and locks
// on every call in this JUCE version, and that is not the plug-in's doing.
TEST_P (HostedRealtime, ProcessBlockMakesNoForbiddenCallInsideTheBundle)
{
    const auto processBlockCode = findLoadedFunctions (bundleLibrary, processBlockSymbol);
    ASSERT_FALSE (processBlockCode.empty()) << "processBlock not found in the bundle's symbol table";
    RealtimeGuard::watch (processBlockCode);

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
    auto watched = findLoadedFunctions (bundleLibrary, processBlockSymbol);
    const auto bypassedCode = findLoadedFunctions (bundleLibrary, processBlockBypassedSymbol);
    ASSERT_FALSE (watched.empty()) << "processBlock not found in the bundle's symbol table";
    ASSERT_FALSE (bypassedCode.empty()) << "processBlockBypassed not found in the bundle's symbol table";
    watched.insert (watched.end(), bypassedCode.begin(), bypassedCode.end());
    RealtimeGuard::watch (watched);

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
