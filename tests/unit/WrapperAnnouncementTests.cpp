#include "processor/VeldranoxAudioProcessor.h"

#include <gtest/gtest.h>
#include <map>
#include <memory>

// JUCE's LV2 wrapper listens to the processor and sends the host each value that the processor reports as
// changed, and nothing else. The processor therefore reports every value once after it is prepared (the
// wrapper prepares it as it instantiates it) and after every restore, so that an LV2 host's controls show
// the real values; for the other formats it reports only values that really change.
namespace
{
using WrapperType = juce::AudioProcessor::WrapperType;

struct ReportedValues final : juce::AudioProcessorListener
{
    std::map<int, float> latest; // by parameter index

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        latest[index] = value;
    }
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
};

std::unique_ptr<VeldranoxAudioProcessor> makeProcessorFor (WrapperType wrapper)
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (wrapper);
    auto processor = std::make_unique<VeldranoxAudioProcessor>();
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    return processor;
}

// The tree's state with GRIT at 90 and the other macros at their defaults.
juce::MemoryBlock stateWithGritAt90()
{
    VeldranoxAudioProcessor source;
    auto* grit = source.getParameters()[1];
    grit->setValueNotifyingHost (0.9f);

    juce::MemoryBlock blob;
    source.getStateInformation (blob);
    return blob;
}

struct Case
{
    const char* wrapper;
    WrapperType type;
    bool announcesEveryValue;
};

const Case cases[] = {
    { "LV2", juce::AudioProcessor::wrapperType_LV2, true },
    { "VST3", juce::AudioProcessor::wrapperType_VST3, false },
    { "standalone", juce::AudioProcessor::wrapperType_Standalone, false },
};

// Every macro's default as the host's normalised value, by parameter index.
const std::map<int, float> defaults = []
{
    std::map<int, float> values;
    for (std::size_t k = 0; k < numMacros; ++k)
        values[(int) k] =
            (macroTable[k].defaultValue - MacroRange::minimum) / (MacroRange::maximum - MacroRange::minimum);
    return values;
}();
} // namespace

TEST (WrapperAnnouncements, PreparingReportsEveryValueToAnLv2WrapperOnly)
{
    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.wrapper);
        auto processor = makeProcessorFor (c.type);
        ReportedValues reported;
        processor->addListener (&reported);
        processor->prepareToPlay (48000.0, 512);
        processor->removeListener (&reported);

        const auto expected = c.announcesEveryValue ? defaults : std::map<int, float> {};
        EXPECT_EQ (reported.latest, expected);
    }
}

TEST (WrapperAnnouncements, RestoreReportsEveryRestoredValueToAnLv2WrapperOnly)
{
    const auto blob = stateWithGritAt90();

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.wrapper);
        auto processor = makeProcessorFor (c.type);
        processor->prepareToPlay (48000.0, 512);
        ReportedValues reported;
        processor->addListener (&reported);
        processor->setStateInformation (blob.getData(), static_cast<int> (blob.getSize()));
        processor->removeListener (&reported);

        auto expected = c.announcesEveryValue ? defaults : std::map<int, float> {};
        expected[1] = 0.9f; // the one value that changed is reported in every format

        EXPECT_EQ (reported.latest, expected);
    }
}

TEST (WrapperAnnouncements, UnreadableStateReportsNothing)
{
    auto processor = makeProcessorFor (juce::AudioProcessor::wrapperType_LV2);
    ReportedValues reported;
    processor->addListener (&reported);
    const char damaged[] = "not a state";
    processor->setStateInformation (damaged, static_cast<int> (sizeof (damaged)));
    processor->removeListener (&reported);

    EXPECT_TRUE (reported.latest.empty());
}
