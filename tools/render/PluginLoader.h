#pragma once

#include "Macros.h"

#include <array>
#include <juce_audio_processors/juce_audio_processors.h>

// Finds and loads the VELDRANOX bundle, and the host-side handles of its four macros.
struct LoadedPlugin
{
    juce::File bundle;
    juce::PluginDescription description;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    std::array<juce::AudioProcessorParameter*, Macros::count> macros {};

    // Throws ToolError (plug-in not loaded) naming the problem. An empty bundle path means the bundle
    // this build produced, then ~/.vst3/VELDRANOX.vst3.
    static LoadedPlugin load (const juce::File& bundle, double sampleRate, int blockSize);
};
