#include "HostedPlugin.h"

#include <gtest/gtest.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    // The test thread is the host's message thread; audio threads are started by the tests.
    HostedPlugin::ScopedGuiEnvironment gui;
    return RUN_ALL_TESTS();
}
