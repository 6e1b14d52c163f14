#include "HostTestSupport.h"
#include "TestSignals.h"

#include <algorithm>

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

class HostBusLayouts : public ::testing::TestWithParam<HostTestSupport::Format>
{
};

TEST_P (HostBusLayouts, AcceptsOnlyTheMatchingLayoutsTheFormatOffers)
{
    using Set = juce::AudioChannelSet;
    const auto offered = HostTestSupport::channelCountsOffered (GetParam());
    const auto isOffered = [&offered] (int channels)
    { return std::find (offered.begin(), offered.end(), channels) != offered.end(); };

    const LayoutCase cases[] = {
        { "mono in, mono out", Set::mono(), Set::mono(), isOffered (1) },
        { "stereo in, stereo out", Set::stereo(), Set::stereo(), isOffered (2) },
        { "stereo in, mono out", Set::stereo(), Set::mono(), false },
        { "mono in, stereo out", Set::mono(), Set::stereo(), false },
        { "5.1 in, 5.1 out", Set::create5point1(), Set::create5point1(), false },
        { "quadraphonic in, quadraphonic out", Set::quadraphonic(), Set::quadraphonic(), false },
    };

    auto instance = HostTestSupport::loadInstance (GetParam());
    ASSERT_NE (instance, nullptr);

    for (const auto& c : cases)
        EXPECT_EQ (instance->checkBusesLayoutSupported (makeLayout (c)), c.accepted) << c.description;
}

TEST_P (HostBusLayouts, EachOfferedLayoutGivesItsChannelsEachWay)
{
    for (const auto channels : HostTestSupport::channelCountsOffered (GetParam()))
    {
        SCOPED_TRACE (channels);
        auto instance = HostTestSupport::loadInstance (GetParam());
        ASSERT_NE (instance, nullptr);

        const auto set = HostTestSupport::layoutFor (channels);
        ASSERT_TRUE (instance->setBusesLayout (makeLayout ({ "offered", set, set, true })));
        EXPECT_EQ (instance->getTotalNumInputChannels(), channels);
        EXPECT_EQ (instance->getTotalNumOutputChannels(), channels);
    }
}

INSTANTIATE_TEST_SUITE_P (Formats, HostBusLayouts, HostTestSupport::allFormats, HostTestSupport::formatCaseName);

// VST3 lets a host switch any bus off and gives the plug-in no say; JUCE's wrapper then keeps the
// plug-in on its last accepted layout and feeds it silence.
TEST (HostBusLayoutsVst3, SwitchedOffInputGivesSilence)
{
    auto instance = HostTestSupport::loadInstance (HostTestSupport::Format::vst3);
    ASSERT_NE (instance, nullptr);
    ASSERT_TRUE (instance->setBusesLayout (
        makeLayout ({ "disabled in", juce::AudioChannelSet::disabled(), juce::AudioChannelSet::stereo(), true })));
    instance->prepareToPlay (44100.0, HostTestSupport::blockSize);

    auto buffer = TestSignals::noise (2, HostTestSupport::blockSize, 1.0f, 7);

    juce::MidiBuffer midi;
    instance->processBlock (buffer, midi);

    EXPECT_EQ (buffer.getMagnitude (0, buffer.getNumSamples()), 0.0f);
}
