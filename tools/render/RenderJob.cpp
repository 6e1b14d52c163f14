#include "RenderJob.h"

#include "AudioFileIO.h"
#include "AutomationFile.h"
#include "BatchRender.h"
#include "DemoMaterial.h"
#include "FileRender.h"
#include "NumberText.h"
#include "OfflineRenderer.h"
#include "RenderPlot.h"
#include "SettingsFile.h"
#include "SignalLevels.h"
#include "TerminalProgress.h"

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

// The values a render starts from: the command line's, then the settings file's, then the plug-in's defaults.
std::array<float, HostMacros::count> valuesInEffect (const RenderOptions& options)
{
    const auto plugin =
        LoadedPlugin::load (options.plugin, options.format, RenderOptions::defaultSampleRate, options.blockSize);

    std::array<float, HostMacros::count> values {};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = options.macros[i].value_or (HostMacros::fromNormalised (plugin.macros[i]->getDefaultValue()));
    return values;
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
    for (int i = 0; i < HostMacros::count; ++i)
        parts.add (HostMacros::names()[(size_t) i] + " " + NumberText::format (result.startingMacros[(size_t) i], 1));

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
           options.encoding.describe() + " | in: peak " + SignalLevels::dbfs (in.peak) + ", RMS " +
           SignalLevels::dbfs (in.rms) + " | out: peak " + SignalLevels::dbfs (out.peak) + ", RMS " +
           SignalLevels::dbfs (out.rms) + " | took " + NumberText::format (result.secondsTaken, 2) + " s, " + speed +
           " real time";
}

void warnIfClipped (const RenderOptions& options, const RenderResult& result)
{
    const auto peak = SignalLevels::measure (result.output).peak;
    if (! options.encoding.floatSamples() && peak > 1.0f)
        std::cerr << "veldranox-render: warning: the output peaks at +"
                  << juce::String (juce::Decibels::gainToDecibels (peak), 1) << " dBFS and is clipped in the "
                  << options.encoding.describe() << " file; a WAV file with --bits 32f keeps it whole" << std::endl;
}

std::unique_ptr<StagedFile> stagePlot (const RenderOptions& options, const RenderPlot::Content& content)
{
    if (options.plot == juce::File())
        return nullptr;

    auto png = std::make_unique<StagedFile> (options.plot);
    RenderPlot::writePng (*png, RenderPlot::draw (content));
    return png;
}

void renderDemo (const RenderOptions& options, const std::vector<AutomationEvent>& automation)
{
    checkWritable (options.output);
    checkWritable (options.plot);

    const auto sampleRate = options.sampleRate.value_or (RenderOptions::defaultSampleRate);
    const auto dry = DemoMaterial::synthesise (sampleRate, *options.bpm);
    AudioFileIO::checkEncodable (options.encoding, sampleRate, dry.getNumChannels(), options.output);

    auto plugin = LoadedPlugin::load (options.plugin, options.format, sampleRate, options.blockSize);

    const auto settings = renderSettingsFor (options, automation);

    RenderResult result;
    {
        TerminalProgress progress ("rendering");
        result =
            OfflineRenderer (plugin, settings).render (dry, sampleRate, [&] (double done) { progress.update (done); });
    }

    const StagedFile audio (options.output);
    AudioFileIO::write (audio, dryThenProcessed (dry, result.output, sampleRate), sampleRate, options.encoding);
    const auto png = stagePlot (options,
                                { dry,
                                  result.output,
                                  sampleRate,
                                  options.bpm,
                                  "VELDRANOX demo: a plucked chord, then a drum figure",
                                  settingsLine (options, result, sampleRate, dry.getNumChannels(), automation.size()),
                                  "Output through VELDRANOX" });
    audio.commit();
    png->commit();

    std::cout << summaryLine ("demo", options, result, dry, sampleRate) << std::endl;
    warnIfClipped (options, result);
    std::cout << "demo audio (dry, then through VELDRANOX): " << options.output.getFullPathName() << "\n"
              << "demo plot: " << options.plot.getFullPathName() << std::endl;
}

void renderOneFile (const RenderOptions& options, const std::vector<AutomationEvent>& automation)
{
    checkWritable (options.output);
    if (options.plot != juce::File())
        checkWritable (options.plot);

    FileRender render (options.files.front(), options, automation);
    render.prepare();
    {
        TerminalProgress progress ("rendering");
        render.process ([&] (double done) { progress.update (done); });
    }

    const auto& input = render.input();
    const auto& result = render.result();
    const auto png = stagePlot (
        options,
        { input.samples,
          result.output,
          input.sampleRate,
          options.bpm,
          "VELDRANOX" + separator + options.files.front().input.getFileName(),
          settingsLine (options, result, input.sampleRate, input.samples.getNumChannels(), automation.size()),
          "Output through VELDRANOX" });

    render.commit();
    if (png != nullptr)
        png->commit();
    render.finish();

    const auto source =
        options.files.front().input.getFileName() + (input.lossy ? " (" + input.describeFormat() + ")" : "");
    std::cout << summaryLine (source, options, result, input.samples, input.sampleRate) << std::endl;
    warnIfClipped (options, result);
    if (png != nullptr)
        std::cout << "plot: " << options.plot.getFullPathName() << std::endl;
}
} // namespace

ExitStatus runRenderJob (const RenderOptions& options)
{
    const auto automation =
        options.automation == juce::File() ? std::vector<AutomationEvent>() : AutomationFile::load (options.automation);

    std::optional<std::array<float, HostMacros::count>> settingsToSave;
    if (options.settingsToSave != juce::File())
        settingsToSave = valuesInEffect (options);

    int failedFiles = 0;
    if (options.onlySaveSettings)
        std::cout << "nothing to render; saving the settings only" << std::endl;
    else if (options.isDemo())
        renderDemo (options, automation);
    else if (! options.batch)
        renderOneFile (options, automation);
    else
        failedFiles = renderBatch (options, automation);

    // Settings under which every file failed are not worth keeping.
    const auto allFailed = ! options.files.empty() && failedFiles == (int) options.files.size();
    if (settingsToSave.has_value() && ! allFailed)
    {
        SettingsFile::save (options.settingsToSave, *settingsToSave);
        std::cout << "settings: " << options.settingsToSave.getFullPathName() << std::endl;
    }

    return failedFiles > 0 ? ExitStatus::someFilesFailed : ExitStatus::success;
}
