#pragma once

#include <juce_core/juce_core.h>
#include <vector>

// Progress of several renders on standard error, drawn only when standard error is a terminal: a line
// per file being rendered and an overall line beneath, redrawn in place. Messages go above the block.
class BatchProgress
{
public:
    struct FileLine
    {
        juce::String name;
        double fractionDone;
    };

    BatchProgress();
    ~BatchProgress();

    // Redraws at most every redrawMilliseconds.
    void draw (const std::vector<FileLine>& running, double overallDone, const juce::String& overallText);

    // Prints a line on standard error, above the progress when it is drawn.
    void message (const juce::String& text);

    // Removes the progress, so that what follows starts on a clean line.
    void clear() { erase(); }

private:
    void erase();

    static constexpr int barWidth = 30;
    static constexpr juce::uint32 redrawMilliseconds = 100;
    static constexpr int nameWidth = 28;

    bool enabled;
    int linesDrawn = 0;
    juce::uint32 lastDrawn = 0;
};
