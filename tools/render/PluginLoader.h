#pragma once

#include "Macros.h"

#include <array>
#include <juce_audio_processors/juce_audio_processors.h>

// Finds and loads the VELDRANOX bundle, and the host-side handles of its macros.
struct LoadedPlugin
{
    juce::File bundle;
    juce::PluginDescription description;
    std::unique_ptr<juce::AudioPluginInstance> instance;
    std::array<juce::AudioProcessorParameter*, HostMacros::count> macros {};

    // Throws ToolError (plug-in not loaded) naming the problem. The format is "vst3", "lv2" or empty (the
    // bundle's own, else VST3). An empty bundle path means the bundle of that format this build produced,
    // then the installed one: ~/.vst3/VELDRANOX.vst3 or ~/.lv2/VELDRANOX.lv2, on Windows in the common VST3
    // and LV2 folders.
    static LoadedPlugin load (const juce::File& bundle, const juce::String& format, double sampleRate, int blockSize);
};
