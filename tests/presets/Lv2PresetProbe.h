#pragma once

#include <juce_core/juce_core.h>
#include <memory>
#include <vector>

// The plug-in and its presets as an LV2 host built on lilv sees them: a lilv world over some folders, an
// instance of the plug-in made by lilv, presets applied with lilv's state API (lilv_state_new_from_world,
// lilv_state_restore), and the state the instance then saves through its state interface.
class Lv2PresetProbe
{
public:
    struct Preset
    {
        juce::String uri;
        juce::String label;
    };

    Lv2PresetProbe (const juce::StringArray& folders, const juce::String& pluginUri);
    ~Lv2PresetProbe();

    // Empty when the world holds the plug-in and an instance of it was made.
    juce::String error() const;

    // Every preset lilv relates to the plug-in, with the label lilv reads for it.
    std::vector<Preset> presets() const;

    // Applies the preset to the instance; false when lilv cannot load it as a state.
    bool apply (const juce::String& presetUri);

    // The plug-in's own state bytes, from the value it stores under its state key; empty if it stores none.
    juce::MemoryBlock savedBlob() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};
