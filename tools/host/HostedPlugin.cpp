#include "HostedPlugin.h"

namespace HostedPlugin
{
namespace
{
class ConsoleApplication final : public juce::JUCEApplicationBase
{
public:
    const juce::String getApplicationName() override { return "VELDRANOX host"; }
    const juce::String getApplicationVersion() override { return "1.0.0"; }
    bool moreThanOneInstanceAllowed() override { return true; }
    void initialise (const juce::String&) override {}
    void shutdown() override {}
    void anotherInstanceStarted (const juce::String&) override {}
    void systemRequestedQuit() override {}
    void suspended() override {}
    void resumed() override {}
    void unhandledException (const std::exception*, const juce::String&, int) override {}
};

juce::JUCEApplicationBase* createConsoleApplication() { return new ConsoleApplication(); }
} // namespace

ScopedGuiEnvironment::ScopedGuiEnvironment()
{
    juce::JUCEApplicationBase::createInstance = &createConsoleApplication;
    initialiser = std::make_unique<juce::ScopedJuceInitialiser_GUI>();
}

ScopedGuiEnvironment::~ScopedGuiEnvironment() = default;

juce::File builtBundle() { return juce::File (VELDRANOX_BUNDLE_PATH); }

LoadResult load (const juce::File& bundle, double sampleRate, int blockSize)
{
    LoadResult result;

    if (! bundle.exists())
    {
        result.error = "no plug-in bundle at " + bundle.getFullPathName();
        return result;
    }

    juce::VST3PluginFormat format;
    juce::OwnedArray<juce::PluginDescription> found;
    format.findAllTypesForFile (found, bundle.getFullPathName());

    if (found.isEmpty())
    {
        result.error = "not a loadable VST3 plug-in: " + bundle.getFullPathName();
        return result;
    }

    result.description = *found.getFirst();
    result.instance = format.createInstanceFromDescription (result.description, sampleRate, blockSize, result.error);

    if (result.instance == nullptr && result.error.isEmpty())
        result.error = "the plug-in could not be instantiated";

    return result;
}

juce::AudioProcessorParameter* findParameter (juce::AudioProcessor& instance, const juce::String& name)
{
    for (auto* parameter : instance.getParameters())
        if (parameter->getName (1024) == name)
            return parameter;

    return nullptr;
}

void processInBlocks (juce::AudioProcessor& instance, juce::AudioBuffer<float>& buffer, int blockSize)
{
    juce::MidiBuffer midi;

    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        const auto length = juce::jmin (blockSize, buffer.getNumSamples() - start);
        juce::AudioBuffer<float> block (buffer.getArrayOfWritePointers(), buffer.getNumChannels(), start, length);
        instance.processBlock (block, midi);
        midi.clear();
    }
}

void pumpMessages (int milliseconds)
{
    if (auto* mm = juce::MessageManager::getInstanceWithoutCreating())
        mm->runDispatchLoopUntil (milliseconds);
}
} // namespace HostedPlugin
