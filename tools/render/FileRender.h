#pragma once

#include "AudioFileIO.h"
#include "OfflineRenderer.h"
#include "RenderOptions.h"
#include "StagedFile.h"

#include <atomic>
#include <memory>

// What a render takes from the command line, the same for the demo and for every file of a batch.
RenderSettings renderSettingsFor (const RenderOptions& options, const std::vector<AutomationEvent>& automation);

// One input file rendered through a plug-in instance of its own into its output file. The steps
// follow OfflineRenderer's threads: prepare() and finish() on the message thread, process() and
// commit() on any one thread between them. Each step throws ToolError naming the problem; nothing is
// written unless commit() is reached.
class FileRender
{
public:
    FileRender (FileToRender file, const RenderOptions& options, const std::vector<AutomationEvent>& automation);
    ~FileRender();

    // Reads the input, checks that the output can hold it, loads and prepares the plug-in.
    void prepare();

    // Renders the input and encodes the output into its staged file. The callback, if any, hears the
    // progress on the rendering thread.
    void process (const OfflineRenderer::ProgressCallback& onProgress = {});

    // Moves the finished output over its target.
    void commit();

    // Releases the plug-in. Safe to call at any point, and more than once.
    void finish();

    const FileToRender& file() const { return target; }
    double fractionDone() const { return progress.load(); }

    // Valid once prepared.
    const InputAudio& input() const { return inputAudio; }

    // Valid once processed.
    const RenderResult& result() const { return rendered; }

private:
    FileToRender target;
    const RenderOptions& options;
    RenderSettings settings;

    InputAudio inputAudio;
    std::unique_ptr<LoadedPlugin> plugin;
    std::unique_ptr<OfflineRenderer> renderer;
    RenderResult rendered;
    std::unique_ptr<StagedFile> staged;
    std::atomic<double> progress { 0.0 };
};
