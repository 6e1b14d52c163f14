#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The plug-in's drawing style: a dark blue-grey palette over LookAndFeel_V4, knobs drawn as a ring arc
// around a shaded disc with a pointer, a cross-marked tick box and one monospaced text font.
class QuartzineLookAndFeel : public juce::LookAndFeel_V4
{
public:
    QuartzineLookAndFeel();

    void drawTickBox (juce::Graphics& g,
                      juce::Component& component,
                      float x,
                      float y,
                      float w,
                      float h,
                      bool ticked,
                      bool isEnabled,
                      bool shouldDrawButtonAsHighlighted,
                      bool shouldDrawButtonAsDown) override;

    juce::Font getComboBoxFont (juce::ComboBox& box) override;

    juce::Font getLabelFont (juce::Label& label) override;

    void drawRotarySlider (juce::Graphics& g,
                           int x,
                           int y,
                           int width,
                           int height,
                           float sliderPosProportional,
                           float rotaryStartAngle,
                           float rotaryEndAngle,
                           juce::Slider& slider) override;
};
