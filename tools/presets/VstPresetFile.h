#pragma once

#include <juce_core/juce_core.h>

// A VST3 preset file (.vstpreset) as the SDK's PresetFile reads and writes one: the header ('VST3', format
// version 1, the component's class ID in ASCII hex, the offset of the chunk list), the component's state
// as the only chunk ('Comp'), then the chunk list ('List', the entry count, and per entry the chunk's ID,
// offset and size). All numbers little-endian. Hosts apply 'Comp' through IComponent::setState, which
// takes the processor's own getStateInformation bytes.
namespace VstPresetFile
{
inline constexpr int headerBytes = 48;   // 'VST3', version, 32 hex digits, list offset
inline constexpr int listOffsetAt = 40;  // where the header stores the list's offset
inline constexpr int classIdAt = 8;      // where the header's class ID starts
inline constexpr int classIdLength = 32; // ASCII hex digits

// The file's bytes. The class ID must be 32 hex digits.
juce::MemoryBlock write (const juce::String& classId, const juce::MemoryBlock& componentState);
} // namespace VstPresetFile
