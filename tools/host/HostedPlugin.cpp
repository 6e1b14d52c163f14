#include "HostedPlugin.h"

#include "Lv2Bundle.h"

#include <cstdlib>

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

juce::String formatName (Format format) { return format == Format::lv2 ? "LV2" : "VST3"; }

std::optional<Format> formatOfBundle (const juce::File& bundle)
{
    if (bundle.hasFileExtension ("vst3"))
        return Format::vst3;

    if (bundle.hasFileExtension ("lv2"))
        return Format::lv2;

    return std::nullopt;
}

juce::File builtBundle (Format format)
{
    // An installer's test points the hosted suite at the copy the installer put in place.
    if (const auto* installed = std::getenv ("VELDRANOX_HOSTED_VST3"); installed != nullptr && format == Format::vst3)
        return juce::File (juce::String::fromUTF8 (installed));

    return juce::File (format == Format::lv2 ? VELDRANOX_LV2_BUNDLE_PATH : VELDRANOX_BUNDLE_PATH);
}

namespace
{
// Same files with the same bytes: a copy installed from this very build.
bool sameContents (const juce::File& a, const juce::File& b)
{
    const auto filesIn = [] (const juce::File& folder)
    {
        auto files = folder.findChildFiles (juce::File::findFiles, true);
        files.sort();
        return files;
    };

    const auto inA = filesIn (a), inB = filesIn (b);

    if (inA.size() != inB.size())
        return false;

    for (int i = 0; i < inA.size(); ++i)
        if (inA[i].getRelativePathFrom (a) != inB[i].getRelativePathFrom (b) || ! inA[i].hasIdenticalContentTo (inB[i]))
            return false;

    return true;
}

// JUCE's LV2 host knows a plug-in by its URI, searches its default folders (~/.lv2 first) before any
// other, and loads the first bundle with that URI that it meets.
juce::String findLv2Uri (juce::LV2PluginFormat& format, const juce::File& bundle, juce::String& error)
{
    const auto uris = Lv2Bundle::pluginUris (bundle);

    if (uris.isEmpty())
    {
        error = "no LV2 plug-in in " + bundle.getFullPathName();
        return {};
    }

    auto folders = juce::StringArray::fromTokens (format.getDefaultLocationsToSearch().toString(), ";", {});
    folders.add (bundle.getParentDirectory().getFullPathName());
    const auto loaded = Lv2Bundle::bundleLoadedFor (uris[0], folders);

    if (loaded.exists() && loaded != bundle && ! sameContents (loaded, bundle))
    {
        error = "another LV2 bundle with the URI " + uris[0] + " is installed at " + loaded.getFullPathName() +
                ", and JUCE's LV2 host loads that one in place of " + bundle.getFullPathName() +
                " (install this build over it, or remove it)";
        return {};
    }

    return uris[0];
}

// What JUCE's VST3 hosting is given for a bundle. On Windows JUCE 7 takes only the module file inside it
// (existsAsFile); JUCE 8 takes the bundle, as everywhere, and reads its moduleinfo.json.
juce::String vst3Identifier (const juce::File& bundle)
{
#if JUCE_WINDOWS && JUCE_MAJOR_VERSION < 8
    const auto module =
        bundle.getChildFile ("Contents").getChildFile ("x86_64-win").getChildFile (bundle.getFileName());

    if (bundle.isDirectory() && module.existsAsFile())
        return module.getFullPathName();
#endif

    return bundle.getFullPathName();
}

std::unique_ptr<juce::AudioPluginFormat> makeFormat (Format format)
{
    if (format == Format::lv2)
        return std::make_unique<juce::LV2PluginFormat>();

    return std::make_unique<juce::VST3PluginFormat>();
}
} // namespace

LoadResult load (const juce::File& bundle, double sampleRate, int blockSize)
{
    LoadResult result;
    const auto format = formatOfBundle (bundle);

    if (! format.has_value())
    {
        result.error = "not a VST3 or LV2 bundle (by its name): " + bundle.getFullPathName();
        return result;
    }

    if (! bundle.exists())
    {
        result.error = "no plug-in bundle at " + bundle.getFullPathName();
        return result;
    }

    auto pluginFormat = makeFormat (*format);
    auto identifier = vst3Identifier (bundle);

    if (auto* lv2 = dynamic_cast<juce::LV2PluginFormat*> (pluginFormat.get()))
    {
        identifier = findLv2Uri (*lv2, bundle, result.error);

        if (identifier.isEmpty())
            return result;

        lv2->searchPathsForPlugins (juce::FileSearchPath (bundle.getParentDirectory().getFullPathName()), false, false);
    }

    juce::OwnedArray<juce::PluginDescription> found;
    pluginFormat->findAllTypesForFile (found, identifier);

    if (found.isEmpty())
    {
        result.error = "not a loadable " + formatName (*format) + " plug-in: " + bundle.getFullPathName();
        return result;
    }

    result.description = *found.getFirst();
    result.instance =
        pluginFormat->createInstanceFromDescription (result.description, sampleRate, blockSize, result.error);

    if (result.instance == nullptr && result.error.isEmpty())
        result.error = "the plug-in could not be instantiated";

    return result;
}

void prepare (juce::AudioPluginInstance& instance, double sampleRate, int blockSize)
{
    instance.prepareToPlay (sampleRate, blockSize);

    if (instance.getPluginDescription().pluginFormatName == formatName (Format::lv2))
    {
        juce::AudioBuffer<float> noSamples (
            juce::jmax (instance.getTotalNumInputChannels(), instance.getTotalNumOutputChannels()), 0);
        juce::MidiBuffer midi;
        instance.processBlock (noSamples, midi);
    }

    pumpMessages();
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
