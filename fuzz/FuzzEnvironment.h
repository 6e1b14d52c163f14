#pragma once

#include "FuzzRequire.h"

#include <juce_events/juce_events.h>

// The parameter tree starts a timer and posts to the message thread; JUCE needs its message
// machinery up before the first processor is made. It lives for the whole fuzzing process.
inline void startJuceForFuzzing()
{
    static juce::ScopedJuceInitialiser_GUI* juce = new juce::ScopedJuceInitialiser_GUI();
    (void) juce;
}
