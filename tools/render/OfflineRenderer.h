#pragma once

#include "AutomationEvent.h"
#include "PluginLoader.h"
#include "RenderPlayHead.h"

#include <functional>
#include <vector>

struct RenderSettings
{
    std::array<std::optional<float>, HostMacros::count> macros; // unset: leave the plug-in's value
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
    std::array<float, HostMacros::count> startingMacros {}; // the values in force at the first sample
    double secondsTaken = 0.0;
};

// Streams a whole buffer through a loaded plug-in block by block, as a DAW bounces a track offline:
// the plug-in's own latency is reported to the host and, when asked, taken out of the output.
//
// VST3 wants a plug-in set up and torn down on the message thread, and lets its audio run on any
// other, so a render comes in three steps: prepare() and finish() on the message thread, process()
// between them on whichever thread renders it.
class OfflineRenderer
{
public:
    using ProgressCallback = std::function<void (double fractionDone)>;

    OfflineRenderer (LoadedPlugin& plugin, RenderSettings settings);

    // Message thread. Throws ToolError when the plug-in refuses the channel layout or reports an
    // endless tail.
    void prepare (double sampleRate, int numChannels);

    // Any one thread, between prepare() and finish().
    RenderResult process (const juce::AudioBuffer<float>& input, const ProgressCallback& progress);

    // Message thread.
    void finish();

    // All three on the calling thread, which must be the message thread.
    RenderResult render (const juce::AudioBuffer<float>& input, double sampleRate, const ProgressCallback& progress);

private:
    void useChannelLayout (int numChannels);
    void prepareWithStartingValues (int numChannels);
    void scheduleAutomation();
    void applyAutomationUpTo (juce::int64 block);
    void setMacro (int macro, float value);
    int tailSamplesAt() const;

    struct ScheduledChange
    {
        juce::int64 block;
        int macro;
        float value;
    };

    LoadedPlugin& plugin;
    RenderSettings settings;
    double sampleRate = 0.0;
    std::unique_ptr<RenderPlayHead> playHead;
    RenderResult prepared; // latency, tail and starting values, known once prepared
    std::vector<ScheduledChange> schedule;
    size_t nextChange = 0;
};
