#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

// Loads VELDRANOX.vst3 the way a DAW does: through JUCE's own VST3 hosting code. Shared by the hosted
// tests and the offline renderer.
namespace HostedPlugin
{
// Brings up JUCE's message manager and GUI support for a console program. JUCE installs its X error
// handlers only when an application instance exists, so this registers a trivial one first; without
// it the first X error under a virtual display ends the process.
class ScopedGuiEnvironment
{
public:
    ScopedGuiEnvironment();
    ~ScopedGuiEnvironment();

private:
    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> initialiser;
};

// The bundle this build produced.
juce::File builtBundle();

struct LoadResult
{
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::PluginDescription description;
    juce::String error;
};

// Scans the bundle and creates an instance. The instance is not prepared.
LoadResult load (const juce::File& bundle, double sampleRate, int blockSize);

// Host-side parameter IDs are hashes; hosts find parameters by name.
juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& instance, const juce::String& name);

// Processes the whole buffer in place, in consecutive blocks of at most blockSize samples, as a host's
// audio callback would. The instance must be prepared for blockSize and the buffer's channel count.
void processInBlocks (juce::AudioProcessor& instance, juce::AudioBuffer<float>& buffer, int blockSize);

// Runs the message loop for a while, so that what the plug-in sent the host (latency, parameter
// changes) arrives.
void pumpMessages (int milliseconds = 50);
} // namespace HostedPlugin
