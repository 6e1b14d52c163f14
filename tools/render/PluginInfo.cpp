#include "PluginInfo.h"

#include "HostedPlugin.h"
#include "NumberText.h"
#include "PluginLoader.h"

#include <iostream>

namespace
{
constexpr int textLength = 64;

juce::String yesNo (bool value) { return value ? "yes" : "no"; }

juce::String layoutsLine (juce::AudioPluginInstance& instance)
{
    using Set = juce::AudioChannelSet;
    const std::pair<Set, Set> candidates[] = { { Set::mono(), Set::mono() },
                                               { Set::stereo(), Set::stereo() },
                                               { Set::mono(), Set::stereo() },
                                               { Set::stereo(), Set::mono() },
                                               { Set::create5point1(), Set::create5point1() } };
    juce::StringArray accepted, refused;

    for (const auto& [in, out] : candidates)
    {
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (in);
        layout.outputBuses.add (out);
        const auto name = in.getDescription().toLowerCase() + " -> " + out.getDescription().toLowerCase();
        (instance.checkBusesLayoutSupported (layout) ? accepted : refused).add (name);
    }

    return "accepted: " + accepted.joinIntoString (", ") +
           "\n               refused:  " + refused.joinIntoString (", ");
}

juce::String busesLine (juce::AudioPluginInstance& instance)
{
    juce::StringArray buses;
    for (const auto isInput : { true, false })
        for (int i = 0; i < instance.getBusCount (isInput); ++i)
            buses.add (juce::String (isInput ? "input" : "output") + " \"" + instance.getBus (isInput, i)->getName() +
                       "\"");
    return buses.joinIntoString (", ");
}

juce::String stepsText (const juce::AudioProcessorParameter& parameter)
{
    const auto steps = parameter.getNumSteps();
    return steps == juce::AudioProcessor::getDefaultNumParameterSteps() ? "continuous"
                                                                        : juce::String (steps) + " steps";
}

void printParameters (juce::AudioPluginInstance& instance)
{
    std::cout << "  parameters   name, range, default, resolution\n";

    for (auto* parameter : instance.getParameters())
    {
        const auto name = parameter->getName (textLength);
        const auto label = parameter->getLabel().isEmpty() ? juce::String() : " " + parameter->getLabel();
        const auto option = HostMacros::find (name).has_value() ? "   --" + name.toLowerCase() : juce::String();

        std::cout << "    " << name.paddedRight (' ', 8) << parameter->getText (0.0f, textLength) << label << " to "
                  << parameter->getText (1.0f, textLength) << label << ", default "
                  << parameter->getText (parameter->getDefaultValue(), textLength) << label << ", "
                  << stepsText (*parameter) << (parameter->isAutomatable() ? "" : ", not automatable") << option
                  << "\n";
    }
}
} // namespace

void printPluginInfo (const RenderOptions& options)
{
    const auto sampleRate = options.sampleRate.value_or (RenderOptions::defaultSampleRate);
    auto plugin = LoadedPlugin::load (options.plugin, options.format, sampleRate, options.blockSize);
    auto& instance = *plugin.instance;
    const auto& description = plugin.description;

    // Layouts can be asked about only while the plug-in is not prepared.
    const auto layouts = layoutsLine (instance);

    HostedPlugin::prepare (instance, sampleRate, options.blockSize);
    const auto latency = instance.getLatencySamples();
    const auto tail = instance.getTailLengthSeconds();
    instance.releaseResources();

    std::cout << description.name << " " << description.version << " by " << description.manufacturerName << "\n"
              << "  format       " << description.pluginFormatName << ", category \"" << description.category << "\", "
              << (description.isInstrument ? "instrument" : "effect") << "\n"
              << "  bundle       " << plugin.bundle.getFullPathName() << "\n"
              << "  identifier   " << description.createIdentifierString() << "\n"
              << "  buses        " << busesLine (instance) << "\n"
              << "  layouts      " << layouts << "\n"
              << "  MIDI         input " << yesNo (instance.acceptsMidi()) << ", output "
              << yesNo (instance.producesMidi()) << "\n"
              << "  latency      " << latency << " samples (" << NumberText::format (1000.0 * latency / sampleRate, 2)
              << " ms) at " << NumberText::format (sampleRate) << " Hz\n"
              << "  tail         " << NumberText::format (tail, 3) << " s"
              << (description.pluginFormatName == "LV2" ? " (LV2 has no way to report one; give --tail)" : "") << "\n";
    printParameters (instance);
}
