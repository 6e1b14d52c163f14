#include "HostedPlugin.h"
#include "RealtimeGuard.h"

#include <gtest/gtest.h>

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);
    HostedPlugin::ScopedGuiEnvironment gui;
    RealtimeGuard::install();
    return RUN_ALL_TESTS();
}
