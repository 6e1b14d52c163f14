#pragma once

#include "HostedPlugin.h"
#include "SignalChecks.h"
#include "engine/MacroTable.h"

#include <memory>

// One hosted VELDRANOX instance driven the way a DAW drives it: layout and preparation on the
// message thread, blocks through the VST3 process call.
class HostedSession
{
public:
    HostedSession();

    bool isLoaded() const { return instance != nullptr; }
    const juce::String& loadError() const { return error; }
    juce::AudioPluginInstance& plugin() { return *instance; }

    // Stops processing, applies the layout, prepares and lets the host side see the new latency.
    bool prepare (double sampleRate,
                  int maxBlockSize,
                  const juce::AudioChannelSet& layout = juce::AudioChannelSet::stereo());

    int numChannels() const;
    void process (juce::AudioBuffer<float>& buffer);

    // Noise through numBlocks blocks of blockSize samples; the health of everything that came out.
    BlockHealth processNoise (int numBlocks, int blockSize, juce::Random& random);

    // The host-side parameter with this display name; null if the plug-in has none.
    juce::AudioProcessorParameter* parameter (const juce::String& name);

    juce::MemoryBlock saveState();
    void restoreState (const juce::MemoryBlock& state);

private:
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::String error;
    juce::MidiBuffer midi;
    juce::AudioBuffer<float> scratch;
};

// The plug-in's macro controls by host-visible name, in the macro table's order.
inline const juce::StringArray& macroNames()
{
    static const juce::StringArray names = []
    {
        juce::StringArray all;

        for (const auto& macro : macroTable)
            all.add (macro.name);

        return all;
    }();
    return names;
}
