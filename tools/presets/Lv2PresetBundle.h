#pragma once

#include <juce_core/juce_core.h>

// An LV2 bundle of presets for a plug-in in another bundle. lilv finds presets outside the plug-in's own
// bundle only through a manifest, so the manifest declares each preset and points to the file with its
// label and state. The state holds the plug-in's getStateInformation bytes under the one key JUCE's LV2
// wrapper restores from (the plug-in URI + ":StateString"), as a plain string literal, which lilv hands
// over as an atom:String: the type the wrapper insists on. The text is JUCE's own base64 variant
// (MemoryBlock::toBase64Encoding), which is what the wrapper decodes.
namespace Lv2PresetBundle
{
struct Preset
{
    juce::String uri;
    juce::String label;
    juce::String comment;
    juce::MemoryBlock state; // the plug-in's own bytes
};

inline constexpr const char* presetsFileName = "presets.ttl";

juce::String manifestTtl (const juce::String& pluginUri, const juce::Array<Preset>& presets);
juce::String presetsTtl (const juce::String& pluginUri, const juce::Array<Preset>& presets);
} // namespace Lv2PresetBundle
