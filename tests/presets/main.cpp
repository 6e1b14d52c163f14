#include "HostedPlugin.h"

#include <gtest/gtest.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    // The test thread is the host's message thread: JUCE's VST3 hosting code insists on it.
    HostedPlugin::ScopedGuiEnvironment gui;
    return RUN_ALL_TESTS();
}
