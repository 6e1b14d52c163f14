#pragma once

#include "HostedSession.h"

#include <atomic>
#include <thread>

// Noise through a hosted session on a thread of its own, as a host's audio thread runs, while the test's
// thread plays the message thread. Runs for numBlocks blocks, or until finish() when numBlocks is
// negative; the destructor finishes too, so a failed assertion never leaves the thread running.
class BackgroundAudio
{
public:
    BackgroundAudio (HostedSession& session, int blockSize, juce::int64 seed, int numBlocks = -1)
        : thread (
              [this, &session, blockSize, seed, numBlocks]
              {
                  juce::Random random (seed);

                  for (int block = 0; ! stopRequested && (numBlocks < 0 || block < numBlocks); ++block)
                      health.merge (session.processNoise (1, blockSize, random));

                  done = true;
              })
    {
    }

    ~BackgroundAudio() { finish(); }

    bool isDone() const noexcept { return done; }

    // Stops the blocks if they are still running, waits for the thread and returns the health of all the
    // audio it produced.
    BlockHealth finish()
    {
        stopRequested = true;

        if (thread.joinable())
            thread.join();

        return health;
    }

private:
    std::atomic<bool> stopRequested { false }, done { false };
    BlockHealth health;
    std::thread thread; // last: it starts once the members it uses exist
};
