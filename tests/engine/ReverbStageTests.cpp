#include "BitIdentical.h"
#include "engine/ReverbStage.h"

#include <gtest/gtest.h>
#include <vector>

// The engine's reverb must give the bits of JUCE's, which is the reference here, through everything the
// engine and a host put it through: room-size changes mid-run, both layouts and a change between them,
// resets (which it does in constant time, JUCE's by writing its memory over), a second reset before its
// lines have been written all round, and preparation at another rate.

namespace
{
struct Step
{
    enum class Kind
    {
        run,     // channels, frames: noise in blocks of varying length, room size moving every block
        reset,   // both reverbs reset
        prepare, // both prepared again at rate
        freeze,  // frozen for the next steps, or not
    };

    Kind kind;
    int channels = 2;
    int frames = 0;
    double rate = 0.0;
};

Step run (int channels, int frames) { return { Step::Kind::run, channels, frames }; }
Step reset() { return { Step::Kind::reset }; }
Step prepare (double rate) { return { Step::Kind::prepare, 2, 0, rate }; }
Step freeze (bool on) { return { Step::Kind::freeze, on ? 1 : 0 }; }

struct Case
{
    const char* name;
    double rate;
    std::vector<Step> steps;
};
} // namespace

TEST (ReverbStage, GivesTheBitsOfJucesReverb)
{
    // The longest line is 1640 samples at 44.1 kHz and scales with the rate.
    const Case cases[] = {
        { "44.1 kHz stereo, reset mid-run", 44100.0, { run (2, 6000), reset(), run (2, 6000) } },
        { "48 kHz mono, reset mid-run", 48000.0, { run (1, 6000), reset(), run (1, 6000) } },
        { "96 kHz, reset twice before the lines refill",
          96000.0,
          { run (2, 9000), reset(), run (2, 700), reset(), run (2, 9000) } },
        { "192 kHz, stereo then mono then stereo across a reset",
          192000.0,
          { run (2, 9000), reset(), run (1, 3000), run (2, 12000) } },
        { "22.05 kHz, mono before a reset, stereo after", 22050.0, { run (1, 4000), reset(), run (2, 4000) } },
        { "prepared again at another rate",
          44100.0,
          { run (2, 3000), prepare (96000.0), run (2, 9000), reset(), run (2, 500) } },
        { "frozen across a reset",
          48000.0,
          { run (2, 3000), freeze (true), run (2, 2000), reset(), run (2, 3000), freeze (false), run (2, 3000) } },
    };

    constexpr int blockLengths[] = { 512, 1, 37, 256, 64 };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ReverbStage stage;
        juce::dsp::Reverb reference;
        const auto prepareBoth = [&] (double rate)
        {
            stage.prepare ({ rate, 512, 2 });
            reference.prepare ({ rate, 512, 2 });
        };
        prepareBoth (c.rate);

        juce::Random random (31);
        juce::Reverb::Parameters parameters;
        parameters.damping = 0.4f;
        parameters.wetLevel = 1.0f;
        parameters.dryLevel = 0.0f;
        int block = 0;

        for (const auto& step : c.steps)
        {
            switch (step.kind)
            {
            case Step::Kind::reset:
                stage.reset();
                reference.reset();
                continue;
            case Step::Kind::prepare:
                prepareBoth (step.rate);
                continue;
            case Step::Kind::freeze:
                parameters.freezeMode = step.channels == 1 ? 1.0f : 0.0f;
                continue;
            case Step::Kind::run:
                break;
            }

            for (int done = 0; done < step.frames; ++block)
            {
                const int length = std::min (blockLengths[block % 5], step.frames - done);
                parameters.roomSize = random.nextFloat();
                stage.setParameters (parameters);
                reference.setParameters (parameters);

                juce::AudioBuffer<float> ours (step.channels, length);
                for (int ch = 0; ch < step.channels; ++ch)
                    for (int i = 0; i < length; ++i)
                        ours.setSample (ch, i, random.nextFloat() * 2.0f - 1.0f);
                auto theirs = ours;

                juce::dsp::AudioBlock<float> theirBlock (theirs);
                stage.process (ours.getArrayOfWritePointers(), ours.getNumChannels(), ours.getNumSamples());
                reference.process (juce::dsp::ProcessContextReplacing<float> (theirBlock));

                ASSERT_TRUE (bitIdentical (ours, theirs)) << "block " << block << " at frame " << done;
                done += length;
            }
        }

        EXPECT_EQ (stage.getParameters().roomSize, reference.getParameters().roomSize);
    }
}
