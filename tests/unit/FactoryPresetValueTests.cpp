#include "presets/FactoryPresets.h"

#include <gtest/gtest.h>

// What the bank's rows mean for the knobs they do not name: a knob added to the table must start at its
// default in every preset, never at 0 (which for MELT would be a dry preset, for one).
TEST (FactoryPresetValues, AKnobAPresetLeavesOutKeepsItsDefault)
{
    constexpr auto none = presetValues();
    constexpr auto firstOnly = presetValues (12.0f);

    EXPECT_EQ (firstOnly[0], 12.0f);
    for (std::size_t k = 0; k < numMacros; ++k)
    {
        EXPECT_EQ (none[k], macroTable[k].defaultValue) << macroTable[k].id;
        if (k > 0)
        {
            EXPECT_EQ (firstOnly[k], macroTable[k].defaultValue) << macroTable[k].id;
        }
    }

    // Init is the plug-in as it loads.
    const auto* init = findFactoryPreset ("init");
    ASSERT_NE (init, nullptr);
    EXPECT_EQ (init->values, none);
}
