#pragma once

#include <juce_core/juce_core.h>

// A file written beside its target under a hidden temporary name and renamed over the target only
// when complete, so that a failed run leaves no half-written file and overwrites nothing.
// Uncommitted, it is deleted.
class StagedFile
{
public:
    explicit StagedFile (const juce::File& target);

    // Throws ToolError (not written).
    std::unique_ptr<juce::FileOutputStream> openStream() const;

    // Moves the finished file over the target. Throws ToolError (not written).
    void commit() const;

    const juce::File& target() const { return temporary.getTargetFile(); }

private:
    juce::TemporaryFile temporary;
};
