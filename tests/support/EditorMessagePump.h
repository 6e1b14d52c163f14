#pragma once

#include <juce_events/juce_events.h>

namespace juce
{
// JUCE's own Linux plug-in message thread drives the queue through this; it is not in a public header.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

// Delivers everything posted to the test thread's message queue, as a host's message loop would.
inline void dispatchPendingMessages()
{
    while (juce::dispatchNextMessageOnSystemQueue (true))
    {
    }
}
