#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    // The parameter tree and its listeners expect a message thread; the test thread plays that role.
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
