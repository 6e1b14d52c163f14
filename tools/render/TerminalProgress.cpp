#include "TerminalProgress.h"

#include <cstdio>
#include <iostream>
#include <unistd.h>

TerminalProgress::TerminalProgress (juce::String text) : label (std::move (text)), enabled (isatty (STDERR_FILENO) != 0)
{
}

TerminalProgress::~TerminalProgress() { finish(); }

void TerminalProgress::update (double fractionDone)
{
    const auto percent = juce::jlimit (0, 100, (int) (fractionDone * 100.0));
    if (! enabled || percent == lastDrawnPercent)
        return;

    lastDrawnPercent = percent;
    const auto filled = percent * barWidth / 100;
    std::cerr << '\r' << label << " [" << std::string ((size_t) filled, '#')
              << std::string ((size_t) (barWidth - filled), '.') << "] " << percent << "%" << std::flush;
}

void TerminalProgress::finish()
{
    // Clear the bar's line so that the summary starts on a clean one.
    if (enabled && lastDrawnPercent >= 0)
        std::cerr << "\r\033[K" << std::flush;
}
