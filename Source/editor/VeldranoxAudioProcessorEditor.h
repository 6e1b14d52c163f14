#pragma once

#include "editor/QuartzineLookAndFeel.h"

#include <juce_audio_processors/juce_audio_processors.h>

class VeldranoxAudioProcessor;

class VeldranoxAudioProcessorEditor final : public juce::AudioProcessorEditor
{
public:
    explicit VeldranoxAudioProcessorEditor (VeldranoxAudioProcessor& owner);
    ~VeldranoxAudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

private:
    VeldranoxAudioProcessor& audioProcessor;
    QuartzineLookAndFeel editorLookAndFeel;
};
