#include "OfflineRenderer.h"

#include "HostedPlugin.h"
#include "ToolError.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace
{
// How long the message loop runs after preparing, so that the latency the plug-in reports reaches us.
constexpr int latencyArrivalMilliseconds = 50;

juce::AudioChannelSet channelSetFor (int numChannels)
{
    return numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
}
} // namespace

OfflineRenderer::OfflineRenderer (LoadedPlugin& loadedPlugin, RenderSettings renderSettings)
    : plugin (loadedPlugin), settings (std::move (renderSettings))
{
}

void OfflineRenderer::prepare (double rate, int numChannels)
{
    auto& instance = *plugin.instance;
    sampleRate = rate;

    playHead = std::make_unique<RenderPlayHead> (sampleRate, settings.bpm);
    instance.setPlayHead (playHead.get());
    instance.setNonRealtime (true);

    useChannelLayout (numChannels);
    scheduleAutomation();
    prepareWithStartingValues (numChannels);

    prepared.latencySamples = instance.getLatencySamples();
    prepared.tailSamples = tailSamplesAt();
    for (int i = 0; i < HostMacros::count; ++i)
        prepared.startingMacros[(size_t) i] = HostMacros::fromNormalised (plugin.macros[(size_t) i]->getValue());
}

RenderResult OfflineRenderer::process (const juce::AudioBuffer<float>& input, const ProgressCallback& progress)
{
    auto& instance = *plugin.instance;
    const auto numChannels = input.getNumChannels();
    const auto inputLength = (juce::int64) input.getNumSamples();

    RenderResult result;
    result.latencySamples = prepared.latencySamples;
    result.tailSamples = prepared.tailSamples;
    result.startingMacros = prepared.startingMacros;

    const auto skipped = settings.compensateLatency ? (juce::int64) result.latencySamples : 0;
    const auto outputLength = inputLength + result.tailSamples;
    const auto processedLength = outputLength + skipped;

    result.output.setSize (numChannels, (int) outputLength);
    result.output.clear();

    juce::AudioBuffer<float> block (numChannels, settings.blockSize);
    juce::MidiBuffer midi;
    const auto started = std::chrono::steady_clock::now();

    for (juce::int64 start = 0, blockIndex = 0; start < processedLength; start += settings.blockSize, ++blockIndex)
    {
        const auto length = (int) std::min ((juce::int64) settings.blockSize, processedLength - start);
        block.setSize (numChannels, length, false, false, true);
        block.clear();

        const auto fromInput = (int) std::clamp (inputLength - start, (juce::int64) 0, (juce::int64) length);
        for (int channel = 0; channel < numChannels && fromInput > 0; ++channel)
            block.copyFrom (channel, 0, input, channel, (int) start, fromInput);

        applyAutomationUpTo (blockIndex);
        playHead->setSamplePosition (start);
        midi.clear();
        instance.processBlock (block, midi);

        // Sample n of the processed stream belongs at n - skipped in the output.
        const auto firstKept = std::max (start, skipped);
        const auto endKept = std::min (start + length, skipped + outputLength);
        for (int channel = 0; channel < numChannels && firstKept < endKept; ++channel)
            result.output.copyFrom (channel,
                                    (int) (firstKept - skipped),
                                    block,
                                    channel,
                                    (int) (firstKept - start),
                                    (int) (endKept - firstKept));

        if (progress)
            progress ((double) (start + length) / (double) processedLength);
    }

    result.secondsTaken = std::chrono::duration<double> (std::chrono::steady_clock::now() - started).count();
    return result;
}

void OfflineRenderer::finish()
{
    plugin.instance->releaseResources();
    plugin.instance->setPlayHead (nullptr);
}

RenderResult
OfflineRenderer::render (const juce::AudioBuffer<float>& input, double rate, const ProgressCallback& progress)
{
    prepare (rate, input.getNumChannels());
    auto result = process (input, progress);
    finish();
    return result;
}

void OfflineRenderer::useChannelLayout (int numChannels)
{
    auto& instance = *plugin.instance;
    const auto set = channelSetFor (numChannels);

    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (set);
    layout.outputBuses.add (set);

    if (! instance.setBusesLayout (layout))
        throw ToolError (ExitStatus::unreadableFile,
                         "the plug-in does not accept " + set.getDescription().toLowerCase() + " audio");
}

void OfflineRenderer::prepareWithStartingValues (int numChannels)
{
    auto& instance = *plugin.instance;

    for (int i = 0; i < HostMacros::count; ++i)
        if (const auto value = settings.macros[(size_t) i])
            setMacro (i, *value);

    applyAutomationUpTo (0);

    // A host's values reach a stopped plug-in at once, but one that has played only at its next process
    // call, and it then glides to them. An empty block delivers them either way, and preparing again
    // starts the plug-in from them with nothing to glide.
    instance.prepareToPlay (sampleRate, settings.blockSize);
    juce::AudioBuffer<float> empty (numChannels, 0);
    juce::MidiBuffer midi;
    instance.processBlock (empty, midi);
    instance.releaseResources();
    instance.prepareToPlay (sampleRate, settings.blockSize);

    HostedPlugin::pumpMessages (latencyArrivalMilliseconds);
}

void OfflineRenderer::scheduleAutomation()
{
    schedule.clear();
    nextChange = 0;

    for (const auto& event : settings.automation)
        schedule.push_back ({ event.blockIndex (sampleRate, settings.blockSize), event.macro, event.value });

    // Changes for the same block keep their order in the file, so the last one wins.
    std::stable_sort (schedule.begin(),
                      schedule.end(),
                      [] (const ScheduledChange& a, const ScheduledChange& b) { return a.block < b.block; });
}

void OfflineRenderer::applyAutomationUpTo (juce::int64 block)
{
    for (; nextChange < schedule.size() && schedule[nextChange].block <= block; ++nextChange)
        setMacro (schedule[nextChange].macro, schedule[nextChange].value);
}

void OfflineRenderer::setMacro (int macro, float value)
{
    plugin.macros[(size_t) macro]->setValue (HostMacros::toNormalised (value));
}

int OfflineRenderer::tailSamplesAt() const
{
    const auto seconds = settings.tailSeconds.value_or (plugin.instance->getTailLengthSeconds());

    if (! std::isfinite (seconds) || seconds < 0.0)
        throw ToolError (ExitStatus::badArguments, "the plug-in reports an endless tail; give --tail SECONDS");

    return (int) std::lround (seconds * sampleRate);
}
