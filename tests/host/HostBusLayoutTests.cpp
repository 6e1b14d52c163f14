#include "HostTestSupport.h"

namespace
{
struct LayoutCase
{
    const char* description;
    juce::AudioChannelSet input;
    juce::AudioChannelSet output;
    bool accepted;
};

juce::AudioProcessor::BusesLayout makeLayout (const LayoutCase& c)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (c.input);
    layout.outputBuses.add (c.output);
    return layout;
}
} // namespace

TEST (HostBusLayouts, AcceptsOnlyMatchingMonoOrStereo)
{
    using Set = juce::AudioChannelSet;

    const LayoutCase cases[] = {
        { "mono in, mono out", Set::mono(), Set::mono(), true },
        { "stereo in, stereo out", Set::stereo(), Set::stereo(), true },
        { "stereo in, mono out", Set::stereo(), Set::mono(), false },
        { "mono in, stereo out", Set::mono(), Set::stereo(), false },
        { "5.1 in, 5.1 out", Set::create5point1(), Set::create5point1(), false },
        { "quadraphonic in, quadraphonic out", Set::quadraphonic(), Set::quadraphonic(), false },
    };

    auto instance = HostTestSupport::loadInstance();
    ASSERT_NE (instance, nullptr);

    for (const auto& c : cases)
        EXPECT_EQ (instance->checkBusesLayoutSupported (makeLayout (c)), c.accepted) << c.description;
}

TEST (HostBusLayouts, MonoLayoutGivesOneChannelEachWay)
{
    auto instance = HostTestSupport::loadInstance();
    ASSERT_NE (instance, nullptr);

    ASSERT_TRUE (instance->setBusesLayout (
        makeLayout ({ "mono", juce::AudioChannelSet::mono(), juce::AudioChannelSet::mono(), true })));
    EXPECT_EQ (instance->getTotalNumInputChannels(), 1);
    EXPECT_EQ (instance->getTotalNumOutputChannels(), 1);
}

// VST3 lets a host switch any bus off and gives the plug-in no say; JUCE's wrapper then keeps the
// plug-in on its last accepted layout and feeds it silence.
TEST (HostBusLayouts, SwitchedOffInputGivesSilence)
{
    auto instance = HostTestSupport::loadInstance();
    ASSERT_NE (instance, nullptr);
    ASSERT_TRUE (instance->setBusesLayout (
        makeLayout ({ "disabled in", juce::AudioChannelSet::disabled(), juce::AudioChannelSet::stereo(), true })));
    instance->prepareToPlay (44100.0, HostTestSupport::blockSize);

    juce::AudioBuffer<float> buffer (2, HostTestSupport::blockSize);
    juce::Random random (7);

    for (int ch = 0; ch < buffer.getNumChannels(); ++ch)
        for (int i = 0; i < buffer.getNumSamples(); ++i)
            buffer.setSample (ch, i, random.nextFloat());

    juce::MidiBuffer midi;
    instance->processBlock (buffer, midi);

    EXPECT_EQ (buffer.getMagnitude (0, buffer.getNumSamples()), 0.0f);
}
