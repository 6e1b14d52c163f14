#include <gtest/gtest.h>
#include <juce_events/juce_events.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    // Parameter attachments and editors post to the message thread; the test thread plays that role.
    juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
