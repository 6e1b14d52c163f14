#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class QuartzineLookAndFeel : public juce::LookAndFeel_V4
{
public:
    QuartzineLookAndFeel();
};
