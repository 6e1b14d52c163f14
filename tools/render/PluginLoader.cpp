#include "PluginLoader.h"

#include "HostedPlugin.h"
#include "ToolError.h"

namespace
{
juce::File defaultBundle (HostedPlugin::Format format)
{
    const auto built = HostedPlugin::builtBundle (format);
    if (built.exists())
        return built;

#if JUCE_WINDOWS
    // Where the installer puts it: the common plug-in folders that every Windows host searches.
    const auto common =
        juce::File::getSpecialLocation (juce::File::globalApplicationsDirectory).getChildFile ("Common Files");
    const auto installed =
        common.getChildFile (format == HostedPlugin::Format::lv2 ? "LV2" : "VST3").getChildFile (built.getFileName());
#else
    const auto home = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    const auto installed =
        home.getChildFile (format == HostedPlugin::Format::lv2 ? ".lv2" : ".vst3").getChildFile (built.getFileName());
#endif
    if (installed.exists())
        return installed;

    throw ToolError (ExitStatus::pluginNotLoaded,
                     "no " + built.getFileName() + " found at " + built.getFullPathName() + " or " +
                         installed.getFullPathName() + " (build it, or give --plugin PATH)");
}
} // namespace

LoadedPlugin LoadedPlugin::load (const juce::File& bundle, const juce::String& format, double sampleRate, int blockSize)
{
    LoadedPlugin plugin;
    plugin.bundle = bundle != juce::File()
                        ? bundle
                        : defaultBundle (format == "lv2" ? HostedPlugin::Format::lv2 : HostedPlugin::Format::vst3);

    auto loaded = HostedPlugin::load (plugin.bundle, sampleRate, blockSize);
    if (loaded.instance == nullptr)
        throw ToolError (ExitStatus::pluginNotLoaded, "cannot load the plug-in: " + loaded.error);

    plugin.description = loaded.description;
    plugin.instance = std::move (loaded.instance);

    for (int i = 0; i < HostMacros::count; ++i)
    {
        const auto& name = HostMacros::names()[(size_t) i];
        plugin.macros[(size_t) i] = HostedPlugin::findParameter (*plugin.instance, name);

        if (plugin.macros[(size_t) i] == nullptr)
            throw ToolError (ExitStatus::pluginNotLoaded,
                             plugin.bundle.getFullPathName() + " has no parameter \"" + name + "\"; is it VELDRANOX?");
    }

    return plugin;
}
