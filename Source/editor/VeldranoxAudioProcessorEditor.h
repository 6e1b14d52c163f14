#pragma once

#include "editor/QuartzineLookAndFeel.h"
#include "engine/MacroTable.h"

#include <array>
#include <juce_audio_processors/juce_audio_processors.h>
#include <memory>

class VeldranoxAudioProcessor;
struct EditorProbe; // test access to the child components

// The plug-in window: a teal header with the product and vendor names, a large MELT knob and a row of
// SPACE, GRIT and DRIFT knobs, each bound to its parameter. Fixed at 480 x 404.
class VeldranoxAudioProcessorEditor final : public juce::AudioProcessorEditor
{
public:
    explicit VeldranoxAudioProcessorEditor (VeldranoxAudioProcessor& owner);
    ~VeldranoxAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    friend struct EditorProbe;

    using SliderAttachment = juce::AudioProcessorValueTreeState::SliderAttachment;

    // One macro's knob: its name above it and the attachment that binds it to its parameter, declared
    // after the slider so that it detaches before the slider goes.
    struct Knob
    {
        juce::Label label;
        juce::Slider slider;
        std::unique_ptr<SliderAttachment> attachment;
    };

    void setupKnobLabel (juce::Label& label, const juce::String& text);
    void setupKnob (juce::Slider& slider);

    VeldranoxAudioProcessor& audioProcessor;

    // Declared before every component that draws with it, so it outlives them all.
    QuartzineLookAndFeel editorLookAndFeel;

    juce::Label titleLabel;
    juce::Label vendorLabel;

    // In the macro table's order.
    std::array<Knob, numMacros> knobs;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VeldranoxAudioProcessorEditor)
};
