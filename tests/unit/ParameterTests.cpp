#include "processor/ParameterIDs.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <gtest/gtest.h>

namespace
{
struct ParameterCase
{
    const char* id;
    const char* name;
    float defaultValue;
    const char* defaultText;
};

// Spelled out on purpose, not read from the macro table: this is the independent check of the table's
// rows, the IDs that saved projects and automation depend on. Adding or changing a knob means changing it.
constexpr ParameterCase macros[] = {
    { "SPACE", "Space", 40.0f, "40.0" },
    { "GRIT", "Grit", 25.0f, "25.0" },
    { "DRIFT", "Drift", 20.0f, "20.0" },
    { "MELT", "Melt", 35.0f, "35.0" },
};

juce::AudioParameterFloat& floatParameter (VeldranoxAudioProcessor& processor, const char* id)
{
    auto* parameter = dynamic_cast<juce::AudioParameterFloat*> (processor.parameters.getParameter (id));
    if (parameter == nullptr)
        throw std::runtime_error (std::string ("no float parameter ") + id);
    return *parameter;
}
} // namespace

TEST (Parameters, AreTheFourMacrosInHostOrder)
{
    VeldranoxAudioProcessor processor;
    const auto& list = processor.getParameters();

    ASSERT_EQ (list.size(), 4);

    for (int index = 0; index < 4; ++index)
    {
        const auto& expected = macros[index];
        auto* parameter = dynamic_cast<juce::AudioParameterFloat*> (list[index]);
        ASSERT_NE (parameter, nullptr) << expected.id;

        EXPECT_EQ (parameter->getParameterID(), expected.id);
        EXPECT_EQ (parameter->getParameterIndex(), index);
        EXPECT_EQ (parameter->getName (64), expected.name);
        EXPECT_EQ (parameter->getVersionHint(), 1);
        EXPECT_EQ (parameter->getLabel(), juce::String());
        EXPECT_TRUE (parameter->isAutomatable());
        EXPECT_FALSE (parameter->isMetaParameter());
        EXPECT_FALSE (parameter->isOrientationInverted());
        EXPECT_EQ (parameter->getCategory(), juce::AudioProcessorParameter::genericParameter);
    }
}

TEST (Parameters, ShareOneLinearRangeOnAPointOneGrid)
{
    VeldranoxAudioProcessor processor;

    for (const auto& macro : macros)
    {
        const auto& range = floatParameter (processor, macro.id).range;
        EXPECT_EQ (range.start, 0.0f) << macro.id;
        EXPECT_EQ (range.end, 100.0f) << macro.id;
        EXPECT_EQ (range.interval, 0.1f) << macro.id;
        EXPECT_EQ (range.skew, 1.0f) << macro.id;
        EXPECT_FALSE (range.symmetricSkew) << macro.id;
    }
}

TEST (Parameters, FreshInstanceStartsAtTheDefaultsWithTheirTexts)
{
    VeldranoxAudioProcessor processor;

    for (const auto& macro : macros)
    {
        auto& parameter = floatParameter (processor, macro.id);
        EXPECT_EQ (parameter.get(), macro.defaultValue) << macro.id;
        EXPECT_EQ (processor.parameters.getRawParameterValue (macro.id)->load(), macro.defaultValue) << macro.id;
        EXPECT_EQ (parameter.getCurrentValueAsText(), macro.defaultText) << macro.id;
        const auto& asHostSeesIt = static_cast<const juce::AudioProcessorParameter&> (parameter);
        EXPECT_FLOAT_EQ (asHostSeesIt.getDefaultValue(), macro.defaultValue / 100.0f) << macro.id;
    }
}

TEST (Parameters, HostValuesMapLinearlyAndSnapToTheGrid)
{
    struct Case
    {
        float normalised;
        float stored;
        const char* text;
    };
    const Case cases[] = {
        { 0.5f, 50.0f, "50.0" },     { 0.0f, 0.0f, "0.0" },  { 1.0f, 100.0f, "100.0" }, { 0.0257f, 2.6f, "2.6" },
        { 0.12345f, 12.3f, "12.3" }, { -0.2f, 0.0f, "0.0" }, { 1.3f, 100.0f, "100.0" },
    };

    VeldranoxAudioProcessor processor;
    auto& space = floatParameter (processor, ParameterIDs::space);
    const auto* raw = processor.parameters.getRawParameterValue (ParameterIDs::space);

    for (const auto& c : cases)
    {
        space.setValueNotifyingHost (c.normalised);
        EXPECT_FLOAT_EQ (space.get(), c.stored) << c.normalised;
        EXPECT_FLOAT_EQ (raw->load(), c.stored) << "the raw value follows at once: " << c.normalised;
        EXPECT_EQ (space.getCurrentValueAsText(), c.text) << c.normalised;
    }
}

TEST (Parameters, TextConvertsBackToTheValue)
{
    VeldranoxAudioProcessor processor;
    auto& grit = floatParameter (processor, ParameterIDs::grit);
    const auto& asHostSeesIt = static_cast<const juce::AudioProcessorParameter&> (grit);

    EXPECT_FLOAT_EQ (grit.convertFrom0to1 (asHostSeesIt.getValueForText ("55")), 55.0f);
    EXPECT_FLOAT_EQ (grit.convertFrom0to1 (asHostSeesIt.getValueForText ("12.3")), 12.3f);
    EXPECT_FLOAT_EQ (grit.convertFrom0to1 (asHostSeesIt.getValueForText ("250")), 100.0f);
}

TEST (Parameters, RawValuesAreFoundByExactIdOnly)
{
    VeldranoxAudioProcessor processor;

    for (const auto& macro : macros)
    {
        EXPECT_NE (processor.parameters.getRawParameterValue (macro.id), nullptr) << macro.id;
        EXPECT_EQ (processor.parameters.getRawParameterValue (macro.name), nullptr) << macro.name;
    }

    EXPECT_EQ (processor.parameters.getRawParameterValue ("space"), nullptr);
    EXPECT_EQ (processor.parameters.state.getType().toString(), "PARAMS");
}
