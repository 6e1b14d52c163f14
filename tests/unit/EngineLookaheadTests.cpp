#include "engine/LookaheadDelay.h"

#include <gtest/gtest.h>
#include <juce_dsp/juce_dsp.h>
#include <vector>

// LookaheadDelay moves whole runs of samples where juce::dsp::DelayLine without interpolation pushes and
// pops one at a time. Both must give the same samples for any delay, any block lengths, and blocks that
// leave the second channel out (each channel keeps its own place in the history).
TEST (EngineLookahead, GivesTheSamplesOfJucesDelayLine)
{
    for (const int delay : { 0, 1, 3, 144, 576 })
    {
        SCOPED_TRACE (delay);
        juce::dsp::DelayLine<float, juce::dsp::DelayLineInterpolationTypes::None> reference;
        reference.setMaximumDelayInSamples (juce::jmax (1, delay + 1));
        reference.prepare ({ 48000.0, 512, 2 });
        reference.setDelay ((float)delay);
        reference.reset();

        LookaheadDelay lookahead;
        lookahead.prepare (delay);

        juce::Random random (delay);

        for (int block = 0; block < 60; ++block)
        {
            const int length = 1 + random.nextInt (700);
            const int channels = block % 5 == 3 ? 1 : 2;

            for (int ch = 0; ch < channels; ++ch)
            {
                std::vector<float> input ((size_t)length), output ((size_t)length);

                for (auto& x : input)
                    x = random.nextFloat() - 0.5f;

                lookahead.process (ch, input.data(), output.data(), length);

                for (int i = 0; i < length; ++i)
                {
                    reference.pushSample (ch, input[(size_t)i]);
                    ASSERT_EQ (output[(size_t)i], reference.popSample (ch))
                        << "block " << block << ", channel " << ch << ", sample " << i;
                }
            }
        }
    }
}
