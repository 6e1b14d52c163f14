#pragma once

#include "SignalChecks.h"

#include <atomic>
#include <functional>
#include <thread>
#include <utility>

// Blocks of audio on a thread of their own, as a host's audio thread runs them, while the test's thread
// plays the message thread. processOne renders one block from the random stream and returns its health.
// Runs numBlocks blocks, or until finish() when numBlocks is negative; the destructor finishes too, so a
// failed assertion never leaves the thread running.
class BackgroundBlocks
{
public:
    using ProcessOne = std::function<BlockHealth (juce::Random&)>;

    BackgroundBlocks (ProcessOne processOne, juce::int64 seed, int numBlocks = -1)
        : thread (
              [this, process = std::move (processOne), seed, numBlocks]
              {
                  juce::Random random (seed);

                  for (int block = 0; ! stopRequested && (numBlocks < 0 || block < numBlocks); ++block)
                      health.merge (process (random));

                  done = true;
              })
    {
    }

    ~BackgroundBlocks() { finish(); }

    BackgroundBlocks (const BackgroundBlocks&) = delete;
    BackgroundBlocks& operator= (const BackgroundBlocks&) = delete;

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
