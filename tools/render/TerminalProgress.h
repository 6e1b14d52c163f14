#pragma once

#include <juce_core/juce_core.h>

// A progress bar on standard error, drawn only when standard error is a terminal, so that logs and
// pipes get the summary line alone.
class TerminalProgress
{
public:
    explicit TerminalProgress (juce::String label);
    ~TerminalProgress();

    void update (double fractionDone);

private:
    void finish();

    static constexpr int barWidth = 40;

    juce::String label;
    bool enabled;
    int lastDrawnPercent = -1;
};
