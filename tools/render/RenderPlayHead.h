#pragma once

#include <juce_audio_basics/juce_audio_basics.h>
#include <optional>

// The transport an offline render offers the plug-in: always playing, at a running sample position,
// with a tempo in 4/4 only when one was asked for. Without a tempo the position carries none, as from
// a host that has no tempo to give.
class RenderPlayHead final : public juce::AudioPlayHead
{
public:
    RenderPlayHead (double sampleRate, std::optional<double> bpm);

    void setSamplePosition (juce::int64 samplePosition) { position = samplePosition; }

    juce::Optional<PositionInfo> getPosition() const override;

private:
    static constexpr int beatsPerBar = 4;

    double sampleRate;
    std::optional<double> bpm;
    juce::int64 position = 0;
};
