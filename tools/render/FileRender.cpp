#include "FileRender.h"

RenderSettings renderSettingsFor (const RenderOptions& options, const std::vector<AutomationEvent>& automation)
{
    RenderSettings settings;
    settings.macros = options.macros;
    settings.automation = automation;
    settings.bpm = options.bpm;
    settings.tailSeconds = options.tailSeconds;
    settings.blockSize = options.blockSize;
    settings.compensateLatency = options.compensateLatency;
    return settings;
}

FileRender::FileRender (FileToRender file,
                        const RenderOptions& renderOptions,
                        const std::vector<AutomationEvent>& automation)
    : target (std::move (file)), options (renderOptions), settings (renderSettingsFor (renderOptions, automation))
{
}

FileRender::~FileRender() { finish(); }

void FileRender::prepare()
{
    inputAudio = AudioFileIO::read (target.input);
    const auto numChannels = inputAudio.samples.getNumChannels();
    AudioFileIO::checkEncodable (options.encoding, inputAudio.sampleRate, numChannels, target.output);

    plugin = std::make_unique<LoadedPlugin> (
        LoadedPlugin::load (options.plugin, options.format, inputAudio.sampleRate, options.blockSize));
    renderer = std::make_unique<OfflineRenderer> (*plugin, settings);
    renderer->prepare (inputAudio.sampleRate, numChannels);
}

void FileRender::process (const OfflineRenderer::ProgressCallback& onProgress)
{
    rendered = renderer->process (inputAudio.samples,
                                  [&] (double done)
                                  {
                                      progress.store (done);
                                      if (onProgress)
                                          onProgress (done);
                                  });

    staged = std::make_unique<StagedFile> (target.output);
    AudioFileIO::write (*staged, rendered.output, inputAudio.sampleRate, options.encoding);
}

void FileRender::commit() { staged->commit(); }

void FileRender::finish()
{
    if (renderer != nullptr)
        renderer->finish();

    renderer.reset();
    plugin.reset();
}
