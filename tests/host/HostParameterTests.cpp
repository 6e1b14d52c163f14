#include "HostTestSupport.h"

using HostTestSupport::controls;
using HostTestSupport::Format;

namespace
{
class HostParameters : public ::testing::TestWithParam<Format>
{
};

// JUCE's VST3 host lists the plug-in's parameters in its order and the wrapper's bypass last; JUCE's LV2
// host lists the bypass (the "enabled" port) first and the LV2 parameters sorted by their URIs.
// Spelled out on purpose, as in ParameterTests.cpp, not read from the macro table: what a host shows is
// checked independently of the table it is made from.
std::vector<juce::String> expectedOrder (Format format)
{
    if (format == Format::lv2)
        return { "Bypass", "Drift", "Grit", "Melt", "Space" };

    return { "Space", "Grit", "Drift", "Melt", "Bypass" };
}
} // namespace

TEST_P (HostParameters, HostSeesTheFourControlsAndTheWrappersBypass)
{
    auto instance = HostTestSupport::loadInstance (GetParam());
    ASSERT_NE (instance, nullptr);

    juce::StringArray names;
    for (auto* parameter : instance->getParameters())
        names.add (parameter->getName (1024));

    const auto expected = expectedOrder (GetParam());
    EXPECT_EQ (names, juce::StringArray (expected.data(), int (expected.size())));

    auto* bypass = HostedPlugin::findParameter (*instance, "Bypass");
    ASSERT_NE (bypass, nullptr);
    EXPECT_EQ (bypass, instance->getBypassParameter());
    EXPECT_EQ (bypass->getValue(), 0.0f);
}

TEST_P (HostParameters, FreshInstanceStartsAtTheDefaults)
{
    auto instance = HostTestSupport::loadInstance (GetParam());
    ASSERT_NE (instance, nullptr);

    for (const auto& control : controls)
    {
        SCOPED_TRACE (control.name);
        auto& p = HostTestSupport::parameter (*instance, control.name);
        EXPECT_FLOAT_EQ (p.getDefaultValue(), control.normalisedDefault);
        EXPECT_FLOAT_EQ (p.getValue(), control.normalisedDefault);
    }
}

INSTANTIATE_TEST_SUITE_P (Formats, HostParameters, HostTestSupport::allFormats, HostTestSupport::formatCaseName);

// A VST3 host asks the plug-in for its texts. An LV2 host formats the values itself: JUCE's LV2 client
// publishes each parameter's range and default, but no text.
TEST (HostParametersVst3, TextsShowTheZeroToHundredValueWithOneDecimal)
{
    struct Case
    {
        float normalised;
        const char* text;
    };

    const Case cases[] = { { 0.0f, "0.0" }, { 0.5f, "50.0" }, { 1.0f, "100.0" }, { 0.734f, "73.4" } };

    auto instance = HostTestSupport::loadInstance (Format::vst3);
    ASSERT_NE (instance, nullptr);

    for (const auto& control : controls)
    {
        SCOPED_TRACE (control.name);
        EXPECT_EQ (HostTestSupport::displayedText (*instance, control.name), control.defaultText);
        auto& p = HostTestSupport::parameter (*instance, control.name);

        for (const auto& c : cases)
        {
            SCOPED_TRACE (juce::String (control.name) + " at " + juce::String (c.normalised));
            EXPECT_EQ (p.getText (c.normalised, 1024), c.text);
            EXPECT_NEAR (p.getValueForText (c.text), c.normalised, 1.0e-6f);
        }
    }
}
