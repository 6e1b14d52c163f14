#pragma once

#include <juce_core/juce_core.h>
#include <stdexcept>

// The tool's exit statuses; --help lists them.
enum class ExitStatus : int
{
    success = 0,
    internalFailure = 1,
    badArguments = 2,
    unreadableFile = 3,
    pluginNotLoaded = 4,
    notWritten = 5,
    someFilesFailed = 6 // in a batch: the others were rendered
};

// A problem the user can act on: reported as one line, and the tool exits with its status.
class ToolError : public std::runtime_error
{
public:
    ToolError (ExitStatus exitStatus, const juce::String& message)
        : std::runtime_error (message.toStdString()), status (exitStatus)
    {
    }

    const ExitStatus status;
};
