#include "PresetOption.h"

#include "HostedPlugin.h"
#include "NumberText.h"
#include "PluginLoader.h"
#include "ToolError.h"
#include "presets/FactoryPresets.h"

#include <optional>

namespace PresetOption
{
namespace
{
juce::String bankNames()
{
    juce::StringArray names;
    for (const auto& preset : factoryPresets)
        names.add (preset.name);
    return names.joinIntoString (", ");
}

// What a JUCE host does with a preset file the user picks; nothing when the instance is no VST3.
std::optional<bool> applyVstPreset (juce::AudioPluginInstance& instance, const juce::MemoryBlock& file)
{
    struct Visitor : juce::ExtensionsVisitor
    {
        const juce::MemoryBlock& bytes;
        std::optional<bool> applied;

        explicit Visitor (const juce::MemoryBlock& b) : bytes (b) {}
        void visitVST3Client (const VST3Client& client) override { applied = client.setPreset (bytes); }
    } visitor { file };

    instance.getExtensions (visitor);
    return visitor.applied;
}
} // namespace

bool namesAFile (const juce::String& value)
{
    return value.endsWithIgnoreCase (".vstpreset") || value.containsChar ('/');
}

std::array<float, HostMacros::count> factoryValues (const juce::String& name)
{
    const auto* preset = findFactoryPreset (name.trim().toStdString());

    if (preset == nullptr)
        throw ToolError (ExitStatus::badArguments,
                         "no factory preset is named \"" + name + "\"; the factory presets are: " + bankNames());

    std::array<float, HostMacros::count> values {};
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = preset->values[i];
    return values;
}

juce::String listing()
{
    auto widest = 0;
    for (const auto& preset : factoryPresets)
        widest = juce::jmax (widest, juce::String (preset.name).length());

    auto text = juce::String ("preset").paddedRight (' ', widest + 2);
    for (const auto& name : HostMacros::names())
        text << name.paddedLeft (' ', 6);
    text << "  what it does\n";

    for (const auto& preset : factoryPresets)
    {
        text << juce::String (preset.name).paddedRight (' ', widest + 2);
        for (const auto value : preset.values)
            text << NumberText::format (value, 1).paddedLeft (' ', 6);
        text << "  " << preset.description << "\n";
    }

    return text;
}

RenderOptions withValuesFromPresetFile (const RenderOptions& options)
{
    juce::MemoryBlock file;
    if (! options.presetFile.existsAsFile() || ! options.presetFile.loadFileAsData (file))
        throw ToolError (ExitStatus::unreadableFile, "preset file not found: " + options.presetFile.getFullPathName());

    auto plugin =
        LoadedPlugin::load (options.plugin, options.format, RenderOptions::defaultSampleRate, options.blockSize);
    const auto applied = applyVstPreset (*plugin.instance, file);

    if (! applied.has_value())
        throw ToolError (ExitStatus::badArguments,
                         "a .vstpreset file applies to the VST3 plug-in, not the LV2; give the LV2 a factory "
                         "preset's name");
    if (! *applied)
        throw ToolError (ExitStatus::unreadableFile,
                         "not a VELDRANOX preset file, or a damaged one: " + options.presetFile.getFullPathName());

    HostedPlugin::pumpMessages();

    auto resolved = options;
    for (size_t i = 0; i < resolved.macros.size(); ++i)
        if (! resolved.macros[i].has_value())
            resolved.macros[i] = HostMacros::fromNormalised (plugin.macros[i]->getValue());
    return resolved;
}
} // namespace PresetOption
