#include "BitIdentical.h"
#include "LoopCoefficient.h"
#include "engine/ModulatedDelay.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

namespace
{
using Frame = ModulatedDelay::Frame;

struct Settings
{
    int channels = 2;
    Frame times { 100.0f, 100.0f };
    float feedback = 0.0f;
    float depth = 0.0f;
};

// Feeds one input frame per entry and returns the delay's output frames.
std::vector<Frame> run (ModulatedDelay& delay, const std::vector<Frame>& input, const Settings& s)
{
    std::vector<Frame> output;
    output.reserve (input.size());

    for (auto frame : input)
    {
        delay.processFrame (frame, s.channels, s.times, s.feedback, s.depth);
        output.push_back (frame);
    }

    return output;
}

std::vector<Frame> impulse (int length, Frame first = { 1.0f, 1.0f })
{
    std::vector<Frame> frames ((size_t) length, Frame { 0.0f, 0.0f });
    frames[0] = first;
    return frames;
}
} // namespace

TEST (Delay, RingHoldsThreeSecondsPlusEightSamples)
{
    struct Case
    {
        double sampleRate;
        int ringLength;
    };

    for (const auto& c : { Case { 44100.0, 132308 }, Case { 48000.0, 144008 }, Case { 44100.5, 132309 } })
    {
        ModulatedDelay delay;
        delay.prepare ({ c.sampleRate, 512, 2 });
        EXPECT_EQ (delay.getRingLength(), c.ringLength) << c.sampleRate;
        EXPECT_EQ (delay.getRing().getNumChannels(), 2);
        EXPECT_EQ (delay.getRing().getNumSamples(), c.ringLength);
    }
}

TEST (Delay, TargetsAreClampedToTheRing)
{
    constexpr float longest = 144008.0f - 4.0f;

    struct Case
    {
        float target, used;
    };

    constexpr Case cases[] = {
        { -10.0f, 4.0f }, { 0.0f, 4.0f },         { 3.9f, 4.0f },       { 4.0f, 4.0f },
        { 4.5f, 4.5f },   { 1000.25f, 1000.25f }, { longest, longest }, { 1.0e7f, longest },
    };

    for (const auto& c : cases)
    {
        ModulatedDelay delay;
        delay.prepare ({ 48000.0, 512, 2 });
        Frame frame { 0.0f, 0.0f };
        delay.processFrame (frame, 2, { c.target, c.target }, 0.0f, 0.0f);
        EXPECT_EQ (delay.getCurrentDelay (0), c.used) << c.target;
        EXPECT_EQ (delay.getCurrentDelay (1), c.used) << c.target;
    }
}

TEST (Delay, FirstFrameJumpsToTheTargetAndLaterChangesGlide)
{
    constexpr double rate = 48000.0;
    constexpr int glideSamples = 7200; // the 0.15 s time constant
    ModulatedDelay delay;
    delay.prepare ({ rate, 512, 2 });

    Settings s;
    s.times = { 1000.0f, 1000.0f };
    run (delay, impulse (1), s);
    EXPECT_EQ (delay.getCurrentDelay (0), 1000.0f);

    s.times = { 2000.0f, 2000.0f };
    float previous = 1000.0f;

    for (int n = 0; n < glideSamples; ++n)
    {
        run (delay, impulse (1, { 0.0f, 0.0f }), s);
        ASSERT_GT (delay.getCurrentDelay (0), previous) << n;
        previous = delay.getCurrentDelay (0);
    }

    // One time constant leaves 1/e of the distance to go.
    EXPECT_NEAR (2000.0f - delay.getCurrentDelay (0), 1000.0f * std::exp (-1.0f), 0.5f);
}

TEST (Delay, ReadsBetweenSamplesWithCatmullRom)
{
    struct Case
    {
        float time;
        std::vector<std::pair<int, float>> taps; // frame index and expected output; all other frames are 0
    };

    const Case cases[] = {
        { 4.0f, { { 4, 1.0f } } },
        { 100.0f, { { 100, 1.0f } } },
        { 10.5f, { { 9, -0.0625f }, { 10, 0.5625f }, { 11, 0.5625f }, { 12, -0.0625f } } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.time);
        ModulatedDelay delay;
        delay.prepare ({ 48000.0, 512, 2 });
        Settings s;
        s.times = { c.time, c.time };

        const auto output = run (delay, impulse (200), s);

        for (int n = 0; n < 200; ++n)
        {
            float expected = 0.0f;
            for (const auto& [frame, value] : c.taps)
                if (frame == n)
                    expected = value;

            ASSERT_EQ (output[(size_t) n][0], expected) << n;
            ASSERT_EQ (output[(size_t) n][1], expected) << n;
        }
    }
}

TEST (Delay, ModulationSwingsWithDepth)
{
    // A ramp input makes every output frame tell the delay it was read at: output = n - delay.
    constexpr double rate = 48000.0;
    constexpr float target = 1000.0f;
    const int frames = (int) (rate * 5.3); // one period of the slowest oscillator

    struct Case
    {
        float depth, lowest, highest;
    };

    // At full depth the sines add up to at most (0.015 + 0.00075 + 0.00032) × 48000, about 771 samples.
    for (const auto& c : { Case { 0.0f, 0.0f, 0.0f }, Case { 0.5f, 360.0f, 386.0f }, Case { 1.0f, 720.0f, 772.0f } })
    {
        SCOPED_TRACE (c.depth);
        ModulatedDelay delay;
        delay.prepare ({ rate, 512, 2 });
        Frame peak { 0.0f, 0.0f };

        for (int n = 0; n < frames; ++n)
        {
            Frame frame { (float) n, (float) n };
            delay.processFrame (frame, 2, { target, target }, 0.0f, c.depth);

            if (n > 2000)
                for (size_t ch = 0; ch < 2; ++ch)
                    peak[ch] = juce::jmax (peak[ch], std::abs ((float) n - frame[ch] - target));
        }

        for (size_t ch = 0; ch < 2; ++ch)
        {
            EXPECT_GE (peak[ch], c.lowest) << ch;
            EXPECT_LE (peak[ch], c.highest) << ch;
        }
    }
}

TEST (Delay, OscillatorsStartFromTheirPhasesAndRunAtTheirRates)
{
    // Each channel's wobble is three sines, each at its own rate and depth from its own start phase: the
    // delay at frame n is target + fs × Σ depth × sin (phase + 2π × rate × (n + 1) / fs), worked out here in
    // double from the closed form. The engine steps its phases in float, which stays within a few
    // hundredths of a sample of that over these frames.
    constexpr double rates[3][2] = { { 0.19, 0.23 }, { 4.9, 5.7 }, { 7.3, 8.1 } };
    constexpr double depths[3] = { 0.015, 0.00075, 0.00032 };
    constexpr double startPhases[3][2] = { { 0.0, 0.11 }, { 0.0, 0.63 }, { 0.0, 1.42 } };
    constexpr double rate = 48000.0;
    constexpr float target = 1000.0f;

    ModulatedDelay delay;
    delay.prepare ({ rate, 512, 2 });

    for (int n = 0; n < 2400; ++n)
    {
        // A ramp input makes each output tell the delay it was read at: output = n - delay.
        Frame frame { (float) n, (float) n };
        delay.processFrame (frame, 2, { target, target }, 0.0f, 1.0f);

        if (n < 2000)
            continue;

        for (size_t ch = 0; ch < 2; ++ch)
        {
            double m = 0.0;

            for (size_t k = 0; k < 3; ++k)
                m += depths[k] *
                     std::sin (startPhases[k][ch] + juce::MathConstants<double>::twoPi * rates[k][ch] * (n + 1) / rate);

            ASSERT_NEAR ((float) n - frame[ch], m * rate + target, 0.05) << "frame " << n << ", channel " << ch;
        }
    }
}

TEST (Delay, OneChannelFeedsItsOwnLoopAndLeavesTheRightAlone)
{
    constexpr double rate = 48000.0;
    ModulatedDelay delay;
    delay.prepare ({ rate, 512, 2 });

    Settings s;
    s.channels = 1;
    s.times = { 10.0f, 10.0f };
    s.feedback = 0.5f;

    auto input = impulse (40, { 1.0f, 123.0f });
    for (auto& frame : input)
        frame[1] = 123.0f;

    const auto output = run (delay, input, s);

    for (const auto& frame : output)
        ASSERT_EQ (frame[1], 123.0f);

    // The single channel's echo re-enters its loop with both weights, 0.22 + 0.78.
    const float looped = std::tanh ((0.22f * 1.0f + 0.78f * 1.0f) * loopCoefficient (rate)) * 0.5f;
    EXPECT_EQ (output[10][0], 1.0f);
    EXPECT_EQ (output[20][0], looped);

    EXPECT_EQ (delay.getCurrentDelay (1), -1.0f);
    const auto& ring = delay.getRing();
    EXPECT_EQ (juce::FloatVectorOperations::findMinAndMax (ring.getReadPointer (1), ring.getNumSamples()),
               juce::Range<float>());
}

TEST (Delay, CrossfeedReachesASilentRightChannel)
{
    constexpr double rate = 48000.0;
    ModulatedDelay delay;
    delay.prepare ({ rate, 512, 2 });

    Settings s;
    s.times = { 10.0f, 15.0f };
    s.feedback = 0.5f;

    const auto output = run (delay, impulse (60, { 1.0f, 0.0f }), s);

    // The left echo (frame 10) is fed into the right loop at 0.22, then read 15 frames later.
    for (int n = 0; n < 25; ++n)
        ASSERT_EQ (output[(size_t) n][1], 0.0f) << n;

    EXPECT_EQ (output[25][1], std::tanh (0.22f * loopCoefficient (rate)) * 0.5f);
    EXPECT_EQ (output[20][0], std::tanh (0.78f * loopCoefficient (rate)) * 0.5f);
}

TEST (Delay, FeedbackOfOneOrMoreCannotGrowWithoutBound)
{
    for (const float feedback : { 1.0f, 1.5f, 4.0f })
    {
        SCOPED_TRACE (feedback);
        ModulatedDelay delay;
        delay.prepare ({ 48000.0, 512, 2 });
        juce::Random random (11);

        for (int n = 0; n < 96000; ++n)
        {
            Frame frame { 2.0f * random.nextFloat() - 1.0f, 2.0f * random.nextFloat() - 1.0f };
            delay.processFrame (frame, 2, { 500.0f, 750.0f }, feedback, 1.0f);
            ASSERT_TRUE (std::isfinite (frame[0]) && std::isfinite (frame[1])) << n;
        }

        const auto& ring = delay.getRing();
        for (int ch = 0; ch < 2; ++ch)
        {
            const auto range =
                juce::FloatVectorOperations::findMinAndMax (ring.getReadPointer (ch), ring.getNumSamples());
            EXPECT_LE (juce::jmax (-range.getStart(), range.getEnd()), feedback + 1.0f) << ch;
        }
    }
}

TEST (Delay, IndicesWrapAroundTheRing)
{
    ModulatedDelay delay;
    delay.prepare ({ 48000.0, 512, 2 });
    const int length = delay.getRingLength();

    Settings s;
    s.times = { 10.0f, 10.0f };

    // An impulse written three frames before the end is read back after the write index has wrapped.
    std::vector<Frame> input ((size_t) length + 20, Frame { 0.0f, 0.0f });
    input[(size_t) length - 3] = { 1.0f, 1.0f };

    auto before = input;
    before.resize ((size_t) length - 1);
    auto output = run (delay, before, s);
    EXPECT_EQ (delay.getWriteIndex(), length - 1);

    output.push_back (run (delay, { input[(size_t) length - 1] }, s).front());
    EXPECT_EQ (delay.getWriteIndex(), 0);

    const auto after = run (delay, std::vector<Frame> (input.begin() + length, input.end()), s);
    output.insert (output.end(), after.begin(), after.end());

    for (int n = length - 3; n < length + 20; ++n)
        ASSERT_EQ (output[(size_t) n][0], n == length + 7 ? 1.0f : 0.0f) << n;
}

TEST (Delay, PreparationSilencesTheRing)
{
    ModulatedDelay delay;
    delay.prepare ({ 48000.0, 512, 2 });
    juce::Random random (12);
    Settings s;
    s.times = { 3000.0f, 4000.0f };
    s.feedback = 0.8f;
    s.depth = 1.0f;

    for (int n = 0; n < 150000; ++n)
    {
        Frame frame { random.nextFloat(), random.nextFloat() };
        delay.processFrame (frame, 2, s.times, s.feedback, s.depth);
    }

    // Straight after preparation every read reaches back before the start and wraps onto silence.
    delay.prepare ({ 48000.0, 512, 2 });
    s.times = { 100.0f, 100.0f };
    const auto output = run (delay, std::vector<Frame> (100, Frame { 0.0f, 0.0f }), s);

    for (const auto& frame : output)
        ASSERT_TRUE (frame[0] == 0.0f && frame[1] == 0.0f);
}

// reset() leaves the ring's memory as it is and counts what lies beyond the written part as silence, so
// that it can run inside an audio callback. A reset delay must give the bits of a freshly prepared one,
// with its reads reaching deep into the unwritten part, across the write index's first round, through a
// mono stretch that leaves the second channel alone and through a second reset before that round ends.
TEST (Delay, AResetDelayGivesTheBitsOfAFreshOne)
{
    // At 4 kHz the ring is 12008 samples long; the longest delay reads almost all of it.
    constexpr double rate = 4000.0;
    constexpr int blockLength = 200;

    struct Stretch
    {
        int channels;
        int frames;
        bool resetFirst;
    };

    struct Case
    {
        const char* name;
        std::vector<Stretch> stretches;
    };

    const Case cases[] = {
        { "stereo past the first round", { { 2, 13000, false } } },
        { "mono, then stereo", { { 1, 5000, false }, { 2, 8000, false } } },
        { "reset again before the round ends", { { 2, 3000, false }, { 2, 13000, true } } },
        { "stereo, then mono past the round", { { 2, 2000, false }, { 1, 11000, false }, { 2, 400, false } } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ModulatedDelay used, fresh;
        used.prepare ({ rate, 512, 2 });
        fresh.prepare ({ rate, 512, 2 });

        juce::Random random (21);
        std::vector<float> left (blockLength), right (blockLength), feedback (blockLength, 0.7f),
            depth (blockLength, 1.0f);
        std::vector<float> freshLeft (blockLength), freshRight (blockLength);
        const Frame times { 12000.0f, 7.5f };

        const auto fillNoise = [&]
        {
            for (int i = 0; i < blockLength; ++i)
            {
                left[(size_t) i] = random.nextFloat() * 2.0f - 1.0f;
                right[(size_t) i] = random.nextFloat() * 2.0f - 1.0f;
            }
        };

        // A ring full of loud echoes, then emptied.
        for (int n = 0; n < 14000; n += blockLength)
        {
            fillNoise();
            float* channels[] = { left.data(), right.data() };
            used.process (channels, channels, 2, blockLength, times, feedback.data(), depth.data());
        }

        used.reset();
        ASSERT_LT (used.getWrittenLength(), used.getRingLength());

        for (const auto& stretch : c.stretches)
        {
            if (stretch.resetFirst)
            {
                used.reset();
                fresh.reset();
            }

            for (int n = 0; n < stretch.frames; n += blockLength)
            {
                fillNoise();
                freshLeft = left;
                freshRight = right;
                float* usedChannels[] = { left.data(), right.data() };
                float* freshChannels[] = { freshLeft.data(), freshRight.data() };
                used.process (
                    usedChannels, usedChannels, stretch.channels, blockLength, times, feedback.data(), depth.data());
                fresh.process (
                    freshChannels, freshChannels, stretch.channels, blockLength, times, feedback.data(), depth.data());

                ASSERT_TRUE (bitIdentical (left, freshLeft)) << "frame " << n;
                ASSERT_TRUE (bitIdentical (right, freshRight)) << "frame " << n;
            }
        }

        // Past the first round the memory itself is what a fresh ring holds, in both channels.
        EXPECT_EQ (used.getWrittenLength(), used.getRingLength());
        EXPECT_EQ (used.getWriteIndex(), fresh.getWriteIndex());

        for (int ch = 0; ch < 2; ++ch)
            EXPECT_TRUE (bitIdentical (
                used.getRing().getReadPointer (ch), fresh.getRing().getReadPointer (ch), used.getRingLength()))
                << "channel " << ch;
    }
}
