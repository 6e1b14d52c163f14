#include "RenderJob.h"

#include "AudioFileIO.h"
#include "AutomationFile.h"
#include "DemoMaterial.h"
#include "NumberText.h"
#include "OfflineRenderer.h"
#include "RenderPlot.h"
#include "SignalLevels.h"
#include "TerminalProgress.h"
#include "ToolError.h"

#include <iostream>

namespace
{
// The silence between the dry demo phrase and the same phrase through the plug-in.
constexpr double demoGapSeconds = 0.75;

const juce::String separator = juce::String::fromUTF8 ("  \xc2\xb7  "); // a middle dot

void checkWritable (const juce::File& target)
{
    if (target.isDirectory())
        throw ToolError (ExitStatus::notWritten, "the output is a directory: " + target.getFullPathName());
    if (! target.getParentDirectory().isDirectory())
        throw ToolError (ExitStatus::notWritten, "no such directory: " + target.getParentDirectory().getFullPathName());
}

InputAudio demoInput (const RenderOptions& options)
{
    InputAudio demo;
    demo.sampleRate = options.sampleRate.value_or (RenderOptions::defaultSampleRate);
    demo.samples = DemoMaterial::synthesise (demo.sampleRate, *options.bpm);
    return demo;
}

// The demo file plays the phrase dry, then through the plug-in.
juce::AudioBuffer<float>
dryThenProcessed (const juce::AudioBuffer<float>& dry, const juce::AudioBuffer<float>& processed, double sampleRate)
{
    const auto gap = (int) std::lround (demoGapSeconds * sampleRate);
    juce::AudioBuffer<float> both (dry.getNumChannels(), dry.getNumSamples() + gap + processed.getNumSamples());
    both.clear();

    for (int channel = 0; channel < both.getNumChannels(); ++channel)
    {
        both.copyFrom (channel, 0, dry, channel, 0, dry.getNumSamples());
        both.copyFrom (channel, dry.getNumSamples() + gap, processed, channel, 0, processed.getNumSamples());
    }

    return both;
}

juce::String settingsLine (const RenderOptions& options,
                           const RenderResult& result,
                           double sampleRate,
                           int numChannels,
                           size_t automationChanges)
{
    juce::StringArray parts;
    for (int i = 0; i < Macros::count; ++i)
        parts.add (Macros::names()[(size_t) i] + " " + NumberText::format (result.startingMacros[(size_t) i], 1));

    parts.add (options.bpm.has_value() ? NumberText::format (*options.bpm, 2) + " BPM" : "no host tempo");
    parts.add (NumberText::format (sampleRate) + " Hz " + AudioFileIO::describeChannels (numChannels));
    parts.add ("latency " + juce::String (result.latencySamples) + " samples" +
               (options.compensateLatency ? ", compensated" : ", kept"));
    if (automationChanges > 0)
        parts.add ("automation: " + juce::String ((int) automationChanges) + " changes");

    return parts.joinIntoString (separator);
}

juce::String summaryLine (const juce::String& source,
                          const RenderOptions& options,
                          const RenderResult& result,
                          const juce::AudioBuffer<float>& input,
                          double sampleRate)
{
    const auto in = SignalLevels::measure (input);
    const auto out = SignalLevels::measure (result.output);
    const auto inputSeconds = input.getNumSamples() / sampleRate;
    const auto tailSeconds = result.tailSamples / sampleRate;
    const auto renderedSeconds = result.output.getNumSamples() / sampleRate;
    const auto speed = result.secondsTaken > 0.0 ? NumberText::format (renderedSeconds / result.secondsTaken, 1) + "x"
                                                 : juce::String ("instant");

    return source + " -> " + options.output.getFileName() + ": " + NumberText::format (renderedSeconds, 2) + " s (" +
           NumberText::format (inputSeconds, 2) + " s + " + NumberText::format (tailSeconds, 2) + " s tail), " +
           NumberText::format (sampleRate) + " Hz " + AudioFileIO::describeChannels (input.getNumChannels()) + ", " +
           (options.floatOutput ? "32-bit float" : "24-bit") + " | in: peak " + SignalLevels::dbfs (in.peak) +
           ", RMS " + SignalLevels::dbfs (in.rms) + " | out: peak " + SignalLevels::dbfs (out.peak) + ", RMS " +
           SignalLevels::dbfs (out.rms) + " | took " + NumberText::format (result.secondsTaken, 2) + " s, " + speed +
           " real time";
}
} // namespace

void runRenderJob (const RenderOptions& options)
{
    checkWritable (options.output);
    if (options.plot != juce::File())
        checkWritable (options.plot);

    const auto automation =
        options.automation == juce::File() ? std::vector<AutomationEvent>() : AutomationFile::load (options.automation);
    const auto input = options.isDemo() ? demoInput (options) : AudioFileIO::read (options.input);
    const auto numChannels = input.samples.getNumChannels();

    auto plugin = LoadedPlugin::load (options.plugin, options.format, input.sampleRate, options.blockSize);

    RenderSettings settings;
    settings.macros = options.macros;
    settings.automation = automation;
    settings.bpm = options.bpm;
    settings.tailSeconds = options.tailSeconds;
    settings.blockSize = options.blockSize;
    settings.compensateLatency = options.compensateLatency;

    RenderResult result;
    {
        TerminalProgress progress ("rendering");
        result = OfflineRenderer (plugin, settings)
                     .render (input.samples, input.sampleRate, [&] (double done) { progress.update (done); });
    }

    const StagedFile wav (options.output);
    if (options.isDemo())
        AudioFileIO::writeWav (wav,
                               dryThenProcessed (input.samples, result.output, input.sampleRate),
                               input.sampleRate,
                               options.floatOutput);
    else
        AudioFileIO::writeWav (wav, result.output, input.sampleRate, options.floatOutput);

    std::unique_ptr<StagedFile> png;
    if (options.plot != juce::File())
    {
        png = std::make_unique<StagedFile> (options.plot);
        const auto title = options.isDemo() ? juce::String ("VELDRANOX demo: a plucked chord, then a drum figure")
                                            : "VELDRANOX" + separator + options.input.getFileName();
        RenderPlot::writePng (
            *png,
            RenderPlot::draw ({ input.samples,
                                result.output,
                                input.sampleRate,
                                options.bpm,
                                title,
                                settingsLine (options, result, input.sampleRate, numChannels, automation.size()),
                                "Output through VELDRANOX" }));
    }

    wav.commit();
    if (png != nullptr)
        png->commit();

    const auto source = options.isDemo() ? juce::String ("demo") : options.input.getFileName();
    std::cout << summaryLine (source, options, result, input.samples, input.sampleRate) << std::endl;

    const auto peak = SignalLevels::measure (result.output).peak;
    if (! options.floatOutput && peak > 1.0f)
        std::cerr << "veldranox-render: warning: the output peaks at +"
                  << juce::String (juce::Decibels::gainToDecibels (peak), 1)
                  << " dBFS and is clipped in the 24-bit file; --float keeps it whole" << std::endl;

    if (options.isDemo())
        std::cout << "demo audio (dry, then through VELDRANOX): " << options.output.getFullPathName() << "\n"
                  << "demo plot: " << options.plot.getFullPathName() << std::endl;
    else if (png != nullptr)
        std::cout << "plot: " << options.plot.getFullPathName() << std::endl;
}
