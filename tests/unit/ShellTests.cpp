#include "processor/VeldranoxAudioProcessor.h"

#include <gtest/gtest.h>

TEST (Shell, Name) { VeldranoxAudioProcessor p; EXPECT_EQ (p.getName(), "VELDRANOX"); }
