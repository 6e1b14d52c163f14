#include "BitIdentical.h"
#include "engine/ModulatedDelay.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

// ModulatedDelay reads ahead: within a block it reads every frame of a run before writing any, as long
// as the run's reads reach back past its writes. Delays shorter than a block make those runs short; the
// engine never uses such delays, so the output digests do not see them. Here a block must give the same
// bits as the same frames one at a time, for delays from the shortest up.

namespace
{
using Frame = ModulatedDelay::Frame;

struct Case
{
    int channels;
    Frame times;
    float depth; // the largest modulation depth; it sweeps from 0 up to this
};

struct Signals
{
    std::vector<float> left, right, feedback, depth;
};

Signals makeSignals (int length, float maxDepth)
{
    juce::Random random (3);
    Signals s;

    for (int i = 0; i < length; ++i)
    {
        s.left.push_back (random.nextFloat() * 2.0f - 1.0f);
        s.right.push_back (i % 97 == 0 ? 1.0f : 0.0f);
        s.feedback.push_back (0.6f + 0.3f * (float) (i % 50) / 50.0f);
        s.depth.push_back (maxDepth * (float) i / (float) length);
    }

    return s;
}

} // namespace

TEST (EngineDelayBlock, BlocksGiveTheBitsOfSingleFrames)
{
    // At 4 kHz the ring is 12008 samples long, so the run wraps it.
    constexpr double sampleRate = 4000.0;
    constexpr int length = 13000;
    constexpr int blockLengths[] = { 1, 2, 7, 64, 65, 200, 3 };

    const Case cases[] = {
        { 2, { 4.0f, 4.0f }, 0.0f },     { 2, { 4.0f, 5.0f }, 1.0f },     { 1, { 6.0f, 6.0f }, 1.0f },
        { 2, { 9.0f, 66.0f }, 1.0f },    { 2, { 67.0f, 70.5f }, 0.0f },   { 1, { 100.0f, 0.0f }, 1.0f },
        { 2, { 3000.0f, 20.0f }, 1.0f }, { 2, { 1.0e6f, 12.25f }, 1.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (testing::Message() << c.channels << " channels, delays " << c.times[0] << " and " << c.times[1]
                                         << ", depth up to " << c.depth);
        const auto s = makeSignals (length, c.depth);

        ModulatedDelay frameByFrame, inBlocks;
        frameByFrame.prepare ({ sampleRate, 512, 2 });
        inBlocks.prepare ({ sampleRate, 512, 2 });

        std::vector<float> expectedLeft, expectedRight;

        for (int i = 0; i < length; ++i)
        {
            Frame frame { s.left[(size_t) i], c.channels == 2 ? s.right[(size_t) i] : 0.0f };
            frameByFrame.processFrame (frame, c.channels, c.times, s.feedback[(size_t) i], s.depth[(size_t) i]);
            expectedLeft.push_back (frame[0]);
            expectedRight.push_back (frame[1]);
        }

        auto left = s.left, right = s.right;

        if (c.channels == 1)
            std::fill (right.begin(), right.end(), 0.0f);

        for (int start = 0, b = 0; start < length; ++b)
        {
            const int n = std::min (blockLengths[b % 7], length - start);
            float* channels[] = { left.data() + start, right.data() + start };
            inBlocks.process (
                channels, channels, c.channels, n, c.times, s.feedback.data() + start, s.depth.data() + start);
            start += n;
        }

        EXPECT_TRUE (bitIdentical (left, expectedLeft));
        EXPECT_TRUE (bitIdentical (right, expectedRight));
        EXPECT_EQ (inBlocks.getWriteIndex(), frameByFrame.getWriteIndex());

        for (int ch = 0; ch < 2; ++ch)
        {
            EXPECT_EQ (inBlocks.getCurrentDelay (ch), frameByFrame.getCurrentDelay (ch)) << ch;
            EXPECT_TRUE (bitIdentical (inBlocks.getRing().getReadPointer (ch),
                                       frameByFrame.getRing().getReadPointer (ch),
                                       inBlocks.getRing().getNumSamples()))
                << ch;
        }
    }
}
