#pragma once

#include <juce_audio_processors/juce_audio_processors.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>
#include <optional>

// Loads VELDRANOX.vst3 or VELDRANOX.lv2 the way a DAW does: through JUCE's own VST3 and LV2 hosting code.
// Shared by the hosted tests and the offline renderer.
namespace HostedPlugin
{
enum class Format
{
    vst3,
    lv2
};

// The format's name as JUCE's hosting reports it in a plug-in description: "VST3", "LV2".
juce::String formatName (Format format);

// The format a bundle is in, by its extension (".vst3", ".lv2").
std::optional<Format> formatOfBundle (const juce::File& bundle);

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

// The bundle this build produced, or for VST3 the one the environment variable VELDRANOX_HOSTED_VST3 names.
juce::File builtBundle (Format format = Format::vst3);

struct LoadResult
{
    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::PluginDescription description;
    juce::String error;
};

// Scans the bundle and creates an instance, in the format the bundle's extension names. The instance is
// not prepared. An LV2 bundle is refused when JUCE's LV2 host would load another copy of its plug-in
// (one with the same URI, installed where hosts look first) that differs from it.
LoadResult load (const juce::File& bundle, double sampleRate, int blockSize);

// Prepares the instance as a host does before it reads the latency: an LV2 plug-in writes its latency
// to a port when it runs, so such an instance runs once for no samples. The message loop then runs, so
// that what the plug-in sent the host arrives.
void prepare (juce::AudioPluginInstance& instance, double sampleRate, int blockSize);

// Host-side parameter IDs are hashes; hosts find parameters by name.
juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& instance, const juce::String& name);

// Processes the whole buffer in place, in consecutive blocks of at most blockSize samples, as a host's
// audio callback would. The instance must be prepared for blockSize and the buffer's channel count.
void processInBlocks (juce::AudioProcessor& instance, juce::AudioBuffer<float>& buffer, int blockSize);

// Runs the message loop for a while, so that what the plug-in sent the host (latency, parameter
// changes) arrives.
void pumpMessages (int milliseconds = 50);
} // namespace HostedPlugin
