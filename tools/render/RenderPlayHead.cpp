#include "RenderPlayHead.h"

#include <cmath>

RenderPlayHead::RenderPlayHead (double rate, std::optional<double> tempo) : sampleRate (rate), bpm (tempo) {}

juce::Optional<juce::AudioPlayHead::PositionInfo> RenderPlayHead::getPosition() const
{
    PositionInfo info;
    const auto seconds = (double) position / sampleRate;

    info.setIsPlaying (true);
    info.setTimeInSamples (position);
    info.setTimeInSeconds (seconds);

    if (bpm.has_value())
    {
        const auto beats = seconds * *bpm / 60.0;
        info.setBpm (*bpm);
        info.setTimeSignature (TimeSignature { beatsPerBar, 4 });
        info.setPpqPosition (beats);
        info.setPpqPositionOfLastBarStart (std::floor (beats / beatsPerBar) * beatsPerBar);
        info.setBarCount ((juce::int64) std::floor (beats / beatsPerBar));
    }

    return info;
}
