#include "BatchProgress.h"

#include <iostream>
#include <unistd.h>

namespace
{
juce::String bar (double fractionDone, int width)
{
    const auto filled = juce::jlimit (0, width, (int) (fractionDone * width));
    return "[" + juce::String::repeatedString ("#", filled) + juce::String::repeatedString (".", width - filled) +
           "] " + juce::String (juce::jlimit (0, 100, (int) (fractionDone * 100.0))).paddedLeft (' ', 3) + "%";
}

juce::String fitted (const juce::String& name, int width)
{
    if (name.length() <= width)
        return name.paddedRight (' ', width);
    return name.substring (0, width - 3) + "...";
}
} // namespace

BatchProgress::BatchProgress() : enabled (isatty (STDERR_FILENO) != 0) {}

BatchProgress::~BatchProgress() { erase(); }

void BatchProgress::draw (const std::vector<FileLine>& running, double overallDone, const juce::String& overallText)
{
    const auto now = juce::Time::getMillisecondCounter();
    if (! enabled || (linesDrawn > 0 && now - lastDrawn < redrawMilliseconds))
        return;

    lastDrawn = now;
    erase();
    for (const auto& line : running)
        std::cerr << fitted (line.name, nameWidth) << " " << bar (line.fractionDone, barWidth) << "\n";
    std::cerr << fitted ("all files", nameWidth) << " " << bar (overallDone, barWidth) << "  " << overallText
              << std::flush;
    linesDrawn = (int) running.size() + 1;
}

void BatchProgress::message (const juce::String& text)
{
    erase();
    std::cerr << text << std::endl;
}

void BatchProgress::erase()
{
    if (! enabled || linesDrawn == 0)
        return;

    // Back to the first line of the block, clearing it and everything below.
    std::cerr << "\r";
    if (linesDrawn > 1)
        std::cerr << "\033[" << (linesDrawn - 1) << "A";
    std::cerr << "\033[J" << std::flush;
    linesDrawn = 0;
}
