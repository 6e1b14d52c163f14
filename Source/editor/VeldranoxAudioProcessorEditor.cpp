#include "editor/VeldranoxAudioProcessorEditor.h"

#include "processor/VeldranoxAudioProcessor.h"

VeldranoxAudioProcessorEditor::VeldranoxAudioProcessorEditor (VeldranoxAudioProcessor& owner)
    : juce::AudioProcessorEditor (owner), audioProcessor (owner)
{
    setLookAndFeel (&editorLookAndFeel);
    setSize (480, 404);
}

VeldranoxAudioProcessorEditor::~VeldranoxAudioProcessorEditor() { setLookAndFeel (nullptr); }

void VeldranoxAudioProcessorEditor::paint (juce::Graphics& g) { g.fillAll (juce::Colour (0xff1a222e)); }

void VeldranoxAudioProcessorEditor::resized() {}
