#include "processor/VeldranoxAudioProcessor.h"

#include <gtest/gtest.h>

namespace
{
using Set = juce::AudioChannelSet;

struct LayoutCase
{
    const char* name;
    Set input;
    Set output;
    bool accepted;
};

juce::AudioProcessor::BusesLayout makeLayout (const Set& input, const Set& output)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (input);
    layout.outputBuses.add (output);
    return layout;
}
} // namespace

TEST (Shell, AcceptsOnlyMatchingMonoOrStereoLayouts)
{
    const LayoutCase cases[] = {
        { "mono in, mono out", Set::mono(), Set::mono(), true },
        { "stereo in, stereo out", Set::stereo(), Set::stereo(), true },
        { "stereo in, mono out", Set::stereo(), Set::mono(), false },
        { "mono in, stereo out", Set::mono(), Set::stereo(), false },
        { "disabled in, stereo out", Set::disabled(), Set::stereo(), false },
        { "disabled in, mono out", Set::disabled(), Set::mono(), false },
        { "stereo in, disabled out", Set::stereo(), Set::disabled(), false },
        { "5.1 in, 5.1 out", Set::create5point1(), Set::create5point1(), false },
        { "quadraphonic both sides", Set::quadraphonic(), Set::quadraphonic(), false },
        { "LCR both sides", Set::createLCR(), Set::createLCR(), false },
        { "discrete 2 both sides", Set::discreteChannels (2), Set::discreteChannels (2), false },
    };

    VeldranoxAudioProcessor processor;

    for (const auto& c : cases)
        EXPECT_EQ (processor.checkBusesLayoutSupported (makeLayout (c.input, c.output)), c.accepted) << c.name;
}

TEST (Shell, HasOneStereoInputAndOneStereoOutputBus)
{
    VeldranoxAudioProcessor processor;

    ASSERT_EQ (processor.getBusCount (true), 1);
    ASSERT_EQ (processor.getBusCount (false), 1);

    const auto* input = processor.getBus (true, 0);
    const auto* output = processor.getBus (false, 0);
    EXPECT_EQ (input->getName(), "Input");
    EXPECT_EQ (output->getName(), "Output");
    EXPECT_EQ (input->getDefaultLayout(), Set::stereo());
    EXPECT_EQ (output->getDefaultLayout(), Set::stereo());
    EXPECT_TRUE (input->isEnabledByDefault());
    EXPECT_TRUE (output->isEnabledByDefault());
    EXPECT_FALSE (processor.canAddBus (true));
    EXPECT_FALSE (processor.canRemoveBus (false));
}

TEST (Shell, SwitchesToMonoWhenTheHostAsksForIt)
{
    VeldranoxAudioProcessor processor;

    ASSERT_TRUE (processor.setBusesLayout (makeLayout (Set::mono(), Set::mono())));
    EXPECT_EQ (processor.getTotalNumInputChannels(), 1);
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 1);

    EXPECT_FALSE (processor.setBusesLayout (makeLayout (Set::stereo(), Set::mono())));
    EXPECT_EQ (processor.getTotalNumOutputChannels(), 1);
}

TEST (Shell, AnswersTheFixedQuestionsHostsAsk)
{
    VeldranoxAudioProcessor processor;

    EXPECT_EQ (processor.getName(), "VELDRANOX");
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_FALSE (processor.isMidiEffect());
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_DOUBLE_EQ (processor.getTailLengthSeconds(), 6.0);
    EXPECT_FALSE (processor.supportsDoublePrecisionProcessing());
    EXPECT_EQ (processor.getBypassParameter(), nullptr);
}

TEST (Shell, TailStaysSixSecondsAtEveryRate)
{
    VeldranoxAudioProcessor processor;

    for (const double rate : { 22050.0, 44100.0, 96000.0, 192000.0 })
    {
        processor.prepareToPlay (rate, 256);
        EXPECT_DOUBLE_EQ (processor.getTailLengthSeconds(), 6.0) << rate;
    }
}

TEST (Shell, HasOneUnnamedProgramThatCannotBeChanged)
{
    VeldranoxAudioProcessor processor;

    EXPECT_EQ (processor.getNumPrograms(), 1);

    for (const int index : { 0, 1, 7, -1 })
    {
        processor.setCurrentProgram (index);
        EXPECT_EQ (processor.getCurrentProgram(), 0) << index;
        EXPECT_EQ (processor.getProgramName (index), juce::String()) << index;

        processor.changeProgramName (index, "Renamed");
        EXPECT_EQ (processor.getProgramName (index), juce::String()) << index;
    }
}

TEST (Shell, CreatesAnEditorOfItsOwnThatTheCallerOwns)
{
    VeldranoxAudioProcessor processor;
    std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());

    ASSERT_NE (editor, nullptr);
    EXPECT_EQ (&editor->processor, &processor);
    EXPECT_EQ (editor->getWidth(), 480);
    EXPECT_EQ (editor->getHeight(), 404);
}
