#include "HostTestSupport.h"

using HostTestSupport::controls;

TEST (HostParameters, HostSeesTheFourControlsThenTheWrappersBypass)
{
    auto instance = HostTestSupport::loadInstance();
    ASSERT_NE (instance, nullptr);

    const auto& parameters = instance->getParameters();
    ASSERT_EQ (parameters.size(), 5);

    for (size_t i = 0; i < controls.size(); ++i)
        EXPECT_EQ (parameters[int (i)]->getName (1024), controls[i].name);

    EXPECT_EQ (parameters[4]->getName (1024), "Bypass");
    EXPECT_EQ (parameters[4], instance->getBypassParameter());
    EXPECT_EQ (parameters[4]->getValue(), 0.0f);
}

TEST (HostParameters, FreshInstanceStartsAtTheDefaults)
{
    auto instance = HostTestSupport::loadInstance();
    ASSERT_NE (instance, nullptr);

    for (const auto& control : controls)
    {
        SCOPED_TRACE (control.name);
        auto& p = HostTestSupport::parameter (*instance, control.name);
        EXPECT_FLOAT_EQ (p.getDefaultValue(), control.normalisedDefault);
        EXPECT_FLOAT_EQ (p.getValue(), control.normalisedDefault);
        EXPECT_EQ (HostTestSupport::displayedText (*instance, control.name), control.defaultText);
    }
}

TEST (HostParameters, TextsShowTheZeroToHundredValueWithOneDecimal)
{
    struct Case
    {
        float normalised;
        const char* text;
    };

    const Case cases[] = { { 0.0f, "0.0" }, { 0.5f, "50.0" }, { 1.0f, "100.0" }, { 0.734f, "73.4" } };

    auto instance = HostTestSupport::loadInstance();
    ASSERT_NE (instance, nullptr);

    for (const auto& control : controls)
    {
        auto& p = HostTestSupport::parameter (*instance, control.name);

        for (const auto& c : cases)
        {
            SCOPED_TRACE (juce::String (control.name) + " at " + juce::String (c.normalised));
            EXPECT_EQ (p.getText (c.normalised, 1024), c.text);
            EXPECT_NEAR (p.getValueForText (c.text), c.normalised, 1.0e-6f);
        }
    }
}
