#pragma once

#include "BackgroundBlocks.h"
#include "HostedSession.h"

// Noise through a hosted session on a thread of its own (see BackgroundBlocks).
class BackgroundAudio : public BackgroundBlocks
{
public:
    BackgroundAudio (HostedSession& session, int blockSize, juce::int64 seed, int numBlocks = -1)
        : BackgroundBlocks ([&session, blockSize] (juce::Random& random)
                            { return session.processNoise (1, blockSize, random); },
                            seed,
                            numBlocks)
    {
    }
};
