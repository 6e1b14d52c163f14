#include "PluginLoader.h"

#include "HostedPlugin.h"
#include "ToolError.h"

namespace
{
juce::File defaultBundle()
{
    const auto built = HostedPlugin::builtBundle();
    if (built.exists())
        return built;

    const auto installed =
        juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile (".vst3/VELDRANOX.vst3");
    if (installed.exists())
        return installed;

    throw ToolError (ExitStatus::pluginNotLoaded,
                     "no VELDRANOX.vst3 found at " + built.getFullPathName() + " or " + installed.getFullPathName() +
                         " (build it, or give --plugin PATH)");
}
} // namespace

LoadedPlugin LoadedPlugin::load (const juce::File& bundle, double sampleRate, int blockSize)
{
    LoadedPlugin plugin;
    plugin.bundle = bundle == juce::File() ? defaultBundle() : bundle;

    auto loaded = HostedPlugin::load (plugin.bundle, sampleRate, blockSize);
    if (loaded.instance == nullptr)
        throw ToolError (ExitStatus::pluginNotLoaded, "cannot load the plug-in: " + loaded.error);

    plugin.description = loaded.description;
    plugin.instance = std::move (loaded.instance);

    for (int i = 0; i < Macros::count; ++i)
    {
        const auto& name = Macros::names()[(size_t) i];
        plugin.macros[(size_t) i] = HostedPlugin::findParameter (*plugin.instance, name);

        if (plugin.macros[(size_t) i] == nullptr)
            throw ToolError (ExitStatus::pluginNotLoaded,
                             plugin.bundle.getFullPathName() + " has no parameter \"" + name + "\"; is it VELDRANOX?");
    }

    return plugin;
}
