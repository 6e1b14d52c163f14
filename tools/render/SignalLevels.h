#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// Peak and RMS over every channel of a buffer, for the summary line.
struct SignalLevels
{
    float peak = 0.0f;
    float rms = 0.0f;

    static SignalLevels measure (const juce::AudioBuffer<float>& buffer)
    {
        SignalLevels levels;
        double sumOfSquares = 0.0;

        for (int channel = 0; channel < buffer.getNumChannels(); ++channel)
        {
            const auto* samples = buffer.getReadPointer (channel);
            for (int i = 0; i < buffer.getNumSamples(); ++i)
            {
                levels.peak = std::max (levels.peak, std::abs (samples[i]));
                sumOfSquares += (double) samples[i] * samples[i];
            }
        }

        const auto count = (double) buffer.getNumChannels() * buffer.getNumSamples();
        levels.rms = count > 0.0 ? (float) std::sqrt (sumOfSquares / count) : 0.0f;
        return levels;
    }

    static juce::String dbfs (float gain)
    {
        return gain > 0.0f ? juce::String (juce::Decibels::gainToDecibels (gain), 1) + " dBFS" : "silent";
    }
};
