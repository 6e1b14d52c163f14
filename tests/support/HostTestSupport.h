#pragma once

#include "HostedPlugin.h"
#include "engine/MacroTable.h"

#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

// Shared pieces of the tests that load the built bundles through JUCE's VST3 and LV2 hosting code.
namespace HostTestSupport
{
inline constexpr int blockSize = 512;

using HostedPlugin::Format;

// Every behaviour that both formats have is one table over these.
inline const auto allFormats = ::testing::Values (Format::vst3, Format::lv2);

inline std::string formatLabel (Format format) { return HostedPlugin::formatName (format).toStdString(); }

inline std::string formatCaseName (const ::testing::TestParamInfo<Format>& info) { return formatLabel (info.param); }

// How long the plug-in rings on after its input stops.
inline constexpr double tailSeconds = 6.0;

// The channel counts (in and out alike) a host can give the plug-in. JUCE's LV2 client publishes a fixed
// list of ports made from the plug-in's default layout, stereo, so an LV2 host has no mono layout.
inline std::vector<int> channelCountsOffered (Format format)
{
    return format == Format::lv2 ? std::vector<int> { 2 } : std::vector<int> { 1, 2 };
}

// One format at one rate in one of the layouts it offers.
struct AudioCase
{
    Format format;
    double sampleRate;
    int numChannels;
};

inline std::string audioCaseName (const ::testing::TestParamInfo<AudioCase>& info)
{
    return formatLabel (info.param.format) + "_" + std::to_string (int (info.param.sampleRate)) +
           (info.param.numChannels == 1 ? "Mono" : "Stereo");
}

inline void PrintTo (const AudioCase& c, std::ostream* out)
{
    *out << formatLabel (c.format) << " at " << c.sampleRate << " Hz, " << c.numChannels << " channels";
}

// Each format at three rates, in every layout it offers.
inline std::vector<AudioCase> audioCases()
{
    std::vector<AudioCase> cases;

    for (const auto format : { Format::vst3, Format::lv2 })
        for (const auto sampleRate : { 44100.0, 48000.0, 96000.0 })
            for (const auto numChannels : channelCountsOffered (format))
                cases.push_back ({ format, sampleRate, numChannels });

    return cases;
}

// The macro controls in the plug-in's order, with their factory defaults as a host sees them: read from
// the macro table (ParameterTests.cpp holds the literal values that check the table itself).
struct ControlDefault
{
    juce::String name;
    float normalisedDefault;
    juce::String defaultText; // the VST3 text, with one decimal
};

inline const std::array<ControlDefault, numMacros> controls = []
{
    std::array<ControlDefault, numMacros> all;

    for (std::size_t k = 0; k < numMacros; ++k)
    {
        const auto value = macroTable[k].defaultValue;
        all[k] = { macroTable[k].name,
                   (value - MacroRange::minimum) / (MacroRange::maximum - MacroRange::minimum),
                   juce::String (value, 1) };
    }

    return all;
}();

// A fresh, unprepared instance; records a test failure and returns null when the bundle cannot be loaded.
inline std::unique_ptr<juce::AudioPluginInstance> loadInstance (Format format, double sampleRate = 44100.0)
{
    auto loaded = HostedPlugin::load (HostedPlugin::builtBundle (format), sampleRate, blockSize);

    if (loaded.instance == nullptr)
        ADD_FAILURE() << loaded.error;

    return std::move (loaded.instance);
}

inline juce::AudioProcessorParameter& parameter (juce::AudioProcessor& instance, const juce::String& name)
{
    auto* found = HostedPlugin::findParameter (instance, name);

    if (found == nullptr)
        throw std::runtime_error ("the host sees no parameter named " + name.toStdString());

    return *found;
}

inline juce::String displayedText (juce::AudioProcessor& instance, const juce::String& name)
{
    auto& p = parameter (instance, name);
    return p.getText (p.getValue(), 1024);
}

// Host-side parameter changes reach the plug-in with the next processed block.
inline void deliverParameterChanges (juce::AudioProcessor& instance)
{
    juce::AudioBuffer<float> silence (
        juce::jmax (instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels()), blockSize);
    silence.clear();
    juce::MidiBuffer midi;
    instance.processBlock (silence, midi);
}

inline juce::AudioChannelSet layoutFor (int numChannels)
{
    return numChannels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
}

// Loads an instance with numChannels in and out and prepares it.
inline std::unique_ptr<juce::AudioPluginInstance> loadPrepared (Format format, double sampleRate, int numChannels)
{
    auto instance = loadInstance (format, sampleRate);

    if (instance == nullptr)
        return nullptr;

    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (layoutFor (numChannels));
    layout.outputBuses.add (layoutFor (numChannels));

    if (! instance->setBusesLayout (layout))
    {
        ADD_FAILURE() << "the plug-in refused " << numChannels << " channels in and out";
        return nullptr;
    }

    HostedPlugin::prepare (*instance, sampleRate, blockSize);
    return instance;
}
} // namespace HostTestSupport
