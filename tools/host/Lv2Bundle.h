#pragma once

#include <juce_core/juce_core.h>

// What an LV2 bundle holds, read with the lilv that JUCE compiles in for its LV2 hosting. JUCE's LV2
// host finds plug-ins by URI, not by file, and loads the first bundle it meets with a given URI.
namespace Lv2Bundle
{
// The URIs of the plug-ins that the bundle's manifest declares.
juce::StringArray pluginUris (const juce::File& bundle);

// The bundle from which a host searching these folders, in order, loads the plug-in with this URI;
// a non-existent file when none of them holds it.
juce::File bundleLoadedFor (const juce::String& uri, const juce::StringArray& folders);
} // namespace Lv2Bundle
