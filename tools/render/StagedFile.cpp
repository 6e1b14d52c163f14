#include "StagedFile.h"

#include "ToolError.h"

StagedFile::StagedFile (const juce::File& target) : temporary (target, juce::TemporaryFile::useHiddenFile) {}

std::unique_ptr<juce::FileOutputStream> StagedFile::openStream() const
{
    auto stream = std::make_unique<juce::FileOutputStream> (temporary.getFile());

    if (! stream->openedOk())
        throw ToolError (ExitStatus::notWritten,
                         "cannot write " + target().getFullPathName() + ": " + stream->getStatus().getErrorMessage());

    return stream;
}

void StagedFile::commit() const
{
    if (! temporary.overwriteTargetFileWithTemporary())
        throw ToolError (ExitStatus::notWritten, "cannot replace " + target().getFullPathName());
}
