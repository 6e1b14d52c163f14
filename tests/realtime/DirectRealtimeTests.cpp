#include "EngineProbe.h"
#include "RealtimeGuard.h"
#include "SettableTempo.h"
#include "SignalChecks.h"
#include "processor/ParameterIDs.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <gtest/gtest.h>
#include <tuple>

namespace
{

class GuardedProcessor : public ::testing::Test
{
protected:
    void prepare (double rate, int block, int channels)
    {
        RealtimeGuard::reset();
        const auto set = channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (set);
        layout.outputBuses.add (set);
        ASSERT_TRUE (processor.setBusesLayout (layout));
        processor.setPlayHead (&tempo);
        processor.prepareToPlay (rate, block);
        buffer.setSize (channels, block);
    }

    // Processes under the guard; everything else (noise, control changes) happens unguarded.
    void processGuarded (int numSamples, bool bypassed = false)
    {
        juce::AudioBuffer<float> view (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), numSamples);
        fillWithNoise (view, random, numSamples);

        RealtimeGuard::ScopedArm guard (RealtimeGuard::Scope::wholeCall);

        if (bypassed)
            processor.processBlockBypassed (view, midi);
        else
            processor.processBlock (view, midi);
    }

    VeldranoxAudioProcessor processor;
    SettableTempo tempo;
    juce::AudioBuffer<float> buffer;
    juce::MidiBuffer midi;
    juce::Random random { 1 };
};

using Case = std::tuple<double, int, int>; // sample rate, prepared block size, channels

class DirectRealtime : public GuardedProcessor, public ::testing::WithParamInterface<Case>
{
protected:
    void SetUp() override
    {
        std::apply ([this] (auto... args) { prepare (args...); }, GetParam());
    }
};
} // namespace

TEST_P (DirectRealtime, ProcessBlockMakesNoForbiddenCallAfterPreparation)
{
    const int prepared = buffer.getNumSamples();

    for (int block = 0; block < 200; ++block)
    {
        // Controls and tempo move between blocks, as automation and a tempo track would.
        for (const auto& macro : macroTable)
            processor.parameters.getParameter (macro.id)->setValueNotifyingHost (random.nextFloat());
        tempo.bpm = 10.0 + random.nextDouble() * 400.0;

        // Full blocks, shorter ones, single samples and empty ones.
        const int lengths[] = { prepared, 1 + random.nextInt (prepared), 1, 0 };
        processGuarded (lengths[block % 4]);
    }

    EXPECT_EQ (RealtimeGuard::violations(), 0) << RealtimeGuard::describeViolations();
}

// The host's bypass in both directions: fades, the dry path alone, the engine's tails dropped in the block
// after a fade-out ends, and the delay refilling its emptied ring after a release.
TEST_P (DirectRealtime, BypassSwitchingMakesNoForbiddenCall)
{
    const int prepared = buffer.getNumSamples();
    const auto& delay = EngineProbe::modulatedDelay (processor);
    bool bypassed = false;
    bool refilled = false;

    for (int block = 0; block < 300; ++block)
    {
        if (random.nextInt (5) == 0)
            bypassed = ! bypassed;

        processor.parameters.getParameter (ParameterIDs::space)->setValueNotifyingHost (random.nextFloat());
        const int lengths[] = { prepared, 1 + random.nextInt (prepared), 1 };
        processGuarded (lengths[block % 3], bypassed);
        refilled = refilled || (! bypassed && delay.getWrittenLength() < delay.getRingLength());
    }

    EXPECT_TRUE (refilled) << "no release reached the delay while its ring was being refilled";
    EXPECT_EQ (RealtimeGuard::violations(), 0) << RealtimeGuard::describeViolations();
}

INSTANTIATE_TEST_SUITE_P (Preparations,
                          DirectRealtime,
                          ::testing::Values (Case { 44100.0, 512, 2 },
                                             Case { 48000.0, 64, 2 },
                                             Case { 96000.0, 1024, 1 },
                                             Case { 22050.0, 1, 2 },
                                             Case { 192000.0, 4096, 2 }));

// The guard is only worth something if it fires: a block longer than prepared must allocate.
TEST_F (GuardedProcessor, GuardCatchesTheAllocationOfAnOversizedBlock)
{
    prepare (48000.0, 256, 2);
    buffer.setSize (2, 8192);
    processGuarded (8192);

    EXPECT_GT (RealtimeGuard::violations(), 0);
    EXPECT_NE (RealtimeGuard::describeViolations().find ("alloc"), std::string::npos)
        << RealtimeGuard::describeViolations();
}

// A host that switches from mono to stereo without preparing again: the work buffers regrow within
// memory obtained in prepareToPlay.
TEST_F (GuardedProcessor, AWiderLayoutThanPreparedMakesNoForbiddenCall)
{
    prepare (48000.0, 512, 1);
    juce::AudioProcessor::BusesLayout stereo;
    stereo.inputBuses.add (juce::AudioChannelSet::stereo());
    stereo.outputBuses.add (juce::AudioChannelSet::stereo());
    ASSERT_TRUE (processor.setBusesLayout (stereo));
    buffer.setSize (2, 512);

    for (const bool bypassed : { false, true, false })
        for (int block = 0; block < 20; ++block)
            processGuarded (512, bypassed);

    EXPECT_EQ (RealtimeGuard::violations(), 0) << RealtimeGuard::describeViolations();
}
