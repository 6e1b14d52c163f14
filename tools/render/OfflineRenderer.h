#pragma once

#include "AutomationEvent.h"
#include "PluginLoader.h"

#include <functional>
#include <vector>

struct RenderSettings
{
    std::array<std::optional<float>, Macros::count> macros; // unset: leave the plug-in's value
    std::vector<AutomationEvent> automation;
    std::optional<double> bpm;
    std::optional<double> tailSeconds; // unset: the tail the plug-in reports
    int blockSize = 512;
    bool compensateLatency = true;
};

struct RenderResult
{
    juce::AudioBuffer<float> output; // the input's length plus the tail
    int latencySamples = 0;          // as the plug-in reported it
    int tailSamples = 0;
    std::array<float, Macros::count> startingMacros {}; // the values in force at the first sample
    double secondsTaken = 0.0;
};

// Streams a whole buffer through a loaded plug-in block by block, as a DAW bounces a track offline:
// the plug-in's own latency is reported to the host and, when asked, taken out of the output.
class OfflineRenderer
{
public:
    using ProgressCallback = std::function<void (double fractionDone)>;

    OfflineRenderer (LoadedPlugin& plugin, RenderSettings settings);

    // Throws ToolError when the plug-in refuses the input's channel layout.
    RenderResult render (const juce::AudioBuffer<float>& input, double sampleRate, const ProgressCallback& progress);

private:
    void useChannelLayout (int numChannels);
    void prepareWithStartingValues (double sampleRate, int numChannels);
    void scheduleAutomation (double sampleRate);
    void applyAutomationUpTo (juce::int64 block);
    void setMacro (int macro, float value);
    int tailSamplesAt (double sampleRate) const;

    struct ScheduledChange
    {
        juce::int64 block;
        int macro;
        float value;
    };

    LoadedPlugin& plugin;
    RenderSettings settings;
    std::vector<ScheduledChange> schedule;
    size_t nextChange = 0;
};
