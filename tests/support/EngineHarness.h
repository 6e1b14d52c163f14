#pragma once

#include "BitIdentical.h"
#include "EngineProbe.h"
#include "SignalMeasures.h"
#include "TestSignals.h"
#include "engine/MacroTable.h"
#include "processor/ParameterIDs.h"
#include "processor/VeldranoxAudioProcessor.h"

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>
#include <stdexcept>

// Shared pieces of the engine tests: the processor driven directly, one block at a time.
namespace EngineHarness
{
// Sets a macro control through its host parameter, as automation would.
inline void setMacro (VeldranoxAudioProcessor& processor, const char* id, float value)
{
    auto* parameter = processor.parameters.getParameter (id);
    ASSERT_NE (parameter, nullptr) << id;
    parameter->setValueNotifyingHost (parameter->convertTo0to1 (value));
    ASSERT_EQ (processor.parameters.getRawParameterValue (id)->load(), value) << id << " is off the 0.1 grid";
}

// A value for every macro in the plug-in's units, in the macro table's order. Values given in braces
// set the table's first rows, { space, grit, ... }; every macro not given keeps its parameter's default.
class MacroSettings
{
public:
    constexpr MacroSettings()
    {
        for (std::size_t k = 0; k < numMacros; ++k)
            values[k] = macroTable[k].defaultValue;
    }

    constexpr MacroSettings (std::initializer_list<float> firstRows) : MacroSettings()
    {
        if (firstRows.size() > numMacros)
            throw std::invalid_argument ("more values than macros");

        std::size_t k = 0;
        for (const float value : firstRows)
            values[k++] = value;
    }

    constexpr float& operator[] (std::size_t macro) { return values[macro]; }
    constexpr float operator[] (std::size_t macro) const { return values[macro]; }

private:
    std::array<float, numMacros> values {};
};

inline void setMacros (VeldranoxAudioProcessor& processor, const MacroSettings& macros)
{
    for (std::size_t k = 0; k < numMacros; ++k)
        setMacro (processor, macroTable[k].id, macros[k]);
}

inline void useMonoLayout (VeldranoxAudioProcessor& processor)
{
    VeldranoxAudioProcessor::BusesLayout mono;
    mono.inputBuses.add (juce::AudioChannelSet::mono());
    mono.outputBuses.add (juce::AudioChannelSet::mono());
    ASSERT_TRUE (processor.setBusesLayout (mono));
}

// A processor with the given controls, prepared (so its smoothers start at those values).
inline std::unique_ptr<VeldranoxAudioProcessor>
makePrepared (double sampleRate, int blockSize, const MacroSettings& macros = {}, bool mono = false)
{
    auto processor = std::make_unique<VeldranoxAudioProcessor>();

    if (mono)
        useMonoLayout (*processor);

    setMacros (*processor, macros);
    processor->prepareToPlay (sampleRate, blockSize);
    return processor;
}

inline void processBlock (VeldranoxAudioProcessor& processor, juce::AudioBuffer<float>& block)
{
    juce::MidiBuffer midi;
    processor.processBlock (block, midi);
}

// Runs a long signal through the processor in place, blockSize samples at a time; observe (if given)
// sees the processor after each block together with the block's first sample index.
inline void processInBlocks (VeldranoxAudioProcessor& processor,
                             juce::AudioBuffer<float>& signal,
                             int blockSize,
                             const std::function<void (int)>& observe = {})
{
    for (int start = 0; start < signal.getNumSamples(); start += blockSize)
    {
        const int length = juce::jmin (blockSize, signal.getNumSamples() - start);
        juce::AudioBuffer<float> block (signal.getArrayOfWritePointers(), signal.getNumChannels(), start, length);
        processBlock (processor, block);

        if (observe)
            observe (start);
    }
}

using TestSignals::noise;

inline juce::AudioBuffer<float> constant (int numChannels, int numSamples, float value)
{
    juce::AudioBuffer<float> buffer (numChannels, numSamples);

    for (int ch = 0; ch < numChannels; ++ch)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), value, numSamples);

    return buffer;
}

using SignalMeasures::sineGain;
using SignalMeasures::toDecibels;

// A host play head with an optional position and tempo.
class FakePlayHead final : public juce::AudioPlayHead
{
public:
    enum class Kind
    {
        noPosition,
        positionWithoutTempo,
        tempo
    };

    FakePlayHead (Kind kindToReport, double bpmToReport = 120.0) : kind (kindToReport), bpm (bpmToReport) {}

    juce::Optional<PositionInfo> getPosition() const override
    {
        if (kind == Kind::noPosition)
            return {};

        PositionInfo info;
        info.setIsPlaying (true);

        if (kind == Kind::tempo)
            info.setBpm (bpm);

        return info;
    }

private:
    Kind kind;
    double bpm;
};

// Counts the notifications that tell the host its latency changed.
class LatencyListener final : public juce::AudioProcessorListener
{
public:
    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}

    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails& details) override
    {
        if (details.latencyChanged)
            ++latencyNotifications;
    }

    int latencyNotifications = 0;
};
} // namespace EngineHarness
