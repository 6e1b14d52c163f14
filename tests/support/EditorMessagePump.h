#pragma once

#include <juce_events/juce_events.h>

// Delivers what has been posted to the test thread's message queue, as a host's message loop would: the queue
// runs for a short while, long enough for every message already posted and the ones they post in turn.
inline void dispatchPendingMessages()
{
    constexpr int milliseconds = 20;

    if (auto* mm = juce::MessageManager::getInstance())
        mm->runDispatchLoopUntil (milliseconds);
}
